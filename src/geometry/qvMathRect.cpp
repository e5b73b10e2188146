// The free operations on double math rectangles. Comparisons are written
// out rather than through std::min/std::max so the NaN behaviour is plain:
// a comparison with a NaN keeps the first rectangle's value.

#include <orvane/geometry/qvMathRect.hpp>

qvMathRectOf<double> qvRectIntersection(qvMathRectOf<double> const& a,
                                        qvMathRectOf<double> const& b) noexcept {
    return qvMathRectOf<double>(a.x1 < b.x1 ? b.x1 : a.x1, a.y1 < b.y1 ? b.y1 : a.y1,
                                b.x2 < a.x2 ? b.x2 : a.x2, b.y2 < a.y2 ? b.y2 : a.y2);
}

qvMathRectOf<double> operator*(qvMathRectOf<double> const& a,
                               qvMathRectOf<double> const& b) noexcept {
    return qvRectIntersection(a, b);
}
