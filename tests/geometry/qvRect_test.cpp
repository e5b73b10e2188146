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
    EXPECT_EQ(values(qvRectOf<float>(qvCrdOf<float>(3, 1), qvCrdOf<float>(0, 2))), (std::array<float, 4>{3, 1, 0, 2}));
    EXPECT_EQ(values(qvRectOf<int>(qvRangeOf<int>(4, 1), qvRangeOf<int>(2, 9))), (I4{1, 2, 4, 9}));
    EXPECT_EQ(values(qvRectOf<double>::make_empty()), (D4{1, 1, 0, 0}));
    EXPECT_FALSE(qvRectOf<double>(3, 3, 3, 3).empty() || qvRectOf<double>(std::nan(""), 0, 1, 1).empty() ||
                 qvRectOf<double>(0, 0, 1, std::nan("")).empty());
    qvRectOf<float> f(0, 0, 5, 5);
    EXPECT_EQ((f._make_empty(), f), qvRectOf<float>::make_empty());
    const qvRectOf<int> outer(0, 0, 10, 10);  // edges may coincide but not pass
    EXPECT_TRUE(qvRectWithin(outer, outer) && qvRectWithin(qvRectOf<int>(2, 3, 4, 5), outer));
    EXPECT_FALSE(qvRectWithin(qvRectOf<int>(-1, 0, 10, 10), outer) || qvRectWithin(qvRectOf<int>(0, 0, 10, 11), outer));
}

TEST(qvRectOfConversions, To_int_truncates_and_saturates_to_float_rounds_widening_is_exact) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(values(qvRectOf<int>(qvRectOf<double>(-1.7, 2.9, 3.5, 4.0))), (I4{-1, 2, 3, 4}));
    EXPECT_EQ(values(qvRectOf<int>(qvRectOf<double>(std::nan(""), inf, -inf, 1e10))),
              (I4{INT_MIN, INT_MIN, INT_MIN, INT_MIN}));
    const qvRectOf<float> f(qvRectOf<double>(0.1, -0.1, 1e-50, 16777217.0));
    EXPECT_EQ(values(f), (std::array<float, 4>{0.1f, -0.1f, 0.0f, 16777216.0f}));
    EXPECT_EQ(qvRectOf<double>(f).x1, static_cast<double>(0.1f));
    EXPECT_EQ(values(qvRectOf<double>(qvRectOf<int>(INT_MIN, -1, 0, INT_MAX))),
              (D4{-2147483648.0, -1, 0, 2147483647.0}));
}

TEST(qvMathRectOf, Constructors_order_each_axis_but_a_NaN_swaps_nothing) {
    EXPECT_EQ(values(R(5, 7, 1, 2)), (D4{1, 2, 5, 7}));
    EXPECT_EQ(values(R(P(5, 2), P(1, 7))), (D4{1, 2, 5, 7}));
    EXPECT_EQ(values(R(qvRangeOf<double>(1, 3), qvRangeOf<double>(2, 4))), (D4{1, 2, 3, 4}));
    EXPECT_TRUE(qvMathRectOf<float>(qvRectOf<float>::make_empty()).empty());  // stored as given
    const R n(std::nan(""), 5, 1, 2);
    EXPECT_TRUE(std::isnan(n.x1) && n.x2 == 1 && n.y1 == 2 && !n.empty());
    R s(0, 0, 5, 5);
    EXPECT_EQ((s.left(std::nan("")), s.x2), 5);
}

TEST(qvMathRectOf, Edges_and_corners_follow_the_orientation_and_setters_swap_per_axis) {
    const R r(1, 2, 5, 7);
    EXPECT_EQ((D4{r.left(), r.bottom(), r.right(), r.top()}), (D4{1, 2, 5, 7}));
    EXPECT_EQ((std::array<P, 4>{r.lt(), r.lb(), r.rt(), r.rb()}), (std::array<P, 4>{{{1, 7}, {1, 2}, {5, 7}, {5, 2}}}));
    R s(0, 0, 5, 5), c(0, 0, 5, 5);
    EXPECT_EQ((s.left(10), values(s)), (D4{5, 0, 10, 5}));
    EXPECT_EQ((s.t(-1), values(s)), (D4{5, -1, 10, 0}));
    EXPECT_EQ((c.rb(P(-2, 8)), values(c)), (D4{-2, 5, 0, 8}));  // right passes left, bottom passes top
    EXPECT_EQ((c.lt(P(-3, 9)), values(c)), (D4{-3, 5, 0, 9}));
    const qvWinRectOf<int> w(1, 2, 5, 7);  // y1 is the top here
    EXPECT_EQ((I4{w.top(), w.bottom(), 0, 0}), (I4{2, 7, 0, 0}));
    using Q = qvCrdOf<int>;
    EXPECT_EQ((std::array<Q, 4>{w.lt(), w.lb(), w.rt(), w.rb()}), (std::array<Q, 4>{{{1, 2}, {1, 7}, {5, 2}, {5, 7}}}));
    qvWinRectOf<int> v(0, 0, 5, 5);
    EXPECT_EQ((v.top(9), values(v)), (I4{0, 5, 5, 9}));
    EXPECT_EQ((v.lb(Q(8, 1)), values(v)), (I4{5, 1, 8, 5}));
    EXPECT_EQ(values(qvWinRectOf<int>(Q(4, 9), Q(1, 2))), (I4{1, 2, 4, 9}));
}

