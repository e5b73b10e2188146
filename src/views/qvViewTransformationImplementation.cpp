// The forwarding transformation mixin.

#include <orvane/views/qvViewTransformationImplementation.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>

#include <cmath>

namespace {

[[noreturn]] void raise_view_transformation_error(char const* text) {
    qvRaise(qvErrorFrom<qvViewTransformation>(text));
}

}  // namespace

void qvViewTransformationImplementation::require_finite(qvRestrictedTransformation const& t) {
    if (!qvIsFinite(t))
        raise_view_transformation_error("Invalid scroller argument");
}

void qvViewTransformationImplementation::apply_left(qvRestrictedTransformation const& t) {
    require_finite(t);
    if (sink_ != nullptr)
        sink_->apply_left(t);
}

void qvViewTransformationImplementation::apply_right(qvRestrictedTransformation const& t) {
    require_finite(t);
    if (sink_ != nullptr)
        sink_->apply_right(t);
}

void qvViewTransformationImplementation::zoom(qvCrdOf<double> centre, double factor) {
    zoom(centre, factor, factor);
}

// Move the centre to the origin, scale, move it back: the centre stays put.
// Everything is checked before apply_left, so a refused zoom moves nothing.
void qvViewTransformationImplementation::zoom(qvCrdOf<double> centre, double x_factor,
                                              double y_factor) {
    if (x_factor == 0 || y_factor == 0 || !qvIsFinite(x_factor) || !qvIsFinite(y_factor))
        raise_view_transformation_error("Invalid zoom factor");
    const qvRestrictedTransformation t =
        qvTranslation(centre.x, centre.y) * qvScaling(x_factor, y_factor) * qvTranslation(-centre.x, -centre.y);
    if (!qvIsFinite(centre) || !qvIsFinite(t))
        raise_view_transformation_error("Invalid scroller argument");
    apply_left(t);
}

void qvViewTransformationImplementation::scroll(double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return;
    apply_left(qvTranslation(std::trunc(dx), std::trunc(dy)));
}
