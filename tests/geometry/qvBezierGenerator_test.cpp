// qvBezierGenerator: what it yields for pinned curves, the tolerance and
// depth rules that keep it bounded, and copies that go on from the same point.

#include <orvane/geometry/qvBezierGenerator.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using P = qvCrdOf<double>;
using Points = std::vector<P>;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
const P arch[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};

Points drain(qvBezierGenerator& g) {
    Points out;
    for (; g; ++g) out.push_back(*g);
    EXPECT_EQ(g.get(), nullptr);
    return out;
}

Points points_of(Points const& c, double tolerance) {
    qvBezierGenerator g(c[0], c[1], c[2], c[3], tolerance);
    return drain(g);
}

P on_curve(Points const& c, double t) {
    const double u = 1 - t;
    return c[0] * (u * u * u) + c[1] * (3 * u * u * t) + c[2] * (3 * u * t * t) + c[3] * (t * t * t);
}

double to_segment(P const& p, P const& a, P const& b) {
    const P ab = b - a, ap = p - a;
    const double len2 = ab.x * ab.x + ab.y * ab.y;
    const double s = len2 > 0 ? std::clamp((ap.x * ab.x + ap.y * ab.y) / len2, 0.0, 1.0) : 0.0;
    return p.distance(a + ab * s);
}

// The farthest of 2,000 points along the curve from the flattened polyline
// (the yielded points and P3).
double farthest_from_polyline(Points const& c, double tolerance) {
    Points line = points_of(c, tolerance);
    line.push_back(c[3]);
    double worst = 0;
    for (int k = 0; k <= 2000; ++k) {
        const P p = on_curve(c, k / 2000.0);
        double nearest = HUGE_VAL;
        for (std::size_t i = 1; i < line.size(); ++i) nearest = std::min(nearest, to_segment(p, line[i - 1], line[i]));
        worst = std::max(worst, nearest);
    }
    return worst;
}

// The midpoint rule alone, recursively: the flattening of curves that bend
// one way.
void midpoint_rule(P const (&p)[4], double tolerance, int depth, Points& out) {
    const P m01 = (p[0] + p[1]) / 2, m12 = (p[1] + p[2]) / 2, m23 = (p[2] + p[3]) / 2;
    const P m012 = (m01 + m12) / 2, m123 = (m12 + m23) / 2, mid = (m012 + m123) / 2;
    const P a = p[0] - mid, b = p[3] - mid;
    if (depth >= 24 || !(std::abs(a.x * b.y - a.y * b.x) / p[0].distance(p[3]) > tolerance)) {
        out.push_back(p[0]);
        return;
    }
    midpoint_rule({p[0], m01, m012, mid}, tolerance, depth + 1, out);
    midpoint_rule({mid, m123, m23, p[3]}, tolerance, depth + 1, out);
}

TEST(qvBezierGenerator, Flat_curves_yield_only_their_start) {
    // A line, a shallow S (its control points within the tolerance on both
    // sides of the chord) and a NaN distance.
    for (Points const& c : {Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}}, Points{{0, 0}, {3, 0.75}, {7, -1}, {10, 0}},
                            Points{{0, 0}, {nan, 1}, {2, 2}, {3, 0}}})
        EXPECT_EQ(points_of(c, 1), Points{c[0]});
}

TEST(qvBezierGenerator, Curves_are_followed_without_their_end_and_closed_loops_do_not_vanish) {
    const Points pts = points_of({arch, arch + 4}, 0.1);
    ASSERT_GT(pts.size(), 4u);
    EXPECT_EQ(pts.front(), arch[0]);
    for (std::size_t i = 1; i < pts.size(); ++i)  // this arch runs left to right, and never reaches P3
        EXPECT_TRUE(pts[i - 1].x < pts[i].x && pts[i] != arch[3]) << i;
    const Points loop = points_of({{0, 0}, {-10, 10}, {10, 10}, {0, 0}}, 1);
    ASSERT_GT(loop.size(), 1u);
    EXPECT_EQ(loop.front(), P(0, 0));
}

