// Errors, assertions, the no_throw switch and the two numeric conversions.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>

#include <gtest/gtest.h>

#include "qvFileTestSupport.hpp"

#include <climits>
#include <cmath>
#include <sstream>
#include <string>

using qv_file_test::raises;

namespace {
struct A {};
struct B {};

std::string printed(qvError const& e) {
    std::ostringstream os;
    os << e;
    return os.str();
}
}  // namespace

TEST(qvAssertionError, Prints_file_line_and_expression_but_converts_to_expression) {
    const qvAssertionError e("counter == 0", "f.cpp", 22);
    EXPECT_EQ(printed(static_cast<qvError const&>(e)), "f.cpp [22] -- assertion failed: counter == 0");
    EXPECT_STREQ(e, "counter == 0");
    try {
        QV_ASSERT(1 + 1 == 3);
    } catch (qvAssertionError const& raised) {
        EXPECT_STREQ(raised, "1 + 1 == 3");
        EXPECT_STREQ(raised.file(), "tests/core/qvError_test.cpp");
    }
}

TEST(qvError, Thrown_by_value_caught_by_class_and_copies_keep_the_message_pointer) {
    static const char text[] = "Some failure";
    try {
        try {
            qvRaise(qvErrorFrom<A>(text));
        } catch (qvErrorFrom<B> const&) {
            ADD_FAILURE() << "caught as another class";
        }
    } catch (qvError const& e) {
        const qvError copy = e;
        EXPECT_EQ(static_cast<char const*>(copy), text);
    }
}

TEST(qvErrorDeathTest, No_throw_reports_and_aborts) {
    EXPECT_DEATH(
        {
            qvError::no_throw(true);
            qvRaise(qvErrorFrom<A>("Cannot open file"));
        },
        "Unexpected Orvane error: Cannot open file");
    EXPECT_FALSE(qvError::no_throw());
}

TEST(qvCheckedInt32, Passes_the_int32_range_and_raises_outside) {
    EXPECT_EQ(qvCheckedInt32(INT32_MIN), INT32_MIN);
    for (long long bad : {2147483648LL, -2147483649LL})
        EXPECT_TRUE(raises<qvErrorFrom<long>>([&] { qvCheckedInt32(bad); }, "Value does not fit a 32-bit field"));
}

TEST(qvTruncToInt, Truncates_toward_zero_and_saturates_to_INT_MIN) {
    const struct { double in; int out; } rows[] = {
        {-2.9, -2}, {2147483647.9, INT_MAX}, {-2147483648.9, INT_MIN},
        {2147483648.0, INT_MIN}, {-2147483649.0, INT_MIN}, {NAN, INT_MIN}, {INFINITY, INT_MIN}};
    for (auto const& row : rows) EXPECT_EQ(qvTruncToInt(row.in), row.out) << row.in;
}
