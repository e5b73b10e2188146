// The coordinate gate of the shapes (see qvShapeCoordinates.hpp).

#include <orvane/shapes/qvShapeCoordinates.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>

void qvShapeCoordinates::raise_out_of_range() {
    qvRaise(qvErrorFrom<qvShapeCoordinates>("Coordinate is not finite or out of range"));
}

void qvShapeCoordinates::require(double v) {
    if (!qvFitsFloat(v))
        raise_out_of_range();
}

void qvShapeCoordinates::require(qvCrdOf<double> const& p) {
    if (!qvFitsFloat(p))
        raise_out_of_range();
}

void qvShapeCoordinates::require(qvRectOf<double> const& r) {
    if (!qvFitsFloat(r))
        raise_out_of_range();
}

void qvShapeCoordinates::require(qvCrdOf<double> const* points, int n) {
    if (points == nullptr)
        return;
    for (int k = 0; k < n; ++k)
        require(points[k]);
}

void qvShapeCoordinates::require(qvRectOf<float> const& r) {
    if (!qvIsFinite(r))
        raise_out_of_range();
}

void qvShapeCoordinates::require(qvExtent const& e) {
    if (!qvFitsFloat(e.width) || !qvFitsFloat(e.descent) || !qvFitsFloat(e.ascent))
        raise_out_of_range();
}

void qvShapeCoordinates::require_finite(qvCrdOf<double> const& p) {
    if (!qvIsFinite(p))
        raise_out_of_range();
}

void qvShapeCoordinates::require_finite(qvCrdOf<double> const* points, int n) {
    if (points == nullptr)
        return;
    for (int k = 0; k < n; ++k)
        require_finite(points[k]);
}
