#pragma once
// Pixel views of the bitmap transformation workers: how one call sees a
// bitmap (rows, frame, transparent value), the colours of a source's pixel
// values, and the conversion of a colour into a destination pixel.
//
// Keeps true: a view is built from a header that passed the shared header
// check, and every address it forms lies inside its frame, which lies inside
// the bitmap (transform_extended checked both). Views live for one call.
//
// Pixel addressing: row y starts at pixels + row bytes x y (row 0 first).
// Monochrome pixel x is bit (128 >> (x & 7)) of byte x >> 3, most
// significant bit first; indexed pixels are bytes; RGBA pixels are quads.
//
// Transparent value of a view (what an uncovered destination pixel gets,
// and what a source pixel must differ from to be covered):
//   monochrome  1 when the flag is set and the transparent index is not 0,
//               else 0
//   indexed     the transparent index when the flag is set, else 0
//   RGBA        (blue, green, red, 255) of the transparent colour when the
//               flag is set, else (0, 0, 0, 255)

#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/rendering/qvBitmapFrame.hpp>
#include <orvane/rendering/qvRgbaQuad.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace qvBitmapPixels {

// ---- one pixel type each ------------------------------------------------------------

template <class P>
struct Access;

template <>
struct Access<bool> {
    static bool get(unsigned char const* row, int x) noexcept {
        return (row[x >> 3] & (128 >> (x & 7))) != 0;
    }
    static void put(unsigned char* row, int x, bool v) noexcept {
        const unsigned char bit = static_cast<unsigned char>(128 >> (x & 7));
        if (v)
            row[x >> 3] = static_cast<unsigned char>(row[x >> 3] | bit);
        else
            row[x >> 3] = static_cast<unsigned char>(row[x >> 3] & ~bit);
    }
    static bool transparent(qvBitmapHeader const& h) noexcept {
        return h.transparent != 0 && h.transparent_index != 0;
    }
};

template <>
struct Access<unsigned char> {
    static unsigned char get(unsigned char const* row, int x) noexcept { return row[x]; }
    static void put(unsigned char* row, int x, unsigned char v) noexcept { row[x] = v; }
    static unsigned char transparent(qvBitmapHeader const& h) noexcept {
        return h.transparent != 0 ? h.transparent_index : 0;
    }
};

template <>
struct Access<qvRgbaQuad> {
    static qvRgbaQuad get(unsigned char const* row, int x) noexcept {
        qvRgbaQuad q;
        std::memcpy(&q, row + 4 * static_cast<std::ptrdiff_t>(x), 4);
        return q;
    }
    static void put(unsigned char* row, int x, qvRgbaQuad v) noexcept {
        std::memcpy(row + 4 * static_cast<std::ptrdiff_t>(x), &v, 4);
    }
    static qvRgbaQuad transparent(qvBitmapHeader const& h) noexcept {
        if (h.transparent == 0) return qvRgbaQuad(0, 0, 0, 255);
        return qvRgbaQuad(h.transparent_color.red(), h.transparent_color.green(),
                          h.transparent_color.blue(), 255);
    }
};

// ---- a bitmap seen through its frame --------------------------------------------------

template <class P>
class View {
public:
    View(qvBitmapReference const& bitmap, qvBitmapFrame const& frame)
        : bits_(bitmap.data()),
          row_bytes_(bitmap.scan_line_size()),
          left(frame.left()),
          top(frame.top()),
          right(frame.right()),
          bottom(frame.bottom()),
          has_transparent(bitmap.header()->transparent != 0),
          transparent(Access<P>::transparent(*bitmap.header())) {
        // Bytes and quads are addressed as whole pixels.
        if constexpr (!std::is_same_v<P, bool>)
            QV_ASSERT_TEXT(bitmap.pixel_size() > 0, "_header->_pixel_size > 0");
    }

