// Bitmap transformation: a 64 x 64 RGBA gradient turned by 30 degrees with
// smoothing, a mask recording the pixels the picture covers, and the result
// written as orvane_rotated.bmp into the working folder.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>

#include <fstream>
#include <iostream>

namespace {

// Red grows to the right, green downwards, blue stays 96; opaque.
qvBitmap gradient(int side) {
    qvBitmap b(qvBitmapLayout(qvRgbaBitmap), side, side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            unsigned char* bgra = b.pixel(x, y);
            bgra[0] = 96;
            bgra[1] = static_cast<unsigned char>(255 * y / (side - 1));
            bgra[2] = static_cast<unsigned char>(255 * x / (side - 1));
            bgra[3] = 255;
        }
    }
    return b;
}

int covered_pixels(qvBitmap const& mask) {
    int n = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) n += (mask.scan_line(y)[x >> 3] >> (7 - (x & 7))) & 1;
    return n;
}

}   // namespace

void example_bitmap_transform() {
    std::cout << "Bitmap transformation\n";
    // A transparent colour the picture does not use: positions that fall
    // mostly outside the square then count as uncovered.
    qvBitmap source = gradient(64);
    source.transparent_rgb(qvBitmapColor(0, 0, 0));
    const qvBitmapTransformation turn(qvRotation(30), true);
    const qvBitmapFrame frame = turn.query_frame(qvBitmapFrame(source));
    std::cout << "  a 64 x 64 gradient turned by 30 degrees covers the frame (" << frame.left() << ", "
              << frame.top() << ", " << frame.right() << ", " << frame.bottom() << "), " << frame.width() << " x "
              << frame.height() << " pixels\n";

    // Uncovered pixels get the destination's transparent colour, white here.
    qvBitmap turned(qvBitmapLayout(qvRgbaBitmap), frame.width(), frame.height());
    turned.transparent_rgb(qvBitmapColor(255, 255, 255));
    qvBitmap mask(qvBitmapLayout(qvMonochromeBitmap), frame.width(), frame.height());
    turn.transform(source, turned, mask, nullptr);
    std::cout << "  " << covered_pixels(mask) << " of them covered (the square's area is 4096)\n";

    std::filebuf file;
    file.open("orvane_rotated.bmp", std::ios::out | std::ios::binary | std::ios::trunc);
    qvOutputStream out(&file, qvVersion(0), false);
    qvSaveToBmp(out, turned);
    std::cout << "  written to orvane_rotated.bmp\n";
}
