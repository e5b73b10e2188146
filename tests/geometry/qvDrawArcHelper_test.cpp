// qvDrawArcHelper: the full ellipse, short arcs, the bound of four pieces
// and the inputs that write nothing.

#include <orvane/geometry/qvDrawArcHelper.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

using P = qvCrdOf<double>;
using R = qvMathRectOf<double>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

struct Arc {
    std::vector<P> points;
    std::vector<int> tags;
};

// Writes into oversized arrays and checks nothing lands past max_points.
Arc arc(R const& r, double a1, double a2) {
    std::vector<P> pts(40, P(-99, -99));
    std::vector<qvPointTag> tags(40, qvPointTag(-1));
    const int n = qvDrawArcHelper(r, a1, a2).get_points(pts.data(), tags.data());
    EXPECT_GE(n, 0);
    EXPECT_LE(n, qvDrawArcHelper::max_points);
    for (std::size_t i = std::size_t(n); i < pts.size(); ++i) {
        EXPECT_EQ(pts[i], P(-99, -99));
        EXPECT_EQ(tags[i], -1);
    }
    Arc out;
    out.points.assign(pts.begin(), pts.begin() + n);
    out.tags.assign(tags.begin(), tags.begin() + n);
    return out;
}

P on_unit_circle(double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    return {1 + std::cos(a), 1 + std::sin(a)};
}

void expect_near(P const& a, P const& b) {
    EXPECT_NEAR(a.x, b.x, 1e-12);
    EXPECT_NEAR(a.y, b.y, 1e-12);
}

// The point at t = 1/2 of the cubic piece starting at points[i].
P piece_midpoint(std::vector<P> const& p, std::size_t i) {
    return (p[i] + p[i + 1] * 3 + p[i + 2] * 3 + p[i + 3]) / 8;
}

TEST(qvDrawArcHelper, Full_ellipse_is_four_quarter_pieces) {
    const Arc a = arc(R(0, 0, 2, 2), 0, 360);
    ASSERT_EQ(a.points.size(), 13u);
    EXPECT_EQ(a.tags, (std::vector<int>{1, 2, 2, 1, 2, 2, 1, 2, 2, 1, 2, 2, 1}));
    EXPECT_EQ(a.points[0], P(2, 1));
    EXPECT_EQ(a.points[1], P(2, 1 + 0.55228475));
    expect_near(a.points[3], P(1, 2));
    expect_near(a.points[6], P(0, 1));
    expect_near(a.points[9], P(1, 0));
    expect_near(a.points[12], P(2, 1));
}

TEST(qvDrawArcHelper, Angles_are_ordered_into_one_short_piece) {
    const Arc a = arc(R(0, 0, 2, 2), 30, 10);
    ASSERT_EQ(a.points.size(), 4u);
    EXPECT_EQ(a.tags, (std::vector<int>{1, 2, 2, 1}));
    expect_near(a.points[0], on_unit_circle(10));
    expect_near(a.points[3], on_unit_circle(30));
    EXPECT_NEAR(piece_midpoint(a.points, 0).distance({1, 1}), 1, 1e-9);
}

TEST(qvDrawArcHelper, Equal_angles_write_the_start_point_only) {
    const Arc a = arc(R(0, 0, 2, 2), 90, 90);
    ASSERT_EQ(a.points.size(), 1u);
    expect_near(a.points[0], P(1, 2));
}

TEST(qvDrawArcHelper, Sweeps_beyond_a_full_turn_stop_after_it) {
    const Arc a = arc(R(0, 0, 2, 2), 0, 720);
    EXPECT_EQ(a.points, arc(R(0, 0, 2, 2), 0, 360).points);
}

TEST(qvDrawArcHelper, Rounding_slivers_never_add_a_fifth_piece) {
    for (auto [a1, a2] : {std::pair{0.011, 360.011}, std::pair{3e16, 3e16 + 360},
                          std::pair{-1e-3, 359.999}, std::pair{0.1, 360.1}}) {
        const Arc a = arc(R(0, 0, 2, 2), a1, a2);
        EXPECT_EQ(a.points.size(), 13u) << a1;
        for (P const& p : a.points) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << a1;
    }
    // The remainder past three quarters, here a hair above 90 degrees,
    // becomes the fourth piece without a 0 / 0 in its factor.
    const Arc a = arc(R(0, 0, 2, 2), 0.011, 360.011);
    expect_near(a.points[12], a.points[0]);
}

TEST(qvDrawArcHelper, Empty_or_non_finite_input_writes_nothing) {
    EXPECT_TRUE(arc(R(0, 0, 0, 2), 0, 360).points.empty());
    EXPECT_TRUE(arc(R(0, 0, 2, 0), 0, 360).points.empty());
    EXPECT_TRUE(arc(R(qvRectOf<double>(2, 2, 0, 0)), 0, 360).points.empty());
    EXPECT_TRUE(arc(R(0, 0, 2, 2), nan, 90).points.empty());
    EXPECT_TRUE(arc(R(0, 0, 2, 2), 0, nan).points.empty());
    EXPECT_TRUE(arc(R(0, 0, 2, 2), 0, inf).points.empty());
    EXPECT_TRUE(arc(R(qvRectOf<double>(0, 0, nan, 2)), 0, 90).points.empty());
    EXPECT_TRUE(arc(R(qvRectOf<double>(-inf, 0, 2, 2)), 0, 90).points.empty());
}

TEST(qvDrawArcHelper, Array_overload_writes_the_same_points) {
    std::array<P, qvDrawArcHelper::max_points> pts{};
    std::array<qvPointTag, qvDrawArcHelper::max_points> tags{};
    const qvDrawArcHelper helper(R(-3, -1, 5, 9), 45, 300);
    const int n = helper.get_points(pts, tags);
    const Arc a = arc(R(-3, -1, 5, 9), 45, 300);
    ASSERT_EQ(std::size_t(n), a.points.size());
    EXPECT_TRUE(std::equal(a.points.begin(), a.points.end(), pts.begin()));
}

TEST(qvDrawArcHelperProperty, Random_arcs_follow_their_ellipse) {
    std::mt19937 rng(20240615);
    std::uniform_real_distribution<double> coord(-100, 100), size(0.5, 50), angle(-720, 720);
    for (int round = 0; round < 2000; ++round) {
        const double x = coord(rng), y = coord(rng), w = size(rng), h = size(rng);
        const Arc a = arc(R(x, y, x + w, y + h), angle(rng), angle(rng));
        ASSERT_EQ(a.points.size() % 3, 1u);
        const auto radius = [&](P const& p) {
            return std::hypot((p.x - x - w / 2) / (w / 2), (p.y - y - h / 2) / (h / 2));
        };
        for (std::size_t i = 0; i < a.points.size(); i += 3) {
            ASSERT_NEAR(radius(a.points[i]), 1, 1e-12) << "round " << round;
            if (i + 3 < a.points.size()) {
                ASSERT_NEAR(radius(piece_midpoint(a.points, i)), 1, 3e-4) << "round " << round;
            }
        }
    }
}

}  // namespace
