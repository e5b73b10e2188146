#pragma once
// The rectangle rules every region implementation follows.
//
// A rectangle is void, and stands for the empty set, unless x1 <= x2 and
// y1 <= y2 both hold: inverted rectangles and rectangles with a NaN
// coordinate are void. Degenerate rectangles (x1 == x2 or y1 == y2) are not.
// Overlap is strict on all four edges (qvRectsOverlap); containment is not.

#include <orvane/geometry/qvMathRect.hpp>

inline bool qvRegionRectIsVoid(qvMathRectOf<double> const& r) noexcept {
    return !(r.x1 <= r.x2 && r.y1 <= r.y2);
}

// `outer` contains `inner`, edges may coincide; false when either holds NaN.
inline bool qvRegionRectContains(qvMathRectOf<double> const& outer,
                                 qvMathRectOf<double> const& inner) noexcept {
    return outer.x1 <= inner.x1 && outer.x2 >= inner.x2 && outer.y1 <= inner.y1 &&
           outer.y2 >= inner.y2;
}

// The box after taking in `r`: a void box is replaced, never grown (the
// empty marker (1, 1, 0, 0) would otherwise take part as a real corner).
inline void qvRegionGrowBox(qvMathRectOf<double>& box, qvMathRectOf<double> const& r) noexcept {
    if (qvRegionRectIsVoid(box))
        box = r;
    else
        box += r;
}
