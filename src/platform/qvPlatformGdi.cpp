// The GDI-like calls of the POSIX layer (see the header for what holds).

#include "platform/qvPlatformGdi.hpp"

#include "platform/qvPlatformFault.hpp"

#include <utility>

namespace orvane::platform {

namespace {
long live_fonts = 0;
}

int GetDeviceCaps(HDC dc, int index) noexcept {
    return dc != nullptr && index == LOGPIXELSY ? dc->pixels_per_inch : 0;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  unsigned long italic, unsigned long underline, unsigned long strike_out,
                  unsigned long char_set, unsigned long out_precision,
                  unsigned long clip_precision, unsigned long quality,
                  unsigned long pitch_and_family, char const* face) {
    if (injected_failure(Call::create_font)) return nullptr;
    std::optional<std::string> recorded_face;
    if (face != nullptr) recorded_face = face;
    HFONT font = new FontObject{height, width, escapement, orientation, weight,
                                italic, underline, strike_out, char_set, out_precision,
                                clip_precision, quality, pitch_and_family,
                                std::move(recorded_face)};
    ++live_fonts;
    return font;
}

bool DeleteObject(HFONT font) noexcept {
    if (font == nullptr) return false;
    delete font;
    --live_fonts;
    return true;
}

long live_font_count() noexcept { return live_fonts; }

int MulDiv(int number, int numerator, int denominator) noexcept {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;   // |p| <= 2^62
    const bool negative = (product < 0) != (denominator < 0);
    const unsigned long long magnitude =
        product < 0 ? 0ULL - static_cast<unsigned long long>(product)
                    : static_cast<unsigned long long>(product);
    const unsigned long long divisor =
        denominator < 0 ? 0ULL - static_cast<unsigned long long>(static_cast<long long>(denominator))
                        : static_cast<unsigned long long>(denominator);
    unsigned long long quotient = magnitude / divisor;
    if (2 * (magnitude % divisor) >= divisor) ++quotient;   // half away from zero
    if (quotient > 2147483647ULL) return -1;
    const int result = static_cast<int>(quotient);
    return negative ? -result : result;
}

}  // namespace orvane::platform
