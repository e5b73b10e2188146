// Colour values: the range rules, the undefined colour, byte conversions
// and the stream forms per version (RGB 12 or 16 bytes, grey 4 or 8).

#include <orvane/attributes/qvBitmapColor.hpp>
#include <orvane/attributes/qvGrayColor.hpp>

#include "qvAttributeStreams.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace attribute_test;

namespace {

constexpr char const* rule3 =
    "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 || xr == -1 && xg == -1 && xb == -1";
constexpr char const* rule4 =
    "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 && 0 <= xa && xa <= 1 || "
    "xr == -1 && xg == -1 && xb == -1 && xa == -1";
constexpr char const* grey_rule = "0 <= xi && xi <= 1 || xi == -1";

template <class Colour>
std::string saved(qvVersion const& version, Colour const& c) {
    return written(version, [&](qvOutputStream& os) { os << c; });
}

}  // namespace

TEST(qvRgbColor, Out_of_range_components_fail_the_exact_rule) {
    const std::pair<std::function<void()>, char const*> cases[] = {
        {[] { qvRgbColor(2, 0, 0); }, rule3},  // integers are not divided by 255
        {[] { qvRgbColor(1.00000001, 0.0, 0.0); }, rule3},  // checked before rounding to 1.0f
        {[] { qvRgbColor(-1.0f, -1.0f, 0.0f); }, rule3},    // partly undefined is not undefined
        {[] { qvRgbColor(std::nanf(""), 0.0f, 0.0f); }, rule3},
        {[] { qvRgbColor(1.0, 0.0, 0.0, 1.5); }, rule4},
        {[] { qvRgbColor(-1.0f, -1.0f, -1.0f, 1.0f); }, rule4},
        {[] { qvGrayColor(1.5f); }, grey_rule},
        {[] { qvGrayColor(0.5f, -1.0f); }, "0 <= xi && xi <= 1 && 0 <= xa && xa <= 1 || xi == -1 && xa == -1"}};
    for (auto const& [call, rule] : cases) EXPECT_EQ(assertion_text(call), rule) << &call - &cases[0].first;
}

