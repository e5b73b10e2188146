#pragma once
// DefaultExtent: the library's own text-extent provider, number -4 (see
// qvTextExtentClass.hpp for what it answers). One instance exists, made by
// qvTextExtentClass::get_default_extent and never destroyed.

#include <orvane/shapes/qvTextExtentClass.hpp>
#include <orvane/shapes/qvTextExtentInterface.hpp>

class DefaultExtent : public qvTextExtentClass, public qvTextExtentInterface {
public:
    static constexpr long number = -4;

    DefaultExtent() : qvTextExtentClass(number) {}

    qvTextExtentInterface* extent_interface() override { return this; }
    // Fails the assertion "text" for a null text.
    qvTextExtent text_extent(char const* text, qvFontFamily family, char const* name, qvWrap<float> size,
                             qvFontSlant slant, qvFontWeight weight, qvFontTechnology technology) override;
    qvFontSizeMode font_size_mode(qvFontSizeMode requested) override;
};
