// Rectangles stored as given (qvRectOf), ordered in mathematical (qvMathRectOf)
// and window (qvWinRectOf) orientation, and their free functions.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRect.hpp>
#include <orvane/geometry/qvWinRect.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

using R = qvMathRectOf<double>;
using P = qvCrdOf<double>;
using D4 = std::array<double, 4>;
using I4 = std::array<int, 4>;

TEST(qvRectOf, Keeps_corners_as_given_and_only_inverted_rectangles_are_empty) {
    const qvRectOf<double> r(5, 7, 1, 2);
    EXPECT_EQ(values(r), (D4{5, 7, 1, 2}));
    EXPECT_TRUE(r.empty());
    EXPECT_FALSE(qvRectOf<double>(3, 3, 3, 3).empty());
    EXPECT_FALSE(qvRectOf<double>(std::nan(""), 0, 1, 1).empty());
    const qvRectOf<int> outer(0, 0, 10, 10);  // edges may coincide but not pass
    EXPECT_TRUE(qvRectWithin(outer, outer));
    EXPECT_FALSE(qvRectWithin(qvRectOf<int>(0, 0, 10, 11), outer));
}

TEST(qvRectOfConversions, To_int_truncates_toward_zero_and_saturates) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(values(qvRectOf<int>(qvRectOf<double>(-1.7, 2.9, 3.5, 4.0))), (I4{-1, 2, 3, 4}));
    EXPECT_EQ(values(qvRectOf<int>(qvRectOf<double>(std::nan(""), inf, -inf, 1e10))),
              (I4{INT_MIN, INT_MIN, INT_MIN, INT_MIN}));
}

TEST(qvMathRectOf, Constructors_order_each_axis_but_a_NaN_swaps_nothing) {
    EXPECT_EQ(values(R(5, 7, 1, 2)), (D4{1, 2, 5, 7}));
    const R n(std::nan(""), 5, 1, 2);
    EXPECT_TRUE(std::isnan(n.x1) && n.x2 == 1);
    EXPECT_FALSE(n.empty());
    R s(0, 0, 5, 5);
    s.left(std::nan(""));
    EXPECT_EQ(s.x2, 5);
}

TEST(qvMathRectOf, Edges_and_corners_follow_the_orientation_and_setters_swap_per_axis) {
    const R r(1, 2, 5, 7);
    EXPECT_EQ((std::array<P, 4>{r.lt(), r.lb(), r.rt(), r.rb()}), (std::array<P, 4>{{{1, 7}, {1, 2}, {5, 7}, {5, 2}}}));
    R s(0, 0, 5, 5), c(0, 0, 5, 5);
    s.left(10);
    EXPECT_EQ(values(s), (D4{5, 0, 10, 5}));
    c.rb(P(-2, 8));  // right passes left, bottom passes top
    EXPECT_EQ(values(c), (D4{-2, 5, 0, 8}));
    using Q = qvCrdOf<int>;
    const qvWinRectOf<int> w(1, 2, 5, 7);  // y1 is the top here
    EXPECT_EQ((std::array<Q, 4>{w.lt(), w.lb(), w.rt(), w.rb()}), (std::array<Q, 4>{{{1, 2}, {1, 7}, {5, 2}, {5, 7}}}));
    qvWinRectOf<int> v(0, 0, 5, 5);
    v.lb(Q(8, 1));
    EXPECT_EQ(values(v), (I4{5, 0, 8, 1}));
}

TEST(qvMathRectOf, Growing_moves_only_the_edges_the_other_passes_and_the_empty_marker_is_not_special) {
    R r(1, 1, 0, 0);  // ordered: (0, 0, 1, 1)
    EXPECT_EQ(values(r += R(2, -1, 3, 0.5)), (D4{0, -1, 3, 1}));
    EXPECT_EQ(values(r += r), (D4{0, -1, 3, 1}));
    auto f = qvMathRectOf<float>::make_empty();
    auto d = R::make_empty();
    EXPECT_EQ(values(f += qvMathRectOf<float>(2, 2, 3, 3)), (std::array<float, 4>{1, 1, 3, 3}));
    EXPECT_EQ(values(d += R(2, 2, 3, 3)), (D4{1, 1, 3, 3}));
    qvWinRectOf<int> w(0, 0, 2, 2);
    EXPECT_EQ(values(w += qvWinRectOf<int>(-1, 1, 1, 5)), (I4{-1, 0, 2, 5}));
    EXPECT_EQ((std::array<int, 3>{w.width(), w.height(), w.area()}), (std::array<int, 3>{3, 5, 15}));
}

TEST(qvMathRectOf, Centres_are_computed_in_double_and_int_measures_wrap) {
    const float big = std::numeric_limits<float>::max();  // big + big overflows in float
    EXPECT_EQ(qvMathRectOf<float>(big, -big, big, -big).center(), qvCrdOf<float>(big, -big));
    EXPECT_EQ(qvWinRectOf<int>(0, 0, 3, 3).center(), qvCrdOf<int>(1, 1));
    EXPECT_EQ(qvWinRectOf<int>(-3, -3, 0, 0).center(), qvCrdOf<int>(-1, -1));  // toward zero
    EXPECT_EQ(qvWinRectOf<int>(INT_MAX - 1, 0, INT_MAX, 0).center().x, INT_MAX - 1);
    const qvMathRectOf<int> r(INT_MIN, 0, INT_MAX, 65536);
    EXPECT_EQ((std::array<int, 3>{r.width(), r.height(), r.area()}), (std::array<int, 3>{-1, 65536, -65536}));
}

TEST(qvRectIntersection, Gives_the_common_part_or_the_gap_and_touching_rectangles_do_not_overlap) {
    EXPECT_EQ(values(qvRectIntersection(R(0, 0, 10, 10), R(5, -5, 20, 5))), (D4{5, 0, 10, 5}));
    EXPECT_EQ(values(R(0, 0, 10, 10) * R(20, 0, 30, 10)), (D4{10, 0, 20, 10}));
    EXPECT_TRUE(R(0, 0, 10, 10) != R(0, 0, 10, 10.000000000000002));
    const R a(0, 0, 10, 10);
    EXPECT_FALSE(qvRectsOverlap(a, R(10, 0, 20, 10)));
    EXPECT_TRUE(qvRectsOverlap(a, R(5, 0, 5, 10)));
    EXPECT_FALSE(qvRectsOverlap(a, R::make_empty()));
}
