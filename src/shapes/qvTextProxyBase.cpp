// The identities of the text proxy base (see qvTextProxyBase.hpp).

#include <orvane/shapes/qvTextProxyBase.hpp>

void* qvTextProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found =
            qvOfferInterfaces<qvTextDataAccess, qvQueryBboxDataAccess, qvAnchorDataAccess>(this, info))
        return found;
    return qvSingleShapeProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvTextProxyBase::query_interaction(qvInterfaceInfo const& /*interaction*/) const {
    return &qvInterfaceIdentity<qvTextDataAccess>();
}
