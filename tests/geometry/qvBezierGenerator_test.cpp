// qvBezierGenerator: what it yields for pinned curves, the tolerance and
// depth rules that keep it bounded, and copies that go on from the same point.

#include <orvane/geometry/qvBezierGenerator.hpp>

#include <gtest/gtest.h>

#include <limits>
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

TEST(qvBezierGenerator, Flat_curves_yield_only_their_start) {
    // A line, an S with its midpoint on the chord, and a NaN distance.
    for (Points const& c : {Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}}, Points{{0, 0}, {0, 10}, {10, -10}, {10, 0}},
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

}  // namespace
