// qvWin32CreateFont over the POSIX layer's GDI-like calls.

#include <orvane/attributes/qvWin32CreateFont.hpp>

#include <orvane/core/qvNumericConversion.hpp>

#include "platform/qvPlatformGdi.hpp"

namespace platform = orvane::platform;

namespace {

struct FamilyEntry {
    unsigned long pitch_and_family;
    char const* default_face;
};

// Indexed by qvFontFamily.
constexpr FamilyEntry families[] = {
    {0x00, "Arial"},             // FF_DONTCARE
    {0x10, "Times New Roman"},   // FF_ROMAN
    {0x20, "Arial"},             // FF_SWISS
    {0x30, "Courier"},           // FF_MODERN
    {0x40, "Arial"},             // FF_SCRIPT
    {0x50, "Arial"},             // FF_DECORATIVE
};

FamilyEntry const& family_entry(qvFontFamily family) {
    return family >= 0 && family <= 5 ? families[family] : families[0];
}

// FW_DONTCARE (0) to FW_HEAVY (900).
int gdi_weight(qvFontWeight weight) { return weight >= 0 && weight <= 9 ? weight * 100 : 0; }

}  // namespace

void qvDeleteHandle(HFONT font) noexcept { platform::DeleteObject(font); }

qvAutoHandle<HFONT> qvWin32CreateFont(HDC dc, qvFontFamily family, char const* face,
                                      qvWrap<float> size, qvFontSlant slant,
                                      qvFontWeight weight, double angle) {
    FamilyEntry const& entry = family_entry(family);
    // Negative: GDI then matches the character height, not the cell height.
    const int height = -platform::MulDiv(qvTruncToInt(static_cast<float>(size)),
                                         platform::GetDeviceCaps(dc, platform::LOGPIXELSY), 72);
    const int tenths_of_degree = qvTruncToInt(angle * 10.0);
    const unsigned long italic = slant == QV_FS_ITALIC ? 1 : 0;
    auto create = [&](char const* chosen_face) {
        return platform::CreateFontA(height, 0, tenths_of_degree, tenths_of_degree,
                                     gdi_weight(weight), italic, 0, 0, 0 /* ANSI_CHARSET */,
                                     platform::OUT_TT_PRECIS, 0, 0, entry.pitch_and_family,
                                     chosen_face);
    };
    HFONT font = create(face != nullptr && *face != '\0' ? face : entry.default_face);
    if (font == nullptr) font = create(nullptr);
    return qvAutoHandle<HFONT>(font);
}
