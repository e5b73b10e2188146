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

TEST(qvRectOf, Keeps_corners_as_given_only_inverted_rectangles_are_empty_and_int_conversion_saturates) {
    const qvRectOf<double> r(5, 7, 1, 2);
    EXPECT_EQ(values(r), (D4{5, 7, 1, 2}));
    EXPECT_TRUE(r.empty());
    EXPECT_FALSE(qvRectOf<double>(std::nan(""), 0, 1, 1).empty());
    EXPECT_FALSE(qvRectWithin(qvRectOf<int>(0, 0, 10, 11), qvRectOf<int>(0, 0, 10, 10)));
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(values(qvRectOf<int>(qvRectOf<double>(-1.7, 2.9, 3.5, 4.0))), (I4{-1, 2, 3, 4}));
    EXPECT_EQ(values(qvRectOf<int>(qvRectOf<double>(std::nan(""), inf, -inf, 1e10))),
              (I4{INT_MIN, INT_MIN, INT_MIN, INT_MIN}));
}

TEST(qvMathRectOf, Constructors_and_setters_order_each_axis_but_a_NaN_swaps_nothing) {
    EXPECT_EQ(values(R(5, 7, 1, 2)), (D4{1, 2, 5, 7}));
    const R n(std::nan(""), 5, 1, 2);
    EXPECT_TRUE(std::isnan(n.x1) && n.x2 == 1);
    R c(0, 0, 5, 5);
    c.rb(P(-2, 8));  // right passes left, bottom passes top
    EXPECT_EQ(values(c), (D4{-2, 5, 0, 8}));
    qvWinRectOf<int> v(0, 0, 5, 5);  // y1 is the top here
    v.lb(qvCrdOf<int>(8, 1));
    EXPECT_EQ(values(v), (I4{5, 0, 8, 1}));
}

TEST(qvMathRectOf, Growing_moves_each_edge_on_its_own_and_the_empty_marker_is_not_special) {
    R r(1, 1, 0, 0);  // ordered: (0, 0, 1, 1)
    EXPECT_EQ(values(r += R(2, -1, 3, 0.5)), (D4{0, -1, 3, 1}));
    auto f = qvMathRectOf<float>::make_empty();
    EXPECT_EQ(values(f += qvMathRectOf<float>(2, 2, 3, 3)), (std::array<float, 4>{1, 1, 3, 3}));
}

TEST(qvMathRectOf, Centres_are_computed_in_double_and_int_measures_wrap) {
    const float big = std::numeric_limits<float>::max();  // big + big overflows in float
    EXPECT_EQ(qvMathRectOf<float>(big, -big, big, -big).center(), qvCrdOf<float>(big, -big));
    EXPECT_EQ(qvWinRectOf<int>(-3, -3, 0, 0).center(), qvCrdOf<int>(-1, -1));  // toward zero
    EXPECT_EQ(qvWinRectOf<int>(INT_MAX - 1, 0, INT_MAX, 0).center().x, INT_MAX - 1);
    const qvMathRectOf<int> r(INT_MIN, 0, INT_MAX, 65536);
    EXPECT_EQ((std::array<int, 3>{r.width(), r.height(), r.area()}), (std::array<int, 3>{-1, 65536, -65536}));
}

TEST(qvRectIntersection, Gives_the_common_part_or_the_gap_and_touching_rectangles_do_not_overlap) {
    EXPECT_EQ(values(qvRectIntersection(R(0, 0, 10, 10), R(5, -5, 20, 5))), (D4{5, 0, 10, 5}));
    EXPECT_EQ(values(R(0, 0, 10, 10) * R(20, 0, 30, 10)), (D4{10, 0, 20, 10}));
    const R a(0, 0, 10, 10);
    EXPECT_FALSE(qvRectsOverlap(a, R(10, 0, 20, 10)));
    EXPECT_TRUE(qvRectsOverlap(a, R(5, 0, 5, 10)));
}
