#include <orvane/geometry/qvWinRect.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <array>
#include <climits>

using I4 = std::array<int, 4>;

TEST(qvWinRectOf, Edges_and_corners_follow_window_orientation) {
    const qvWinRectOf<int> r(1, 2, 5, 7);
    EXPECT_EQ(r.top(), 2);
    EXPECT_EQ(r.bottom(), 7);
    EXPECT_EQ(r.lt(), qvCrdOf<int>(1, 2));
    EXPECT_EQ(r.lb(), qvCrdOf<int>(1, 7));
    EXPECT_EQ(r.rt(), qvCrdOf<int>(5, 2));
    EXPECT_EQ(r.rb(), qvCrdOf<int>(5, 7));
}

TEST(qvWinRectOf, Setters_keep_each_axis_ordered) {
    qvWinRectOf<int> r(0, 0, 5, 5);
    r.top(9);  // top is y1 here: passes the bottom and swaps
    EXPECT_EQ(values(r), (I4{0, 5, 5, 9}));
    r.lb(qvCrdOf<int>(8, 1));
    EXPECT_EQ(values(r), (I4{5, 1, 8, 5}));
}

TEST(qvWinRectOf, Int_centre_truncates_toward_zero) {
    EXPECT_EQ(qvWinRectOf<int>(0, 0, 3, 3).center(), qvCrdOf<int>(1, 1));
    EXPECT_EQ(qvWinRectOf<int>(-3, -3, 0, 0).center(), qvCrdOf<int>(-1, -1));
    // Computed in double, so the sum of the extremes does not overflow.
    EXPECT_EQ(qvWinRectOf<int>(INT_MAX - 1, 0, INT_MAX, 0).center().x, INT_MAX - 1);
}

TEST(qvWinRectOf, Int_constructors_and_growth) {
    EXPECT_EQ(values(qvWinRectOf<int>(qvCrdOf<int>(4, 9), qvCrdOf<int>(1, 2))), (I4{1, 2, 4, 9}));
    const qvWinRectOf<int> e(qvRectOf<int>::make_empty());
    EXPECT_TRUE(e.empty());
    EXPECT_EQ(values(qvWinRectOf<int>::make_empty()), (I4{1, 1, 0, 0}));
    qvWinRectOf<int> g(0, 0, 2, 2);
    g += qvWinRectOf<int>(-1, 1, 1, 5);
    EXPECT_EQ(values(g), (I4{-1, 0, 2, 5}));
    EXPECT_EQ(g.width(), 3);
    EXPECT_EQ(g.height(), 5);
    EXPECT_EQ(g.area(), 15);
}
