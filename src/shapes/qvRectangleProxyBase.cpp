// The identities of the rectangle proxy base (see qvRectangleProxyBase.hpp).

#include <orvane/shapes/qvRectangleProxyBase.hpp>

void* qvRectangleProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvQueryBboxDataAccess, qvRectangleDataAccess>(this, info))
        return found;
    return qvSingleShapeProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvRectangleProxyBase::query_interaction(qvInterfaceInfo const& /*interaction*/) const {
    return &qvInterfaceIdentity<qvRectangleDataAccess>();
}
