// The forwarding transformation mixin.

#include <orvane/views/qvViewTransformationImplementation.hpp>

#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>

#include <cmath>

void qvViewTransformationImplementation::apply_left(qvRestrictedTransformation const& t) {
    if (sink_ != nullptr)
        sink_->apply_left(t);
}

void qvViewTransformationImplementation::apply_right(qvRestrictedTransformation const& t) {
    if (sink_ != nullptr)
        sink_->apply_right(t);
}

void qvViewTransformationImplementation::zoom(qvCrdOf<double> centre, double factor) {
    zoom(centre, factor, factor);
}

// Move the centre to the origin, scale, move it back: the centre stays put.
void qvViewTransformationImplementation::zoom(qvCrdOf<double> centre, double x_factor,
                                              double y_factor) {
    apply_left(qvTranslation(centre.x, centre.y) * qvScaling(x_factor, y_factor) *
               qvTranslation(-centre.x, -centre.y));
}

void qvViewTransformationImplementation::scroll(double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return;
    apply_left(qvTranslation(std::trunc(dx), std::trunc(dy)));
}
