#pragma once
// qvSelectorCook: the baker of the selector cookies (qvSelectorCookie.hpp)
// from one attribute's colour-device folders.
//
// Keeps true: the cook has no state and never writes to the palette; each
// folder is read checked against its standard class, so a wrongly bound
// folder raises "Wrong type specified to access attribute property" and no
// cookie is returned (nothing is cached). Absent values keep the cookie's
// defaults, and so does a line width that is not finite (a palette stored
// before such widths were refused): a NaN width failed every hit test of
// its shapes, so a click inside no longer picked them. Kinds outside 5..8
// bake nothing (a null result).
//
// Brush rule: no fill style, or style 1, is unfilled; style 0 fills when
// the colour is present and not empty; style 8 fills when a fill image is
// present; any other style fills when the colour, else the background
// colour, is present and not empty.

#include <orvane/attributes/qvCook.hpp>
#include <orvane/interaction/qvSelectorCookie.hpp>

class qvSelectorCook : public qvCook {
public:
    orvane::auto_ptr<qvCookie> bake(qvPalette& palette, qvCookieHandle handle) override;
};
