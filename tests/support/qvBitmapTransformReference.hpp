#pragma once
// A slow, per-pixel reference of the bitmap transformation workers, and
// small bitmap builders for their tests.
//
// Shares no code with the workers: pixels are read and written here bit by
// bit and byte by byte, every position is computed for its own pixel as
// P0 + j dY + i dX in doubles and rounded to floats, and the bilinear
// weights are formed one corner at a time, without runs, shortcuts or
// shifts. What it takes from the library is what the workers are specified
// in terms of: qvInvert and the transformation product (the mapping M), the
// colour map's lookup and the two colour tables. Results are compared
// exactly: a tolerance would hide an off-by-one weight.
//
// Pixel values are carried as one unsigned number per pixel: the bit of a
// monochrome pixel, the index of an indexed one, and for RGBA the four bytes
// blue, green, red, alpha as they lie in memory (blue in the low byte).

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/attributes/qvIndexToIndex.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/rendering/qvBitmapFrame.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace transform_reference {

// ---- pixels ---------------------------------------------------------------------------------

inline std::uint32_t get(qvBitmapReference const& b, int x, int y) {
    unsigned char const* row = b.data() + static_cast<std::ptrdiff_t>(y) * b.scan_line_size();
    switch (b.type()) {
    case qvMonochromeBitmap: return (row[x / 8] >> (7 - x % 8)) & 1u;
    case qvIndexedBitmap: return row[x];
    default: {
        std::uint32_t v = 0;
        for (int c = 3; c >= 0; --c) v = v << 8 | row[4 * x + c];
        return v;
    }
    }
}

inline void set(qvBitmapReference const& b, int x, int y, std::uint32_t v) {
    unsigned char* row = b.data() + static_cast<std::ptrdiff_t>(y) * b.scan_line_size();
    switch (b.type()) {
    case qvMonochromeBitmap: {
        const unsigned char bit = static_cast<unsigned char>(1u << (7 - x % 8));
        row[x / 8] = static_cast<unsigned char>(v ? row[x / 8] | bit : row[x / 8] & ~bit);
        break;
    }
    case qvIndexedBitmap: row[x] = static_cast<unsigned char>(v); break;
    default:
        for (int c = 0; c < 4; ++c) row[4 * x + c] = static_cast<unsigned char>(v >> (8 * c));
    }
}

inline std::uint32_t quad(unsigned r, unsigned g, unsigned b, unsigned a = 255) {
    return b | g << 8 | r << 16 | a << 24;
}

inline bool has_transparent(qvBitmapReference const& b) { return b.header()->transparent != 0; }

inline std::uint32_t transparent_value(qvBitmapReference const& b) {
    qvBitmapHeader const& h = *b.header();
    switch (b.type()) {
    case qvMonochromeBitmap: return h.transparent && h.transparent_index ? 1u : 0u;
    case qvIndexedBitmap: return h.transparent ? h.transparent_index : 0u;
    default:
        return h.transparent ? quad(h.transparent_color.red(), h.transparent_color.green(),
                                    h.transparent_color.blue())
                             : quad(0, 0, 0);
    }
}

// ---- colours --------------------------------------------------------------------------------

struct Rgb {
    unsigned r = 0, g = 0, b = 0;
};

inline Rgb color_of(qvBitmapReference const& source, std::uint32_t v) {
    if (source.type() == qvRgbaBitmap) return {v >> 16 & 255, v >> 8 & 255, v & 255};
    qvColorMapEntry const& e = source.colormap()[static_cast<unsigned char>(v)];
    return {e.red(), e.green(), e.blue()};
}

inline std::uint32_t to_destination(int type, Rgb c, qvRgbToIndex const* table) {
    if (type == qvRgbaBitmap) return quad(c.r, c.g, c.b);
    const unsigned index = (*table)(static_cast<short>(c.r), static_cast<short>(c.g),
                                    static_cast<short>(c.b));
    return type == qvIndexedBitmap ? index : (index != 0 ? 1u : 0u);
}

// ---- the affine family ------------------------------------------------------------------------

// W in the worker form; mode 0 raw, 1 nearest, 2 bilinear. An empty mask
// (size 0) is not written.
inline void generic(qvTransformation const& W, int mode, qvBitmapReference const& src,
                    qvBitmapFrame const& sf, qvBitmapFrame const& c, qvBitmapReference const& dst,
                    qvBitmapFrame const& df, qvBitmapReference const& mask,
                    qvBitmapFrame const& mf, qvRgbToIndex const* table) {
    const bool with_mask = mask.size() != 0;
    const bool src_transparent = has_transparent(src);
    const std::uint32_t src_clear = transparent_value(src);
    const std::uint32_t dst_clear = transparent_value(dst);
    const double det = W.m0() * W.m3() - W.m1() * W.m2();
    const bool singular = det == 0 || !std::isfinite(det);
    const double h = static_cast<double>(sf.bottom()) - sf.top();
    const qvTransformation M = qvTransformation(1, 0, 0, 1, -0.5, h - 0.5) * qvInvert(W);
    double ox = c.left(), oy = c.top();
    if (mode == 2) {
        ox += 0.5;
        oy += W.m3() > 0 ? 0.5 : -0.5;
    }
    const qvCrdOf<double> p0 = M * qvCrdOf<double>(ox, oy);
    const qvCrdOf<double> dx = M * qvCrdOf<double>(ox + 1, oy) - p0;
    const qvCrdOf<double> dy = M * qvCrdOf<double>(ox, oy + 1) - p0;

    auto in_source = [&](long long x, long long y) {
        return x >= sf.left() && x < sf.right() && y >= sf.top() && y < sf.bottom();
    };
    auto counted = [&](long long x, long long y) {
        if (!in_source(x, y)) return false;
        return !src_transparent ||
               get(src, static_cast<int>(x), static_cast<int>(y)) != src_clear;
    };
    for (int j = 0; j < df.height(); ++j) {
        for (int i = 0; i < df.width(); ++i) {
            bool covered = false;
            std::uint32_t out = 0;
            const float x = static_cast<float>(p0.x + j * dy.x + i * dx.x);
            const float y = static_cast<float>(p0.y + j * dy.y + i * dx.y);
            const bool far = !(std::fabs(x) < 1073741824.0f) || !(std::fabs(y) < 1073741824.0f);
            if (singular) {
                covered = false;
            } else if (mode < 2) {
                if (!far) {
                    const long long px = static_cast<long long>(std::trunc(double(x) + 0.5));
                    const long long py = static_cast<long long>(std::trunc(double(y) + 0.5));
                    if (counted(px, py)) {
                        const std::uint32_t v = get(src, static_cast<int>(px), static_cast<int>(py));
                        covered = true;
                        out = mode == 0 ? v : to_destination(dst.type(), color_of(src, v), table);
                    }
                }
            } else {
                unsigned total = 0, sum[3] = {0, 0, 0};
                if (!far) {
                    const long long x0 = static_cast<long long>(std::floor(x));
                    const long long y0 = static_cast<long long>(std::floor(y));
                    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
                    const unsigned a = static_cast<unsigned>(std::floor(fx * 256.0f));
                    const unsigned b = static_cast<unsigned>(std::floor(fy * 256.0f));
                    const long long cx[4] = {x0, x0, x0 + 1, x0 + 1};
                    const long long cy[4] = {y0, y0 + 1, y0, y0 + 1};
                    const unsigned w[4] = {(256 - a) * (256 - b), (256 - a) * b, a * (256 - b), a * b};
                    for (int n = 0; n < 4; ++n) {
                        if (!counted(cx[n], cy[n])) continue;
                        const Rgb rgb = color_of(
                            src, get(src, static_cast<int>(cx[n]), static_cast<int>(cy[n])));
                        total += w[n];
                        sum[0] += w[n] * rgb.r;
                        sum[1] += w[n] * rgb.g;
                        sum[2] += w[n] * rgb.b;
                    }
                }
                covered = !src_transparent || total >= 32768;
                if (covered) {
                    const Rgb rgb = total == 0 ? Rgb{}
                                               : Rgb{sum[0] / total, sum[1] / total, sum[2] / total};
                    out = to_destination(dst.type(), rgb, table);
                }
            }
            set(dst, df.left() + i, df.top() + j, covered ? out : dst_clear);
            if (with_mask) set(mask, mf.left() + i, mf.top() + j, covered ? 1u : 0u);
        }
    }
}

// The worker form of a request's transformation t for source frame sf:
// moved so that sf's top-left corner maps to the origin (through the
// transposed linear part, as frames are mapped), then transposed.
inline qvTransformation worker_form(qvTransformation const& t, qvBitmapFrame const& sf) {
    const double L = sf.left(), T = sf.top();
    const double px = t.m0() * L + t.m2() * T + t.m4(), py = t.m1() * L + t.m3() * T + t.m5();
    return qvTransformation(t.m0(), t.m2(), t.m1(), t.m3(), t.m4() - px, t.m5() - py);
}

// ---- the 1:1 family ---------------------------------------------------------------------------

// sr is the source rectangle. raw: a copy worker (values unchanged).
inline void exact(bool raw, qvBitmapReference const& src, qvBitmapFrame const& sr,
                  qvBitmapReference const& dst, qvBitmapFrame const& df,
                  qvBitmapReference const& mask, qvBitmapFrame const& mf,
                  qvRgbToIndex const* table) {
    const bool with_mask = mask.size() != 0;
    const qvIndexToIndex indices(src.colormap(), table);
    for (int j = 0; j < df.height(); ++j) {
        for (int i = 0; i < df.width(); ++i) {
            const std::uint32_t v = get(src, sr.left() + i, sr.top() + j);
            const bool drawn = !with_mask || !has_transparent(src) || v != transparent_value(src);
            std::uint32_t out = transparent_value(dst);
            if (drawn) {
                if (raw || (src.type() == qvRgbaBitmap && dst.type() == qvRgbaBitmap))
                    out = v;
                else if (src.type() == qvIndexedBitmap && dst.type() == qvIndexedBitmap)
                    out = indices(static_cast<unsigned char>(v));
                else
                    out = to_destination(dst.type(), color_of(src, v), table);
            }
            set(dst, df.left() + i, df.top() + j, out);
            if (with_mask) set(mask, mf.left() + i, mf.top() + j, drawn ? 1u : 0u);
        }
    }
}

// ---- builders ---------------------------------------------------------------------------------

inline qvColorMapEntry entry(int r, int g, int b, int index) {
    return qvColorMapEntry(qvBitmapColor(r, g, b), static_cast<unsigned char>(index));
}

// n random colours; not simple: the index bytes are a shuffled range.
inline qvColorMap random_map(std::mt19937& rng, int n, bool simple) {
    std::vector<qvColorMapEntry> entries;
    std::vector<int> indices(256);
    for (int i = 0; i < 256; ++i) indices[i] = i;
    if (!simple) std::shuffle(indices.begin(), indices.end(), rng);
    for (int i = 0; i < n; ++i)
        entries.push_back(entry(rng() & 255, rng() & 255, rng() & 255, indices[i]));
    return qvColorMap(entries.data(), n, simple);
}

// The pixel values a bitmap with this map may hold: its index bytes, or
// 0..255 for RGBA (alpha kept free too).
inline std::vector<int> index_bytes(qvColorMapReference const& map) {
    std::vector<int> v;
    for (int k = 0; k < map.size(); ++k) v.push_back(map.data()[k].index());
    return v;
}

// A bitmap of random pixels; indexed and monochrome pixels only take values
// the map holds. Padding bytes are random too.
inline qvBitmap random_bitmap(std::mt19937& rng, int type, int w, int h,
                              qvColorMap const* map = nullptr) {
    qvBitmap b(qvBitmapLayout(static_cast<qvStandardBitmapType>(type)), w, h);
    for (long n = 0; n < b.size(); ++n) b.data()[n] = static_cast<unsigned char>(rng());
    if (map) b.colormap(*map);
    if (type != qvRgbaBitmap && map && map->size() > 0) {
        const std::vector<int> values = index_bytes(*map);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint32_t v = static_cast<std::uint32_t>(values[rng() % values.size()]);
                if (type == qvMonochromeBitmap) v &= 1;
                set(b, x, y, v);
            }
    }
    return b;
}

// The pixels of a bitmap, row by row, as values.
inline std::vector<std::uint32_t> pixels(qvBitmapReference const& b) {
    std::vector<std::uint32_t> v;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) v.push_back(get(b, x, y));
    return v;
}

// An independent copy (own storage) of a bitmap.
inline qvBitmap copy_of(qvBitmapReference const& b) { return qvBitmap(b); }

inline bool same_bytes(qvBitmapReference const& a, qvBitmapReference const& b) {
    return a.size() == b.size() &&
           (a.size() == 0 || std::memcmp(a.data(), b.data(), static_cast<std::size_t>(a.size())) == 0);
}

}  // namespace transform_reference
