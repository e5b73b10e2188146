#pragma once
// qvColorMapEntry: one entry of a colour map, a byte colour and the pixel
// value (index) that stands for it.
//
// Layout, 4 bytes, no padding (colour tables are arrays of entries):
//   offset  size  meaning
//        0     3  red, green, blue (the qvBitmapColor part)
//        3     1  index: the pixel value that denotes this colour

#include <orvane/attributes/qvBitmapColor.hpp>

class qvColorMapEntry : public qvBitmapColor {
public:
    qvColorMapEntry() noexcept = default;
    qvColorMapEntry(qvBitmapColor const& color, unsigned char index) noexcept
        : qvBitmapColor(color), index_(index) {}

    qvBitmapColor const& color() const noexcept { return *this; }
    void color(qvBitmapColor const& value) noexcept { qvBitmapColor::operator=(value); }

    unsigned char index() const noexcept { return index_; }
    void index(unsigned char value) noexcept { index_ = value; }

    bool operator==(qvColorMapEntry const& other) const noexcept = default;

private:
    unsigned char index_ = 0;
};

static_assert(sizeof(qvBitmapColor) == 3, "byte colours are packed in 3-byte arrays");
static_assert(sizeof(qvColorMapEntry) == 4, "colour entries are 4 bytes: red, green, blue, index");
