#pragma once
// qvTextExtentInterface: the measuring half of a text-extent provider
// (qvTextExtentClass is the numbered half). A host that draws texts with
// real fonts implements both in one class.
//
// A provider answers in the units of the size it is given: width, descent
// and ascent must be comparable with `size`, since texts store them (model
// units for scaled texts, device units for restricted ones). The library
// never hands it a null text.

#include <orvane/attributes/qvFontEnums.hpp>
#include <orvane/core/qvWrap.hpp>
#include <orvane/shapes/qvTextExtent.hpp>
#include <orvane/shapes/qvTextMetricEnums.hpp>

class qvTextExtentInterface {
public:
    virtual ~qvTextExtentInterface() = default;
    // The extent of `text` in the font given by the other arguments (a null
    // name: none chosen).
    virtual qvTextExtent text_extent(char const* text, qvFontFamily family, char const* name, qvWrap<float> size,
                                     qvFontSlant slant, qvFontWeight weight, qvFontTechnology technology) = 0;
    // The size mode the provider applies when asked for `requested`.
    virtual qvFontSizeMode font_size_mode(qvFontSizeMode requested) = 0;

protected:
    qvTextExtentInterface() noexcept = default;
    qvTextExtentInterface(qvTextExtentInterface const&) noexcept = default;
    qvTextExtentInterface& operator=(qvTextExtentInterface const&) noexcept = default;
};
