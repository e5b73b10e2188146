// The identities of the image proxy bases (see qvImageProxyBase.hpp,
// qvRestrictedImageProxyBase.hpp and qvScaledImageProxyBase.hpp).

#include <orvane/shapes/qvImageProxyBase.hpp>
#include <orvane/shapes/qvRestrictedImageProxyBase.hpp>
#include <orvane/shapes/qvScaledImageProxyBase.hpp>

void* qvImageProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found =
            qvOfferInterfaces<qvImageDataAccess, qvQueryBboxDataAccess, qvAnchorDataAccess>(this, info))
        return found;
    return qvSingleShapeProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvImageProxyBase::query_interaction(qvInterfaceInfo const& /*interaction*/) const {
    return &qvInterfaceIdentity<qvAnchorDataAccess>();
}

void* qvRestrictedImageProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvRestrictedImageDataAccess>(this, info))
        return found;
    return qvImageProxyBase::query_interface(info);
}

void* qvScaledImageProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvScaledImageDataAccess>(this, info))
        return found;
    return qvImageProxyBase::query_interface(info);
}
