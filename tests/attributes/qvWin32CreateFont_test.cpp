// The font helper records the fourteen creation arguments of a font request
// in a font of the caller's own.

#include <orvane/attributes/qvWin32CreateFont.hpp>

#include "platform/qvPlatformFault.hpp"
#include "platform/qvPlatformGdi.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace platform = orvane::platform;

namespace {

class qvWin32CreateFontTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::clear_failures();
        EXPECT_EQ(platform::live_font_count(), live_before_);
    }
    static qvAutoHandle<HFONT> font(HDC dc, int family, char const* face, float size, int slant, int weight,
                                    double angle) {
        return qvWin32CreateFont(dc, static_cast<qvFontFamily>(family), face, size,
                                 static_cast<qvFontSlant>(slant), static_cast<qvFontWeight>(weight), angle);
    }
    qvDeviceContext dc96{96};
    const long live_before_ = platform::live_font_count();
};

}  // namespace

TEST_F(qvWin32CreateFontTest, Records_the_fourteen_arguments_in_order) {
    const auto f = font(&dc96, 1, nullptr, 12, 1, 7, 45.0);
    ASSERT_NE(f.get(), nullptr);
    const qvFontObject& r = *f.get();
    EXPECT_EQ((std::vector<long>{r.height, r.width, r.escapement, r.orientation, r.weight, long(r.italic),
                                 long(r.underline), long(r.strike_out), long(r.char_set), long(r.out_precision),
                                 long(r.clip_precision), long(r.quality), long(r.pitch_and_family)}),
              (std::vector<long>{-16, 0, 450, 450, 700, 1, 0, 0, 0, 4, 0, 0, 0x10}));
    EXPECT_EQ(r.face, "Times New Roman");
}

TEST_F(qvWin32CreateFontTest, Family_weight_size_and_angle_map_to_defined_values) {
    EXPECT_EQ(font(&dc96, 3, "", 12, 0, 4, 0).get()->face, "Courier");
    const auto odd = font(&dc96, 99, nullptr, 12, 2, 42, 0);   // out of range: as 0
    EXPECT_EQ(odd.get()->face, "Arial");
    EXPECT_EQ(odd.get()->weight, 0);
    EXPECT_EQ(font(&dc96, 0, nullptr, 12.9f, 0, 4, 0).get()->height, -16);
    EXPECT_EQ(font(nullptr, 0, nullptr, 12, 0, 4, 0).get()->height, 0);
    EXPECT_EQ(font(&dc96, 0, nullptr, 12, 0, 4, -12.34).get()->escapement, -123);
    const auto huge = font(&dc96, 0, nullptr, NAN, 0, 4, INFINITY);
    EXPECT_EQ(huge.get()->height, 1);   // MulDiv out of range is -1
    EXPECT_EQ(huge.get()->escapement, INT_MIN);
}

TEST_F(qvWin32CreateFontTest, A_refused_face_falls_back_to_none_and_two_refusals_give_null) {
    platform::fail_next(platform::Call::create_font, ENOENT);
    const auto fallback = font(&dc96, 1, nullptr, 12, 0, 4, 0);
    ASSERT_NE(fallback.get(), nullptr);
    EXPECT_FALSE(fallback.get()->face.has_value());
    platform::fail_next(platform::Call::create_font, ENOENT, 2);
    EXPECT_EQ(font(&dc96, 1, nullptr, 12, 0, 4, 0).get(), nullptr);
}

// The host's font is a copy of the layer's record; the layer's object goes
// at once, on the fallback path too, and the copy goes with its handle
// (ownership moves are qvAutoHandle's, tested with it).
TEST_F(qvWin32CreateFontTest, The_layers_font_is_released_when_copied_and_the_copy_with_its_handle) {
    auto held = font(&dc96, 1, "Held", 12, 0, 4, 0);
    platform::fail_next(platform::Call::create_font, ENOENT);
    auto fallback = font(&dc96, 1, "Refused", 12, 0, 4, 0);
    EXPECT_EQ(platform::live_font_count(), live_before_);
    EXPECT_EQ(held.get()->face, "Held");
    HFONT kept = font(&dc96, 0, nullptr, 12, 0, 4, 0).release();
    EXPECT_EQ(kept->face, "Arial");
    qvDeleteHandle(kept);
    qvDeleteHandle(nullptr);
}

TEST(qvMulDiv, Rounds_half_away_from_zero_and_reports_overflow_as_minus_one) {
    const struct { int a, b, c, out; } rows[] = {
        {9, 100, 72, 13}, {-9, 100, 72, -13}, {7, 1, 2, 4}, {1, 1, 0, -1},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, {INT_MIN, 1, 1, -1}};   // -2^31 cannot be negated
    for (auto const& r : rows) EXPECT_EQ(platform::MulDiv(r.a, r.b, r.c), r.out) << r.a << " " << r.b << " " << r.c;
}
