#pragma once
// The GDI-like calls of the POSIX layer: device capabilities, font objects
// that record their creation arguments, and MulDiv.
//
// The layer owns the device context and font object types it works with,
// as GDI owns its handles; code above converts its own types at the call.
//
// Keeps true: every font object made by CreateFontA is released by exactly
// one DeleteObject; live_font_count() is the number not yet released.

#include <optional>
#include <string>

namespace orvane::platform {

struct DeviceContext {
    int pixels_per_inch = 0;   // vertical (LOGPIXELSY)
};
using HDC = DeviceContext const*;

// The fourteen creation arguments of a font request, in the order the GDI
// call takes them.
struct FontObject {
    int height;
    int width;
    int escapement;
    int orientation;
    int weight;
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
using HFONT = FontObject*;

constexpr int LOGPIXELSY = 90;
constexpr unsigned long OUT_TT_PRECIS = 4;

// Pixels per inch for LOGPIXELSY; 0 for a null context or another index.
int GetDeviceCaps(HDC dc, int index) noexcept;

// A recorded font request; null when refused (the create_font seam).
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  unsigned long italic, unsigned long underline, unsigned long strike_out,
                  unsigned long char_set, unsigned long out_precision,
                  unsigned long clip_precision, unsigned long quality,
                  unsigned long pitch_and_family, char const* face);

// False for a null font.
bool DeleteObject(HFONT font) noexcept;

long live_font_count() noexcept;

// number × numerator / denominator in 64 bits, rounded half away from zero;
// -1 for a zero denominator or a result outside ±2,147,483,647, so negating
// the result cannot overflow.
int MulDiv(int number, int numerator, int denominator) noexcept;

}  // namespace orvane::platform
