// qvBezierGenerator: depth-first de Casteljau subdivision on an explicit
// stack. An entry stays on the stack below its halves; its flag tells
// whether its second half has been pushed (or, for a flat entry, whether it
// has been yielded), so next() either descends into a second half or pops.

#include <orvane/geometry/qvBezierGenerator.hpp>

#include <cmath>

namespace {

using Point = qvCrdOf<double>;

// Entries this deep are flat: 2^24 pieces per curve is far below any
// tolerance a caller can see, and it bounds the stack at 25 entries.
constexpr int max_depth = 24;

Point midpoint(Point const& a, Point const& b) noexcept { return (a + b) / 2; }

// The de Casteljau points of a split at t = 1/2; the flatness test and the
// split share them, so the tested midpoint is the one the halves meet at.
struct Split {
    Point m01, m12, m23, m012, m123, mid;

    explicit Split(Point const (&p)[4]) noexcept
        : m01(midpoint(p[0], p[1])), m12(midpoint(p[1], p[2])), m23(midpoint(p[2], p[3])),
          m012(midpoint(m01, m12)), m123(midpoint(m12, m23)), mid(midpoint(m012, m123)) {}
};

// Within the tolerance; a NaN distance counts as within.
bool within(double distance, double tolerance) noexcept { return !(distance > tolerance); }

}  // namespace

qvBezierGenerator::qvBezierGenerator(Point const& p0, Point const& p1, Point const& p2,
                                     Point const& p3, double tolerance) {
    reset(p0, p1, p2, p3, tolerance);
}

qvBezierGenerator::qvBezierGenerator(double tolerance) { reset(tolerance); }

void qvBezierGenerator::reset(Point const& p0, Point const& p1, Point const& p2, Point const& p3,
                              double tolerance) {
    reset(tolerance);
    start(p0, p1, p2, p3);
}

void qvBezierGenerator::reset(double tolerance) {
    // Without a positive tolerance nothing would ever be flat.
    tolerance_ = tolerance > 0 ? tolerance : 1.0;
    stack_.clear();
}

void qvBezierGenerator::start(Point const& p0, Point const& p1, Point const& p2, Point const& p3) {
    push(p0, p1, p2, p3, 0);
    fill();
}

qvCrdOf<double>* qvBezierGenerator::get() {
    return stack_.empty() ? nullptr : &stack_.back().p[0];
}

void qvBezierGenerator::next() { advance(); }

bool qvBezierGenerator::at_end() const { return stack_.empty(); }

void qvBezierGenerator::advance() {
    while (!stack_.empty()) {
        Entry& top = stack_.back();
        if (!top.first_half_done) {
            top.first_half_done = true;
            if (fill()) return;
        }
        stack_.pop_back();
    }
}

bool qvBezierGenerator::is_flat(Point const (&p)[4], int depth) const {
    if (depth >= max_depth) return true;
    Point const& p0 = p[0];
    Point const& p3 = p[3];
    const Point mid = Split(p).mid;
    if (p0 == p3) {
        // A closed loop: the chord is a point, so every control point must
        // be near it, or the loop would vanish into P0.
        return within(mid.distance(p0), tolerance_) && within(p[1].distance(p0), tolerance_) &&
               within(p[2].distance(p0), tolerance_);
    }
    const Point a = p0 - mid, b = p3 - mid;
    const double chord = p0.distance(p3);
    if (!within(std::abs(a.x * b.y - a.y * b.x) / chord, tolerance_)) return false;
    // The midpoint alone passes an S whose two bends cancel at t = 1/2 (its
    // midpoint on the chord, the ink far off both sides), which would be
    // drawn and hit-tested as its chord. Such a piece has its control points
    // on opposite sides of the chord; it is flat only while both lie within
    // the tolerance, since the curve stays in their hull. A piece that bends
    // one way keeps its control points on one side, and splits as before.
    const Point d = p3 - p0, c1 = p[1] - p0, c2 = p[2] - p0;
    const double side1 = d.x * c1.y - d.y * c1.x, side2 = d.x * c2.y - d.y * c2.x;
    const bool opposite = (side1 < 0 && side2 > 0) || (side1 > 0 && side2 < 0);
    return !opposite || within(std::fmax(std::abs(side1), std::abs(side2)) / chord, tolerance_);
}

void qvBezierGenerator::push(Point const& p0, Point const& p1, Point const& p2, Point const& p3,
                             int depth) {
    Entry& e = stack_.emplace_back(Entry{{p0, p1, p2, p3}, false, false, depth});
    e.flat = is_flat(e.p, depth);
}

bool qvBezierGenerator::fill() {
    bool pushed = false;
    while (!stack_.back().flat) {
        // A copy: pushing may move the entries.
        const Entry e = stack_.back();
        const Split s(e.p);
        if (e.first_half_done) push(s.mid, s.m123, s.m23, e.p[3], e.depth + 1);
        else push(e.p[0], s.m01, s.m012, s.mid, e.depth + 1);
        pushed = true;
    }
    return pushed;
}
