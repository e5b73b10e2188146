// The identities of the arc proxy base (see qvArcProxyBase.hpp).

#include <orvane/shapes/qvArcProxyBase.hpp>

void* qvArcProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvArcDataAccess>(this, info))
        return found;
    return qvEllipseProxyBase::query_interface(info);
}
