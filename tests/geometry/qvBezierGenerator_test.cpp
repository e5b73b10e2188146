// qvBezierGenerator: what it yields for pinned curves, the tolerance and
// depth rules that keep it bounded, and copies that go on from the same point.

#include <orvane/geometry/qvBezierGenerator.hpp>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using P = qvCrdOf<double>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

std::vector<P> drain(qvBezierGenerator& g) {
    std::vector<P> out;
    for (; g; ++g) out.push_back(*g);
    EXPECT_EQ(g.get(), nullptr);
    return out;
}

std::vector<P> points_of(P p0, P p1, P p2, P p3, double tolerance) {
    qvBezierGenerator g(p0, p1, p2, p3, tolerance);
    return drain(g);
}

const P arch[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};

TEST(qvBezierGenerator, Straight_cubic_yields_only_its_start) {
    EXPECT_EQ(points_of({0, 0}, {1, 1}, {2, 2}, {3, 3}, 1), std::vector<P>{P(0, 0)});
}

TEST(qvBezierGenerator, S_curve_with_its_midpoint_on_the_chord_counts_as_flat) {
    EXPECT_EQ(points_of({0, 0}, {0, 10}, {10, -10}, {10, 0}, 1), std::vector<P>{P(0, 0)});
}

TEST(qvBezierGenerator, Yields_points_along_the_curve_without_its_end) {
    const std::vector<P> pts = points_of(arch[0], arch[1], arch[2], arch[3], 0.1);
    ASSERT_GT(pts.size(), 4u);
    EXPECT_EQ(pts.front(), arch[0]);
    for (std::size_t i = 1; i < pts.size(); ++i) {
        EXPECT_LT(pts[i - 1].x, pts[i].x);  // this arch runs left to right
        EXPECT_NE(pts[i], arch[3]);
    }
}

TEST(qvBezierGenerator, Closed_loop_is_subdivided_instead_of_vanishing_into_its_start) {
    const std::vector<P> pts = points_of({0, 0}, {-10, 10}, {10, 10}, {0, 0}, 1);
    ASSERT_GT(pts.size(), 1u);
    EXPECT_EQ(pts.front(), P(0, 0));
    EXPECT_EQ(points_of({0, 0}, {0.5, 0}, {0, 0.5}, {0, 0}, 1), std::vector<P>{P(0, 0)});
}

TEST(qvBezierGenerator, Tolerance_that_is_not_positive_becomes_one) {
    const std::vector<P> one = points_of(arch[0], arch[1], arch[2], arch[3], 1.0);
    for (double t : {0.0, -1.0, nan}) {
        EXPECT_EQ(points_of(arch[0], arch[1], arch[2], arch[3], t), one) << t;
        qvBezierGenerator g(t);
        g.reset(arch[0], arch[1], arch[2], arch[3], t);
        EXPECT_EQ(drain(g), one) << t;
    }
}

TEST(qvBezierGenerator, Non_finite_control_points_yield_the_start_and_end) {
    EXPECT_EQ(points_of({0, 0}, {nan, 1}, {2, 2}, {3, 0}, 1), std::vector<P>{P(0, 0)});
    EXPECT_EQ(points_of({0, 0}, {inf, 1}, {2, 2}, {3, 0}, 1), std::vector<P>{P(0, 0)});
    EXPECT_LE(points_of({0, 0}, {inf, 0}, {0, 1}, {0, 0}, 1).size(), 2u);
}

TEST(qvBezierGenerator, Depth_cap_ends_a_tolerance_no_piece_can_meet) {
    // Without the cap this would subdivide until the pieces are subnormal.
    qvBezierGenerator g(arch[0], arch[1], arch[2], arch[3], 5e-324);
    long count = 0;
    for (; g; ++g) ++count;
    EXPECT_EQ(count, 1L << 24);
}

TEST(qvBezierGenerator, Empty_generator_is_at_its_end) {
    qvBezierGenerator g(1.0);
    EXPECT_TRUE(g.at_end());
    EXPECT_EQ(g.get(), nullptr);
    g.next();
    EXPECT_TRUE(g.at_end());
}

TEST(qvBezierGenerator, Copy_goes_on_from_the_same_point_on_its_own_stack) {
    qvBezierGenerator g(arch[0], arch[1], arch[2], arch[3], 0.1);
    const std::vector<P> all = points_of(arch[0], arch[1], arch[2], arch[3], 0.1);
    for (int i = 0; i < 3; ++i) ++g;
    qvBezierGenerator copy(g);
    const std::vector<P> rest(all.begin() + 3, all.end());
    EXPECT_EQ(drain(copy), rest);
    EXPECT_EQ(drain(g), rest);
}

TEST(qvBezierGenerator, Reset_restarts_on_another_curve) {
    qvBezierGenerator g(arch[0], arch[1], arch[2], arch[3], 0.1);
    ++g;
    g.reset({5, 5}, {6, 6}, {7, 7}, {8, 8}, 0.1);
    EXPECT_EQ(drain(g), std::vector<P>{P(5, 5)});
}

}  // namespace
