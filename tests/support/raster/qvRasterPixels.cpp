// The pixel store of raster buffers (see qvRasterPixels.hpp).

#include "qvRasterPixels.hpp"

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBitmapLayout.hpp>

#include <cstring>

std::shared_ptr<qvRasterPixels> qvRasterPixels::make(long width, long height, qvRgbaQuad fill) {
    if (width <= 0 || height <= 0 || width > max_pixels || height > max_pixels ||
        std::int64_t{width} * height > max_pixels)
        return nullptr;
    return std::shared_ptr<qvRasterPixels>(new qvRasterPixels(width, height, fill));
}

qvRasterPixels::qvRasterPixels(long width, long height, qvRgbaQuad fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

qvBitmap qvRasterPixels::bitmap(int dpi) const {
    qvBitmap image(qvBitmapLayout(qvRgbaBitmap), static_cast<int>(width_), static_cast<int>(height_));
    for (long y = 0; y < height_; ++y)
        std::memcpy(image.pixel(0, static_cast<int>(y)), &pixels_[static_cast<std::size_t>(y * width_)],
                    static_cast<std::size_t>(width_) * 4);
    image.dpi(dpi);
    return image;
}
