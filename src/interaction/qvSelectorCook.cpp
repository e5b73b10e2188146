// qvSelectorCook: baking the selector cookies (see qvSelectorCook.hpp).

#include <orvane/interaction/qvSelectorCook.hpp>

#include "attributes/qvAttributeFolders.hpp"

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvPropertyValue.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>

#include <memory>

namespace {

using SelectorCookFolder = qvAttributeFolderId;

template <class T>
qvPropertyValue<T> selector_cook_read(qvPalette const& palette, long handle, SelectorCookFolder id) {
    return qvPropertyValue<T>(palette, handle, qvAttributeFolder(id));
}

bool selector_cook_usable(qvPropertyValue<qvRgbColor> const& color) {
    return !color.absent() && !color.value().is_empty();
}

std::unique_ptr<qvCookie> selector_cook_pen(qvPalette const& palette, long handle) {
    auto cookie = std::make_unique<qvSelectorPenCookie>();
    const auto width = selector_cook_read<qvWrap<double>>(palette, handle, SelectorCookFolder::line_width);
    if (!width.absent() && qvIsFinite(static_cast<double>(width.value())))
        cookie->line_width = width.value();
    return cookie;
}

std::unique_ptr<qvCookie> selector_cook_brush(qvPalette const& palette, long handle) {
    auto cookie = std::make_unique<qvSelectorBrushCookie>();
    const auto style = selector_cook_read<qvFillStyle>(palette, handle, SelectorCookFolder::fill_style);
    if (style.absent() || style.value() == 1) {
        cookie->filled = false;
        return cookie;
    }
    if (style.value() == 8) {
        cookie->filled = !selector_cook_read<qvBitmap>(palette, handle, SelectorCookFolder::fill_image).absent();
        return cookie;
    }
    const bool color = selector_cook_usable(
        selector_cook_read<qvRgbColor>(palette, handle, SelectorCookFolder::fill_color));
    if (style.value() == 0) {
        cookie->filled = color;
        return cookie;
    }
    cookie->filled = color || selector_cook_usable(selector_cook_read<qvRgbColor>(
                                  palette, handle, SelectorCookFolder::fill_background_color));
    return cookie;
}

std::unique_ptr<qvCookie> selector_cook_marker(qvPalette const& palette, long handle) {
    auto cookie = std::make_unique<qvSelectorMarkerCookie>();
    const auto style = selector_cook_read<qvMarkerStyle>(palette, handle, SelectorCookFolder::marker_style);
    const auto diameter =
        selector_cook_read<qvMarkerDiameter>(palette, handle, SelectorCookFolder::marker_diameter);
    const auto size = selector_cook_read<qvMarkerSize>(palette, handle, SelectorCookFolder::marker_size);
    if (!style.absent())
        cookie->style = style.value();
    if (!diameter.absent())
        cookie->diameter = static_cast<int>(diameter.value());
    if (!size.absent())
        cookie->size = size.value();
    return cookie;
}

std::unique_ptr<qvCookie> selector_cook_font(qvPalette const& palette, long handle) {
    auto cookie = std::make_unique<qvSelectorFontCookie>();
    const auto size = selector_cook_read<qvWrap<float>>(palette, handle, SelectorCookFolder::font_size);
    if (!size.absent())
        cookie->font_size = size.value();
    return cookie;
}

}  // namespace

orvane::auto_ptr<qvCookie> qvSelectorCook::bake(qvPalette& palette, qvCookieHandle key) {
    std::unique_ptr<qvCookie> cookie;
    switch (key.kind) {
        case qvSelectorPenCookie::kind: cookie = selector_cook_pen(palette, key.handle); break;
        case qvSelectorBrushCookie::kind: cookie = selector_cook_brush(palette, key.handle); break;
        case qvSelectorMarkerCookie::kind: cookie = selector_cook_marker(palette, key.handle); break;
        case qvSelectorFontCookie::kind: cookie = selector_cook_font(palette, key.handle); break;
        default: break;
    }
    return orvane::auto_ptr<qvCookie>(cookie.release());
}

qvCook& qvSelectorCookie::cook() noexcept {
    static qvSelectorCook selector_cook;
    return selector_cook;
}
