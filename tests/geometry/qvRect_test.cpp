#include <orvane/geometry/qvRect.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>

TEST(qvRectOf, Keeps_corners_as_given_and_reports_inverted_as_empty) {
    const qvRectOf<double> r(5, 7, 1, 2);
    EXPECT_EQ(values(r), (std::array<double, 4>{5, 7, 1, 2}));
    EXPECT_TRUE(r.empty());
    const qvRectOf<float> c(qvCrdOf<float>(3, 1), qvCrdOf<float>(0, 2));
    EXPECT_EQ(values(c), (std::array<float, 4>{3, 1, 0, 2}));
    const qvRectOf<int> g(qvRangeOf<int>(4, 1), qvRangeOf<int>(2, 9));
    EXPECT_EQ(values(g), (std::array<int, 4>{1, 2, 4, 9}));
}

TEST(qvRectOf, The_empty_marker_is_empty_and_a_point_is_not) {
    EXPECT_EQ(values(qvRectOf<double>::make_empty()), (std::array<double, 4>{1, 1, 0, 0}));
    EXPECT_TRUE(qvRectOf<int>::make_empty().empty());
    EXPECT_FALSE(qvRectOf<double>(3, 3, 3, 3).empty());
    qvRectOf<float> r(0, 0, 5, 5);
    r._make_empty();
    EXPECT_EQ(r, qvRectOf<float>::make_empty());
}

TEST(qvRectOf, A_NaN_coordinate_is_not_empty) {
    EXPECT_FALSE(qvRectOf<double>(std::nan(""), 0, 1, 1).empty());
    EXPECT_FALSE(qvRectOf<double>(0, 0, 1, std::nan("")).empty());
}

TEST(qvRectOfConversions, Double_to_int_truncates_toward_zero) {
    const qvRectOf<int> r(qvRectOf<double>(-1.7, 2.9, 3.5, 4.0));
    EXPECT_EQ(values(r), (std::array<int, 4>{-1, 2, 3, 4}));
}

TEST(qvRectOfConversions, Double_to_int_saturates_NaN_infinity_and_huge_values) {
    const double inf = std::numeric_limits<double>::infinity();
    const qvRectOf<int> r(qvRectOf<double>(std::nan(""), inf, -inf, 1e10));
    EXPECT_EQ(values(r), (std::array<int, 4>{INT_MIN, INT_MIN, INT_MIN, INT_MIN}));
}

TEST(qvRectOfConversions, Double_to_float_rounds_and_widening_is_exact) {
    const qvRectOf<float> f(qvRectOf<double>(0.1, -0.1, 1e-50, 16777217.0));
    EXPECT_EQ(values(f), (std::array<float, 4>{0.1f, -0.1f, 0.0f, 16777216.0f}));
    const qvRectOf<double> d = f;
    EXPECT_EQ(d.x1, static_cast<double>(0.1f));
    const qvRectOf<double> i = qvRectOf<int>(INT_MIN, -1, 0, INT_MAX);
    EXPECT_EQ(values(i), (std::array<double, 4>{-2147483648.0, -1, 0, 2147483647.0}));
}

TEST(qvRectWithin, Edges_may_coincide_but_not_pass) {
    const qvRectOf<int> outer(0, 0, 10, 10);
    EXPECT_TRUE(qvRectWithin(qvRectOf<int>(0, 0, 10, 10), outer));
    EXPECT_TRUE(qvRectWithin(qvRectOf<int>(2, 3, 4, 5), outer));
    EXPECT_FALSE(qvRectWithin(qvRectOf<int>(-1, 0, 10, 10), outer));
    EXPECT_FALSE(qvRectWithin(qvRectOf<int>(0, 0, 10, 11), outer));
}
