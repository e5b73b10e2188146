// qvClipLine2Rect and qvClipPolygon2Rect: pinned segments and polygons, bad
// input, deep nesting and long chains, and properties against simple oracles.

#include <orvane/geometry/qvClipping.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>
#include <random>

namespace {

using P = qvCrdOf<double>;
using R = qvMathRectOf<double>;
using Poly = std::vector<P>;
using PolyList = std::list<Poly>;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
const R square(0, 0, 10, 10);

R raw(double x1, double y1, double x2, double y2) { return R(qvRectOf<double>(x1, y1, x2, y2)); }

bool clip(Poly const& in, PolyList& out, bool open = false, R const& r = square) {
    return qvClipPolygon2Rect(in.data(), in.data() + in.size(), r, out, open);
}

double signed_area(Poly const& p) {
    double sum = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        P const &a = p[i], &b = p[(i + 1) % p.size()];
        sum += (b.x - a.x) * (b.y + a.y);
    }
    return -sum / 2;
}

double length(Poly const& p) {
    double sum = 0;
    for (std::size_t i = 1; i < p.size(); ++i) sum += p[i].distance(p[i - 1]);
    return sum;
}

// Sutherland-Hodgman with closed half-planes; bridging edges along the
// rectangle do not change the signed area.
double sutherland_hodgman_area(Poly poly, R const& r) {
    const auto half_plane = [&poly](bool vertical, bool keep_above, double e) {
        const auto coord = [&](P const& p) { return vertical ? p.x : p.y; };
        const auto inside = [&](P const& p) { return keep_above ? coord(p) >= e : coord(p) <= e; };
        Poly out;
        for (std::size_t i = 0; i < poly.size(); ++i) {
            P const& a = poly[(i + poly.size() - 1) % poly.size()];
            P const& b = poly[i];
            if (inside(a) != inside(b)) {
                const double t = (e - coord(a)) / (coord(b) - coord(a));
                out.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)});
            }
            if (inside(b)) out.push_back(b);
        }
        poly = out;
    };
    half_plane(true, true, r.x1);
    half_plane(false, true, r.y1);
    half_plane(true, false, r.x2);
    half_plane(false, false, r.y2);
    return poly.empty() ? 0 : signed_area(poly);
}

double area_of(PolyList const& out) {
    return std::accumulate(out.begin(), out.end(), 0.0, [](double a, Poly const& q) { return a + signed_area(q); });
}

TEST(qvClipLine2Rect, Pinned_segments_put_p2s_end_first_when_p2_moved_and_rejections_touch_nothing) {
    const P u(-77, -77);  // untouched
    // Rejected: outside, past a corner, off a zero-width rectangle, NaN (also
    // from infinite input), an inverted rectangle.
    const struct { P p1, p2; R r; bool kept; P out1, out2; } rows[] = {
        {{-5, 5}, {5, 5}, square, true, {0, 5}, {5, 5}}, {{5, 5}, {15, 5}, square, true, {10, 5}, {5, 5}},
        {{-5, -5}, {15, 15}, square, true, {10, 10}, {0, 0}},
        {{0, 0}, {0, 10}, square, true, {0, 0}, {0, 10}},  // border counts
        {{5, -5}, {5, 15}, R(5, 0, 5, 10), true, {5, 10}, {5, 0}},
        {{-5, 1}, {-1, 9}, square, false, u, u}, {{-5, 9}, {9, 25}, square, false, u, u},
        {{4, -5}, {4, 15}, R(5, 0, 5, 10), false, u, u}, {{nan, 5}, {5, 5}, square, false, u, u},
        {{-inf, 3}, {5, 5}, square, false, u, u}, {{1, 1}, {2, 2}, raw(0, 10, 10, 0), false, u, u},
    };
    for (auto const& row : rows) {
        P out1 = u, out2 = u;
        SCOPED_TRACE(testing::Message() << row.p1.x << "," << row.p1.y << " " << row.p2.x << "," << row.p2.y);
        EXPECT_EQ(qvClipLine2Rect(row.p1, row.p2, row.r, out1, out2), row.kept);
        EXPECT_EQ((std::array<P, 2>{out1, out2}), (std::array<P, 2>{row.out1, row.out2}));
    }
    P p(5, 5), q(15, 5);  // outputs may alias the inputs
    ASSERT_TRUE(qvClipLine2Rect(p, q, square, p, q));
    EXPECT_EQ((std::array<P, 2>{p, q}), (std::array<P, 2>{P(10, 5), P(5, 5)}));
}

