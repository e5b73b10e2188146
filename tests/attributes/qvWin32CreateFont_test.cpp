#include <orvane/attributes/qvWin32CreateFont.hpp>

#include "platform/qvPlatformFault.hpp"
#include "platform/qvPlatformGdi.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <limits>
#include <string>
#include <utility>

namespace platform = orvane::platform;

namespace {

class qvWin32CreateFontTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::clear_failures();
        EXPECT_EQ(platform::live_font_count(), live_before_);
    }
    qvDeviceContext dc96{96};
    const long live_before_ = platform::live_font_count();
};

qvAutoHandle<HFONT> font(HDC dc, int family, char const* face, float size, int slant, int weight,
                         double angle) {
    return qvWin32CreateFont(dc, static_cast<qvFontFamily>(family), face, size,
                             static_cast<qvFontSlant>(slant), static_cast<qvFontWeight>(weight), angle);
}

}  // namespace

TEST_F(qvWin32CreateFontTest, Records_the_fourteen_arguments_in_order) {
    const auto f = font(&dc96, 1, nullptr, 12, 1, 7, 45.0);
    ASSERT_NE(f.get(), nullptr);
    const qvFontObject& r = *f.get();
    EXPECT_EQ(r.height, -16);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.escapement, 450);
    EXPECT_EQ(r.orientation, 450);
    EXPECT_EQ(r.weight, 700);
    EXPECT_EQ(r.italic, 1u);
    EXPECT_EQ(r.underline, 0u);
    EXPECT_EQ(r.strike_out, 0u);
    EXPECT_EQ(r.char_set, 0u);
    EXPECT_EQ(r.out_precision, 4u);
    EXPECT_EQ(r.clip_precision, 0u);
    EXPECT_EQ(r.quality, 0u);
    EXPECT_EQ(r.pitch_and_family, 0x10u);
    EXPECT_EQ(r.face, "Times New Roman");
}

TEST_F(qvWin32CreateFontTest, Family_gives_pitch_and_default_face_and_a_given_face_wins) {
    EXPECT_EQ(font(&dc96, 3, "", 12, 0, 4, 0).get()->face, "Courier");
    EXPECT_EQ(font(&dc96, 3, "", 12, 0, 4, 0).get()->pitch_and_family, 0x30u);
    EXPECT_EQ(font(&dc96, 5, "Symbol", 12, 0, 4, 0).get()->face, "Symbol");
    EXPECT_EQ(font(&dc96, 2, nullptr, 12, 0, 4, 0).get()->italic, 0u);
    const auto odd = font(&dc96, 99, nullptr, 12, 2, 42, 0);
    EXPECT_EQ(odd.get()->face, "Arial");
    EXPECT_EQ(odd.get()->pitch_and_family, 0x00u);
    EXPECT_EQ(odd.get()->weight, 0);
    EXPECT_EQ(odd.get()->italic, 0u);
    EXPECT_EQ(font(&dc96, -1, nullptr, 12, 0, -3, 0).get()->weight, 0);
}

TEST_F(qvWin32CreateFontTest, Sizes_and_angles_truncate_toward_zero) {
    EXPECT_EQ(font(&dc96, 0, nullptr, 12.9f, 0, 4, 0).get()->height, -16);
    qvDeviceContext dc100{100};
    EXPECT_EQ(font(&dc100, 0, nullptr, 9, 0, 4, 0).get()->height, -13);   // 12.5 rounds away from zero
    EXPECT_EQ(font(&dc96, 0, nullptr, 12, 0, 4, -12.34).get()->escapement, -123);
    EXPECT_EQ(font(nullptr, 0, nullptr, 12, 0, 4, 0).get()->height, 0);
}

TEST_F(qvWin32CreateFontTest, NaN_and_huge_values_give_defined_results) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto f = font(&dc96, 0, nullptr, nan, 0, 4, std::numeric_limits<double>::infinity());
    EXPECT_EQ(f.get()->height, 1);   // MulDiv out of range is -1
    EXPECT_EQ(f.get()->escapement, INT_MIN);
    EXPECT_EQ(font(&dc96, 0, nullptr, 3e9f, 0, 4, 1e300).get()->height, 1);
}

TEST_F(qvWin32CreateFontTest, A_refused_face_falls_back_to_none_and_two_refusals_give_null) {
    platform::fail_next(platform::Call::create_font, ENOENT);
    const auto fallback = font(&dc96, 1, nullptr, 12, 0, 4, 0);
    ASSERT_NE(fallback.get(), nullptr);
    EXPECT_FALSE(fallback.get()->face.has_value());
    EXPECT_EQ(fallback.get()->height, -16);
    platform::fail_next(platform::Call::create_font, ENOENT, 2);
    const auto none = font(&dc96, 1, nullptr, 12, 0, 4, 0);
    EXPECT_EQ(none.get(), nullptr);
}

TEST_F(qvWin32CreateFontTest, An_owning_handle_deletes_its_font_once) {
    const long live = platform::live_font_count();
    {
        auto a = font(&dc96, 0, nullptr, 12, 0, 4, 0);
        EXPECT_EQ(platform::live_font_count(), live + 1);
        qvAutoHandle<HFONT> b(a);   // b owns, a only holds
        EXPECT_FALSE(a.owner());
        EXPECT_TRUE(b.owner());
        a = b;                      // same handle: nothing deleted, a owns again
        EXPECT_TRUE(a.owner());
        EXPECT_FALSE(b.owner());
        qvAutoHandle<HFONT>& same = a;
        a = same;                   // self-assignment changes nothing
        EXPECT_TRUE(a.owner());
        b = a;
        EXPECT_EQ(platform::live_font_count(), live + 1);
        auto c = font(&dc96, 0, nullptr, 10, 0, 4, 0);
        c = std::move(b);           // c's own font goes; c now owns the first
        EXPECT_EQ(platform::live_font_count(), live + 1);
        EXPECT_EQ(c.get(), a.get());
    }
    EXPECT_EQ(platform::live_font_count(), live);
    HFONT kept = nullptr;
    {
        auto d = font(&dc96, 0, nullptr, 12, 0, 4, 0);
        kept = d.release();
    }
    EXPECT_EQ(platform::live_font_count(), live + 1);
    qvDeleteHandle(kept);
}

TEST(qvMulDiv, Rounds_half_away_from_zero_and_reports_overflow_as_minus_one) {
    EXPECT_EQ(platform::MulDiv(9, 100, 72), 13);
    EXPECT_EQ(platform::MulDiv(-9, 100, 72), -13);
    EXPECT_EQ(platform::MulDiv(9, 100, -72), -13);
    EXPECT_EQ(platform::MulDiv(7, 1, 2), 4);
    EXPECT_EQ(platform::MulDiv(5, 1, 3), 2);
    EXPECT_EQ(platform::MulDiv(1, 1, 0), -1);
    EXPECT_EQ(platform::MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(platform::MulDiv(INT_MIN, 1, 1), -1);   // -2^31 cannot be negated
    EXPECT_EQ(platform::MulDiv(INT_MIN, INT_MIN, 1), -1);
    EXPECT_EQ(platform::MulDiv(INT_MIN, 1, -1), -1);
}
