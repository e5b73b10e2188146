#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>

#include "qvAttributeStreams.hpp"
#include "qvFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

using namespace attribute_test;
using qv_file_test::raises;
using stream_test::bytes;

namespace {
const double three[] = {4.0, 2.0, 1.0};
}  // namespace

TEST(qvLinePattern, Copies_own_their_dashes_equality_needs_the_offset_and_counts_are_not_negative) {
    qvLinePattern a(three, 3, 0.5);
    const qvLinePattern b = a;
    EXPECT_NE(a.dashes(), b.dashes());
    EXPECT_EQ(a, b);
    a = qvLinePattern();
    EXPECT_EQ(b.dashes()[2], 1.0);
    EXPECT_NE(qvLinePattern(three, 3, 0.0), qvLinePattern(three, 3, 1.0));
    EXPECT_THROW(qvLinePattern(three, -1, 0.0), qvAssertionError);
    EXPECT_EQ(assertion_text([] { qvLinePattern(nullptr, 2, 0.0); }),
              "count >= 0 && (count == 0 || dashes != nullptr)");
}

TEST(qvLinePatternStream, Count_offset_then_dashes) {
    const qvLinePattern p(three, 3, 0.5);
    const std::string body = written(v000, [&](qvOutputStream& os) { os << p; });
    ASSERT_EQ(body.size(), 36u);
    EXPECT_EQ(body.substr(0, 12), bytes("03 00 00 00 00 00 00 00 00 00 E0 3F"));
    Input in(v000, body);
    qvLinePattern back;
    in.stream() >> back;
    EXPECT_EQ(back, p);
}

TEST(qvLinePatternStream, Bad_counts_and_cuts_keep_the_old_pattern) {
    const qvLinePattern old(three, 3, 0.5);
    const std::string full = written(v341, [&](qvOutputStream& os) { os << old; });
    std::vector<std::pair<std::string, char const*>> cases = {
        {le<std::int32_t>(-1) + std::string(8, '\0'), "Invalid count on input"},
        // A huge count over 16 bytes: offset and one dash arrive, then the end.
        {le<std::int32_t>(0x7FFFFFFF) + std::string(16, '\0'), "Incomplete data on input"}};
    for (std::size_t n = 0; n < full.size(); ++n)
        cases.emplace_back(full.substr(0, n), "Incomplete data on input");
    for (auto const& [body, message] : cases) {
        qvLinePattern pattern = old;
        Input in(v341, body);
        EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { in.stream() >> pattern; }, message)) << body.size();
        EXPECT_EQ(pattern, old);
    }
}

TEST(qvMarkerSizeStream, Eight_raw_bytes_round_trip) {
    const std::string body = written(v341, [](qvOutputStream& os) { os << qvMarkerSize(4.0); });
    EXPECT_EQ(body, bytes("00 00 00 00 00 00 10 40"));
    Input in(v341, body + body.substr(0, 7));
    qvMarkerSize back;
    in.stream() >> back;
    EXPECT_EQ(back, qvMarkerSize(4.0));
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { in.stream() >> back; }, "Incomplete data on input"));
    EXPECT_EQ(back.size(), 4.0);
}