TEST(qvClipPolygon2Rect, Pinned_shapes_give_the_pinned_pieces) {
    const struct { Poly in; bool open; PolyList expected; } rows[] = {
        {{{-5, 2}, {5, 2}, {5, 8}, {-5, 8}}, false, {{{0, 2}, {5, 2}, {5, 8}, {0, 8}}}},
        {{{2, 15}, {8, 15}, {8, 5}, {6, 5}, {6, 12}, {4, 12}, {4, 5}, {2, 5}}, false,  // arch: two pieces
         {{{4, 10}, {4, 5}, {2, 5}, {2, 10}}, {{8, 10}, {8, 5}, {6, 5}, {6, 10}}}},
        // Back in over the closing edge, from the last point to the first.
        {{{5, 2}, {15, 2}, {15, 8}}, false, {{{10, 5}, {5, 2}, {10, 2}}}},
        {{{5, 2}, {15, 2}, {15, 8}, {5, 8}}, true, {{{5, 2}, {10, 2}}, {{10, 8}, {5, 8}}}},
        {{{2, 2}, {8, 2}, {8, 8}, {2, 8}}, false, {}},  // wholly inside: true and empty
    };
    for (auto const& row : rows) {
        PolyList out{{{1, 1}}};  // replaced, not appended to
        EXPECT_TRUE(clip(row.in, out, row.open));
        EXPECT_EQ(out, row.expected);
    }
    PolyList out{{{-5, 2}, {5, 2}, {5, 8}, {-5, 8}}};  // input may point into the result
    Poly const& in = out.front();
    EXPECT_TRUE(qvClipPolygon2Rect(in.data(), in.data() + in.size(), square, out, false));
    EXPECT_EQ(out, PolyList({{{0, 2}, {5, 2}, {5, 8}, {0, 8}}}));
}

TEST(qvClipPolygon2Rect, Nothing_inside_bad_rectangles_and_non_finite_points_give_false_and_an_empty_result) {
    const Poly tri{{1, 1}, {9, 1}, {5, 9}};
    const struct { Poly in; R r; } rows[] = {
        {{{20, 20}, {30, 20}, {25, 30}}, square}, {{}, square}, {tri, raw(nan, 0, 10, 10)},
        {tri, R(5, 0, 5, 10)}, {{{2, 2}, {nan, 5}, {8, 8}}, square},  // insides are strict
        {{{-1e308, -1e308}, {1e308, 1e308}, {-1e308, 1e308}}, square},  // crossings overflow
    };
    for (auto const& row : rows)
        for (bool open : {false, true}) {
            PolyList out{{{1, 1}}};
            EXPECT_FALSE(clip(row.in, out, open, row.r)) << "open " << open;
            EXPECT_TRUE(out.empty());
        }
}

// A spiral strip centred on the line y = cy: the line cuts it into
// half-rings nested inside one another.
Poly spiral_strip(int turns, double cy) {
    Poly outer, inner;
    for (int i = 16; i <= turns * 16; ++i) {  // 16 points a turn, the radius growing 4 a turn
        const double t = std::numbers::pi * i / 8 + 0.1, r = 2 * t / std::numbers::pi;
        outer.push_back(P(std::cos(t), std::sin(t)) * (r + 1) + P(0, cy));
        inner.push_back(P(std::cos(t), std::sin(t)) * (r - 1) + P(0, cy));
    }
    outer.insert(outer.end(), inner.rbegin(), inner.rend());
    return outer;
}

