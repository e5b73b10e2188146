// qvClipPolygon2Rect: pinned polygons (square, U, arch, open polyline),
// property tests against Sutherland-Hodgman areas and segment-by-segment
// lengths, deep nesting (spiral) and long chains (comb), and bad input.

#include <orvane/geometry/qvClipping.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace {

using P = qvCrdOf<double>;
using R = qvMathRectOf<double>;
using Poly = std::vector<P>;
using PolyList = std::list<Poly>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

const R square(0, 0, 10, 10);

bool clip(Poly const& in, PolyList& out, bool open = false, R const& r = square) {
    return qvClipPolygon2Rect(in.data(), in.data() + in.size(), r, out, open);
}

PolyList clipped(Poly const& in, bool open = false, R const& r = square) {
    PolyList out;
    EXPECT_TRUE(clip(in, out, open, r));
    return out;
}

double signed_area(Poly const& p) {
    double sum = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        P const& a = p[i];
        P const& b = p[(i + 1) % p.size()];
        sum += (b.x - a.x) * (b.y + a.y);
    }
    return -sum / 2;
}

double length(Poly const& p) {
    double sum = 0;
    for (std::size_t i = 1; i < p.size(); ++i) sum += p[i].distance(p[i - 1]);
    return sum;
}

// ---- pinned shapes -----------------------------------------------------------

TEST(qvClipPolygon2Rect, Polygon_wholly_inside_gives_true_and_an_empty_result) {
    EXPECT_TRUE(clipped({{2, 2}, {8, 2}, {8, 8}, {2, 8}}).empty());
    EXPECT_TRUE(clipped({{1, 1}, {9, 1}, {5, 9}}).empty());
}

TEST(qvClipPolygon2Rect, Nothing_inside_gives_false) {
    PolyList out;
    EXPECT_FALSE(clip({{20, 20}, {30, 20}, {25, 30}}, out));
    EXPECT_FALSE(clip({}, out));
    EXPECT_FALSE(clip({{0, 0}, {10, 0}, {10, 10}}, out, false, R(20, 20, 30, 30)));
    EXPECT_TRUE(out.empty());
}

TEST(qvClipPolygon2Rect, Square_across_the_left_edge_gets_a_side_on_it) {
    EXPECT_EQ(clipped({{-5, 2}, {5, 2}, {5, 8}, {-5, 8}}),
              PolyList({{{0, 2}, {5, 2}, {5, 8}, {0, 8}}}));
}

TEST(qvClipPolygon2Rect, U_across_the_top_edge_stays_one_polygon) {
    EXPECT_EQ(clipped({{2, 5}, {8, 5}, {8, 15}, {6, 15}, {6, 8}, {4, 8}, {4, 15}, {2, 15}}),
              PolyList({{{2, 10}, {2, 5}, {8, 5}, {8, 10}, {6, 10}, {6, 8}, {4, 8}, {4, 10}}}));
}

TEST(qvClipPolygon2Rect, Arch_across_the_top_edge_splits_in_two) {
    EXPECT_EQ(clipped({{2, 15}, {8, 15}, {8, 5}, {6, 5}, {6, 12}, {4, 12}, {4, 5}, {2, 5}}),
              PolyList({{{4, 10}, {4, 5}, {2, 5}, {2, 10}}, {{8, 10}, {8, 5}, {6, 5}, {6, 10}}}));
}

TEST(qvClipPolygon2Rect, Closing_edge_crossing_starts_a_polygon_that_begins_inside) {
    // Starts inside, leaves over the right edge, comes back over the closing
    // edge from the last point (15, 8) to the first (5, 2).
    EXPECT_EQ(clipped({{5, 2}, {15, 2}, {15, 8}}),
              PolyList({{{10, 5}, {5, 2}, {10, 2}}}));
}

TEST(qvClipPolygon2Rect, Open_polyline_leaving_and_reentering_gives_two_polylines) {
    EXPECT_EQ(clipped({{5, 2}, {15, 2}, {15, 8}, {5, 8}}, true),
              PolyList({{{5, 2}, {10, 2}}, {{10, 8}, {5, 8}}}));
}

TEST(qvClipPolygon2Rect, Open_polyline_wholly_inside_gives_an_empty_result) {
    EXPECT_TRUE(clipped({{1, 1}, {9, 9}}, true).empty());
}

// ---- result handling and bad input -------------------------------------------

