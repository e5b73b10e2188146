// The standard cook's bakes at their edge cases.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvStandardCook.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"

#include <gtest/gtest.h>

#include <functional>

using attribute_object_test::folder;
using attribute_object_test::ScopedRebinding;

namespace {

template <class Cookie>
std::unique_ptr<Cookie> bake(qvPalette& palette, long handle) {
    qvStandardCook cook;
    return std::unique_ptr<Cookie>(
        static_cast<Cookie*>(cook.bake(palette, qvCookieHandle(handle, Cookie::kind)).release()));
}

// An attribute set up by `set` through a proxy; the proxy keeps it alive.
struct Attribute {
    explicit Attribute(std::function<void(qvAttributeProxy&)> const& set) : proxy(palette, 0) {
        set(proxy);
    }
    qvStandardPalette palette;
    qvAttributeProxy proxy;
    long handle() const { return proxy.attribute_handle(); }
};

const qvRgbColor red(1.0f, 0.0f, 0.0f), green(0.0f, 1.0f, 0.0f);

}  // namespace

TEST(qvStandardCook, Attribute_without_properties_bakes_the_initial_cookies) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    auto pen = bake<qvStandardPenCookie>(palette, h);
    EXPECT_EQ(pen->line_style, 1);
    EXPECT_TRUE(pen->empty);
    auto brush = bake<qvStandardBrushCookie>(palette, h);
    EXPECT_EQ(brush->fill_style, 1);
    EXPECT_TRUE(brush->empty);
    EXPECT_EQ(bake<qvStandardMarkerCookie>(palette, h)->marker_size, qvMarkerSize(4.0));
    auto font = bake<qvStandardFontCookie>(palette, h);
    EXPECT_STREQ(font->font_name, "");
    EXPECT_EQ(font->font_size, 10.0f);
    qvStandardCook cook;  // an unknown kind bakes nothing
    EXPECT_EQ(cook.bake(palette, qvCookieHandle(h, 4)).get(), nullptr);
}

TEST(qvStandardCook, Pen_falls_back_where_colours_are_missing) {
    struct Case {
        char const* what;
        std::function<void(qvAttributeProxy&)> set;
        int style;
        bool empty, no_color, no_bg_color;
        qvRgbColor color;
        int index;
        double width;
    };
    const qvRgbColor black;
    const Case cases[] = {
        {"index only", [](auto& a) { a.line_style(qvLineStyle{2}); a.line_color_index(5); a.line_background_color(green); },
         2, false, false, false, black, 5, 0.0},
        {"background only", [&](auto& a) { a.line_style(qvLineStyle{2}); a.line_background_color(green); a.line_width(3.0); },
         0, true, false, true, green, -1, 3.0},
        {"nothing", [](auto& a) { a.line_style(qvLineStyle{2}); a.line_width(3.0); },
         1, true, true, true, black, -1, 0.0},
        {"negative red", [](auto& a) { a.line_style(qvLineStyle{2}); a.line_color(qvRgbColor::unchecked(-0.5f, 1, 1, 1)); },
         1, true, true, true, black, -1, 0.0},
        {"pattern style without pattern", [&](auto& a) { a.line_color(red); a.line_style(qvLineStyle{6}); },
         0, true, false, true, red, -1, 0.0},
    };
    for (Case const& c : cases) {
        Attribute attribute(c.set);
        auto pen = bake<qvStandardPenCookie>(attribute.palette, attribute.handle());
        EXPECT_EQ(pen->line_style, c.style) << c.what;
        EXPECT_EQ(pen->empty, c.empty) << c.what;
        EXPECT_EQ(pen->no_color, c.no_color) << c.what;
        EXPECT_EQ(pen->no_bg_color, c.no_bg_color) << c.what;
        EXPECT_EQ(pen->color, c.color) << c.what;
        EXPECT_EQ(pen->color_index, c.index) << c.what;
        EXPECT_EQ(pen->line_width, c.width) << c.what;
    }
}

TEST(qvStandardCook, Brush_falls_back_where_fills_are_missing) {
    qvBitmap image(qvBitmapLayout{}, 4, 4);
    const qvCustomBrush gradient = qvLinearGradient(qvCrdOf<double>(0, 0), red, qvCrdOf<double>(1, 1), green);
    struct Case {
        char const* what;
        std::function<void(qvAttributeProxy&)> set;
        int style;
        bool empty;
    };
    const Case cases[] = {
        {"brush style without brush", [&](auto& a) { a.fill_style(qvFillStyle{9}); a.fill_background_color(green); }, 0, true},
        {"brush style, no colour at all", [](auto& a) { a.fill_style(qvFillStyle{9}); }, 1, true},
        {"image style without image", [&](auto& a) { a.fill_style(qvFillStyle{8}); a.fill_color(red); }, 0, true},
        {"image", [&](auto& a) { a.fill_color(red); a.fill_pattern(image); }, 8, false},
        {"brush", [&](auto& a) { a.fill_style(qvFillStyle{9}); a.fill_color(red); a.fill_brush(gradient); }, 9, false},
    };
    for (Case const& c : cases) {
        Attribute attribute(c.set);
        auto brush = bake<qvStandardBrushCookie>(attribute.palette, attribute.handle());
        EXPECT_EQ(brush->fill_style, c.style) << c.what;
        EXPECT_EQ(brush->empty, c.empty) << c.what;
        if (c.style == 8) {
            EXPECT_TRUE(brush->fill_image == *static_cast<qvBitmap const*>(attribute.proxy.property(
                            folder("brush/color_device/fill_image")))) << "shares the stored pixels";
        }
        if (c.style == 9) {
            EXPECT_EQ(brush->custom_brush.get(), gradient.get());
        }
    }
}

TEST(qvStandardCook, Marker_falls_back_without_its_image_and_font_takes_what_is_present) {
    qvBitmap image(qvBitmapLayout{}, 3, 3);
    Attribute without_image([](auto& a) { a.marker_style(qvMarkerStyle{7}); a.marker_size(qvMarkerSize(6.0)); });
    auto marker = bake<qvStandardMarkerCookie>(without_image.palette, without_image.handle());
    EXPECT_EQ(marker->marker_style, 1);
    EXPECT_EQ(marker->marker_size, qvMarkerSize(6.0));
    Attribute with_image([&](auto& a) { a.marker_pattern(image); a.marker_hot_spot(qvCrdOf<int>(1, 2)); });
    marker = bake<qvStandardMarkerCookie>(with_image.palette, with_image.handle());
    EXPECT_EQ(marker->marker_style, 7);
    EXPECT_EQ(marker->hot_spot, qvCrdOf<int>(1, 2));

    Attribute font([](auto& a) { a.font_style(QV_FF_SWISS, "Sans", 14.0f, QV_FS_ITALIC, QV_FW_BOLD, qvFontAttribute{3}); });
    EXPECT_STREQ(bake<qvStandardFontCookie>(font.palette, font.handle())->font_name, "Sans");
}

TEST(qvStandardCook, Wrongly_bound_folder_raises_even_without_a_value) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    ScopedRebinding rebound("pen/color_device/line_style",
                            qvStandardPropertyClass<FILL_STYLE_INTERNAL_PROPERTY_CLASS>());
    EXPECT_THROW(bake<qvStandardPenCookie>(palette, h), qvErrorFrom<qvPropertyClass>);
}
