// The selector cookies: what the selector cook bakes, and how they live in
// a palette's cookie cache beside the standard cookies.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/interaction/qvSelectorCook.hpp>
#include <orvane/interaction/qvSelectorCookie.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"
#include "qvSelectorTestRecords.hpp"

#include <gtest/gtest.h>

namespace {

using F = qvAttributeFolderId;
using selector_test::set;

bool filled(qvPalette& palette, long handle) {
    return qvCookieAccess<qvSelectorBrushCookie>(palette, handle).cookie->filled;
}

// Counts its bakes and leaves the baking to the selector cook.
struct CountingCook : qvCook {
    int bakes = 0;
    orvane::auto_ptr<qvCookie> bake(qvPalette& palette, qvCookieHandle key) override {
        ++bakes;
        return qvSelectorCookie::cook().bake(palette, key);
    }
};

}  // namespace

TEST(qvSelectorCookie, Attribute_without_properties_bakes_the_defaults) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    EXPECT_EQ(qvCookieAccess<qvSelectorPenCookie>(palette, h).cookie->line_width, 0.0);
    EXPECT_FALSE(filled(palette, h));
    const qvSafePtr<qvSelectorMarkerCookie> marker = qvCookieAccess<qvSelectorMarkerCookie>(palette, h).cookie;
    EXPECT_EQ(marker->style, 0);
    EXPECT_EQ(marker->diameter, 5);
    EXPECT_EQ(marker->size.size(), 4.0);
    EXPECT_EQ(qvCookieAccess<qvSelectorFontCookie>(palette, h).cookie->font_size, 0.0f);
    EXPECT_TRUE(qvSelectorBrushCookie().filled);  // before baking
}

TEST(qvSelectorCookie, Properties_replace_the_defaults) {
    qvStandardPalette palette;
    long h = palette.alloc(false);
    h = set(palette, h, F::line_width, qvWrap<double>(2.5));
    h = set(palette, h, F::marker_style, qvMarkerStyle{4});
    h = set(palette, h, F::marker_diameter, qvMarkerDiameter{9});
    h = set(palette, h, F::marker_size, qvMarkerSize(7.0));
    h = set(palette, h, F::font_size, qvWrap<float>(12.5f));
    EXPECT_EQ(qvCookieAccess<qvSelectorPenCookie>(palette, h).cookie->line_width, 2.5);
    const qvSafePtr<qvSelectorMarkerCookie> marker = qvCookieAccess<qvSelectorMarkerCookie>(palette, h).cookie;
    EXPECT_EQ(marker->style, 4);
    EXPECT_EQ(marker->diameter, 9);
    EXPECT_EQ(marker->size.size(), 7.0);
    EXPECT_EQ(qvCookieAccess<qvSelectorFontCookie>(palette, h).cookie->font_size, 12.5f);
}

TEST(qvSelectorCookie, Fill_style_decides_whether_the_brush_fills) {
    qvStandardPalette palette;
    auto with = [&](int style, bool color, bool background, bool image) {
        long h = palette.alloc(false);
        if (style >= 0) h = set(palette, h, F::fill_style, qvFillStyle{style});
        if (color) h = set(palette, h, F::fill_color, qvRgbColor(0, 1, 0));
        if (background) h = set(palette, h, F::fill_background_color, qvRgbColor(1, 1, 0));
        if (image) h = set(palette, h, F::fill_image, qvBitmap());
        return filled(palette, h);
    };
    EXPECT_FALSE(with(-1, true, true, false));  // no style
    EXPECT_FALSE(with(1, true, true, false));
    EXPECT_TRUE(with(0, true, false, false));
    EXPECT_FALSE(with(0, false, true, false));  // style 0 looks at the colour only
    long empty_color = set(palette, palette.alloc(false), F::fill_style, qvFillStyle{0});
    qvRgbColor no_color;
    no_color.make_empty();
    empty_color = set(palette, empty_color, F::fill_color, no_color);
    EXPECT_FALSE(filled(palette, empty_color));
    EXPECT_TRUE(with(2, false, true, false));
    EXPECT_TRUE(with(2, true, false, false));
    EXPECT_FALSE(with(2, false, false, false));
    EXPECT_TRUE(with(8, false, false, true));
    EXPECT_FALSE(with(8, true, true, false));
}

