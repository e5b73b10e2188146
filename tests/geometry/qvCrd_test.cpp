#include <orvane/geometry/qvCrd.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();
}

TEST(qvCrdOfInt, Division_by_a_double_truncates_toward_zero) {
    EXPECT_EQ(qvCrdOf<int>(7, -7) / 2.0, qvCrdOf<int>(3, -3));
    qvCrdOf<int> p(-9, 9);
    p /= 4.0;
    EXPECT_EQ(p, qvCrdOf<int>(-2, 2));
}

TEST(qvCrdOfInt, Division_saturates_NaN_infinite_and_huge_quotients_to_INT_MIN) {
    EXPECT_EQ(qvCrdOf<int>(1, -1) / 0.0, qvCrdOf<int>(INT_MIN, INT_MIN));
    EXPECT_EQ(qvCrdOf<int>(0, 5) / 0.0, qvCrdOf<int>(INT_MIN, INT_MIN));  // 0/0 is NaN
    EXPECT_EQ(qvCrdOf<int>(1, 1) / std::nan(""), qvCrdOf<int>(INT_MIN, INT_MIN));
    EXPECT_EQ(qvCrdOf<int>(10, -10) / 1e-9, qvCrdOf<int>(INT_MIN, INT_MIN));
    EXPECT_EQ(qvCrdOf<int>(5, 5) / inf, qvCrdOf<int>(0, 0));
}

TEST(qvCrdOfInt, Sums_wrap_instead_of_overflowing) {
    qvCrdOf<int> p(INT_MAX, INT_MIN);
    p += qvCrdOf<int>(1, -1);
    EXPECT_EQ(p, qvCrdOf<int>(INT_MIN, INT_MAX));
    EXPECT_EQ(qvCrdOf<int>(2, 3) + qvCrdOf<int>(-5, 4), qvCrdOf<int>(-3, 7));
}

TEST(qvCrdOfInt, Self_sum_and_self_division_read_the_argument_first) {
    qvCrdOf<int> p(3, -4);
    p += p;
    EXPECT_EQ(p, qvCrdOf<int>(6, -8));
    p /= p.x;
    EXPECT_EQ(p, qvCrdOf<int>(1, -1));
}

TEST(qvCrdOfDouble, Scalar_division_in_place_uses_the_old_value_when_aliased) {
    qvCrdOf<double> p(4, 8);
    p /= p.x;
    EXPECT_EQ(p, qvCrdOf<double>(1, 2));
    qvCrdOf<double> q(3, 5);
    q *= q.x;
    EXPECT_EQ(q, qvCrdOf<double>(9, 15));
}

TEST(qvCrdOfDouble, Arithmetic_and_distance) {
    const qvCrdOf<double> a(1, 2), b(4, 6);
    EXPECT_EQ(a + b, qvCrdOf<double>(5, 8));
    EXPECT_EQ(b - a, qvCrdOf<double>(3, 4));
    EXPECT_EQ(a * 3, qvCrdOf<double>(3, 6));
    EXPECT_EQ(b / 2, qvCrdOf<double>(2, 3));
    EXPECT_EQ(qvCrdOf<double>(0, 0).distance({3, 4}), 5);
    EXPECT_NE(a, qvCrdOf<double>(1, 2.0000000000000004));
}

TEST(qvCrdOfConversions, Widening_to_double_is_exact_and_narrowing_to_float_rounds) {
    const qvCrdOf<double> from_int = qvCrdOf<int>(INT_MIN, INT_MAX);
    EXPECT_EQ(from_int, qvCrdOf<double>(-2147483648.0, 2147483647.0));
    const qvCrdOf<double> from_u16 = qvCrdOf<std::uint16_t>(65535, 0);
    EXPECT_EQ(from_u16, qvCrdOf<double>(65535, 0));
    const qvCrdOf<float> rounded(qvCrdOf<double>(0.1, 1e300));
    EXPECT_EQ(rounded.x, 0.1f);
    EXPECT_EQ(rounded.y, std::numeric_limits<float>::infinity());
    const qvCrdOf<double> widened = rounded;
    EXPECT_EQ(widened.x, static_cast<double>(0.1f));
}
