// The identities of the compact point-set base (see
// qvRelativePointSetProxyBase.hpp).

#include <orvane/shapes/qvRelativePointSetProxyBase.hpp>

#include <orvane/shapes/qvInteractionIdentities.hpp>

void* qvRelativePointSetProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvPointSetDataAccess>(this, info))
        return found;
    return qvRectangleProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvRelativePointSetProxyBase::query_interaction(qvInterfaceInfo const& interaction) const {
    if (&interaction == &qvInterfaceIdentity<qvMoveInteraction>() ||
        &interaction == &qvInterfaceIdentity<qvScaleInteraction>())
        return &qvInterfaceIdentity<qvRectangleDataAccess>();
    return &qvInterfaceIdentity<qvPointSetDataAccess>();
}
