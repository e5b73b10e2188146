#pragma once
// The input of bitmap_transform_fuzz, shared by the target and the seed
// writer: a request of qvBitmapTransformation spelt out in bytes.
//
// Layout (little-endian; bytes past the end of the input read as 0):
//   offset  size  meaning
//        0     1  flags: 1 smoothing, 2 whole frames through transform(),
//                 4 a table is given
//        1    32  a0 .. a3, doubles as they lie in memory (NaN and huge too)
//       33     -  three bitmaps: source, destination, mask; each
//                    1  type (signed)
//                    2  width, 2 height (signed)
//                    1  row bytes change, times 4 (signed; 0 keeps them)
//                    1  pixel size change (signed; 0 keeps it)
//                    1  image size change (signed; 0 keeps it)
//                    2  colour count (signed)
//                    1  colour map identity flag
//                    1  transparency flag, 3 transparent colour, 1 index
//                    then size() pixel bytes and 4 x count colour bytes
//                    (only what the input holds: a bitmap announcing more
//                    than the rest of the input ends the input)
//        -    32  four frames, each left, top, right, bottom as int16:
//                 source frame, clipping, destination frame, mask frame
//        -     1  table colour count n, then 4 n bytes of entries
//
// A header change of 0 keeps what a new bitmap of that type and size has,
// so most inputs describe valid bitmaps and the checks after the header
// check get fuzzed too.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/core/qvError.hpp>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace qvfuzz {

class ByteReader {
public:
    ByteReader(std::uint8_t const* data, std::size_t size) : data_(data), size_(size) {}

    template <class T>
    T take() {
        unsigned char bytes[sizeof(T)] = {};
        for (std::size_t k = 0; k < sizeof(T); ++k) bytes[k] = at_ < size_ ? data_[at_++] : 0;
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }
    std::size_t left() const { return size_ - at_; }
    // n bytes of the input; false (nothing taken) when it holds fewer.
    bool take_bytes(void* out, std::size_t n) {
        if (n > left()) return false;
        if (n) std::memcpy(out, data_ + at_, n);
        at_ += n;
        return true;
    }

private:
    std::uint8_t const* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A bitmap as the input spells it: its own header, pixels and colours, each
// storage exactly as large as the header says (when the header allows).
struct FuzzBitmap {
    qvBitmapHeader header;
    std::vector<unsigned char> pixels;
    std::vector<qvColorMapEntry> colors;

    qvBitmapReference view() {
        return qvBitmapReference(&header, pixels.empty() ? nullptr : pixels.data(),
                                 colors.empty() ? nullptr : colors.data());
    }

    // False when the input ends before the bitmap's storage does.
    bool read(ByteReader& in) {
        const int type = in.take<std::int8_t>();
        const int width = in.take<std::int16_t>(), height = in.take<std::int16_t>();
        const int row_change = in.take<std::int8_t>(), pixel_change = in.take<std::int8_t>();
        const int image_change = in.take<std::int8_t>();
        const qvBitmapLayout layout(type >= 1 && type <= 3 ? qvBitmapLayout(static_cast<qvStandardBitmapType>(type))
                                                           : qvBitmapLayout(type, 1));
        if (width >= 0 && height >= 0) {
            try {
                header = qvBitmapHeader(layout, width, height);
            } catch (qvError const&) {   // beyond 2 GB: more than any input holds
                return false;
            }
        }
        header.type = type;
        header.width = width;
        header.height = height;
        header.row_bytes += 4 * row_change;
        header.pixel_size += pixel_change;
        header.image_size += image_change;
        header.color_count = in.take<std::int16_t>();
        header.colormap_simple = in.take<std::uint8_t>() & 1;
        header.transparent = in.take<std::uint8_t>() & 1;
        const int r = in.take<std::uint8_t>(), g = in.take<std::uint8_t>(), b = in.take<std::uint8_t>();
        header.transparent_color = qvBitmapColor(r, g, b);
        header.transparent_index = in.take<std::uint8_t>();
        const long size = qvBitmapReference(&header, nullptr, nullptr).size();
        // Checked against the input before anything is allocated.
        if (size > 0) {
            if (static_cast<unsigned long>(size) > in.left()) return false;
            pixels.resize(static_cast<std::size_t>(size));
            in.take_bytes(pixels.data(), pixels.size());
        }
        if (header.color_count > 0 && header.color_count <= 256) {
            colors.resize(static_cast<std::size_t>(header.color_count));
            if (!in.take_bytes(colors.data(), 4 * colors.size())) return false;
        }
        return true;
    }
};

// ---- writing inputs (the seed writer) ----------------------------------------------------

inline void put_bytes(std::string& out, void const* p, std::size_t n) {
    out.append(static_cast<char const*>(p), n);
}
template <class T>
void put(std::string& out, T value) {
    put_bytes(out, &value, sizeof value);
}

// A bitmap of a standard type with a valid header: its pixels and colours.
inline void put_bitmap(std::string& out, qvBitmapReference const& b) {
    put<std::int8_t>(out, static_cast<std::int8_t>(b.type()));
    put<std::int16_t>(out, static_cast<std::int16_t>(b.width()));
    put<std::int16_t>(out, static_cast<std::int16_t>(b.height()));
    put<std::int8_t>(out, 0);
    put<std::int8_t>(out, 0);
    put<std::int8_t>(out, 0);
    put<std::int16_t>(out, static_cast<std::int16_t>(b.header()->color_count));
    put<std::uint8_t>(out, static_cast<std::uint8_t>(b.header()->colormap_simple));
    put<std::uint8_t>(out, b.header()->transparent);
    put<std::uint8_t>(out, b.transparent_rgb().red());
    put<std::uint8_t>(out, b.transparent_rgb().green());
    put<std::uint8_t>(out, b.transparent_rgb().blue());
    put<std::uint8_t>(out, b.transparent_index());
    if (b.size() > 0) put_bytes(out, b.data(), static_cast<std::size_t>(b.size()));
    if (b.header()->color_count > 0) put_bytes(out, b.colormap().data(), 4 * static_cast<std::size_t>(b.header()->color_count));
}

}   // namespace qvfuzz
