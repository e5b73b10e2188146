// qvStandardCook: baking the standard cookies (see qvStandardCook.hpp).
//
// Each baker starts from the cookie's initial values and returns early
// where the attribute cannot give a usable pen, brush or marker: a pen or
// brush without a colour, an index or a background colour keeps style 1; a
// style that needs a pattern, image or brush it does not find falls back to
// style 0 (pen, brush) or 1 (marker).

#include <orvane/attributes/qvStandardCook.hpp>

#include "attributes/qvAttributeFolders.hpp"

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvPropertyValue.hpp>

namespace {

using F = qvAttributeFolderId;

template <class T>
qvPropertyValue<T> read(qvPalette const& palette, long handle, F id) {
    return qvPropertyValue<T>(palette, handle, qvAttributeFolder(id));
}

// Stores a present value into `field`.
template <class T, class Field>
void store_present(qvPalette const& palette, long handle, F id, Field& field) {
    const qvPropertyValue<T> value = read<T>(palette, handle, id);
    if (!value.absent())
        field = static_cast<Field>(value.value());
}

bool usable(qvPropertyValue<qvRgbColor> const& color) {
    return !color.absent() && !color.value().is_empty();
}

// The colour steps shared by pen and brush: the colour, then the index.
// True when neither was found.
template <class Cookie>
bool read_color(qvPalette const& palette, long handle, F color_id, F index_id, Cookie& cookie) {
    const qvPropertyValue<qvRgbColor> color = read<qvRgbColor>(palette, handle, color_id);
    const qvPropertyValue<unsigned char> index = read<unsigned char>(palette, handle, index_id);
    if (usable(color)) {
        cookie.color = color.value();
        cookie.no_color = false;
    }
    if (!index.absent()) {
        cookie.color_index = index.value();
        cookie.no_color = false;
    }
    return cookie.no_color;
}

// The background step shared by pen and brush: with no colour and style 0
// the background colour stands in for the colour.
template <class Cookie>
void read_background(qvPalette const& palette, long handle, F id, bool style_is_0, Cookie& cookie) {
    const qvPropertyValue<qvRgbColor> bg = read<qvRgbColor>(palette, handle, id);
    if (!usable(bg))
        return;
    if (style_is_0 && cookie.no_color) {
        cookie.color = bg.value();
        cookie.no_color = false;
    } else {
        cookie.bg_color = bg.value();
        cookie.no_bg_color = false;
    }
}

}  // namespace

orvane::auto_ptr<qvCookie> qvStandardCook::bake(qvPalette& palette, qvCookieHandle key) {
    std::unique_ptr<qvCookie> cookie;
    switch (key.kind) {
        case qvStandardPenCookie::kind: cookie = pen(palette, key.handle); break;
        case qvStandardBrushCookie::kind: cookie = brush(palette, key.handle); break;
        case qvStandardMarkerCookie::kind: cookie = marker(palette, key.handle); break;
        case qvStandardFontCookie::kind: cookie = font(palette, key.handle); break;
        default: break;
    }
    return orvane::auto_ptr<qvCookie>(cookie.release());
}

std::unique_ptr<qvStandardPenCookie> qvStandardCook::pen(qvPalette const& palette, long handle) {
    auto cookie = std::make_unique<qvStandardPenCookie>();
    const qvPropertyValue<qvLineStyle> style = read<qvLineStyle>(palette, handle, F::line_style);
    if (style.absent() || style.value() == 1)
        return cookie;
    cookie->line_style = style.value();
    if (read_color(palette, handle, F::line_color, F::line_color_index, *cookie))
        cookie->line_style = qvLineStyle{0};
    if (cookie->line_style != 0 || cookie->no_color)
        read_background(palette, handle, F::line_background_color, cookie->line_style == 0, *cookie);
    if (cookie->no_color && cookie->no_bg_color) {
        cookie->line_style = qvLineStyle{1};
        return cookie;
    }
    store_present<qvDimUnit>(palette, handle, F::line_dim_unit, cookie->dim_unit);
    store_present<qvWrap<double>>(palette, handle, F::line_width, cookie->line_width);
    if (cookie->line_style == 6) {
        const qvPropertyValue<qvLinePattern> pattern =
            read<qvLinePattern>(palette, handle, F::line_pattern);
        if (pattern.absent())
            cookie->line_style = qvLineStyle{0};
        else
            cookie->line_pattern = pattern.value();
    }
    store_present<qvLineEndCap>(palette, handle, F::line_end_cap, cookie->end_cap);
    store_present<qvLineJoin>(palette, handle, F::line_join, cookie->line_join);
    cookie->empty = cookie->line_style == 0;
    return cookie;
}