TEST(qvSelectorCookie, Second_get_returns_the_cached_cookie_without_baking) {
    qvStandardPalette palette;
    const long h = set(palette, palette.alloc(false), F::line_width, qvWrap<double>(3.0));
    CountingCook cook;
    const qvCookieHandle key(h, qvSelectorPenCookie::kind);
    const qvSafePtr<qvCookie> first = qvSharedCookie(palette, key, cook);
    const qvSafePtr<qvCookie> second = qvSharedCookie(palette, key, cook);
    EXPECT_EQ(cook.bakes, 1);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(palette.cookie(key), first.get());
    EXPECT_EQ(qvCookieAccess<qvSelectorPenCookie>(palette, h).cookie.get(), first.get());
}

TEST(qvSelectorCookie, Wrongly_bound_folder_raises_and_caches_nothing) {
    qvStandardPalette palette;
    const long h = set(palette, palette.alloc(false), F::line_width, qvWrap<double>(3.0));
    {
        attribute_object_test::ScopedRebinding unbound("pen/color_device/line_width", nullptr);
        palette_test::expect_raises<qvErrorFrom<qvPropertyClass>>(
            [&] { (void)qvCookieAccess<qvSelectorPenCookie>(palette, h); },
            "Wrong type specified to access attribute property");
    }
    EXPECT_EQ(palette.cookie(qvCookieHandle(h, qvSelectorPenCookie::kind)), nullptr);
}

TEST(qvSelectorCookie, Standard_and_selector_cookies_of_one_attribute_live_side_by_side) {
    qvStandardPalette palette;
    long h = palette.alloc(false);
    h = set(palette, h, F::line_width, qvWrap<double>(4.0));
    h = set(palette, h, F::line_style, qvLineStyle{0});
    h = set(palette, h, F::line_color, qvRgbColor(1, 0, 0));
    const qvSafePtr<qvStandardPenCookie> standard = qvCookieAccess<qvStandardPenCookie>(palette, h).cookie;
    const qvSafePtr<qvSelectorPenCookie> selector = qvCookieAccess<qvSelectorPenCookie>(palette, h).cookie;
    EXPECT_EQ(palette.cookie(qvCookieHandle(h, 0)), standard.get());
    EXPECT_EQ(palette.cookie(qvCookieHandle(h, 5)), selector.get());
    EXPECT_EQ(standard->line_width, 4.0);
    EXPECT_EQ(selector->line_width, 4.0);
    // Kinds 0 to 3 are not the selector cook's.
    for (int kind = 0; kind <= 3; ++kind)
        EXPECT_EQ(qvSelectorCookie::cook().bake(palette, qvCookieHandle(h, kind)).get(), nullptr);
    EXPECT_EQ(qvSelectorCookie::cook().bake(palette, qvCookieHandle(h, 9)).get(), nullptr);
}

TEST(qvSelectorCookie, Foreign_cookie_under_a_selector_kind_is_replaced_by_a_fresh_bake) {
    qvStandardPalette palette;
    const long h = set(palette, palette.alloc(false), F::line_width, qvWrap<double>(6.0));
    const qvCookieHandle key(h, qvSelectorPenCookie::kind);
    palette.cookie(key, orvane::auto_ptr<qvCookie>(new qvStandardPenCookie()));
    const qvSafePtr<qvSelectorPenCookie> pen = qvCookieAccess<qvSelectorPenCookie>(palette, h).cookie;
    EXPECT_EQ(pen->line_width, 6.0);
    EXPECT_EQ(palette.cookie(key), pen.get());
    // A cookie under another selector kind is no selector pen either.
    palette.cookie(qvCookieHandle(h, 6), orvane::auto_ptr<qvCookie>(new qvSelectorPenCookie()));
    EXPECT_FALSE(filled(palette, h));
}

TEST(qvSelectorCookie, Accessor_keeps_its_cookie_when_the_cache_drops_it) {
    qvStandardPalette palette;
    long h = set(palette, palette.alloc(false), F::line_width, qvWrap<double>(1.5));
    const qvSafePtr<qvSelectorPenCookie> held = qvCookieAccess<qvSelectorPenCookie>(palette, h).cookie;
    for (int i = 0; i < 2 * qvStandardPalette::cookie_capacity; ++i)
        (void)qvCookieAccess<qvSelectorPenCookie>(palette, palette.alloc(false));
    EXPECT_NE(palette.cookie(qvCookieHandle(h, 5)), held.get());
    EXPECT_EQ(held->line_width, 1.5);
    h = set(palette, h, F::line_width, qvWrap<double>(2.0));
    EXPECT_EQ(held->line_width, 1.5);
    EXPECT_EQ(qvCookieAccess<qvSelectorPenCookie>(palette, h).cookie->line_width, 2.0);
}