// k teeth rising from a base across the line y = 10.
Poly comb(int k) {
    Poly p{{2.0 * k, 0}, {0, 0}};
    for (double x = 0; x < 2 * k; x += 2) p.insert(p.end(), {{x, 20}, {x + 1, 20}, {x + 1, 5}, {x + 2, 5}});
    return p;
}

TEST(qvClipPolygon2Rect, A_comb_joins_into_one_polygon_and_a_spiral_keeps_every_nested_ring) {
    const Poly teeth = comb(50), spiral = spiral_strip(30, 10);
    const R comb_rect(-1, -1, 200, 10), spiral_rect(-1000, -1000, 1000, 10);
    PolyList out;
    ASSERT_TRUE(clip(teeth, out, false, comb_rect));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(area_of(out), sutherland_hodgman_area(teeth, comb_rect), 1e-9);
    ASSERT_TRUE(clip(spiral, out, false, spiral_rect));
    EXPECT_GT(out.size(), 1u);
    const double expected = sutherland_hodgman_area(spiral, spiral_rect);
    EXPECT_NEAR(area_of(out), expected, 1e-9 * std::abs(expected));
}

R random_rect(std::mt19937& rng) {
    std::uniform_real_distribution<double> corner(-5, 5), size(1, 15);
    const double x = corner(rng), y = corner(rng);
    return R(x, y, x + size(rng), y + size(rng));
}

bool all_within(PolyList const& out, R const& r) {
    for (Poly const& p : out)
        for (P const& q : p)
            if (!(q.x >= r.x1 && q.x <= r.x2 && q.y >= r.y1 && q.y <= r.y2)) return false;
    return true;
}

// Star-shaped polygons: the summed signed area matches a Sutherland-Hodgman
// clip. Polylines in open mode: the summed length matches the segments
// clipped one by one. Every output point lies in the rectangle.
TEST(qvClipPolygon2RectProperty, Areas_and_open_lengths_agree_with_simple_oracles) {
    std::mt19937 rng(20240612);
    std::uniform_real_distribution<double> centre(-10, 20), radius(0.5, 25), angle(0, 2 * std::numbers::pi);
    int split = 0;
    for (int round = 0; round < 500; ++round) {
        SCOPED_TRACE(round);
        const P c(centre(rng), centre(rng));
        std::vector<double> angles(3 + rng() % 38);
        for (double& a : angles) a = angle(rng);
        std::sort(angles.begin(), angles.end());
        if (rng() % 2) std::reverse(angles.begin(), angles.end());  // both orientations
        Poly star;
        for (double a : angles) star.push_back(c + P(std::cos(a), std::sin(a)) * radius(rng));
        const R r = random_rect(rng);
        PolyList out;
        const double area = clip(star, out, false, r) && out.empty() ? signed_area(star) : area_of(out);
        const double expected = sutherland_hodgman_area(star, r);
        split += !out.empty();
        ASSERT_NEAR(area, expected, 1e-9 * std::max(1.0, std::abs(expected)));
        ASSERT_TRUE(all_within(out, r));
        Poly line(1 + rng() % 30);
        for (P& q : line) q = {centre(rng), centre(rng)};
        double expected_length = 0;
        for (std::size_t i = 1; i < line.size(); ++i) {
            P a, b;
            if (qvClipLine2Rect(line[i - 1], line[i], r, a, b)) expected_length += a.distance(b);
        }
        double length_sum = clip(line, out, true, r) && out.empty() ? length(line) : 0;
        for (Poly const& q : out) length_sum += length(q);
        ASSERT_NEAR(length_sum, expected_length, 1e-9 * std::max(1.0, expected_length));
        ASSERT_TRUE(all_within(out, r));
    }
    EXPECT_GT(split, 100);
}

}  // namespace
