#include <orvane/geometry/qvRange.hpp>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(qvRangeOf, Two_values_are_ordered) {
    const qvRangeOf<double> r(5, -2);
    EXPECT_EQ(r.lo, -2);
    EXPECT_EQ(r.hi, 5);
    const qvRangeOf<int> i(-1, 7);
    EXPECT_EQ(i.lo, -1);
    EXPECT_EQ(i.hi, 7);
    EXPECT_EQ(r.length(), 7);
}

TEST(qvRangeOf, A_pair_with_a_NaN_is_swapped) {
    const qvRangeOf<double> a(std::nan(""), 3);
    EXPECT_EQ(a.lo, 3);
    EXPECT_TRUE(std::isnan(a.hi));
    const qvRangeOf<double> b(3, std::nan(""));
    EXPECT_TRUE(std::isnan(b.lo));
    EXPECT_EQ(b.hi, 3);
}

TEST(qvRangeOf, Int_length_wraps_instead_of_overflowing) {
    EXPECT_EQ(qvRangeOf<int>(INT_MIN, INT_MAX).length(), -1);
}
