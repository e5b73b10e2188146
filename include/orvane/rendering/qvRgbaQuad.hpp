#pragma once
// qvRgbaQuad: the pixel of an RGBA bitmap and the colour value inside the
// bitmap transformation workers.
//
// Layout, 4 bytes, no padding (RGBA rows are arrays of quads):
//   offset  size  meaning
//        0     1  blue
//        1     1  green
//        2     1  red
//        3     1  alpha
// The constructor takes the channels in the other order, red first. Two
// quads are equal when all four bytes are.

class qvRgbaQuad {
public:
    constexpr qvRgbaQuad() noexcept = default;
    constexpr qvRgbaQuad(unsigned char red, unsigned char green, unsigned char blue,
                         unsigned char alpha) noexcept
        : blue_(blue), green_(green), red_(red), alpha_(alpha) {}

    constexpr unsigned char blue() const noexcept { return blue_; }
    constexpr unsigned char green() const noexcept { return green_; }
    constexpr unsigned char red() const noexcept { return red_; }
    constexpr unsigned char alpha() const noexcept { return alpha_; }

    constexpr bool operator==(qvRgbaQuad const& other) const noexcept = default;

private:
    unsigned char blue_ = 0;
    unsigned char green_ = 0;
    unsigned char red_ = 0;
    unsigned char alpha_ = 0;
};

static_assert(sizeof(qvRgbaQuad) == 4, "RGBA pixels are 4 bytes: blue, green, red, alpha");
