#pragma once
// qvRasterPixels: the pixel store of a raster buffer: width x height RGBA
// pixels (bytes blue, green, red, alpha), row 0 on top, rows packed.
//
// Keeps true: width and height are positive and width x height x 4 bytes
// are held; make() refuses any other size (0, negative, or beyond the
// store limit) with null, so no store is ever partly made.

#include <orvane/rendering/qvRgbaQuad.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class qvBitmap;

class qvRasterPixels {
public:
    // The largest store: 2^28 pixels (1 GiB).
    static constexpr std::int64_t max_pixels = std::int64_t{1} << 28;

    // A store filled with `fill`, or null for a size it cannot hold.
    static std::shared_ptr<qvRasterPixels> make(long width, long height, qvRgbaQuad fill);

    // The pixel index range [first, end) of the centres inside [a, b) on an
    // axis with offset o, cut to [0, limit): [ceil(a - o - 0.5),
    // ceil(b - o - 0.5)). False for an empty range, NaN included.
    static bool index_range(double a, double b, double o, long limit, long& first, long& end) noexcept {
        double lo = std::ceil(a - o - 0.5), hi = std::ceil(b - o - 0.5);
        if (std::isnan(lo) || std::isnan(hi))
            return false;
        lo = std::max(lo, 0.0);
        hi = std::min(hi, static_cast<double>(limit));
        if (!(lo < hi))
            return false;
        first = static_cast<long>(lo);   // within [0, limit] here
        end = static_cast<long>(hi);
        return true;
    }

    long width() const noexcept { return width_; }
    long height() const noexcept { return height_; }
    bool holds(long x, long y) const noexcept { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    qvRgbaQuad& at(long x, long y) noexcept {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    }
    qvRgbaQuad at(long x, long y) const noexcept {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    }
    qvRgbaQuad* row(long y) noexcept { return &at(0, y); }
    std::vector<qvRgbaQuad> const& all() const noexcept { return pixels_; }

    // An RGBA bitmap of the pixels, row 0 on top, at `dpi`.
    qvBitmap bitmap(int dpi) const;

private:
    qvRasterPixels(long width, long height, qvRgbaQuad fill);

    long width_;
    long height_;
    std::vector<qvRgbaQuad> pixels_;
};
