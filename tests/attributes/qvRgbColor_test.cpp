#include <orvane/attributes/qvGrayColor.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "qvAttributeStreams.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace attribute_test;

namespace {

constexpr char const* rule3 =
    "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 || "
    "xr == -1 && xg == -1 && xb == -1";
constexpr char const* rule4 =
    "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 && 0 <= xa && xa <= 1 || "
    "xr == -1 && xg == -1 && xb == -1 && xa == -1";


}  // namespace

TEST(qvRgbColor, Out_of_range_components_fail_the_exact_rule) {
    EXPECT_EQ(assertion_text([] { qvRgbColor(2, 0, 0); }), rule3);
    EXPECT_EQ(assertion_text([] { qvRgbColor(0.5, 0.5, 1.5); }), rule3);
    EXPECT_EQ(assertion_text([] { qvRgbColor(0.5f, -0.1f, 0.0f); }), rule3);
    EXPECT_EQ(assertion_text([] { qvRgbColor(1.0, 0.0, 0.0, 1.5); }), rule4);
    EXPECT_EQ(assertion_text([] { qvRgbColor(0, 0, 0, 2); }), rule4);
    // A partly undefined colour is not the undefined colour.
    EXPECT_EQ(assertion_text([] { qvRgbColor(-1.0f, -1.0f, 0.0f); }), rule3);
    EXPECT_EQ(assertion_text([] { qvRgbColor(-1.0f, -1.0f, -1.0f, 1.0f); }), rule4);
    EXPECT_EQ(assertion_text([] { qvRgbColor(std::nanf(""), 0.0f, 0.0f); }), rule3);
}

TEST(qvRgbColor, Double_arguments_are_checked_before_rounding_to_float) {
    // Rounds to 1.0f, but is above 1 as a double.
    EXPECT_EQ(assertion_text([] { qvRgbColor(1.00000001, 0.0, 0.0); }), rule3);
    const qvRgbColor c(0.1, 0.2, 0.3, 0.4);
    EXPECT_EQ(c.red(), 0.1f);
    EXPECT_EQ(c.alpha(), 0.4f);
}

TEST(qvRgbColor, Integers_are_not_divided_by_255) {
    const qvRgbColor white(1, 1, 1);
    EXPECT_EQ(white, qvRgbColor(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(assertion_text([] { qvRgbColor(255, 0, 0); }), rule3);
}

TEST(qvRgbColor, Undefined_colour_is_empty_and_alpha_is_not_looked_at) {
    const qvRgbColor undefined(-1, -1, -1);
    EXPECT_TRUE(undefined.is_empty());
    EXPECT_EQ(undefined.alpha(), 1.0f);
    EXPECT_TRUE(qvRgbColor(-1, -1, -1, -1).is_empty());
    EXPECT_FALSE(qvRgbColor::unchecked(0, 0, 0, -1).is_empty());
    EXPECT_TRUE(qvRgbColor::unchecked(0, -0.5f, 0, 1).is_empty());

    qvRgbColor c(0.5f, 0.5f, 0.5f);
    c.make_empty();
    EXPECT_EQ(c, qvRgbColor(-1, -1, -1, -1));
}

TEST(qvRgbColor, Default_is_opaque_black_and_equality_is_exact_on_all_four) {
    EXPECT_EQ(qvRgbColor(), qvRgbColor(0, 0, 0, 1));
    EXPECT_NE(qvRgbColor(0.5f, 0.5f, 0.5f, 1.0f), qvRgbColor(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_NE(qvRgbColor(0.5f, 0.5f, 0.5f), qvRgbColor(0.5f, 0.5f, std::nextafter(0.5f, 1.0f)));
}

// ---------------------------------------------------------------------------
// Stream forms

TEST(qvRgbColorStream, Version_341_writes_four_little_endian_floats) {
    const qvRgbColor c(1.0, 0.0, 0.0, 0.5);
    const std::string body = written(v341, [&](qvOutputStream& os) { os << c; });
    EXPECT_EQ(body, stream_test::bytes("00 00 80 3F 00 00 00 00 00 00 00 00 00 00 00 3F"));
    Input in(v341, body);
    qvRgbColor back;
    in.stream() >> back;
    EXPECT_EQ(back, c);
}

TEST(qvRgbColorStream, Older_versions_write_three_floats_and_read_alpha_1) {
    for (const qvVersion& version : {v000, v340}) {
        const qvRgbColor c(0.2, 0.4, 0.6, 0.5);
        const std::string body = written(version, [&](qvOutputStream& os) { os << c; });
        ASSERT_EQ(body.size(), 12u);
        Input in(version, body);
        qvRgbColor back;
        in.stream() >> back;
        EXPECT_EQ(back, qvRgbColor(0.2, 0.4, 0.6)) << version.version_value();
    }
}

TEST(qvRgbColorStream, Version_341_reads_any_float_unchecked) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const qvRgbColor odd = qvRgbColor::unchecked(2.0f, -3.0f, 0.5f, 9.0f);
    Input in(v341, written(v341, [&](qvOutputStream& os) { os << odd; }));
    qvRgbColor back;
    in.stream() >> back;
    EXPECT_EQ(back, odd);

    Input nan_in(v341, written(v341, [&](qvOutputStream& os) {
                     os << qvRgbColor::unchecked(nan, 0, 0, 1);
                 }));
    nan_in.stream() >> back;
    EXPECT_TRUE(std::isnan(back.red()));
}

TEST(qvRgbColorStream, Version_0_read_checks_the_range) {
    const std::string body = stream_test::bytes("00 00 00 40 00 00 00 00 00 00 00 00");  // 2, 0, 0
    Input in(v000, body);
    qvRgbColor back(0.5f, 0.5f, 0.5f);
    EXPECT_EQ(assertion_text([&] { in.stream() >> back; }), rule3);
    EXPECT_EQ(back, qvRgbColor(0.5f, 0.5f, 0.5f));
}

TEST(qvRgbColorStream, Short_input_keeps_the_old_colour_with_the_forms_message) {
    const qvRgbColor old(0.25f, 0.5f, 0.75f, 1.0f);
    struct Case {
        qvVersion version;
        std::size_t full;
        char const* message;
    };
    for (const Case& c : {Case{v000, 12, "Invalid input stream"},
                          Case{v341, 16, "Incomplete data on input"}}) {
        for (std::size_t n = 0; n < c.full; ++n) {
            Input in(c.version, std::string(n, '\0'));
            qvRgbColor value = old;
            try {
                in.stream() >> value;
                ADD_FAILURE() << "no error at " << n;
            } catch (qvErrorFrom<qvInputStream> const& error) {
                EXPECT_STREQ(error, c.message);
            }
            EXPECT_EQ(value, old);
        }
    }
}

TEST(qvRgbColorStream, Negative_stream_version_finds_no_serializer) {
    const qvVersion negative(0x80, 0, 0);
    Input in(negative, std::string(16, '\0'));
    ASSERT_EQ(in.stream().version().version_value(), negative.version_value());
    qvRgbColor value;
    EXPECT_THROW(in.stream() >> value, qvErrorFrom<qvVersion>);
    try {
        written(negative, [](qvOutputStream& os) { os << qvRgbColor(); });
    } catch (qvErrorFrom<qvVersion> const& error) {
        EXPECT_STREQ(error, "Unknown stream version");
        return;
    }
    ADD_FAILURE() << "a negative version wrote a colour";
}
