#pragma once
// qvRasterCanvas: the pixel rules of the raster test host, for one drawing
// call on one buffer.
//
// Device (x, y) is pixel (floor(x - ox), floor(y - oy)) of a buffer placed
// at (ox, oy); the centre of pixel (i, j) is device (i + 0.5 + ox,
// j + 0.5 + oy). A pixel is written only when its centre lies in one of
// the clip rectangles (half-open: x1 <= x < x2, y1 <= y < y2) and inside
// the store.
//
// Keeps true:
//  - what a shape covers is worked out without looking at the clip: fills
//    are spans of pixel centres per row, lines and markers lists of pixels,
//    and the clip only filters them; spans are cut to the clip's
//    rectangles, never tested pixel by pixel. So drawing a scene in clipped
//    parts writes exactly what drawing it whole writes, part by part;
//  - loops run over the store's rows and columns only, whatever the
//    coordinates (1e300, infinities); a coordinate is turned into an index
//    only after it has been clamped to the store, and NaN writes nothing.

#include <orvane/attributes/qvBitmapHeader.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/rendering/qvRgbaQuad.hpp>

#include "qvRasterPixels.hpp"

#include <vector>

// A colour channel 0..1 as a pixel byte: round(255 c), clamped; NaN 0.
unsigned char qvRasterChannel(double c) noexcept;

class qvRasterCanvas {
public:
    qvRasterCanvas(qvRasterPixels& pixels, qvCrdOf<double> offset,
                   std::vector<qvMathRectOf<double>> const& clip) noexcept;

    // Pixel centres with y1 <= y < y2 and x1 <= x < x2.
    void fill_rect(qvMathRectOf<double> const& box, qvRgbaQuad color);
    // Pixel centres inside the ellipse inscribed in the box.
    void fill_ellipse(qvMathRectOf<double> const& box, qvRgbaQuad color);
    // Even-odd fill of closed contours; `starts` gives the first point of
    // each contour in `points` (a contour ends where the next starts).
    void fill_polygon(std::vector<qvCrdOf<double>> const& points, std::vector<std::size_t> const& starts,
                      qvRgbaQuad color);
    // One pixel per step of the longer axis, end pixel to end pixel.
    void line(qvCrdOf<double> a, qvCrdOf<double> b, qvRgbaQuad color);
    // A 3 x 3 square centred on the point's pixel.
    void marker(qvCrdOf<double> p, qvRgbaQuad color);
    // The bitmap sampled nearest into the box, its row 0 at the box's low y;
    // a header that does not describe its parts draws nothing.
    void image(qvMathRectOf<double> const& box, qvBitmapHeader const& header, qvColorMapEntry const* colors,
               unsigned char const* pixels);
    // Copies the pixels whose centres lie in `to` from `source` (pixels of
    // a buffer placed at `source_offset`), `to` and `from` being of equal
    // size; `source` may be this canvas's own store (it is read from a copy).
    void copy(qvRasterPixels const& source, qvCrdOf<double> source_offset, qvMathRectOf<double> const& from,
              qvMathRectOf<double> const& to);

private:
    // The store rows whose centres lie in [y1, y2); empty when NaN.
    bool rows(double y1, double y2, long& first, long& end) const noexcept;
    // Writes the pixels of row j whose centres lie in [xa, xb) and in the
    // clip, each with color_at(i).
    template <class ColorAt>
    void span(long j, double xa, double xb, ColorAt&& color_at);
    void span(long j, double xa, double xb, qvRgbaQuad color);
    // Writes pixel (i, j), given as doubles, when it is stored and its
    // centre lies in the clip.
    void plot(double i, double j, qvRgbaQuad color);

    qvRasterPixels& pixels_;
    qvCrdOf<double> offset_;
    std::vector<qvMathRectOf<double>> const& clip_;
};
