// The pixel rules of the raster host (see qvRasterCanvas.hpp).
//
// Index ranges: pixel i has its centre at i + 0.5 + ox, so the centres in
// [a, b) are the i with ceil(a - ox - 0.5) <= i < ceil(b - ox - 0.5).
// Subtraction and ceil are monotone, so cutting [a, b) by a clip rectangle
// first and converting afterwards gives exactly the intersection of the two
// index ranges: the clip never moves an edge of a shape.

#include "qvRasterCanvas.hpp"

#include <orvane/attributes/qvBitmapReference.hpp>

#include "attributes/qvBitmapHeaderCheck.hpp"

#include <algorithm>
#include <cmath>

namespace {

// The pixel index of a device coordinate, kept as a double (it may lie far
// outside any store).
double raster_pixel_of(double v, double o) noexcept { return std::floor(v - o); }

// A bitmap pixel as an opaque quad; false when the bitmap cannot say.
bool raster_bitmap_color(qvBitmapHeader const& h, qvColorMapEntry const* colors, unsigned char const* pixels,
                         long col, long row, qvRgbaQuad& out) noexcept {
    unsigned char const* line = pixels + static_cast<std::ptrdiff_t>(row) * h.row_bytes;
    unsigned value;
    switch (h.pixel_size) {
    case 4:
        out = qvRgbaQuad(line[4 * col + 2], line[4 * col + 1], line[4 * col], 255);
        return true;
    case 1:
        value = line[col];
        break;
    case -8:
        value = (line[col >> 3] & (128 >> (col & 7))) != 0 ? 1u : 0u;
        break;
    default:
        return false;
    }
    const int n = std::clamp(h.color_count, 0, 256);
    for (int k = 0; k < n; ++k) {
        const int index = h.colormap_simple != 0 ? k : colors[k].index();
        if (static_cast<unsigned>(index) == value) {
            out = qvRgbaQuad(colors[k].red(), colors[k].green(), colors[k].blue(), 255);
            return true;
        }
    }
    if (h.pixel_size == -8) {   // a monochrome bitmap without its map: black and white
        const unsigned char level = value != 0 ? 255 : 0;
        out = qvRgbaQuad(level, level, level, 255);
        return true;
    }
    return false;
}

}  // namespace

unsigned char qvRasterChannel(double c) noexcept {
    if (std::isnan(c))
        return 0;
    return static_cast<unsigned char>(std::clamp(std::round(255.0 * c), 0.0, 255.0));
}

qvRasterCanvas::qvRasterCanvas(qvRasterPixels& pixels, qvCrdOf<double> offset,
                               std::vector<qvMathRectOf<double>> const& clip) noexcept
    : pixels_(pixels), offset_(offset), clip_(clip) {}

// ---------------------------------------------------------------------------
// Spans and single pixels

bool qvRasterCanvas::rows(double y1, double y2, long& first, long& end) const noexcept {
    return qvRasterPixels::index_range(y1, y2, offset_.y, pixels_.height(), first, end);
}

template <class ColorAt>
void qvRasterCanvas::span(long j, double xa, double xb, ColorAt&& color_at) {
    const double yc = static_cast<double>(j) + 0.5 + offset_.y;
    qvRgbaQuad* const row = pixels_.row(j);
    for (qvMathRectOf<double> const& r : clip_) {
        if (!(r.y1 <= yc && yc < r.y2))
            continue;
        long first, end;
        if (!qvRasterPixels::index_range(std::max(xa, r.x1), std::min(xb, r.x2), offset_.x, pixels_.width(), first, end))
            continue;
        for (long i = first; i < end; ++i)
            color_at(i, row[i]);
    }
}

void qvRasterCanvas::span(long j, double xa, double xb, qvRgbaQuad color) {
    span(j, xa, xb, [color](long, qvRgbaQuad& pixel) { pixel = color; });
}

