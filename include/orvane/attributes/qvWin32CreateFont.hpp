#pragma once
// qvWin32CreateFont: the font attributes of an attribute (family, face name,
// size in points, slant, weight, angle) turned into a font for a device
// context, for hosts whose drivers draw with GDI-like calls.
//
// HDC and HFONT are the library's own small types: a device context tells
// its pixels per inch; a font object records the fourteen creation arguments
// of the request, in the order the GDI call takes them, so a host driver can
// build its real font from it. The library makes no system font.
//
// Ownership: a font object belongs to the qvAutoHandle<HFONT> that owns it
// and is released through qvDeleteHandle exactly once.

#include <orvane/attributes/qvFontEnums.hpp>
#include <orvane/core/qvAutoHandle.hpp>
#include <orvane/core/qvWrap.hpp>

#include <optional>
#include <string>

struct qvDeviceContext {
    int pixels_per_inch = 0;   // vertical (LOGPIXELSY)
};
using HDC = qvDeviceContext*;

struct qvFontObject {
    int height;                        // negative: character height in pixels
    int width;
    int escapement;                    // tenths of a degree
    int orientation;                   // tenths of a degree
    int weight;                        // 0 .. 900
    unsigned long italic;
    unsigned long underline;
    unsigned long strike_out;
    unsigned long char_set;
    unsigned long out_precision;
    unsigned long clip_precision;
    unsigned long quality;
    unsigned long pitch_and_family;
    std::optional<std::string> face;   // absent: the system's choice
};
using HFONT = qvFontObject*;

// Releases a font object; null is ignored.
void qvDeleteHandle(HFONT font) noexcept;

// Never raises: a family outside 0..5 or a weight outside 0..9 counts as 0,
// sizes and angles that do not fit an int take the saturated value, and a
// null device context counts 0 pixels per inch. When the request with the
// face is refused, the request without a face is returned (null when that
// is refused too).
qvAutoHandle<HFONT> qvWin32CreateFont(HDC dc, qvFontFamily family, char const* face,
                                      qvWrap<float> size, qvFontSlant slant,
                                      qvFontWeight weight, double angle);
