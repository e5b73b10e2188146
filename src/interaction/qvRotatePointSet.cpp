// Rotation of a point set (see qvRotatePointSet.hpp). The mapped points are
// gathered and checked before the set is touched, so a failure while
// reading, or a point no shape can hold, changes nothing (the set is
// emptied and refilled: a refusal after the removal would lose it).

#include <orvane/interaction/qvRotatePointSet.hpp>

#include "interaction/qvPointSetEditScope.hpp"
#include "interaction/qvRotationAbout.hpp"

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

#include <vector>

qvRotatePointSet::qvRotatePointSet(qvPointSetDataAccess* data, qvInteractionTarget* target)
    : data_(data), proxy_(qvPointSetEditScope::proxy_of(target)) {}

void* qvRotatePointSet::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvRotateInteraction>(this, info);
}

qvMathRectOf<double> qvRotatePointSet::bbox() { return data_->bbox(); }

void qvRotatePointSet::rotate(qvCrdOf<double> centre, double angle) {
    const int n = data_->size();
    if (n <= 0)
        return;
    const qvTransformation m = qvRotationAbout(centre, angle);
    std::vector<qvCrdOf<double>> mapped(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        mapped[static_cast<std::size_t>(i)] = m * data_->point(i);
    qvShapeCoordinates::require(mapped.data(), n);
    const qvPointSetEditScope edit(proxy_);
    data_->remove(0, n);
    data_->insert(0, n, mapped.data());
}
