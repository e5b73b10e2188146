// The identities of the compact Bezier base (see qvRelativeBezierProxyBase.hpp).

#include <orvane/shapes/qvRelativeBezierProxyBase.hpp>

#include <orvane/shapes/qvInteractionIdentities.hpp>

void* qvRelativeBezierProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvBezierDataAccess, qvPointSetDataAccess>(this, info))
        return found;
    return qvRectangleProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvRelativeBezierProxyBase::query_interaction(qvInterfaceInfo const& interaction) const {
    if (&interaction == &qvInterfaceIdentity<qvMoveInteraction>() ||
        &interaction == &qvInterfaceIdentity<qvScaleInteraction>())
        return &qvInterfaceIdentity<qvRectangleDataAccess>();
    if (&interaction == &qvInterfaceIdentity<qvRotateInteraction>())
        return &qvInterfaceIdentity<qvPointSetDataAccess>();
    return &qvInterfaceIdentity<qvBezierDataAccess>();
}
