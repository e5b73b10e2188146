#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRange.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <limits>

using I2 = qvCrdOf<int>;
using D2 = qvCrdOf<double>;

TEST(qvCrdOfInt, Division_by_a_double_truncates_toward_zero_and_saturates_to_INT_MIN) {
    // Quotients: 3.5, +-inf, NaN (0 / 0) and 1e10.
    const struct { I2 p; double d; I2 expected; } rows[] = {
        {{7, -7}, 2.0, {3, -3}}, {{1, -1}, 0.0, {INT_MIN, INT_MIN}},
        {{0, 5}, 0.0, {INT_MIN, INT_MIN}}, {{10, -10}, 1e-9, {INT_MIN, INT_MIN}}};
    for (auto const& row : rows) {
        I2 q = row.p;
        EXPECT_EQ(q /= row.d, row.expected) << row.d;
        EXPECT_EQ(row.p / row.d, row.expected) << row.d;
    }
}

TEST(qvCrdOfInt, Sums_wrap_and_in_place_forms_read_their_argument_first) {
    I2 p(INT_MAX, INT_MIN), q(3, -4);
    EXPECT_EQ(p += I2(1, -1), I2(INT_MIN, INT_MAX));
    EXPECT_EQ(q += q, I2(6, -8));
}

TEST(qvCrdOfDouble, Arithmetic_distance_aliased_scalars_and_conversions) {
    const D2 a(1, 2), b(4, 6);
    EXPECT_EQ((std::array<D2, 4>{a + b, b - a, a * 3, b / 2}), (std::array<D2, 4>{{{5, 8}, {3, 4}, {3, 6}, {2, 3}}}));
    EXPECT_EQ(D2(0, 0).distance({3, 4}), 5);
    EXPECT_NE(a, D2(1, 2.0000000000000004));
    D2 p(4, 8);
    EXPECT_EQ(p /= p.x, D2(1, 2));
    EXPECT_EQ(D2(qvCrdOf<std::uint16_t>(65535, 0)), D2(65535, 0));
    const qvCrdOf<float> rounded(D2(0.1, 1e300));
    EXPECT_EQ(rounded, qvCrdOf<float>(0.1f, std::numeric_limits<float>::infinity()));
}

TEST(qvRangeOf, Two_values_are_ordered_unless_the_first_is_smaller_so_NaN_pairs_swap) {
    const qvRangeOf<double> r(5, -2), a(std::nan(""), 3), b(3, std::nan(""));
    EXPECT_EQ((std::array<double, 3>{r.lo, r.hi, r.length()}), (std::array<double, 3>{-2, 5, 7}));
    EXPECT_TRUE(a.lo == 3 && std::isnan(a.hi));
    EXPECT_TRUE(std::isnan(b.lo) && b.hi == 3);
    EXPECT_EQ(qvRangeOf<int>(INT_MIN, INT_MAX).length(), -1);  // wraps, no overflow
}
