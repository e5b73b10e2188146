// The default text-extent provider (see qvDefaultExtent.hpp).

#include "shapes/qvDefaultExtent.hpp"

#include <orvane/core/qvAssertionError.hpp>

#include <cstring>

qvTextExtent DefaultExtent::text_extent(char const* text, qvFontFamily /*family*/, char const* /*name*/,
                                        qvWrap<float> size, qvFontSlant /*slant*/, qvFontWeight /*weight*/,
                                        qvFontTechnology /*technology*/) {
    QV_ASSERT_TEXT(text != nullptr, "text");
    // Computed in double: a float product would round long texts.
    const double cell = static_cast<float>(size);
    return qvTextExtent(static_cast<double>(std::strlen(text)) * cell, cell, 0.0, 0.0);
}

qvFontSizeMode DefaultExtent::font_size_mode(qvFontSizeMode /*requested*/) { return QV_FSM_NONE; }
