// Move and scale over a point set (see qvMoveScalePointSet.hpp). Every
// change is one per-axis scale and offset; a corner move computes it from
// the box before it opens the edit, so a degenerate box fails with nothing
// written. The mapped points are gathered and checked before the first is
// written, so a point no shape can hold (a drag to an infinity) leaves the
// set as it was instead of half moved.

#include <orvane/interaction/qvMoveScalePointSet.hpp>

#include "interaction/qvPointSetEditScope.hpp"

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvRectToRectTransformation.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

#include <vector>

qvMoveScalePointSet::qvMoveScalePointSet(qvPointSetDataAccess* data, qvInteractionTarget* target)
    : data_(data), proxy_(qvPointSetEditScope::proxy_of(target)) {}

void* qvMoveScalePointSet::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvMoveInteraction, qvScaleInteraction>(this, info);
}

qvMathRectOf<double> qvMoveScalePointSet::bbox() { return data_->bbox(); }

void qvMoveScalePointSet::apply(qvRestrictedTransformation const& t) {
    if (data_->size() == 0)
        return;
    // Per axis, never through the zero cross terms, so an infinite
    // coordinate or offset stays out of 0 * inf.
    const qvRTComponent x = t.get_x(), y = t.get_y();
    const int n = data_->size();
    std::vector<qvCrdOf<double>> mapped(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const qvCrdOf<double> p = data_->point(i);
        mapped[static_cast<std::size_t>(i)] = qvCrdOf<double>(x * p.x, y * p.y);
    }
    qvShapeCoordinates::require(mapped.data(), n);
    const qvPointSetEditScope edit(proxy_);
    for (int i = 0; i < n; ++i)
        data_->point(i, mapped[static_cast<std::size_t>(i)]);
}

void qvMoveScalePointSet::map_box(qvMathRectOf<double> const& from, qvMathRectOf<double> const& to) {
    apply(qvRectToRectTransformation(from, to));
}

void qvMoveScalePointSet::move(qvCrdOf<double> delta) { apply(qvTranslation(delta)); }

void qvMoveScalePointSet::move_lb(qvCrdOf<double> delta) {
    const qvMathRectOf<double> b = bbox();
    map_box(b, qvMathRectOf<double>(b.x1 + delta.x, b.y1 + delta.y, b.x2, b.y2));
}

void qvMoveScalePointSet::move_rt(qvCrdOf<double> delta) {
    const qvMathRectOf<double> b = bbox();
    map_box(b, qvMathRectOf<double>(b.x1, b.y1, b.x2 + delta.x, b.y2 + delta.y));
}

void qvMoveScalePointSet::move_rb(qvCrdOf<double> delta) {
    const qvMathRectOf<double> b = bbox();
    map_box(b, qvMathRectOf<double>(b.x1, b.y1 + delta.y, b.x2 + delta.x, b.y2));
}

void qvMoveScalePointSet::move_lt(qvCrdOf<double> delta) {
    const qvMathRectOf<double> b = bbox();
    map_box(b, qvMathRectOf<double>(b.x1 + delta.x, b.y1, b.x2, b.y2 + delta.y));
}