TEST(qvRgbColor, Undefined_colours_and_exact_equality) {
    EXPECT_TRUE(qvRgbColor(-1, -1, -1).is_empty());
    EXPECT_FALSE(qvRgbColor::unchecked(0, 0, 0, -1).is_empty());
    EXPECT_TRUE(qvRgbColor::unchecked(0, -0.5f, 0, 1).is_empty());
    qvRgbColor c(0.5f, 0.5f, 0.5f);
    c.make_empty();
    EXPECT_EQ(c, qvRgbColor(-1, -1, -1, -1));
    EXPECT_NE(qvRgbColor(0.5f, 0.5f, 0.5f, 1.0f), qvRgbColor(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_FALSE(qvGrayColor(-1.0f).is_empty());  // alpha is 1
    qvGrayColor g(0.5f);
    g.make_empty();
    EXPECT_EQ(g, qvGrayColor(-1.0f, -1.0f));
}

TEST(qvRgbColor, Grey_and_byte_conversions_compute_in_double_and_keep_the_low_byte) {
    EXPECT_EQ(qvGrayColor(qvRgbColor(0.0f, 0.0f, 1.0f, 0.25f)), qvGrayColor::unchecked(float(0.11), 0.25f));
    EXPECT_EQ(qvBitmapColor(qvRgbColor(0.999, 0.5, 0.0)), qvBitmapColor(254, 127, 0));
    EXPECT_EQ(qvBitmapColor(256 + 7, -1, 128), qvBitmapColor(7, 255, 128));
    EXPECT_EQ(qvRgbColor(qvBitmapColor(255, 0, 51)), qvRgbColor(1.0f, 0.0f, 51 / 255.0f, 1.0f));
    EXPECT_EQ(qvColorFloatToByte(2.0f), 510 & 0xFF);
    for (int k = 0; k < 256; ++k)
        EXPECT_EQ(qvColorFloatToByte(qvColorByteToFloat(static_cast<unsigned char>(k))), k);
    // These used to be undefined float-to-int conversions; UBSan must stay quiet.
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (float v : {nan, inf, -inf, 1e30f}) EXPECT_EQ(qvColorFloatToByte(v), 0) << v;
    EXPECT_EQ(qvBitmapColor(qvRgbColor::unchecked(nan, 0.5f, 1e30f, 1)), qvBitmapColor(0, 127, 0));
}

TEST(qvRgbColorStream, Forms_per_version) {
    EXPECT_EQ(saved(v341, qvRgbColor(1.0, 0.0, 0.0, 0.5)),
              stream_test::bytes("00 00 80 3F 00 00 00 00 00 00 00 00 00 00 00 3F"));
    const qvRgbColor rgb(0.2, 0.4, 0.6, 0.5);
    const qvGrayColor grey(0.5f, 0.25f);
    for (qvVersion const& version : {v000, v340, v341}) {
        const bool old = version.version_value() != v341.version_value();
        Input in(version, saved(version, rgb) + saved(version, grey));
        qvRgbColor rgb_back;
        qvGrayColor grey_back;
        in.stream() >> rgb_back >> grey_back;
        EXPECT_EQ(rgb_back, old ? qvRgbColor(0.2, 0.4, 0.6) : rgb) << version.version_value();
        EXPECT_EQ(grey_back, old ? qvGrayColor(0.5f) : grey);
    }
}

TEST(qvRgbColorStream, Version_341_reads_unchecked_and_version_0_checks_the_range) {
    const qvRgbColor odd = qvRgbColor::unchecked(2.0f, -3.0f, std::nanf(""), 9.0f);
    Input in(v341, saved(v341, odd));
    qvRgbColor back;
    in.stream() >> back;
    EXPECT_EQ(saved(v341, back), saved(v341, odd));  // bytes: NaN is not equal to itself
    Input old(v000, stream_test::bytes("00 00 00 40 00 00 00 00 00 00 00 00  00 00 00 40"));  // 2, 0, 0; 2
    qvRgbColor kept(0.5f, 0.5f, 0.5f);
    EXPECT_EQ(assertion_text([&] { old.stream() >> kept; }), rule3);
    EXPECT_EQ(kept, qvRgbColor(0.5f, 0.5f, 0.5f));
    qvGrayColor grey;
    EXPECT_EQ(assertion_text([&] { old.stream() >> grey; }), grey_rule);
}

TEST(qvRgbColorStream, A_cut_at_any_byte_keeps_the_old_colour) {
    const qvRgbColor old(0.25f, 0.5f, 0.75f, 1.0f);
    const qvGrayColor old_grey(0.5f, 0.5f);
    for (auto [version, message] : {std::pair{v000, "Invalid input stream"}, {v341, "Incomplete data on input"}}) {
        const std::string full = saved(version, old), full_grey = saved(version, old_grey);
        for (std::size_t n = 0; n < full.size(); ++n) {
            Input in(version, full.substr(0, n)), in_grey(version, full_grey.substr(0, n % full_grey.size()));
            qvRgbColor value = old;
            qvGrayColor grey = old_grey;
            EXPECT_EQ(raised<qvErrorFrom<qvInputStream>>([&] { in.stream() >> value; }), message) << n;
            EXPECT_EQ(raised<qvErrorFrom<qvInputStream>>([&] { in_grey.stream() >> grey; }), message) << n;
            EXPECT_EQ(value, old);
            EXPECT_EQ(grey, old_grey);
        }
    }
}

TEST(qvRgbColorStream, Negative_stream_version_finds_no_serializer) {
    const qvVersion negative(0x80, 0, 0);
    Input in(negative, std::string(16, '\0'));
    qvRgbColor value;
    qvGrayColor grey;
    EXPECT_EQ(raised<qvErrorFrom<qvVersion>>([&] { in.stream() >> value; }), "Unknown stream version");
    EXPECT_EQ(raised<qvErrorFrom<qvVersion>>([&] { in.stream() >> grey; }), "Unknown stream version");
    EXPECT_EQ(raised<qvErrorFrom<qvVersion>>([&] { saved(negative, value); }), "Unknown stream version");
}