TEST(qvMathRectOf, Growing_moves_only_the_edges_the_other_passes_and_the_empty_marker_is_not_special) {
    R r(1, 1, 0, 0);  // ordered: (0, 0, 1, 1)
    EXPECT_EQ(values(r += R(2, -1, 3, 0.5)), (D4{0, -1, 3, 1}));
    EXPECT_EQ(values(r += r), (D4{0, -1, 3, 1}));
    auto f = qvMathRectOf<float>::make_empty();
    auto d = R::make_empty(), g = R(2, 2, 3, 3);
    EXPECT_EQ(values(f += qvMathRectOf<float>(2, 2, 3, 3)), (std::array<float, 4>{1, 1, 3, 3}));
    EXPECT_EQ(values(d += R(2, 2, 3, 3)), (D4{1, 1, 3, 3}));
    EXPECT_EQ(values(g += R::make_empty()), (D4{1, 1, 3, 3}));
    qvWinRectOf<int> w(0, 0, 2, 2);
    EXPECT_EQ(values(w += qvWinRectOf<int>(-1, 1, 1, 5)), (I4{-1, 0, 2, 5}));
    EXPECT_EQ((I4{w.width(), w.height(), w.area(), 0}), (I4{3, 5, 15, 0}));
    EXPECT_EQ(values(qvWinRectOf<int>::make_empty()), (I4{1, 1, 0, 0}));
    EXPECT_TRUE(qvWinRectOf<int>(qvRectOf<int>::make_empty()).empty());
}

TEST(qvMathRectOf, Centres_are_computed_in_double_and_int_measures_wrap) {
    const float big = std::numeric_limits<float>::max();  // big + big overflows in float
    EXPECT_EQ(qvMathRectOf<float>(big, -big, big, -big).center(), qvCrdOf<float>(big, -big));
    EXPECT_EQ(qvWinRectOf<int>(0, 0, 3, 3).center(), qvCrdOf<int>(1, 1));
    EXPECT_EQ(qvWinRectOf<int>(-3, -3, 0, 0).center(), qvCrdOf<int>(-1, -1));  // toward zero
    EXPECT_EQ(qvWinRectOf<int>(INT_MAX - 1, 0, INT_MAX, 0).center().x, INT_MAX - 1);
    const qvMathRectOf<int> r(INT_MIN, 0, INT_MAX, 65536);
    EXPECT_EQ((I4{r.width(), r.height(), r.area(), qvMathRectOf<int>(0, 0, 65536, 65536).area()}),
              (I4{-1, 65536, -65536, 0}));
}

TEST(qvRectIntersection, Gives_the_common_part_or_the_gap_and_touching_rectangles_do_not_overlap) {
    EXPECT_EQ(values(qvRectIntersection(R(0, 0, 10, 10), R(5, -5, 20, 5))), (D4{5, 0, 10, 5}));
    EXPECT_EQ(values(R(0, 0, 10, 10) * R(5, -5, 20, 5)), (D4{5, 0, 10, 5}));
    EXPECT_EQ(values(R(0, 0, 10, 10) * R(20, 0, 30, 10)), (D4{10, 0, 20, 10}));
    EXPECT_TRUE(R(0, 0, 10, 10) != R(0, 0, 10, 10.000000000000002));
    const R a(0, 0, 10, 10);
    EXPECT_EQ((std::array<bool, 5>{qvRectsOverlap(a, R(10, 0, 20, 10)), qvRectsOverlap(a, R(0, 10, 10, 20)),
                                   qvRectsOverlap(a, R(5, 0, 5, 10)), qvRectsOverlap(a, R(9, 9, 11, 11)),
                                   qvRectsOverlap(a, R::make_empty())}),
              (std::array<bool, 5>{false, false, true, true, false}));
}
