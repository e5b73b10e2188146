#pragma once
// qvDrawArcHelper: an elliptic arc as cubic Bézier pieces, for drivers that
// draw arcs as curves.
//
// The arc runs counter-clockwise (y upwards) on the ellipse inscribed in the
// rectangle, from the start angle to the end angle, in degrees measured from
// the positive x axis. get_points writes one start point (tag 1) and three
// points per piece (control, control, end: tags 2, 2, 1).
//
// Keeps true:
//   - start <= end <= start + 360 for every pair of ordinary angles (the
//     constructor orders them and cuts a longer sweep to a full turn);
//   - an arc has at most four pieces, so get_points writes at most
//     max_points (13) points: pieces of 90 degrees, the fourth taking the
//     whole remaining angle, and a remainder below 1e-9 degrees ends the arc;
//   - get_points writes nothing and returns 0 for an empty ellipse (a
//     radius <= 0) and for a NaN or infinite angle or rectangle coordinate
//     (an infinite angle has no direction to start from).

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvPointTag.hpp>

#include <array>

class qvDrawArcHelper {
public:
    static constexpr int max_points = 13;

    qvDrawArcHelper(qvMathRectOf<double> const& rect, double angle1, double angle2);

    // Writes the arc into `points` and `tags` and returns the number of
    // points written; both arrays need room for 1 + 3 * pieces points, at
    // most max_points.
    int get_points(qvCrdOf<double>* points, qvPointTag* tags) const;
    int get_points(std::array<qvCrdOf<double>, max_points>& points,
                   std::array<qvPointTag, max_points>& tags) const;

private:
    // The control-point factor of a cubic arc piece of `angle` degrees.
    static double btan(double angle);

    qvMathRectOf<double> rect_;
    double start_;
    double end_;
};
