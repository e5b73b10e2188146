#pragma once
// qvTextExtent: the measured extent of one text in one font, four doubles:
//   width    advance of the whole text along its baseline
//   descent  baseline down to the bottom of the text box (positive down)
//   ascent   baseline up to the top of the text box (positive up)
//   extra    a fourth measure of the font; the scaled text's size modes
//            subtract it from or add it to the ascent
// It converts to and from qvExtent, which is the same without `extra`
// (text records store a qvExtent).
//
// The measuring constructor is the library's one road to a text-extent
// provider (qvTextExtentClass): it takes the provider registered under the
// current metric, or the default provider when none is, and asks it once;
// nothing is cached between calls, so a host's provider sees every one.
//
// Process-wide settings, unguarded (one thread, like the whole library):
//  - current_metric: the number of the measuring provider; QV_TM_ILLEGAL
//    until set. Setting a number with no provider registered under it is
//    ignored. The first default provider, when it is made, sets -4, its own.
//  - font_size_mode: the size mode the current provider accepted when last
//    asked through font_size_mode(requested); 0 until then.

#include <orvane/attributes/qvFontEnums.hpp>
#include <orvane/core/qvWrap.hpp>
#include <orvane/shapes/qvExtent.hpp>
#include <orvane/shapes/qvTextMetricEnums.hpp>

class qvTextExtent {
public:
    double width = 0.0;
    double descent = 0.0;
    double ascent = 0.0;
    double extra = 0.0;

    qvTextExtent() noexcept = default;
    // Width, descent and ascent of `e`; extra 0.
    qvTextExtent(qvExtent const& e) noexcept : width(e.width), descent(e.descent), ascent(e.ascent) {}
    // Note the argument order: ascent before descent.
    qvTextExtent(double w, double a, double d, double x) noexcept : width(w), descent(d), ascent(a), extra(x) {}

    // Measures `text` through the current provider (see above). A provider
    // without a measuring interface leaves all four measures 0. A null text
    // fails the assertion "text" before any provider is asked.
    qvTextExtent(char const* text, qvFontFamily family, char const* name, qvWrap<float> size, qvFontSlant slant,
                 qvFontWeight weight, qvFontTechnology technology);

    // Width, descent and ascent; the fourth measure is dropped.
    operator qvExtent() const noexcept { return {width, descent, ascent}; }

    bool operator==(qvTextExtent const&) const noexcept = default;

    static long current_metric() noexcept;
    // Makes `number` current when a provider is registered under it.
    static void current_metric(long number);

    static qvFontSizeMode font_size_mode() noexcept;
    // Asks the current provider (the default one when none is registered
    // under the current number) which mode it accepts for `requested` and
    // keeps its answer; a provider without a measuring interface changes
    // nothing.
    static void font_size_mode(qvFontSizeMode requested);
};
