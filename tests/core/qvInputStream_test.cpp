#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include "core/qvStreamFields.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "qvStreamTestBuffers.hpp"

using stream_test::bytes;

namespace {

const char* const signature = "A9 4F 52 56 41 4E 45 20 42 49 4E 41 52 59 20 53 54 52 45 41 4D 00";

std::string headed(char const* version_hex, std::string const& payload = {}) {
    return bytes(signature) + bytes(version_hex) + payload;
}

std::string rest_of(qvInputStream& is) {
    std::string out;
    for (int c = is.get(); c != -1; c = is.get()) out += static_cast<char>(c);
    return out;
}

}  // namespace

// ---- header probe -----------------------------------------------------------

TEST(qvInputStreamProbe, Header_gives_the_version_then_the_payload) {
    std::stringbuf buffer(headed("01 00 04 03", "xyz"));
    qvInputStream is(&buffer);
    EXPECT_EQ(is.version().version_value(), 0x03040001);
    EXPECT_EQ(is.version().version_major(), 3);
    EXPECT_EQ(is.version().version_minor(), 4);
    EXPECT_EQ(is.version().version_build(), 1);
    EXPECT_EQ(rest_of(is), "xyz");
}

TEST(qvInputStreamProbe, Headerless_data_reads_from_its_first_byte_with_version_0) {
    std::stringbuf buffer("abc");
    qvInputStream is(&buffer);
    EXPECT_EQ(is.version().version_value(), 0);
    EXPECT_EQ(is.get(), 'a');
    EXPECT_EQ(is.get(), 'b');
    EXPECT_EQ(is.get(), 'c');
    EXPECT_EQ(is.get(), -1);
    EXPECT_FALSE(is);
}

TEST(qvInputStreamProbe, Almost_a_header_is_given_back_whole) {
    // Same signature but the last byte: 22 bytes probed and all pushed back.
    std::string almost = bytes(signature);
    almost.back() = '!';
    std::stringbuf buffer(almost + "tail");
    qvInputStream is(&buffer);
    EXPECT_EQ(is.version().version_value(), 0);
    EXPECT_EQ(rest_of(is), almost + "tail");
}

TEST(qvInputStreamProbe, Empty_or_truncated_headers_leave_version_0_at_the_end) {
    for (const std::string& data : {std::string(), bytes(signature), headed("01 00 04")}) {
        std::stringbuf buffer(data);
        qvInputStream is(&buffer);
        EXPECT_EQ(is.version().version_value(), 0) << data.size();
        EXPECT_FALSE(is) << data.size();
        EXPECT_EQ(is.get(), -1);
    }
}

TEST(qvInputStreamProbe, Works_on_a_buffer_that_cannot_seek) {
    stream_test::NonSeekableBuf buffer("abc");
    qvInputStream is(&buffer);
    EXPECT_EQ(is.version().version_value(), 0);
    EXPECT_EQ(rest_of(is), "abc");
}

TEST(qvInputStreamProbe, Seeks_back_when_push_back_fails) {
    stream_test::UnbufferedSeekableBuf buffer("abc");
    qvInputStream is(&buffer);
    EXPECT_EQ(rest_of(is), "abc");
}

TEST(qvInputStreamProbe, Works_on_a_file_buffer) {
    char path[] = "/tmp/qvInputStreamXXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    {
        std::ofstream out(path, std::ios::binary);
        out << "plain file";
    }
    {
        std::filebuf file;
        ASSERT_TRUE(file.open(path, std::ios::in | std::ios::binary));
        qvInputStream is(&file);
        EXPECT_EQ(is.version().version_value(), 0);
        EXPECT_EQ(rest_of(is), "plain file");
    }
    std::remove(path);
}

TEST(qvInputStreamProbe, Reconnecting_resets_the_version) {
    std::stringbuf with_header(headed("01 00 04 03")), plain("abc");
    qvInputStream is(&with_header);
    ASSERT_EQ(is.version().version_value(), 0x03040001);
    is.connect_streambuf(&plain);
    EXPECT_EQ(is.version().version_value(), 0);
    EXPECT_EQ(is.get(), 'a');
}

TEST(qvInputStreamProbe, Negative_version_is_read_as_signed) {
    std::stringbuf buffer(headed("00 00 00 81"));
    qvInputStream is(&buffer);
    EXPECT_EQ(is.version().version_major(), 0x81);
    EXPECT_LT(is.version().version_value(), 0);
}

// ---- reading ----------------------------------------------------------------

TEST(qvInputStream, Peek_does_not_consume_and_skip_moves_relative) {
    std::stringbuf buffer("abcdef");
    qvInputStream is(&buffer);
    EXPECT_EQ(is.peek(), 'a');
    EXPECT_EQ(is.peek(), 'a');
    EXPECT_EQ(is.skip(2), 2);
    EXPECT_EQ(is.get(), 'c');
    EXPECT_EQ(is.skip(-1), 2);
    char out[8] = {};
    EXPECT_EQ(is.getn(out, 8), 4);
    EXPECT_STREQ(out, "cdef");
    EXPECT_EQ(is.getn(out, 8), 0);
}

TEST(qvInputStream, Unconnected_stream_reads_nothing) {
    qvInputStream is;
    char out[2];
    EXPECT_EQ(is.get(), -1);
    EXPECT_EQ(is.peek(), -1);
    EXPECT_EQ(is.getn(out, 2), -1);
    EXPECT_EQ(is.skip(1), -1);
    EXPECT_FALSE(is);
    EXPECT_EQ(is.version().version_value(), 0);
}

// ---- fixed-size fields --------------------------------------------------------

TEST(qvStreamFields, Short_or_unconnected_reads_raise_incomplete_data) {
    std::stringbuf buffer(bytes("01 02 03"));
    qvInputStream is(&buffer);
    try {
        qvReadInt32(is);
        FAIL() << "no raise";
    } catch (qvErrorFrom<qvInputStream> const& e) {
        EXPECT_STREQ(e, "Incomplete data on input");
    }
    qvInputStream unconnected;
    char byte;
    EXPECT_THROW(qvReadExact(unconnected, &byte, 1), qvErrorFrom<qvInputStream>);
}

TEST(qvStreamFields, Long_fields_are_int32_and_never_truncated) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion(), false);
    qvWriteInt32(os, -2);
    qvWriteValue(os, 0.5f);
    EXPECT_THROW(qvWriteInt32(os, 0x80000000L), qvErrorFrom<long>);
    EXPECT_EQ(buffer.str(), bytes("FE FF FF FF 00 00 00 3F"));

    qvInputStream is(&buffer);
    EXPECT_EQ(qvReadInt32(is), -2L);
    EXPECT_EQ(qvReadValue<float>(is), 0.5f);
}
