// qvDrawArcHelper: the full ellipse, short arcs, the bound of four pieces
// and the inputs that write nothing.

#include <orvane/geometry/qvDrawArcHelper.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
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

// Writes into oversized arrays and checks nothing lands past what it reports.
Arc arc(R const& r, double a1, double a2) {
    std::vector<P> pts(40, P(-99, -99));
    std::vector<qvPointTag> tags(40, qvPointTag(-1));
    const int n = qvDrawArcHelper(r, a1, a2).get_points(pts.data(), tags.data());
    EXPECT_TRUE(n >= 0 && n <= qvDrawArcHelper::max_points) << n;
    for (std::size_t i = std::size_t(n); i < pts.size(); ++i) EXPECT_TRUE(pts[i] == P(-99, -99) && tags[i] == -1);
    for (P const& p : pts) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    return {{pts.begin(), pts.begin() + n}, {tags.begin(), tags.begin() + n}};
}

void expect_near(P const& a, P const& b) {
    EXPECT_NEAR(a.x, b.x, 1e-12);
    EXPECT_NEAR(a.y, b.y, 1e-12);
}

TEST(qvDrawArcHelper, Full_ellipse_is_four_quarter_pieces) {
    const Arc a = arc(R(0, 0, 2, 2), 0, 360);
    ASSERT_EQ(a.points.size(), 13u);
    EXPECT_EQ(a.tags, (std::vector<int>{1, 2, 2, 1, 2, 2, 1, 2, 2, 1, 2, 2, 1}));
    EXPECT_EQ(a.points[1], P(2, 1 + 0.55228475));
    for (auto [i, p] : {std::pair{0, P(2, 1)}, {3, P(1, 2)}, {6, P(0, 1)}, {9, P(1, 0)}}) expect_near(a.points[i], p);
    std::array<P, qvDrawArcHelper::max_points> pts{};
    std::array<qvPointTag, qvDrawArcHelper::max_points> tags{};
    ASSERT_EQ(qvDrawArcHelper(R(0, 0, 2, 2), 0, 360).get_points(pts, tags), 13);
    EXPECT_TRUE(std::equal(a.points.begin(), a.points.end(), pts.begin()));

    // A non-square ellipse from an angle off the axes, at all 13 points: a
    // piece runs from E(t) to E(t + 90), its controls k along the tangents,
    // with E(t) = centre + (rx cos t, ry sin t), here centre (30, 25), rx 20
    // and ry 5.
    const double deg = std::numbers::pi / 180, k = 0.55228475;
    const auto on = [&](double t) { return P(30 + 20 * std::cos(t * deg), 25 + 5 * std::sin(t * deg)); };
    const auto tangent = [&](double t) { return P(-20 * std::sin(t * deg), 5 * std::cos(t * deg)); };
    const Arc e = arc(R(10, 20, 50, 30), 30, 390);
    ASSERT_EQ(e.points.size(), 13u);
    expect_near(e.points[0], on(30));
    for (int piece = 0; piece < 4; ++piece) {
        const double t = 30 + 90.0 * piece;
        const std::size_t at = 3 * static_cast<std::size_t>(piece);
        expect_near(e.points[at + 1], on(t) + tangent(t) * k);
        expect_near(e.points[at + 2], on(t + 90) - tangent(t + 90) * k);
        expect_near(e.points[at + 3], on(t + 90));
    }
}

TEST(qvDrawArcHelper, Short_arcs_order_their_angles) {
    const Arc a = arc(R(0, 0, 2, 2), 30, 10);
    ASSERT_EQ(a.points.size(), 4u);
    EXPECT_EQ(a.tags, (std::vector<int>{1, 2, 2, 1}));
    const double deg = std::numbers::pi / 180;
    expect_near(a.points[0], P(1 + std::cos(10 * deg), 1 + std::sin(10 * deg)));
    expect_near(a.points[3], P(1 + std::cos(30 * deg), 1 + std::sin(30 * deg)));
    const P mid = (a.points[0] + a.points[1] * 3 + a.points[2] * 3 + a.points[3]) / 8;  // the cubic at t = 1/2
    EXPECT_NEAR(mid.distance({1, 1}), 1, 1e-9);
}

TEST(qvDrawArcHelper, Rounding_slivers_never_add_a_fifth_piece_and_bad_input_writes_nothing) {
    // (0.011, 360.011) used to give a fifth piece of 5.7e-14 degrees with a 0 / 0 factor.
    for (auto [a1, a2] : {std::pair{0.011, 360.011}, {3e16, 3e16 + 360}}) {
        const Arc a = arc(R(0, 0, 2, 2), a1, a2);
        ASSERT_EQ(a.points.size(), 13u) << a1;
        if (a1 < 1) expect_near(a.points[12], a.points[0]);  // 3e16 degrees cannot close within 1e-12
    }
    const struct { R r; double a1, a2; } rows[] = {
        {R(0, 0, 0, 2), 0, 360}, {R(0, 0, 2, 2), nan, 90}, {R(0, 0, 2, 2), 0, inf},
        {R(qvRectOf<double>(0, 0, nan, 2)), 0, 90},
    };
    for (auto const& row : rows) EXPECT_TRUE(arc(row.r, row.a1, row.a2).points.empty()) << row.a1 << " " << row.a2;
}

}  // namespace
