// qvClipLine2Rect: the pinned Cohen-Sutherland results, the end order, the
// untouched outputs of a rejection, and the bad inputs.

#include <orvane/geometry/qvClipping.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

using P = qvCrdOf<double>;
using R = qvMathRectOf<double>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

const R square(0, 0, 10, 10);
const P sentinel(-77, -77);

struct Clipped {
    bool accepted;
    P out1, out2;
};

Clipped clip(P p1, P p2, R const& r = square) {
    Clipped c{false, sentinel, sentinel};
    c.accepted = qvClipLine2Rect(p1, p2, r, c.out1, c.out2);
    return c;
}

void expect_rejected(P p1, P p2, R const& r = square) {
    const Clipped c = clip(p1, p2, r);
    EXPECT_FALSE(c.accepted);
    EXPECT_EQ(c.out1, sentinel);
    EXPECT_EQ(c.out2, sentinel);
}

TEST(qvClipLine2Rect, Clips_the_pinned_segments_with_p2s_end_first_when_p2_moved) {
    Clipped c = clip({-5, 5}, {5, 5});
    ASSERT_TRUE(c.accepted);
    EXPECT_EQ(c.out1, P(0, 5));
    EXPECT_EQ(c.out2, P(5, 5));

    c = clip({5, 5}, {15, 5});
    ASSERT_TRUE(c.accepted);
    EXPECT_EQ(c.out1, P(10, 5));
    EXPECT_EQ(c.out2, P(5, 5));

    c = clip({-5, -5}, {15, 15});
    ASSERT_TRUE(c.accepted);
    EXPECT_EQ(c.out1, P(10, 10));
    EXPECT_EQ(c.out2, P(0, 0));
}

TEST(qvClipLine2Rect, Accepts_a_border_segment_unchanged) {
    const Clipped c = clip({0, 0}, {0, 10});
    ASSERT_TRUE(c.accepted);
    EXPECT_EQ(c.out1, P(0, 0));
    EXPECT_EQ(c.out2, P(0, 10));
}

TEST(qvClipLine2Rect, Rejection_leaves_the_outputs_untouched) {
    expect_rejected({-5, 1}, {-1, 9});     // both left of x1
    expect_rejected({-5, 9}, {9, 25});     // passes the corner outside
}

TEST(qvClipLine2Rect, Outputs_may_alias_the_inputs) {
    P p(5, 5), q(15, 5);
    ASSERT_TRUE(qvClipLine2Rect(p, q, square, p, q));
    EXPECT_EQ(p, P(10, 5));
    EXPECT_EQ(q, P(5, 5));
}

TEST(qvClipLine2Rect, Nan_anywhere_is_a_rejection) {
    expect_rejected({nan, 5}, {5, 5});
    expect_rejected({5, 5}, {5, nan});
    expect_rejected({1, 1}, {2, 2}, R(qvRectOf<double>(0, nan, 10, 10)));
    expect_rejected({1, 1}, {2, 2}, R(qvRectOf<double>(0, 0, nan, 10)));
}

TEST(qvClipLine2Rect, Infinite_input_that_turns_into_nan_is_a_rejection) {
    expect_rejected({-inf, 5}, {5, 5});
    expect_rejected({-inf, 3}, {5, 5});
    expect_rejected({5, 5}, {inf, inf});
}

TEST(qvClipLine2Rect, Inverted_rectangle_contains_nothing) {
    expect_rejected({1, 1}, {2, 2}, R::make_empty());
    expect_rejected({1, 1}, {2, 2}, R(qvRectOf<double>(0, 10, 10, 0)));
}

TEST(qvClipLine2Rect, Zero_width_rectangle_accepts_a_segment_lying_on_it) {
    const Clipped c = clip({5, -5}, {5, 15}, R(5, 0, 5, 10));
    ASSERT_TRUE(c.accepted);
    EXPECT_EQ(c.out1, P(5, 10));
    EXPECT_EQ(c.out2, P(5, 0));
    expect_rejected({4, -5}, {4, 15}, R(5, 0, 5, 10));
}

// Liang-Barsky on the closed rectangle: obviously right, differently rounded.
bool oracle(P a, P b, R const& r, P& lo, P& hi) {
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.x1, r.x2 - a.x, a.y - r.y1, r.y2 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    lo = {a.x + t0 * dx, a.y + t0 * dy};
    hi = {a.x + t1 * dx, a.y + t1 * dy};
    return true;
}

TEST(qvClipLine2RectProperty, Agrees_with_a_parametric_clip) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> coord(-20, 30);
    const auto near = [](P a, P b) { return std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) < 1e-9; };
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        const P a(coord(rng), coord(rng)), b(coord(rng), coord(rng));
        P lo, hi, out1, out2;
        const bool expected = oracle(a, b, square, lo, hi);
        const bool got = qvClipLine2Rect(a, b, square, out1, out2);
        if (expected && hi.distance(lo) < 1e-9) continue;  // grazes a corner
        ASSERT_EQ(got, expected) << "round " << round;
        if (!got) continue;
        ++accepted;
        for (P const& q : {out1, out2}) {
            ASSERT_TRUE(q.x >= 0 && q.x <= 10 && q.y >= 0 && q.y <= 10) << "round " << round;
        }
        ASSERT_TRUE((near(out1, lo) && near(out2, hi)) || (near(out1, hi) && near(out2, lo)))
            << "round " << round;
    }
    EXPECT_GT(accepted, 1000);
}

}  // namespace
