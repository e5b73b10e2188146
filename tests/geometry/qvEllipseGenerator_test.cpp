// qvEllipseGenerator: the four quarters in order, accuracy on random
// circles, inverted rectangles, empty generators and copies.

#include <orvane/geometry/qvEllipseGenerator.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

using P = qvCrdOf<double>;
using R = qvMathRectOf<double>;

std::vector<P> drain(qvEllipseGenerator& g) {
    std::vector<P> out;
    for (; g; ++g) out.push_back(*g);
    EXPECT_EQ(g.get(), nullptr);
    return out;
}

std::vector<P> points_of(R const& r, double tolerance) {
    qvEllipseGenerator g(r, tolerance);
    return drain(g);
}

TEST(qvEllipseGenerator, Coarse_tolerance_yields_the_four_quarter_starts) {
    EXPECT_EQ(points_of(R(0, 0, 2, 2), 10), (std::vector<P>{{2, 1}, {1, 2}, {0, 1}, {1, 0}}));
}

TEST(qvEllipseGenerator, Inverted_rectangle_is_flattened_mirrored) {
    EXPECT_EQ(points_of(R(qvRectOf<double>(2, 2, 0, 0)), 10),
              (std::vector<P>{{0, 1}, {1, 0}, {2, 1}, {1, 2}}));
}

TEST(qvEllipseGenerator, Empty_generator_is_at_its_end_until_reset) {
    qvEllipseGenerator g(1.0);
    EXPECT_TRUE(g.at_end());
    EXPECT_EQ(g.get(), nullptr);
    g.next();
    EXPECT_TRUE(g.at_end());
    g.reset(R(0, 0, 2, 2), 10);
    EXPECT_EQ(drain(g), (std::vector<P>{{2, 1}, {1, 2}, {0, 1}, {1, 0}}));
}

TEST(qvEllipseGenerator, Reset_restarts_from_the_first_quarter) {
    qvEllipseGenerator g(R(0, 0, 2, 2), 10);
    ++g;
    ++g;
    g.reset(R(0, 0, 4, 4), 100);
    EXPECT_EQ(drain(g), (std::vector<P>{{4, 2}, {2, 4}, {0, 2}, {2, 0}}));
}

TEST(qvEllipseGenerator, Copy_goes_on_from_the_same_point) {
    const R r(0, 0, 100, 60);
    const std::vector<P> all = points_of(r, 0.5);
    ASSERT_GT(all.size(), 12u);
    qvEllipseGenerator g(r, 0.5);
    for (int i = 0; i < 9; ++i) ++g;  // inside the third quarter
    qvEllipseGenerator copy(g);
    const std::vector<P> rest(all.begin() + 9, all.end());
    EXPECT_EQ(drain(copy), rest);
    EXPECT_EQ(drain(g), rest);
}

TEST(qvEllipseGeneratorProperty, Random_circles_are_followed_closely_counter_clockwise) {
    std::mt19937 rng(20240614);
    std::uniform_real_distribution<double> centre(-1000, 1000), radius(0.01, 500);
    for (int round = 0; round < 300; ++round) {
        const double cx = centre(rng), cy = centre(rng), r = radius(rng);
        const std::vector<P> pts = points_of(R(cx - r, cy - r, cx + r, cy + r), 0.01 * r);
        ASSERT_GE(pts.size(), 8u);
        double previous = -1;
        for (P const& p : pts) {
            ASSERT_NEAR(std::hypot(p.x - cx, p.y - cy), r, 3e-4 * r) << "round " << round;
            double angle = std::atan2(p.y - cy, p.x - cx);
            if (angle < -1e-9) angle += 2 * std::numbers::pi;
            ASSERT_GT(angle, previous) << "round " << round;
            previous = angle;
        }
        EXPECT_LT(previous, 2 * std::numbers::pi);
    }
}

}  // namespace
