// qvBitmapColor and the component conversions between float and byte.
// Every float-to-byte conversion of the library goes through
// qvColorFloatToByte, so NaN and huge values have one answer (0).

#include <orvane/attributes/qvBitmapColor.hpp>

#include <orvane/core/qvNumericConversion.hpp>

unsigned char qvColorFloatToByte(float value) noexcept {
    // qvTruncToInt gives INT_MIN (low byte 0) for NaN and out-of-range values.
    return static_cast<unsigned char>(qvTruncToInt(static_cast<double>(value) * 255.0) & 0xFF);
}

float qvColorByteToFloat(unsigned char value) noexcept { return value / 255.0f; }

qvBitmapColor::qvBitmapColor(int r, int g, int b) noexcept
    : red_(static_cast<unsigned char>(r)),
      green_(static_cast<unsigned char>(g)),
      blue_(static_cast<unsigned char>(b)) {}

qvBitmapColor::qvBitmapColor(qvRgbColor const& color) noexcept
    : red_(qvColorFloatToByte(color.red())),
      green_(qvColorFloatToByte(color.green())),
      blue_(qvColorFloatToByte(color.blue())) {}

qvBitmapColor::operator qvRgbColor() const {
    return qvRgbColor::unchecked(qvColorByteToFloat(red_), qvColorByteToFloat(green_),
                                 qvColorByteToFloat(blue_), 1.0f);
}