TEST(qvClipPolygon2Rect, Result_is_replaced_not_appended_to) {
    PolyList out{{{1, 1}}, {{2, 2}}};
    EXPECT_TRUE(clip({{2, 2}, {8, 2}, {8, 8}}, out));
    EXPECT_TRUE(out.empty());
    out = {{{1, 1}}};
    EXPECT_FALSE(clip({{20, 20}, {30, 20}, {25, 30}}, out));
    EXPECT_TRUE(out.empty());
}

TEST(qvClipPolygon2Rect, Input_may_point_into_the_result) {
    PolyList out{{{-5, 2}, {5, 2}, {5, 8}, {-5, 8}}};
    Poly const& in = out.front();
    EXPECT_TRUE(qvClipPolygon2Rect(in.data(), in.data() + in.size(), square, out, false));
    EXPECT_EQ(out, PolyList({{{0, 2}, {5, 2}, {5, 8}, {0, 8}}}));
}

TEST(qvClipPolygon2Rect, Bad_rectangles_contain_nothing) {
    const Poly tri{{1, 1}, {9, 1}, {5, 9}};
    for (R const& r : {R(qvRectOf<double>(nan, 0, 10, 10)), R(qvRectOf<double>(0, 0, 10, nan)),
                       R::make_empty(), R(5, 0, 5, 10), R(0, 5, 10, 5)}) {
        PolyList out{{{1, 1}}};
        EXPECT_FALSE(clip(tri, out, false, r));
        EXPECT_TRUE(out.empty());
        out = {{{1, 1}}};
        EXPECT_FALSE(clip(tri, out, true, r));
        EXPECT_TRUE(out.empty());
    }
}

TEST(qvClipPolygon2Rect, Non_finite_points_give_false_and_an_empty_result) {
    for (P bad : {P(nan, 5), P(5, inf), P(-inf, -inf)}) {
        for (bool open : {false, true}) {
            PolyList out{{{1, 1}}};
            EXPECT_FALSE(clip({{2, 2}, bad, {8, 8}}, out, open));
            EXPECT_TRUE(out.empty());
        }
    }
}

TEST(qvClipPolygon2Rect, Overflowing_crossing_gives_false_instead_of_an_unordered_sort) {
    PolyList out{{{1, 1}}};
    EXPECT_FALSE(clip({{-1e308, -1e308}, {1e308, 1e308}, {-1e308, 1e308}}, out));
    EXPECT_TRUE(out.empty());
}

TEST(qvClipPolygon2Rect, Null_range_is_empty_input) {
    PolyList out{{{1, 1}}};
    EXPECT_FALSE(qvClipPolygon2Rect(nullptr, nullptr, square, out, false));
    EXPECT_TRUE(out.empty());
}

// ---- deep nesting and long chains --------------------------------------------

// A spiral strip centred on the top edge line: the edge cuts it into
// half-rings nested inside one another.
Poly spiral_strip(int turns, double cy) {
    constexpr int per_turn = 16;
    const double pitch = 4, half_width = 1;
    Poly outer, inner;
    for (int i = per_turn; i <= turns * per_turn; ++i) {
        const double t = 2 * std::numbers::pi * i / per_turn + 0.1;
        const double r = pitch * t / (2 * std::numbers::pi);
        outer.push_back({(r + half_width) * std::cos(t), cy + (r + half_width) * std::sin(t)});
        inner.push_back({(r - half_width) * std::cos(t), cy + (r - half_width) * std::sin(t)});
    }
    outer.insert(outer.end(), inner.rbegin(), inner.rend());
    return outer;
}

// k teeth rising from a base across the top edge y = 10.
Poly comb(int k) {
    Poly p{{2.0 * k, 0}, {0, 0}};
    for (int i = 0; i < k; ++i) {
        p.push_back({2.0 * i, 20});
        p.push_back({2.0 * i + 1, 20});
        p.push_back({2.0 * i + 1, 5});
        p.push_back({2.0 * i + 2, 5});
    }
    p.back() = {2.0 * k, 5};
    return p;
}

double sutherland_hodgman_area(Poly poly, R const& r);

TEST(qvClipPolygon2Rect, Comb_joins_all_its_teeth_into_one_polygon) {
    const Poly p = comb(50);
    const R r(-1, -1, 200, 10);
    const PolyList out = clipped(p, false, r);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(signed_area(out.front()), sutherland_hodgman_area(p, r), 1e-9);
}

TEST(qvClipPolygon2Rect, Spiral_nesting_along_one_edge_keeps_every_ring) {
    const Poly p = spiral_strip(30, 10);
    const R r(-1000, -1000, 1000, 10);
    const PolyList out = clipped(p, false, r);
    double area = 0;
    for (Poly const& q : out) area += signed_area(q);
    const double expected = sutherland_hodgman_area(p, r);
    EXPECT_NEAR(area, expected, 1e-9 * std::abs(expected));
    EXPECT_GT(out.size(), 1u);
}

