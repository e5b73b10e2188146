#include <orvane/geometry/qvMathRect.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>

using D4 = std::array<double, 4>;

TEST(qvMathRectOf, Value_and_corner_constructors_order_each_axis) {
    EXPECT_EQ(values(qvMathRectOf<double>(5, 7, 1, 2)), (D4{1, 2, 5, 7}));
    EXPECT_EQ(values(qvMathRectOf<double>(qvCrdOf<double>(5, 2), qvCrdOf<double>(1, 7))),
              (D4{1, 2, 5, 7}));
    EXPECT_EQ(values(qvMathRectOf<double>(qvCrdOf<double>(3, 4), qvCrdOf<double>(3, 4))),
              (D4{3, 4, 3, 4}));
}

TEST(qvMathRectOf, Range_and_plain_constructors_store_as_given) {
    const qvMathRectOf<float> e(qvRectOf<float>::make_empty());
    EXPECT_TRUE(e.empty());
    EXPECT_EQ(values(qvMathRectOf<double>(qvRangeOf<double>(1, 3), qvRangeOf<double>(2, 4))),
              (D4{1, 2, 3, 4}));
}

TEST(qvMathRectOf, A_NaN_value_swaps_nothing) {
    const qvMathRectOf<double> r(std::nan(""), 5, 1, 2);
    EXPECT_TRUE(std::isnan(r.x1));
    EXPECT_EQ(r.x2, 1);
    EXPECT_EQ(r.y1, 2);
    EXPECT_FALSE(r.empty());
    qvMathRectOf<double> s(0, 0, 5, 5);
    s.left(std::nan(""));
    EXPECT_EQ(s.x2, 5);
}

TEST(qvMathRectOf, Edges_follow_mathematical_orientation) {
    const qvMathRectOf<double> r(1, 2, 5, 7);
    EXPECT_EQ(r.left(), 1);
    EXPECT_EQ(r.bottom(), 2);
    EXPECT_EQ(r.right(), 5);
    EXPECT_EQ(r.top(), 7);
    EXPECT_EQ(r.lt(), qvCrdOf<double>(1, 7));
    EXPECT_EQ(r.lb(), qvCrdOf<double>(1, 2));
    EXPECT_EQ(r.rt(), qvCrdOf<double>(5, 7));
    EXPECT_EQ(r.rb(), qvCrdOf<double>(5, 2));
}

TEST(qvMathRectOf, An_edge_set_past_its_opposite_swaps_with_it) {
    qvMathRectOf<double> r(0, 0, 5, 5);
    r.left(10);
    EXPECT_EQ(values(r), (D4{5, 0, 10, 5}));
    r.t(-1);
    EXPECT_EQ(values(r), (D4{5, -1, 10, 0}));
}

TEST(qvMathRectOf, Corner_setters_swap_per_axis) {
    qvMathRectOf<double> r(0, 0, 5, 5);
    r.rb(qvCrdOf<double>(-2, 8));  // right edge passes left, bottom passes top
    EXPECT_EQ(values(r), (D4{-2, 5, 0, 8}));
    r.lt(qvCrdOf<double>(-3, 9));
    EXPECT_EQ(values(r), (D4{-3, 5, 0, 9}));
}

TEST(qvMathRectOf, Growing_moves_only_the_edges_the_other_passes) {
    qvMathRectOf<double> r(1, 1, 0, 0);  // ordered by the constructor: (0, 0, 1, 1)
    r += qvMathRectOf<double>(2, -1, 3, 0.5);
    EXPECT_EQ(values(r), (D4{0, -1, 3, 1}));
}

TEST(qvMathRectOf, Growing_the_empty_marker_treats_it_like_any_values) {
    auto f = qvMathRectOf<float>::make_empty();
    f += qvMathRectOf<float>(2, 2, 3, 3);
    EXPECT_EQ(values(f), (std::array<float, 4>{1, 1, 3, 3}));
    auto d = qvMathRectOf<double>::make_empty();
    d += qvMathRectOf<double>(2, 2, 3, 3);
    EXPECT_EQ(values(d), (D4{1, 1, 3, 3}));
    auto g = qvMathRectOf<double>(2, 2, 3, 3);
    g += qvMathRectOf<double>::make_empty();
    EXPECT_EQ(values(g), (D4{1, 1, 3, 3}));
}

TEST(qvMathRectOf, Growing_by_itself_changes_nothing) {
    qvMathRectOf<double> r(1, 2, 5, 7);
    r += r;
    EXPECT_EQ(values(r), (D4{1, 2, 5, 7}));
}

TEST(qvMathRectOf, Float_centre_is_computed_in_double_and_rounded_once) {
    // In single precision FLT_MAX + FLT_MAX overflows to infinity.
    const float big = std::numeric_limits<float>::max();
    EXPECT_EQ(qvMathRectOf<float>(big, -big, big, -big).center(), qvCrdOf<float>(big, -big));
}

TEST(qvMathRectOf, Int_measures_wrap_instead_of_overflowing) {
    const qvMathRectOf<int> r(INT_MIN, 0, INT_MAX, 65536);
    EXPECT_EQ(r.width(), -1);
    EXPECT_EQ(r.height(), 65536);
    EXPECT_EQ(r.area(), -65536);
    EXPECT_EQ(qvMathRectOf<int>(0, 0, 65536, 65536).area(), 0);
}

TEST(qvRectIntersection, Overlapping_rectangles_give_the_common_part) {
    const qvMathRectOf<double> a(0, 0, 10, 10), b(5, -5, 20, 5);
    EXPECT_EQ(values(qvRectIntersection(a, b)), (D4{5, 0, 10, 5}));
    EXPECT_EQ(values(a * b), (D4{5, 0, 10, 5}));
}

TEST(qvRectIntersection, Disjoint_rectangles_give_the_gap_between_them) {
    EXPECT_EQ(values(qvMathRectOf<double>(0, 0, 10, 10) * qvMathRectOf<double>(20, 0, 30, 10)),
              (D4{10, 0, 20, 10}));
}

TEST(qvRectsOverlap, Touching_rectangles_do_not_overlap) {
    const qvMathRectOf<double> a(0, 0, 10, 10);
    EXPECT_FALSE(qvRectsOverlap(a, qvMathRectOf<double>(10, 0, 20, 10)));
    EXPECT_FALSE(qvRectsOverlap(a, qvMathRectOf<double>(0, 10, 10, 20)));
    EXPECT_TRUE(qvRectsOverlap(a, qvMathRectOf<double>(5, 0, 5, 10)));
    EXPECT_TRUE(qvRectsOverlap(a, qvMathRectOf<double>(9, 9, 11, 11)));
    EXPECT_FALSE(qvRectsOverlap(a, qvMathRectOf<double>::make_empty()));
    EXPECT_TRUE(a != qvMathRectOf<double>(0, 0, 10, 10.000000000000002));
}
