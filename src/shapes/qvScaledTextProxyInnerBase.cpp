// The identities of the scaled text's base (see qvScaledTextProxyInnerBase.hpp).

#include <orvane/shapes/qvScaledTextProxyInnerBase.hpp>

#include <orvane/shapes/qvInteractionIdentities.hpp>

void* qvScaledTextProxyInnerBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvScaledTextDataAccess>(this, info))
        return found;
    return qvTextProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvScaledTextProxyInnerBase::query_interaction(qvInterfaceInfo const& interaction) const {
    if (&interaction == &qvInterfaceIdentity<qvExtendedScaleInteraction>())
        return &qvInterfaceIdentity<qvScaledTextDataAccess>();
    return &qvInterfaceIdentity<qvTextDataAccess>();
}
