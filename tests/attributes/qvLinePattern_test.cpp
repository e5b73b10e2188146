#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "qvAttributeStreams.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace attribute_test;

namespace {

const double three[] = {4.0, 2.0, 1.0};

std::string int32_bytes(std::int32_t value) {
    return std::string(reinterpret_cast<char const*>(&value), 4);
}

void expect_input_error(qvLinePattern& pattern, std::string const& body, char const* message) {
    Input in(v341, body);
    try {
        in.stream() >> pattern;
        ADD_FAILURE() << "no error";
    } catch (qvErrorFrom<qvInputStream> const& error) {
        EXPECT_STREQ(error, message);
    }
}

}  // namespace

TEST(qvLinePattern, Copies_own_their_dashes) {
    qvLinePattern a(three, 3, 0.5);
    const qvLinePattern b = a;
    EXPECT_NE(a.dashes(), b.dashes());
    EXPECT_EQ(a, b);
    a = qvLinePattern();
    EXPECT_EQ(a.count(), 0);
    EXPECT_EQ(a.dashes(), nullptr);
    EXPECT_EQ(b.dashes()[2], 1.0);
}

TEST(qvLinePattern, Equality_needs_equal_offsets_and_dash_bytes) {
    EXPECT_NE(qvLinePattern(three, 3, 0.0), qvLinePattern(three, 3, 1.0));
    EXPECT_NE(qvLinePattern(three, 3, 0.0), qvLinePattern(three, 2, 0.0));
    const double plus_zero[] = {0.0}, minus_zero[] = {-0.0};
    EXPECT_NE(qvLinePattern(plus_zero, 1, 0.0), qvLinePattern(minus_zero, 1, 0.0));
}

TEST(qvLinePattern, Negative_count_or_missing_dashes_fail_the_assertion) {
    EXPECT_THROW(qvLinePattern(three, -1, 0.0), qvAssertionError);
    EXPECT_THROW(qvLinePattern(nullptr, 2, 0.0), qvAssertionError);
    EXPECT_NO_THROW(qvLinePattern(nullptr, 0, 0.0));
}

TEST(qvLinePatternStream, Count_offset_then_dashes) {
    const std::string empty = written(v341, [](qvOutputStream& os) { os << qvLinePattern(); });
    EXPECT_EQ(empty, stream_test::bytes("00 00 00 00 00 00 00 00 00 00 00 00"));

    const qvLinePattern p(three, 3, 0.5);
    const std::string body = written(v000, [&](qvOutputStream& os) { os << p; });
    ASSERT_EQ(body.size(), 36u);
    EXPECT_EQ(body.substr(0, 12), stream_test::bytes("03 00 00 00 00 00 00 00 00 00 E0 3F"));
    Input in(v000, body);
    qvLinePattern back;
    in.stream() >> back;
    EXPECT_EQ(back, p);
}

TEST(qvLinePatternStream, Bad_counts_and_short_input_keep_the_old_pattern) {
    const qvLinePattern old(three, 3, 0.5);
    qvLinePattern pattern = old;
    expect_input_error(pattern, int32_bytes(-1) + std::string(8, '\0'), "Invalid count on input");
    // A huge count over 16 bytes: offset and one dash arrive, then the end.
    expect_input_error(pattern, int32_bytes(0x7FFFFFFF) + std::string(16, '\0'),
                       "Incomplete data on input");
    const std::string full = written(v341, [&](qvOutputStream& os) { os << old; });
    for (std::size_t n = 0; n < full.size(); ++n)
        expect_input_error(pattern, full.substr(0, n), "Incomplete data on input");
    EXPECT_EQ(pattern, old);
}

TEST(qvMarkerSizeStream, Eight_raw_bytes_round_trip) {
    const std::string body = written(v341, [](qvOutputStream& os) { os << qvMarkerSize(4.0); });
    EXPECT_EQ(body, stream_test::bytes("00 00 00 00 00 00 10 40"));
    Input in(v341, body);
    qvMarkerSize back;
    in.stream() >> back;
    EXPECT_EQ(back, qvMarkerSize(4.0));

    Input short_in(v341, body.substr(0, 7));
    EXPECT_THROW(short_in.stream() >> back, qvErrorFrom<qvInputStream>);
    EXPECT_EQ(back.size(), 4.0);
}