    unsigned char* row(int y) const noexcept {
        return bits_ + static_cast<std::ptrdiff_t>(y) * row_bytes_;
    }
    bool inside(int x, int y) const noexcept {
        return x >= left && x < right && y >= top && y < bottom;
    }
    // A value that would be drawn: any value without a transparent one.
    bool opaque(P v) const noexcept { return !has_transparent || !(v == transparent); }

private:
    unsigned char* bits_;
    std::ptrdiff_t row_bytes_;

public:
    const int left, top, right, bottom;
    const bool has_transparent;
    const P transparent;
};

// ---- colours ----------------------------------------------------------------------------

struct Rgb {
    unsigned r, g, b;
};

// A colour as the four bytes of an opaque RGBA pixel read as one
// little-endian word: blue in the low byte, alpha 255 in the high one.
inline std::uint32_t packed_quad(Rgb c) noexcept {
    return c.b | c.g << 8 | c.r << 16 | 0xFF000000u;
}
inline Rgb unpacked(std::uint32_t q) noexcept { return {q >> 16 & 255, q >> 8 & 255, q & 255}; }

// The colour of every pixel value of a monochrome or indexed source, read
// once from its colour map. A value the map does not hold is looked up in
// the map itself when it is met, so that it fails the map's own check
// ("i < _size" or "Wrong colormap index specified") at that pixel.
class SourceColors {
public:
    explicit SourceColors(qvColorMapReference const& map) : map_(map) {
        std::memset(valid_, 0, sizeof valid_);
        qvColorMapEntry const* entries = map.data();
        if (!entries) return;
        if (map.simple()) {
            const int n = map.size() < 256 ? map.size() : 256;
            for (int i = 0; i < n; ++i) set(i, entries[i]);
        } else {
            // The first entry of an index byte wins, as in the map's search.
            for (int k = map.size() - 1; k >= 0; --k) set(entries[k].index(), entries[k]);
        }
    }

    Rgb operator()(unsigned v) const {
        if (!valid_[v]) [[unlikely]]
            fail(v);
        return rgb_[v];
    }
    // The colour packed as an opaque quad (see packed_quad).
    std::uint32_t packed(unsigned v) const {
        if (!valid_[v]) [[unlikely]]
            fail(v);
        return packed_[v];
    }

private:
    void set(int i, qvBitmapColor const& c) noexcept {
        rgb_[i] = {c.red(), c.green(), c.blue()};
        packed_[i] = packed_quad(rgb_[i]);
        valid_[i] = true;
    }
    [[noreturn]] void fail(unsigned v) const;

    qvColorMapReference map_;
    Rgb rgb_[256];
    std::uint32_t packed_[256];
    bool valid_[256];
};

inline void SourceColors::fail(unsigned v) const {
    (void)map_[static_cast<unsigned char>(v)];   // raises
    QV_ASSERT_TEXT(false, "a colour the map holds is in the table");
    __builtin_unreachable();
}

// Stands for SourceColors where no colour is ever looked up.
struct NoColors {
    explicit NoColors(qvColorMapReference const&) noexcept {}
};

// A colour as a destination pixel: RGBA (blue, green, red, 255); indexed the
// table's cell; monochrome 1 when the cell is not 0.
template <class D>
inline D from_rgb(Rgb c, qvRgbToIndex const* table) noexcept {
    if constexpr (std::is_same_v<D, qvRgbaQuad>)
        return qvRgbaQuad(static_cast<unsigned char>(c.r), static_cast<unsigned char>(c.g),
                          static_cast<unsigned char>(c.b), 255);
    else if constexpr (std::is_same_v<D, unsigned char>)
        return (*table)(static_cast<short>(c.r), static_cast<short>(c.g), static_cast<short>(c.b));
    else
        return (*table)(static_cast<short>(c.r), static_cast<short>(c.g), static_cast<short>(c.b)) != 0;
}

inline Rgb rgb_of(qvRgbaQuad q) noexcept { return {q.red(), q.green(), q.blue()}; }

}  // namespace qvBitmapPixels
