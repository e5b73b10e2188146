#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRange.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <climits>
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
    }
}

TEST(qvCrdOf, Int_sums_wrap_and_in_place_forms_read_their_argument_first) {
    I2 p(INT_MAX, INT_MIN);
    EXPECT_EQ(p += I2(1, -1), I2(INT_MIN, INT_MAX));
    D2 q(4, 8);
    EXPECT_EQ(q /= q.x, D2(1, 2));
}

TEST(qvRangeOf, Two_values_are_ordered_unless_the_first_is_smaller_so_NaN_pairs_swap) {
    const qvRangeOf<double> r(5, -2), a(std::nan(""), 3);
    EXPECT_EQ((std::array<double, 3>{r.lo, r.hi, r.length()}), (std::array<double, 3>{-2, 5, 7}));
    EXPECT_TRUE(a.lo == 3 && std::isnan(a.hi));
    EXPECT_EQ(qvRangeOf<int>(INT_MIN, INT_MAX).length(), -1);  // wraps, no overflow
}
