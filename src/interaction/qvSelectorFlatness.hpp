#pragma once
// The flattening tolerance of the hit tests' curves (ellipses, Bézier
// segments): the pen's line width, or 1.0 for a width that is not
// positive, as the generators take it; but never finer than the curve's
// extent over 2^20, so a curve of absurd size (a damaged record) is cut
// into about a thousand pieces a quarter, not 2^24, and a hit test of it
// stays quick. Curves of the sizes a device shows keep the pen's
// tolerance.

#include <orvane/geometry/qvCrd.hpp>

#include <cmath>
#include <initializer_list>

inline double qvSelectorFlatness(double width, std::initializer_list<qvCrdOf<double>> hull) {
    constexpr double relative = 1.0 / (1 << 20);
    double tolerance = width > 0 ? width : 1.0;
    if (hull.size() == 0)
        return tolerance;
    const qvCrdOf<double> first = *hull.begin();
    for (qvCrdOf<double> const& p : hull) {
        const double extent = std::fmax(std::fabs(p.x - first.x), std::fabs(p.y - first.y)) * relative;
        if (extent > tolerance)
            tolerance = extent;
    }
    return tolerance;
}
