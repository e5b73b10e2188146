#pragma once
// The standard cookies: the pen, brush, marker and font records that the
// standard cook bakes from one attribute's colour-device folders, and that
// drivers read through qvCookieAccess<T>.
//
// Keeps true: a cookie is complete when baked and never changes afterwards.
// It owns its pattern, string and bitmaps (bitmap copies share the pixels of
// the palette's value); the brush cookie's custom brush shares its gradient
// with the palette's value. `kind` is the cookie kind its accessor asks the
// palette's cache for (0 pen, 1 brush, 2 marker, 3 font), and what the
// cookie reports as its cookie_kind(); classes derived from a standard
// cookie keep that kind, since they may be read as one.

#include <orvane/attributes/qvAttributeEnums.hpp>
#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/geometry/qvCrd.hpp>

class qvCook;

struct qvStandardCookie : qvCookie {
    ~qvStandardCookie() override = default;

    // The family's cook, which qvCookieAccess bakes standard cookies with:
    // one process-wide qvStandardCook, which has no state.
    static qvCook& cook() noexcept;
};

struct qvStandardPenCookie : qvStandardCookie {
    static constexpr int kind = 0;
    int cookie_kind() const noexcept final { return kind; }

    bool empty = true;        // no line is drawn
    bool no_color = true;     // neither a usable colour nor an index was found
    bool no_bg_color = true;  // no usable background colour was stored
    qvLineStyle line_style{1};
    qvRgbColor color;
    qvRgbColor bg_color;
    qvDimUnit dim_unit{};
    double line_width = 0.0;
    qvLineEndCap end_cap{};
    qvLineJoin line_join{};
    qvLinePattern line_pattern;
    int color_index = -1;
};

struct qvStandardBrushCookie : qvStandardCookie {
    static constexpr int kind = 1;
    int cookie_kind() const noexcept final { return kind; }

    bool empty = true;
    bool no_color = true;
    bool no_bg_color = true;
    qvFillStyle fill_style{1};
    qvRgbColor color;
    qvRgbColor bg_color;
    qvBitmap fill_image;
    qvCustomBrush custom_brush;
    int color_index = -1;
};

struct qvStandardMarkerCookie : qvStandardCookie {
    static constexpr int kind = 2;
    int cookie_kind() const noexcept final { return kind; }

    qvMarkerStyle marker_style{};
    qvCrdOf<int> hot_spot;
    qvBitmap marker_image;
    qvMarkerSize marker_size{4.0};
};

struct qvStandardFontCookie : qvStandardCookie {
    static constexpr int kind = 3;
    int cookie_kind() const noexcept final { return kind; }

    qvString font_name;
    float font_size = 10.0f;
    qvFontFamily font_family{};
    qvFontWeight font_weight{};
    qvFontSlant font_slant{};
    qvFontAttribute font_attribute{};
};
