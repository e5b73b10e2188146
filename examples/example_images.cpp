// Images: a generated colour ramp with a transparent corner written as BMP
// and GIF files into the working folder, then read back.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvGifFile.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

// Red grows to the right, green downwards; the top-left 8 x 8 corner holds
// the transparent colour, magenta.
qvBitmap colour_ramp(int width, int height) {
    const qvBitmapColor magenta(255, 0, 255);
    qvBitmap ramp(qvBitmapLayout(qvRgbaBitmap), width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* bgra = ramp.pixel(x, y);
            const bool corner = x < 8 && y < 8;
            bgra[0] = corner ? magenta.blue() : 128;
            bgra[1] = corner ? magenta.green() : static_cast<unsigned char>(255 * y / (height - 1));
            bgra[2] = corner ? magenta.red() : static_cast<unsigned char>(255 * x / (width - 1));
            bgra[3] = 255;
        }
    }
    ramp.transparent_rgb(magenta);
    ramp.dpi(96);
    return ramp;
}

void describe(char const* name, qvBitmap const& bitmap) {
    std::cout << "    " << name << ": " << std::filesystem::file_size(name) << " bytes, " << bitmap.width()
              << " x " << bitmap.height() << " pixels at " << bitmap.dpi_x() << " x " << bitmap.dpi_y()
              << " dpi";
    if (bitmap.transparent())
        std::cout << ", colour " << int(bitmap.transparent_index()) << " of its table transparent";
    std::cout << '\n';
}

}   // namespace

void example_images() {
    std::cout << "Images\n";
    const qvBitmap ramp = colour_ramp(64, 32);
    {
        // Image files carry no stream header: version 0, no header.
        std::filebuf bmp, gif;
        bmp.open("orvane_ramp.bmp", std::ios::out | std::ios::binary | std::ios::trunc);
        gif.open("orvane_ramp.gif", std::ios::out | std::ios::binary | std::ios::trunc);
        qvOutputStream bmp_out(&bmp, qvVersion(0), false);
        qvOutputStream gif_out(&gif, qvVersion(0), false);
        qvSaveToBmp(bmp_out, ramp);
        qvSaveToGif(gif_out, ramp, true, true);
    }

    std::filebuf bmp, gif;
    bmp.open("orvane_ramp.bmp", std::ios::in | std::ios::binary);
    gif.open("orvane_ramp.gif", std::ios::in | std::ios::binary);
    qvInputStream bmp_in(&bmp), gif_in(&gif);
    qvBitmap from_bmp, from_gif;
    qvLoadFromBmp(bmp_in, from_bmp);
    qvLoadFromGif(gif_in, from_gif, 1);
    std::cout << "  wrote orvane_ramp.bmp and orvane_ramp.gif in the current directory; read back:\n";
    describe("orvane_ramp.bmp", from_bmp);
    describe("orvane_ramp.gif", from_gif);
    std::cout << "    (GIF stores no resolution, so it reads back at 72 dpi; BMP stores no transparency)\n";
}