std::unique_ptr<qvStandardBrushCookie> qvStandardCook::brush(qvPalette const& palette, long handle) {
    auto cookie = std::make_unique<qvStandardBrushCookie>();
    const qvPropertyValue<qvFillStyle> style = read<qvFillStyle>(palette, handle, F::fill_style);
    if (style.absent() || style.value() == 1)
        return cookie;
    cookie->fill_style = style.value();
    // Image and brush fills draw without a colour.
    const bool colorless_fill = cookie->fill_style == 8 || cookie->fill_style == 9;
    if (read_color(palette, handle, F::fill_color, F::fill_color_index, *cookie) && !colorless_fill)
        cookie->fill_style = qvFillStyle{0};
    read_background(palette, handle, F::fill_background_color, cookie->fill_style == 0, *cookie);
    if (cookie->no_color && cookie->no_bg_color) {
        cookie->fill_style = qvFillStyle{1};
        return cookie;
    }
    if (cookie->fill_style == 8) {
        const qvPropertyValue<qvBitmap> image = read<qvBitmap>(palette, handle, F::fill_image);
        if (image.absent())
            cookie->fill_style = qvFillStyle{0};
        else
            cookie->fill_image = image.value();
    }
    if (cookie->fill_style == 9) {
        const qvPropertyValue<qvCustomBrush> fill =
            read<qvCustomBrush>(palette, handle, F::fill_custom_brush);
        if (fill.absent())
            cookie->fill_style = qvFillStyle{0};
        else
            cookie->custom_brush = fill.value();
    }
    cookie->empty = cookie->fill_style == 0;
    return cookie;
}

std::unique_ptr<qvStandardMarkerCookie> qvStandardCook::marker(qvPalette const& palette, long handle) {
    auto cookie = std::make_unique<qvStandardMarkerCookie>();
    const qvPropertyValue<qvMarkerStyle> style =
        read<qvMarkerStyle>(palette, handle, F::marker_style);
    if (style.absent() || style.value() == 0)
        return cookie;
    cookie->marker_style = style.value();
    store_present<qvMarkerSize>(palette, handle, F::marker_size, cookie->marker_size);
    store_present<qvCrdOf<int>>(palette, handle, F::marker_hot_spot, cookie->hot_spot);
    if (cookie->marker_style == 7) {
        const qvPropertyValue<qvBitmap> image = read<qvBitmap>(palette, handle, F::marker_image);
        if (image.absent())
            cookie->marker_style = qvMarkerStyle{1};
        else
            cookie->marker_image = image.value();
    }
    return cookie;
}

std::unique_ptr<qvStandardFontCookie> qvStandardCook::font(qvPalette const& palette, long handle) {
    auto cookie = std::make_unique<qvStandardFontCookie>();
    store_present<qvString>(palette, handle, F::font_name, cookie->font_name);
    store_present<qvFontFamily>(palette, handle, F::font_family, cookie->font_family);
    store_present<qvWrap<float>>(palette, handle, F::font_size, cookie->font_size);
    store_present<qvFontWeight>(palette, handle, F::font_weight, cookie->font_weight);
    store_present<qvFontSlant>(palette, handle, F::font_slant, cookie->font_slant);
    store_present<qvFontAttribute>(palette, handle, F::font_attribute, cookie->font_attribute);
    return cookie;
}
