#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

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
    EXPECT_EQ(printed(e), "f.cpp [22] -- assertion failed: counter == 0");
    EXPECT_STREQ(static_cast<char const*>(e), "counter == 0");
    // Through the base, put stays the long form.
    const qvError& base = e;
    EXPECT_EQ(printed(base), "f.cpp [22] -- assertion failed: counter == 0");
}

TEST(qvAssertionError, Macro_records_a_repository_relative_file) {
    try {
        QV_ASSERT(1 + 1 == 3);
        FAIL() << "no raise";
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "1 + 1 == 3");
        EXPECT_STREQ(e.file(), "tests/core/qvError_test.cpp");
    }
}

TEST(qvError, Thrown_by_value_and_copies_keep_the_message_pointer) {
    static const char text[] = "Some failure";
    try {
        qvRaise(qvErrorFrom<A>(text));
        FAIL() << "no raise";
    } catch (qvError const& e) {
        const qvError copy = e;
        EXPECT_EQ(static_cast<char const*>(copy), text);
        EXPECT_EQ(printed(copy), "Some failure");
    }
}

TEST(qvError, Handlers_select_by_raising_class) {
    bool caught_as_b = false, caught_as_a = false;
    try {
        try {
            qvRaise(qvErrorFrom<A>("a"));
        } catch (qvErrorFrom<B> const&) {
            caught_as_b = true;
        }
    } catch (qvErrorFrom<A> const&) {
        caught_as_a = true;
    }
    EXPECT_FALSE(caught_as_b);
    EXPECT_TRUE(caught_as_a);
    EXPECT_THROW(qvRaise(qvErrorFrom<B>("b")), qvError);
    EXPECT_THROW(qvRaiseAssertion("x", "f", 1), qvError);
}

TEST(qvErrorDeathTest, No_throw_reports_and_aborts) {
    EXPECT_FALSE(qvError::no_throw());
    EXPECT_DEATH(
        {
            qvError::no_throw(true);
            qvRaise(qvErrorFrom<A>("Cannot open file"));
        },
        "Unexpected Orvane error: Cannot open file");
    EXPECT_DEATH(
        {
            qvError::no_throw(true);
            qvRaiseAssertion("counter == 0", "f.cpp", 22);
        },
        "Unexpected Orvane error: f.cpp \\[22\\] -- assertion failed: counter == 0");
    EXPECT_FALSE(qvError::no_throw());   // the child's switch stayed in the child
}
