// The identities of the exact point-set base (see
// qvAbsolutePointSetProxyBase.hpp).

#include <orvane/shapes/qvAbsolutePointSetProxyBase.hpp>

void* qvAbsolutePointSetProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvQueryBboxDataAccess, qvPointSetDataAccess>(this, info))
        return found;
    return qvSingleShapeProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvAbsolutePointSetProxyBase::query_interaction(qvInterfaceInfo const& /*interaction*/) const {
    return &qvInterfaceIdentity<qvPointSetDataAccess>();
}
