#pragma once
// qvBitmapColor: a colour as three unsigned bytes red, green, blue, the
// element of bitmap colour tables (exactly 3 bytes, no padding).
//
// Float to byte: value·255 computed in double, truncated toward zero through
// the saturating conversion, low byte kept. NaN and values beyond the int
// range therefore give 0, never undefined behaviour. Byte to float: value/255.

#include <orvane/attributes/qvRgbColor.hpp>

unsigned char qvColorFloatToByte(float value) noexcept;
float qvColorByteToFloat(unsigned char value) noexcept;

class qvBitmapColor {
public:
    qvBitmapColor() noexcept = default;
    // Each integer keeps its low byte.
    qvBitmapColor(int r, int g, int b) noexcept;
    // Alpha is dropped.
    explicit qvBitmapColor(qvRgbColor const& color) noexcept;

    // Alpha 1.
    operator qvRgbColor() const;

    unsigned char red() const noexcept { return red_; }
    unsigned char green() const noexcept { return green_; }
    unsigned char blue() const noexcept { return blue_; }

    bool operator==(qvBitmapColor const& other) const noexcept = default;

private:
    unsigned char red_ = 0;
    unsigned char green_ = 0;
    unsigned char blue_ = 0;
};

static_assert(sizeof(qvBitmapColor) == 3, "three bytes, no padding");
