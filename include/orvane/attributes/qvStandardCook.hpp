#pragma once
// qvStandardCook: the library's baker of pen, brush, marker and font
// cookies from the colour-device folders of one attribute.
//
// Keeps true: the cook has no state and never writes to the palette; it
// reads each folder at most once, checked against its standard class (a
// wrongly bound folder raises the wrong-type error and no cookie is
// returned), and never reads a "grayscale_device" folder. Kinds outside
// 0..3 bake nothing (a null result).

#include <orvane/attributes/qvCook.hpp>
#include <orvane/attributes/qvStandardCookie.hpp>

#include <memory>

class qvStandardCook : public qvCook {
public:
    orvane::auto_ptr<qvCookie> bake(qvPalette& palette, qvCookieHandle handle) override;

private:
    static std::unique_ptr<qvStandardPenCookie> pen(qvPalette const& palette, long handle);
    static std::unique_ptr<qvStandardBrushCookie> brush(qvPalette const& palette, long handle);
    static std::unique_ptr<qvStandardMarkerCookie> marker(qvPalette const& palette, long handle);
    static std::unique_ptr<qvStandardFontCookie> font(qvPalette const& palette, long handle);
};
