#pragma once
// qvMathRectOf<T>: an ordered rectangle in mathematical orientation (y grows
// upwards): left = x1, right = x2, bottom = y1, top = y2. Model areas and
// bounding boxes are qvMathRectOf<double>; shape records carry float boxes.
// Its invariants are those of qvOrderedRectBase.
//
// The free operations on double math rectangles compare exactly:
//   - qvRectIntersection / operator*: larger low edges, smaller high edges,
//     then each axis ordered. Disjoint rectangles give the gap between them
//     on that axis, never an empty result; scrolling relies on that.
//   - qvRectsOverlap: the interiors overlap; all four comparisons strict, so
//     rectangles that only touch do not overlap.

#include <orvane/geometry/qvOrderedRect.hpp>

template <class T>
class qvMathRectOf : public qvOrderedRectBase<T, qvMathRectOf<T>, true> {
    using Base = qvOrderedRectBase<T, qvMathRectOf<T>, true>;

public:
    using Base::Base;
};

qvMathRectOf<double> qvRectIntersection(qvMathRectOf<double> const& a,
                                        qvMathRectOf<double> const& b) noexcept;
qvMathRectOf<double> operator*(qvMathRectOf<double> const& a,
                               qvMathRectOf<double> const& b) noexcept;
// Inline: intersecting two list regions calls it once per candidate pair.
inline bool qvRectsOverlap(qvMathRectOf<double> const& a, qvMathRectOf<double> const& b) noexcept {
    return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
}
