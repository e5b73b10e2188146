#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <sstream>
#include <string>

#include "qvStreamTestBuffers.hpp"

using stream_test::bytes;

// The largest array allocated since the last reset: proves that a refused
// string length allocates nothing for the body.
namespace {
std::size_t largest_array = 0;
}

void* operator new[](std::size_t n) {
    if (n > largest_array) largest_array = n;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

std::string written(auto const& value) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion(), false);
    os << value;
    return buffer.str();
}

template <class Error>
void expect_raise(auto&& action, char const* message) {
    try {
        action();
        ADD_FAILURE() << "no raise";
    } catch (Error const& e) {
        EXPECT_STREQ(e, message);
    }
}

}  // namespace

// ---- value ------------------------------------------------------------------

TEST(qvString, Reserve_blanks_a_shorter_text_only) {
    qvString s("ab");
    s.reserve(3);
    EXPECT_STREQ(s, "   ");
    qvString t("abcd");
    t.reserve(3);
    EXPECT_STREQ(t, "abcd");
}

TEST(qvString, Compares_unsigned_bytes_and_never_matches_a_null_text) {
    EXPECT_TRUE(qvString("z") < "\xC3");
    EXPECT_FALSE(qvString("\xC3") < qvString("z"));
    EXPECT_TRUE(qvString("abc") == "abc");
    EXPECT_FALSE(qvString("abc") == qvString("abd"));
    EXPECT_FALSE(qvString() == static_cast<char const*>(nullptr));
    EXPECT_FALSE(qvString() < static_cast<char const*>(nullptr));
    EXPECT_TRUE(qvString(nullptr).empty());
}

TEST(qvString, Assigning_or_appending_its_own_text_is_safe) {
    qvString s("abc");
    s = s() + 1;
    EXPECT_STREQ(s, "bc");
    s += s;
    EXPECT_STREQ(s, "bcbc");
    qvString const& same = s;
    s = same;
    EXPECT_STREQ(s, "bcbc");
    s += static_cast<char const*>(nullptr);
    s = static_cast<char const*>(nullptr);
    EXPECT_TRUE(s.empty());
    qvString copy("x");
    qvString other(copy);
    other += "y";
    EXPECT_STREQ(copy, "x");
    EXPECT_STREQ(other, "xy");
}

// ---- stream form --------------------------------------------------------------

TEST(qvStringStream, Writes_a_16_bit_length_then_the_bytes) {
    EXPECT_EQ(written(qvString()), bytes("00 00"));
    EXPECT_EQ(written(static_cast<char const*>(nullptr)), bytes("00 00"));
    EXPECT_EQ(written(qvString("abc")), bytes("03 00 61 62 63"));
    EXPECT_EQ(written("abc"), bytes("03 00 61 62 63"));
}

TEST(qvStringStream, Longest_text_round_trips_through_both_readers) {
    const std::string text(32767, 'q');
    std::stringbuf buffer;
    {
        qvOutputStream os(&buffer, qvVersion::default_version(), true);
        os << qvString(text.c_str()) << text.c_str();
    }
    qvInputStream is(&buffer);
    qvString s;
    is >> s;
    EXPECT_EQ(std::string(s), text);
    std::string p(32769, '#');
    is >> p.data();
    EXPECT_EQ(p.substr(0, 32767), text);
    EXPECT_EQ(p[32767], '\0');
    EXPECT_EQ(p[32768], '#');
    EXPECT_FALSE(is);
}

TEST(qvStringStream, Text_of_32768_bytes_is_refused_and_nothing_written) {
    const std::string text(32768, 'q');
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion(), false);
    expect_raise<qvErrorFrom<qvString>>([&] { os << qvString(text.c_str()); },
                                        "String too long for stream");
    expect_raise<qvErrorFrom<qvString>>([&] { os << text.c_str(); }, "String too long for stream");
    EXPECT_EQ(buffer.str(), "");
}

TEST(qvStringStream, Short_length_raises_incomplete_data) {
    std::stringbuf one_byte(bytes("05"));
    qvInputStream is(&one_byte);
    qvString s("old");
    expect_raise<qvErrorFrom<qvInputStream>>([&] { is >> s; }, "Incomplete data on input");
    EXPECT_STREQ(s, "old");
    qvInputStream unconnected;
    char p[4];
    expect_raise<qvErrorFrom<qvInputStream>>([&] { unconnected >> s; }, "Incomplete data on input");
    expect_raise<qvErrorFrom<qvInputStream>>([&] { unconnected >> p; }, "Incomplete data on input");
}

TEST(qvStringStream, Short_body_raises_incomplete_string_and_keeps_the_old_text) {
    std::stringbuf for_string(bytes("05 00 61 62 63")), for_array(bytes("05 00 61 62 63"));
    qvInputStream is(&for_string);
    qvString s("old");
    expect_raise<qvErrorFrom<qvString>>([&] { is >> s; }, "Incomplete string on input");
    EXPECT_STREQ(s, "old");
    qvInputStream is2(&for_array);
    char p[6];
    expect_raise<qvErrorFrom<char*>>([&] { is2 >> p; }, "Incomplete string on input");
}

TEST(qvStringStream, Negative_length_is_refused_before_allocating) {
    for (char const* length : {"FF FF", "00 80"}) {
        std::stringbuf for_string(bytes(length) + "abc"), for_array(bytes(length) + "abc");
        qvInputStream is(&for_string), is2(&for_array);
        qvString s("old");
        largest_array = 0;
        expect_raise<qvErrorFrom<qvString>>([&] { is >> s; }, "Incomplete string on input");
        EXPECT_LT(largest_array, 16u) << length;
        EXPECT_STREQ(s, "old");
        char p[4] = "xyz";
        expect_raise<qvErrorFrom<char*>>([&] { is2 >> p; }, "Incomplete string on input");
        EXPECT_STREQ(p, "xyz");
    }
}

TEST(qvStringStream, Null_array_reads_nothing) {
    std::stringbuf buffer(bytes("01 00 61"));
    qvInputStream is(&buffer);
    is >> static_cast<char*>(nullptr);
    EXPECT_EQ(is.peek(), 0x01);
}

TEST(qvStringStreamDeathTest, No_throw_aborts_on_a_short_length) {
    EXPECT_DEATH(
        {
            qvError::no_throw(true);
            std::stringbuf one_byte(bytes("05"));
            qvInputStream is(&one_byte);
            qvString s;
            is >> s;
        },
        "Unexpected Orvane error: Incomplete data on input");
}
