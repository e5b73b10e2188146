// qvString as a value and in its stream form: a 16-bit length, then bytes.

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <sstream>
#include <string>

#include "qvFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

using qv_file_test::raises;
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

}  // namespace

TEST(qvString, Reserve_compare_and_self_assignment) {
    qvString s("ab"), t("abcd");
    s.reserve(3);
    t.reserve(3);
    EXPECT_STREQ(s, "   ");
    EXPECT_STREQ(t, "abcd");
    EXPECT_TRUE(qvString("z") < "\xC3");   // unsigned bytes
    EXPECT_FALSE(qvString() == static_cast<char const*>(nullptr));
    EXPECT_FALSE(qvString() < static_cast<char const*>(nullptr));

    qvString u("abc");
    u = u() + 1;
    EXPECT_STREQ(u, "bc");
    u += u;
    EXPECT_STREQ(u, "bcbc");
    qvString const& same = u;
    u = same;
    EXPECT_STREQ(u, "bcbc");
    u = static_cast<char const*>(nullptr);
    EXPECT_TRUE(u.empty());
}

TEST(qvStringStream, Writes_a_16_bit_length_then_the_bytes_and_refuses_32768) {
    EXPECT_EQ(written(qvString()), bytes("00 00"));
    EXPECT_EQ(written(static_cast<char const*>(nullptr)), bytes("00 00"));
    EXPECT_EQ(written(qvString("abc")), bytes("03 00 61 62 63"));

    const std::string text(32768, 'q');
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion(), false);
    EXPECT_TRUE(raises<qvErrorFrom<qvString>>([&] { os << qvString(text.c_str()); }, "String too long for stream"));
    EXPECT_TRUE(raises<qvErrorFrom<qvString>>([&] { os << text.c_str(); }, "String too long for stream"));
    EXPECT_EQ(buffer.str(), "");
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

TEST(qvStringStream, Short_input_raises_and_keeps_the_old_text) {
    std::stringbuf one_byte(bytes("05"));
    qvInputStream is(&one_byte), unconnected;
    qvString s("old");
    char p[6] = "xyz";
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { is >> s; }, "Incomplete data on input"));
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { unconnected >> p; }, "Incomplete data on input"));
    // A short body, and negative lengths, refused before allocating.
    for (char const* length : {"FF FF", "00 80", "05 00"}) {
        SCOPED_TRACE(length);
        const bool negative = length[0] != '0';
        std::stringbuf for_string(bytes(length) + "abc"), for_array(bytes(length) + "abc");
        qvInputStream is1(&for_string), is2(&for_array);
        largest_array = 0;
        EXPECT_TRUE(raises<qvErrorFrom<qvString>>([&] { is1 >> s; }, "Incomplete string on input"));
        EXPECT_TRUE(raises<qvErrorFrom<char*>>([&] { is2 >> p; }, "Incomplete string on input"));
        EXPECT_LT(largest_array, 16u);
        EXPECT_TRUE(!negative || std::string(p) == "xyz");
    }
    EXPECT_STREQ(s, "old");
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
