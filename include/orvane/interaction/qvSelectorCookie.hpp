#pragma once
// The selector cookies: the few attribute values a hit test needs (a pen's
// line width, whether a brush fills, a marker's style, diameter and size, a
// font's size), baked by the selector cook from the colour-device folders
// and cached by the palette beside the standard cookies, under kinds 5 to 8.
//
// Keeps true: a cookie is complete when baked and never changes afterwards;
// `kind` is the cache kind its accessor asks for and what the cookie
// reports as its cookie_kind(), so a cookie of another class stored under a
// selector kind is never read as a selector cookie (the accessor bakes a
// fresh one in its place). Kinds 0 to 3 stay the standard cook's.

#include <orvane/attributes/qvAttributeEnums.hpp>
#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>

#include <cstdint>

class qvCook;

struct qvSelectorCookie : qvCookie {
    ~qvSelectorCookie() override = default;

    // The family's cook, which qvCookieAccess bakes selector cookies with:
    // one process-wide qvSelectorCook, which has no state.
    static qvCook& cook() noexcept;
};

struct qvSelectorPenCookie : qvSelectorCookie {
    static constexpr int kind = 5;
    int cookie_kind() const noexcept final { return kind; }

    double line_width = 0.0;
};

struct qvSelectorBrushCookie : qvSelectorCookie {
    static constexpr int kind = 6;
    int cookie_kind() const noexcept final { return kind; }

    // True until baked; the cook decides it from the fill style.
    bool filled = true;
};

struct qvSelectorMarkerCookie : qvSelectorCookie {
    static constexpr int kind = 7;
    int cookie_kind() const noexcept final { return kind; }

    qvMarkerStyle style{0};
    int diameter = 5;
    // The standard marker cookie's default size.
    qvMarkerSize size{4.0};
};

struct qvSelectorFontCookie : qvSelectorCookie {
    static constexpr int kind = 8;
    int cookie_kind() const noexcept final { return kind; }

    float font_size = 0.0f;
};