// ---- properties against simple oracles ---------------------------------------

// Sutherland-Hodgman with closed half-planes; bridging edges along the
// rectangle do not change the signed area.
Poly clip_half_plane(Poly const& in, bool vertical, bool keep_above, double e) {
    Poly out;
    const auto coord = [&](P const& p) { return vertical ? p.x : p.y; };
    const auto inside = [&](P const& p) { return keep_above ? coord(p) >= e : coord(p) <= e; };
    for (std::size_t i = 0; i < in.size(); ++i) {
        P const& a = in[(i + in.size() - 1) % in.size()];
        P const& b = in[i];
        if (inside(a) != inside(b)) {
            const double t = (e - coord(a)) / (coord(b) - coord(a));
            out.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)});
        }
        if (inside(b)) out.push_back(b);
    }
    return out;
}

double sutherland_hodgman_area(Poly poly, R const& r) {
    poly = clip_half_plane(poly, true, true, r.x1);
    poly = clip_half_plane(poly, false, true, r.y1);
    poly = clip_half_plane(poly, true, false, r.x2);
    poly = clip_half_plane(poly, false, false, r.y2);
    return poly.empty() ? 0 : signed_area(poly);
}

R random_rect(std::mt19937& rng) {
    std::uniform_real_distribution<double> corner(-5, 5), size(1, 15);
    const double x = corner(rng), y = corner(rng);
    return R(x, y, x + size(rng), y + size(rng));
}

Poly random_star(std::mt19937& rng) {
    std::uniform_real_distribution<double> centre(-10, 20), radius(0.5, 25),
        angle(0, 2 * std::numbers::pi);
    std::uniform_int_distribution<int> count(3, 40);
    const P c(centre(rng), centre(rng));
    std::vector<double> angles(static_cast<std::size_t>(count(rng)));
    for (double& a : angles) a = angle(rng);
    std::sort(angles.begin(), angles.end());
    if (rng() % 2) std::reverse(angles.begin(), angles.end());  // both orientations
    Poly p;
    for (double a : angles) {
        const double rr = radius(rng);
        p.push_back({c.x + rr * std::cos(a), c.y + rr * std::sin(a)});
    }
    return p;
}

bool all_within(PolyList const& out, R const& r) {
    for (Poly const& p : out)
        for (P const& q : p)
            if (!(q.x >= r.x1 && q.x <= r.x2 && q.y >= r.y1 && q.y <= r.y2)) return false;
    return true;
}

TEST(qvClipPolygon2RectProperty, Star_shaped_areas_agree_with_sutherland_hodgman) {
    std::mt19937 rng(20240612);
    int split = 0;
    for (int round = 0; round < 5000; ++round) {
        const Poly p = random_star(rng);
        const R r = random_rect(rng);
        PolyList out;
        const bool inside = clip(p, out, false, r);
        double area = 0;
        if (inside && out.empty()) area = signed_area(p);
        for (Poly const& q : out) area += signed_area(q);
        if (!out.empty()) ++split;
        const double expected = sutherland_hodgman_area(p, r);
        ASSERT_NEAR(area, expected, 1e-9 * std::max(1.0, std::abs(expected))) << "round " << round;
        ASSERT_TRUE(all_within(out, r)) << "round " << round;
    }
    EXPECT_GT(split, 1000);
}

TEST(qvClipPolygon2RectProperty, Open_lengths_agree_with_clipping_segment_by_segment) {
    std::mt19937 rng(20240613);
    std::uniform_real_distribution<double> coord(-10, 20);
    std::uniform_int_distribution<int> count(1, 30);
    for (int round = 0; round < 5000; ++round) {
        Poly p(static_cast<std::size_t>(count(rng)));
        for (P& q : p) q = {coord(rng), coord(rng)};
        const R r = random_rect(rng);
        double expected = 0;
        for (std::size_t i = 1; i < p.size(); ++i) {
            P a, b;
            if (qvClipLine2Rect(p[i - 1], p[i], r, a, b)) expected += a.distance(b);
        }
        PolyList out;
        const bool inside = clip(p, out, true, r);
        double got = inside && out.empty() ? length(p) : 0;
        for (Poly const& q : out) got += length(q);
        ASSERT_NEAR(got, expected, 1e-9 * std::max(1.0, expected)) << "round " << round;
        ASSERT_TRUE(all_within(out, r)) << "round " << round;
    }
}

}  // namespace
