#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>

#include "qvStreamTestBuffers.hpp"

using stream_test::bytes;

namespace {
const char* const header_3_4_1 =
    "A9 4F 52 56 41 4E 45 20 42 49 4E 41 52 59 20 53 54 52 45 41 4D 00 01 00 04 03";
}

TEST(qvOutputStream, Default_stream_writes_the_26_header_bytes_on_connect) {
    std::stringbuf buffer;
    qvOutputStream os;
    EXPECT_EQ(buffer.str(), "");
    os.connect_streambuf(&buffer);
    EXPECT_EQ(buffer.str(), bytes(header_3_4_1));
    EXPECT_EQ(os.version().version_value(), 0x03040001);
}

TEST(qvOutputStream, Version_0_or_no_header_flag_writes_nothing) {
    std::stringbuf zero, off;
    qvOutputStream(&zero, qvVersion(0), true);
    qvOutputStream(&off, qvVersion::default_version(), false);
    EXPECT_EQ(zero.str(), "");
    EXPECT_EQ(off.str(), "");
}

TEST(qvOutputStream, Putn_writes_raw_little_endian_bytes_that_getn_reads_back) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion(), false);
    const std::int32_t i = 0x01020304;
    const double d = 1.0;
    os.putn(reinterpret_cast<char const*>(&i), 4);
    os.putn(reinterpret_cast<char const*>(&d), 8);
    os.put('\xFF');
    EXPECT_EQ(buffer.str(), bytes("04 03 02 01 00 00 00 00 00 00 F0 3F FF"));

    qvInputStream is(&buffer);
    std::int32_t i2 = 0;
    double d2 = 0;
    EXPECT_EQ(is.getn(reinterpret_cast<char*>(&i2), 4), 4);
    EXPECT_EQ(is.getn(reinterpret_cast<char*>(&d2), 8), 8);
    EXPECT_EQ(i2, i);
    EXPECT_EQ(d2, d);
    EXPECT_EQ(is.get(), 0xFF);
}

TEST(qvOutputStream, Unconnected_stream_writes_nothing) {
    qvOutputStream os;
    os.put('a');
    os.putn("abc", 3);
    os.connect_streambuf(static_cast<std::streambuf*>(nullptr));
    EXPECT_FALSE(os.is_open());
}

TEST(qvOutputStream, Short_header_write_raises_and_an_owned_buffer_is_deleted_once) {
    int deleted = 0;
    try {
        qvOutputStream os(orvane::auto_ptr<std::streambuf>(new stream_test::LimitedBuf(10, &deleted)),
                          qvVersion::default_version(), true);
        FAIL() << "no raise";
    } catch (qvErrorFrom<std::streambuf*> const& e) {
        EXPECT_STREQ(e, "Invalid streambuf");
    }
    EXPECT_EQ(deleted, 1);

    stream_test::LimitedBuf borrowed(10);
    qvOutputStream os;
    EXPECT_THROW(os.connect_streambuf(&borrowed), qvErrorFrom<std::streambuf*>);
    EXPECT_EQ(borrowed.written().size(), 10u);
}

TEST(qvOutputStream, Refused_payload_bytes_raise_instead_of_vanishing) {
    stream_test::LimitedBuf buffer(3);
    qvOutputStream os(&buffer, qvVersion(), false);
    os.putn("abc", 3);
    EXPECT_THROW(os.put('d'), qvErrorFrom<std::streambuf*>);
    EXPECT_THROW(os.putn("d", 1), qvErrorFrom<std::streambuf*>);
    EXPECT_EQ(buffer.written(), "abc");
}
