// qvClipLine2Rect: Cohen-Sutherland clipping of one segment.
//
// Keeps true: the caller's points are read once into a working pair (A, B)
// and the outputs are written only on acceptance, so outputs may alias the
// inputs and a rejection changes nothing. Each round moves the outside end
// A onto the first edge it violates (bits in the order 1, 2, 4, 8); A and B
// are exchanged first when A is already inside, which is why p2's end comes
// out in out1 whenever p2 had to move.

#include <orvane/geometry/qvClipping.hpp>

#include <cmath>
#include <utility>

namespace {

using Point = qvCrdOf<double>;

// Outcode bits: 1 left of x1, 2 below y1, 4 right of x2, 8 above y2.
// Strict comparisons, so the border counts as inside.
int outcode(Point const& p, qvMathRectOf<double> const& r) noexcept {
    int code = 0;
    if (p.x < r.x1) code |= 1;
    if (p.y < r.y1) code |= 2;
    if (p.x > r.x2) code |= 4;
    if (p.y > r.y2) code |= 8;
    return code;
}

bool has_nan(Point const& p) noexcept { return std::isnan(p.x) || std::isnan(p.y); }

// Moves `a` onto the first edge its code violates, along the line to `b`.
// The formulas multiply before they divide so results are reproducible.
void move_onto_edge(Point& a, Point const& b, int code, qvMathRectOf<double> const& r) noexcept {
    if (code & 1) {
        a.y += (r.x1 - a.x) * (b.y - a.y) / (b.x - a.x);
        a.x = r.x1;
    } else if (code & 2) {
        a.x += (r.y1 - a.y) * (b.x - a.x) / (b.y - a.y);
        a.y = r.y1;
    } else if (code & 4) {
        a.y += (b.y - a.y) * (r.x2 - a.x) / (b.x - a.x);
        a.x = r.x2;
    } else {
        a.x += (r.y2 - a.y) * (b.x - a.x) / (b.y - a.y);
        a.y = r.y2;
    }
}

// Finite input settles within four rounds (each end moves at most once per
// axis); rounding may add a correcting round. The cap only ends walks that
// could otherwise go on, and reaching it is a rejection.
constexpr int max_rounds = 8;

}  // namespace

bool qvClipLine2Rect(Point const& p1, Point const& p2, qvMathRectOf<double> const& rect,
                     Point& out1, Point& out2) {
    // Inverted rectangles contain nothing; a NaN edge fails both tests.
    if (!(rect.x1 <= rect.x2) || !(rect.y1 <= rect.y2)) return false;
    if (has_nan(p1) || has_nan(p2)) return false;

    Point a = p1, b = p2;
    int code_a = outcode(a, rect), code_b = outcode(b, rect);
    for (int round = 0;; ++round) {
        if ((code_a | code_b) == 0) {
            out1 = a;
            out2 = b;
            return true;
        }
        if ((code_a & code_b) != 0 || round == max_rounds) return false;
        if (code_a == 0) {
            std::swap(a, b);
            std::swap(code_a, code_b);
        }
        move_onto_edge(a, b, code_a, rect);
        // Infinite input turns into NaN here (inf - inf, 0 * inf).
        if (has_nan(a)) return false;
        code_a = outcode(a, rect);
        code_b = outcode(b, rect);
    }
}
