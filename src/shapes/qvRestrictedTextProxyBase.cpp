// The restricted text's own operations (see qvRestrictedTextProxyBase.hpp).

#include <orvane/shapes/qvRestrictedTextProxyBase.hpp>

#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvInteractionIdentities.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvShapeReadLock.hpp>
#include <orvane/shapes/qvShapeWriteLock.hpp>

#include <algorithm>
#include <cmath>

void qvRestrictedTextProxyBase::adjust_extent(qvRestrictedTransformation* t) {
    if (t != nullptr && !qvIsFinite(*t))
        qvShapeCoordinates::raise_out_of_range();
    const qvShapeWriteLock lock(*this, false, true);
    if (record_ == nullptr || data().length == 0)
        return;
    const qvTextExtent e = compute_extent(*this);
    const double k = t == nullptr ? 1.0 : 1.0 / std::min(std::fabs(t->m0()), std::fabs(t->m3()));
    const double s = data().stretch;
    extent(qvExtent{s * e.width * k, e.descent * k, e.ascent * k});
}

void* qvRestrictedTextProxyBase::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvRestrictedTextDataAccess>(this, info))
        return found;
    return qvTextProxyBase::query_interface(info);
}

qvInterfaceInfo const* qvRestrictedTextProxyBase::query_interaction(qvInterfaceInfo const& interaction) const {
    if (&interaction == &qvInterfaceIdentity<qvExtendedScaleInteraction>())
        return &qvInterfaceIdentity<qvRestrictedTextDataAccess>();
    return &qvInterfaceIdentity<qvTextDataAccess>();
}
