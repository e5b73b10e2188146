// qvWin32CreateFont over the POSIX layer's GDI-like calls.
//
// The layer has its own device context and font object types; the request
// goes down with the context's pixels per inch, and the recorded font comes
// back as a qvFontObject copy, the layer's object released at once. So the
// font a host holds is ours alone, deleted by qvDeleteHandle.

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

// The caller's copy of a font the layer made (null for null); the layer's
// object is released on every way out.
HFONT copy_of(platform::HFONT made) {
    if (made == nullptr) return nullptr;
    struct Release {
        platform::HFONT font;
        ~Release() { platform::DeleteObject(font); }
    } const release{made};
    return new qvFontObject{made->height, made->width, made->escapement, made->orientation,
                            made->weight, made->italic, made->underline, made->strike_out,
                            made->char_set, made->out_precision, made->clip_precision,
                            made->quality, made->pitch_and_family, made->face};
}

}  // namespace

void qvDeleteHandle(HFONT font) noexcept { delete font; }

qvAutoHandle<HFONT> qvWin32CreateFont(HDC dc, qvFontFamily family, char const* face,
                                      qvWrap<float> size, qvFontSlant slant,
                                      qvFontWeight weight, double angle) {
    FamilyEntry const& entry = family_entry(family);
    const platform::DeviceContext device{dc != nullptr ? dc->pixels_per_inch : 0};
    // Negative: GDI then matches the character height, not the cell height.
    const int height = -platform::MulDiv(
        qvTruncToInt(static_cast<float>(size)),
        platform::GetDeviceCaps(dc != nullptr ? &device : nullptr, platform::LOGPIXELSY), 72);
    const int tenths_of_degree = qvTruncToInt(angle * 10.0);
    const unsigned long italic = slant == QV_FS_ITALIC ? 1 : 0;
    auto create = [&](char const* chosen_face) {
        return copy_of(platform::CreateFontA(height, 0, tenths_of_degree, tenths_of_degree,
                                             gdi_weight(weight), italic, 0, 0, 0 /* ANSI_CHARSET */,
                                             platform::OUT_TT_PRECIS, 0, 0, entry.pitch_and_family,
                                             chosen_face));
    };
    HFONT font = create(face != nullptr && *face != '\0' ? face : entry.default_face);
    if (font == nullptr) font = create(nullptr);
    return qvAutoHandle<HFONT>(font);
}
