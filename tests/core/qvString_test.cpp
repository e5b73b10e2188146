// qvString as a value and in its stream form: a 16-bit length, then bytes.

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "qvAllocationProbe.hpp"
#include "qvFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

using qv_file_test::raises;
using stream_test::bytes;

namespace {

std::string written(auto const& value) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion(), false);
    os << value;
    return buffer.str();
}

}  // namespace

TEST(qvString, Reserve_compare_and_self_assignment) {
    qvString s("ab");
    s.reserve(3);
    EXPECT_STREQ(s, "   ");
    EXPECT_TRUE(qvString("z") < "\xC3");   // unsigned bytes
    EXPECT_FALSE(qvString() == static_cast<char const*>(nullptr));
    qvString u("abc");
    u = u() + 1;
    EXPECT_STREQ(u, "bc");
    u += u;
    EXPECT_STREQ(u, "bcbc");
}

TEST(qvStringStream, Writes_a_16_bit_length_then_the_bytes_and_refuses_32768) {
    EXPECT_EQ(written(static_cast<char const*>(nullptr)), bytes("00 00"));
    EXPECT_EQ(written(qvString("abc")), bytes("03 00 61 62 63"));
    const std::string text(32768, 'q');
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion(), false);
    EXPECT_TRUE(raises<qvErrorFrom<qvString>>([&] { os << qvString(text.c_str()); }, "String too long for stream"));
    EXPECT_THROW(os << text.c_str(), qvErrorFrom<qvString>);
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
}

TEST(qvStringStream, Short_input_raises_and_keeps_the_old_text) {
    std::stringbuf one_byte(bytes("05"));
    qvInputStream is(&one_byte);
    qvString s("old");
    char p[6] = "xyz";
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { is >> s; }, "Incomplete data on input"));
    // A short body, and negative lengths, refused before allocating.
    for (char const* length : {"FF FF", "05 00"}) {
        SCOPED_TRACE(length);
        std::stringbuf for_string(bytes(length) + "abc"), for_array(bytes(length) + "abc");
        qvInputStream is1(&for_string), is2(&for_array);
        qv_allocation_probe::reset();
        EXPECT_TRUE(raises<qvErrorFrom<qvString>>([&] { is1 >> s; }, "Incomplete string on input"));
        EXPECT_TRUE(raises<qvErrorFrom<char*>>([&] { is2 >> p; }, "Incomplete string on input"));
        EXPECT_LT(qv_allocation_probe::largest_request, 16u);
    }
    EXPECT_STREQ(s, "old");
}