TEST(qvBezierGenerator, Tolerance_that_is_not_positive_becomes_one_and_depth_is_capped) {
    const Points one = points_of({arch, arch + 4}, 1.0);
    for (double t : {0.0, nan}) EXPECT_EQ(points_of({arch, arch + 4}, t), one) << t;
    qvBezierGenerator reset(-1.0);
    reset.reset(arch[0], arch[1], arch[2], arch[3], -1.0);
    EXPECT_EQ(drain(reset), one);
    // Without the cap this would subdivide until the pieces are subnormal.
    // With it every piece is 2^-24 of the curve: counted over its first
    // 2^-10, whose x(t) = 30t^2 - 20t^3 rises, up to half a piece short of
    // the end of the 2^14th piece (the whole curve would take 2^24 steps).
    qvBezierGenerator g(arch[0], arch[1], arch[2], arch[3], 5e-324);
    const double t = (0x1p14 - 0.5) * 0x1p-24, end_x = 30 * t * t - 20 * t * t * t;
    long count = 0;
    for (; g && g->x < end_x; ++g) ++count;
    EXPECT_EQ(count, 1L << 14);
    ASSERT_TRUE(g);
    EXPECT_GT(g->y, 0);
}

TEST(qvBezierGenerator, Copies_go_on_from_the_same_point_and_reset_restarts) {
    const Points all = points_of({arch, arch + 4}, 0.1), rest(all.begin() + 3, all.end());
    qvBezierGenerator g(arch[0], arch[1], arch[2], arch[3], 0.1);
    for (int i = 0; i < 3; ++i) ++g;
    qvBezierGenerator copy(g);  // goes on from the same point on its own stack
    EXPECT_EQ(drain(copy), rest);
    EXPECT_EQ(drain(g), rest);
    g.reset({5, 5}, {6, 6}, {7, 7}, {8, 8}, 0.1);
    EXPECT_EQ(drain(g), Points{P(5, 5)});
}

// An S whose bends cancel at t = 1/2 used to come out as its chord alone,
// 17.3 units from its ink: drawings and hit tests followed the chord.
TEST(qvBezierGeneratorProperty, S_curves_are_followed_within_the_tolerance_and_one_way_curves_as_before) {
    const Points s = {{0, 0}, {30, 60}, {70, -60}, {100, 0}};
    EXPECT_GT(points_of(s, 1).size(), 8u);
    // A piece that bends one way is flat by its midpoint, which can lie at
    // 27/32 of the piece's farthest point from the chord: that is the bound.
    const double bound = 32.0 / 27.0;
    EXPECT_LE(farthest_from_polyline(s, 1), bound);
    std::mt19937 rng(20261208);
    // Control points over the chord: the flatness tests measure from the
    // chord's line, not from its ends.
    std::uniform_real_distribution<double> along(0, 100), off(-80, 80), tolerance(0.05, 4);
    int one_way_curves = 0;
    for (int round = 0; round < 400; ++round) {
        P p[4] = {{0, 0}, {along(rng), off(rng)}, {along(rng), off(rng)}, {100, 0}};
        // A convex control polygon (every turn the same way) makes a curve
        // without an inflection.
        double turn[4];
        for (int i = 0; i < 4; ++i) {
            const P a = p[(i + 1) % 4] - p[i], b = p[(i + 2) % 4] - p[(i + 1) % 4];
            turn[i] = a.x * b.y - a.y * b.x;
        }
        const bool one_way = std::all_of(turn, turn + 4, [](double t) { return t > 0; }) ||
                             std::all_of(turn, turn + 4, [](double t) { return t < 0; });
        if (round % 2 == 1) {  // the same curve turned and moved: chords at any angle
            const double c = std::cos(round * 0.7), sn = std::sin(round * 0.7);
            for (P& q : p) q = P(q.x * c - q.y * sn + 300, q.x * sn + q.y * c - 150);
        }
        const Points curve(p, p + 4);
        const double tol = tolerance(rng);
        if (one_way) {
            ++one_way_curves;
            Points expected;
            midpoint_rule(p, tol, 0, expected);
            ASSERT_EQ(points_of(curve, tol), expected) << "round " << round;
        } else {
            ASSERT_LE(farthest_from_polyline(curve, tol), bound * tol) << "round " << round;
        }
    }
    EXPECT_GT(one_way_curves, 50);
}

}  // namespace
