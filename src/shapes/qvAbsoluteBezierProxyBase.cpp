// The identities of the exact Bezier base (see qvAbsoluteBezierProxyBase.hpp).

#include <orvane/shapes/qvAbsoluteBezierProxyBase.hpp>

#include <orvane/shapes/qvInteractionIdentities.hpp>

void* qvAbsoluteBezierProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvBezierDataAccess, qvPointSetDataAccess>(this, info))
        return found;
    return qvSingleShapeProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvAbsoluteBezierProxyBase::query_interaction(qvInterfaceInfo const& interaction) const {
    if (&interaction == &qvInterfaceIdentity<qvMoveInteraction>() ||
        &interaction == &qvInterfaceIdentity<qvScaleInteraction>())
        return &qvInterfaceIdentity<qvPointSetDataAccess>();
    return &qvInterfaceIdentity<qvBezierDataAccess>();
}
