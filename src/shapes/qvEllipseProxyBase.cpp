// The identities of the ellipse proxy base (see qvEllipseProxyBase.hpp).

#include <orvane/shapes/qvEllipseProxyBase.hpp>

void* qvEllipseProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvEllipseDataAccess>(this, info))
        return found;
    return qvRectangleProxyBase::query_interface(info);
}
