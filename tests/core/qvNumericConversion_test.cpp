#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

TEST(qvCheckedInt32, Passes_the_int32_range_and_raises_outside) {
    EXPECT_EQ(qvCheckedInt32(INT32_MAX), INT32_MAX);
    EXPECT_EQ(qvCheckedInt32(INT32_MIN), INT32_MIN);
    EXPECT_EQ(qvCheckedInt32(-1), -1);
    EXPECT_THROW(qvCheckedInt32(INT64_C(2147483648)), qvErrorFrom<long>);
    EXPECT_THROW(qvCheckedInt32(INT64_C(-2147483649)), qvErrorFrom<long>);
    EXPECT_THROW(qvCheckedInt32(LLONG_MIN), qvErrorFrom<long>);
    try {
        qvCheckedInt32(LLONG_MAX);
    } catch (qvError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "Value does not fit a 32-bit field");
    }
}

TEST(qvTruncToInt, Truncates_toward_zero_and_saturates_to_INT_MIN) {
    EXPECT_EQ(qvTruncToInt(2.9), 2);
    EXPECT_EQ(qvTruncToInt(-2.9), -2);
    EXPECT_EQ(qvTruncToInt(-0.5), 0);
    EXPECT_EQ(qvTruncToInt(2147483647.9), INT_MAX);
    EXPECT_EQ(qvTruncToInt(-2147483648.9), INT_MIN);
    EXPECT_EQ(qvTruncToInt(2147483648.0), INT_MIN);
    EXPECT_EQ(qvTruncToInt(-2147483649.0), INT_MIN);
    EXPECT_EQ(qvTruncToInt(std::nan("")), INT_MIN);
    EXPECT_EQ(qvTruncToInt(std::numeric_limits<double>::infinity()), INT_MIN);
    EXPECT_EQ(qvTruncToInt(-std::numeric_limits<double>::infinity()), INT_MIN);
    EXPECT_EQ(qvTruncToInt(1e10), INT_MIN);
    static_assert(qvTruncToInt(-7.5) == -7);
}