void qvRasterCanvas::plot(double i, double j, qvRgbaQuad color) {
    if (!(i >= 0 && j >= 0 && i < static_cast<double>(pixels_.width()) && j < static_cast<double>(pixels_.height())))
        return;
    const double xc = i + 0.5 + offset_.x, yc = j + 0.5 + offset_.y;
    for (qvMathRectOf<double> const& r : clip_) {
        if (r.x1 <= xc && xc < r.x2 && r.y1 <= yc && yc < r.y2) {
            pixels_.at(static_cast<long>(i), static_cast<long>(j)) = color;
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Fills

void qvRasterCanvas::fill_rect(qvMathRectOf<double> const& box, qvRgbaQuad color) {
    long first, end;
    if (!rows(box.y1, box.y2, first, end))
        return;
    for (long j = first; j < end; ++j)
        span(j, box.x1, box.x2, color);
}

void qvRasterCanvas::fill_ellipse(qvMathRectOf<double> const& box, qvRgbaQuad color) {
    long first, end;
    if (!rows(box.y1, box.y2, first, end))
        return;
    const double cx = (box.x1 + box.x2) / 2, cy = (box.y1 + box.y2) / 2;
    const double rx = (box.x2 - box.x1) / 2, ry = (box.y2 - box.y1) / 2;
    for (long j = first; j < end; ++j) {
        const double t = (static_cast<double>(j) + 0.5 + offset_.y - cy) / ry;
        if (!(t * t < 1))
            continue;
        const double half = rx * std::sqrt(1 - t * t);
        span(j, cx - half, cx + half, color);
    }
}

// A row crosses an edge when exactly one end lies at or below the row's
// centre: each vertex is counted once, and horizontal edges never.
void qvRasterCanvas::fill_polygon(std::vector<qvCrdOf<double>> const& points, std::vector<std::size_t> const& starts,
                                  qvRgbaQuad color) {
    if (points.empty())
        return;
    double y_low = points[0].y, y_high = points[0].y;
    for (qvCrdOf<double> const& p : points) {
        if (std::isnan(p.x) || std::isnan(p.y))
            return;
        y_low = std::min(y_low, p.y);
        y_high = std::max(y_high, p.y);
    }
    long first, end;
    if (!rows(y_low, y_high, first, end))
        return;
    std::vector<double> crossings;
    for (long j = first; j < end; ++j) {
        const double yc = static_cast<double>(j) + 0.5 + offset_.y;
        crossings.clear();
        for (std::size_t c = 0; c < starts.size(); ++c) {
            const std::size_t begin = starts[c];
            const std::size_t stop = c + 1 < starts.size() ? starts[c + 1] : points.size();
            if (stop <= begin)
                continue;
            for (std::size_t k = begin; k < stop; ++k) {
                qvCrdOf<double> const& a = points[k];
                qvCrdOf<double> const& b = points[k + 1 < stop ? k + 1 : begin];
                if ((a.y <= yc) == (b.y <= yc))
                    continue;
                const double x = a.x + (yc - a.y) * ((b.x - a.x) / (b.y - a.y));
                if (!std::isnan(x))
                    crossings.push_back(x);
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
            span(j, crossings[k], crossings[k + 1], color);
    }
}

// ---------------------------------------------------------------------------
// Lines and markers

void qvRasterCanvas::line(qvCrdOf<double> a, qvCrdOf<double> b, qvRgbaQuad color) {
    const double u0 = raster_pixel_of(a.x, offset_.x), v0 = raster_pixel_of(a.y, offset_.y);
    const double u1 = raster_pixel_of(b.x, offset_.x), v1 = raster_pixel_of(b.y, offset_.y);
    if (!std::isfinite(u0) || !std::isfinite(v0) || !std::isfinite(u1) || !std::isfinite(v1))
        return;
    const double du = u1 - u0, dv = v1 - v0;
    if (du == 0 && dv == 0) {
        plot(u0, v0, color);
        return;
    }
    // Steps along the longer axis, over the store's extent on that axis only.
    const bool along_x = std::fabs(du) >= std::fabs(dv);
    const double m0 = along_x ? u0 : v0, m1 = along_x ? u1 : v1, n0 = along_x ? v0 : u0;
    const double slope = along_x ? dv / du : du / dv;
    const double limit = static_cast<double>(along_x ? pixels_.width() : pixels_.height());
    const double from = std::max(std::min(m0, m1), 0.0), to = std::min(std::max(m0, m1), limit - 1);
    for (double m = from; m <= to; m += 1) {
        const double n = n0 + std::round((m - m0) * slope);
        if (along_x)
            plot(m, n, color);
        else
            plot(n, m, color);
    }
}

void qvRasterCanvas::marker(qvCrdOf<double> p, qvRgbaQuad color) {
    const double u = raster_pixel_of(p.x, offset_.x), v = raster_pixel_of(p.y, offset_.y);
    if (!std::isfinite(u) || !std::isfinite(v))
        return;
    for (double dv = -1; dv <= 1; dv += 1)
        for (double du = -1; du <= 1; du += 1)
            plot(u + du, v + dv, color);
}

// ---------------------------------------------------------------------------
// Images and copies

void qvRasterCanvas::image(qvMathRectOf<double> const& box, qvBitmapHeader const& header,
                           qvColorMapEntry const* colors, unsigned char const* pixels) {
    qvBitmapHeader h = header;
    const qvBitmapReference view(&h, const_cast<unsigned char*>(pixels), const_cast<qvColorMapEntry*>(colors));
    if (h.width <= 0 || h.height <= 0 || pixels == nullptr || !qvBitmapViewIsValid(view))
        return;
    if (h.pixel_size != 4 && h.pixel_size != 1 && h.pixel_size != -8)
        return;
    long first, end;
    if (!rows(box.y1, box.y2, first, end))
        return;
    const double w = box.x2 - box.x1, hgt = box.y2 - box.y1;
    for (long j = first; j < end; ++j) {
        const double yc = static_cast<double>(j) + 0.5 + offset_.y;
        const double r = std::clamp(std::floor((yc - box.y1) / hgt * h.height), 0.0, h.height - 1.0);
        if (std::isnan(r))
            continue;
        const long row = static_cast<long>(r);
        span(j, box.x1, box.x2, [&](long i, qvRgbaQuad& pixel) {
            const double xc = static_cast<double>(i) + 0.5 + offset_.x;
            const double c = std::clamp(std::floor((xc - box.x1) / w * h.width), 0.0, h.width - 1.0);
            qvRgbaQuad color;
            if (!std::isnan(c) && raster_bitmap_color(h, colors, pixels, static_cast<long>(c), row, color))
                pixel = color;
        });
    }
}

void qvRasterCanvas::copy(qvRasterPixels const& source, qvCrdOf<double> source_offset,
                          qvMathRectOf<double> const& from, qvMathRectOf<double> const& to) {
    long first, end;
    if (!rows(to.y1, to.y2, first, end))
        return;
    // Read from a copy when source and destination are one store: a move
    // within a buffer must not read what it has just written.
    std::vector<qvRgbaQuad> snapshot;
    if (&source == &pixels_)
        snapshot = source.all();
    auto read = [&](long x, long y) {
        return snapshot.empty() ? source.at(x, y)
                                : snapshot[static_cast<std::size_t>(y) * static_cast<std::size_t>(source.width()) +
                                           static_cast<std::size_t>(x)];
    };
    const double dx = from.x1 - to.x1, dy = from.y1 - to.y1;
    for (long j = first; j < end; ++j) {
        const double sy = raster_pixel_of(static_cast<double>(j) + 0.5 + offset_.y + dy, source_offset.y);
        if (!(sy >= 0 && sy < static_cast<double>(source.height())))
            continue;
        span(j, to.x1, to.x2, [&](long i, qvRgbaQuad& pixel) {
            const double sx = raster_pixel_of(static_cast<double>(i) + 0.5 + offset_.x + dx, source_offset.x);
            if (sx >= 0 && sx < static_cast<double>(source.width()))
                pixel = read(static_cast<long>(sx), static_cast<long>(sy));
        });
    }
}
