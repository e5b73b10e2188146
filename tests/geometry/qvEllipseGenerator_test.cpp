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
using Points = std::vector<P>;

Points drain(qvEllipseGenerator& g) {
    Points out;
    for (; g; ++g) out.push_back(*g);
    EXPECT_EQ(g.get(), nullptr);
    return out;
}

TEST(qvEllipseGenerator, Coarse_tolerance_yields_the_quarter_starts_and_copies_go_on_from_the_same_point) {
    qvEllipseGenerator g(R(0, 0, 2, 2), 10), inverted(R(qvRectOf<double>(2, 2, 0, 0)), 10);  // mirrored
    EXPECT_EQ(drain(g), (Points{{2, 1}, {1, 2}, {0, 1}, {1, 0}}));
    EXPECT_EQ(drain(inverted), (Points{{0, 1}, {1, 0}, {2, 1}, {1, 2}}));
    qvEllipseGenerator whole(R(0, 0, 100, 60), 0.5), part(R(0, 0, 100, 60), 0.5);
    const Points all = drain(whole);
    ASSERT_GT(all.size(), 12u);
    for (int i = 0; i < 9; ++i) ++part;  // inside the third quarter
    qvEllipseGenerator copy(part);
    const Points rest(all.begin() + 9, all.end());
    EXPECT_EQ(drain(copy), rest);
    EXPECT_EQ(drain(part), rest);
}

TEST(qvEllipseGeneratorProperty, Random_circles_are_followed_closely_counter_clockwise) {
    std::mt19937 rng(20240614);
    std::uniform_real_distribution<double> centre(-1000, 1000), radius(0.01, 500);
    for (int round = 0; round < 50; ++round) {
        const double cx = centre(rng), cy = centre(rng), r = radius(rng);
        qvEllipseGenerator g(R(cx - r, cy - r, cx + r, cy + r), 0.01 * r);
        const Points pts = drain(g);
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
