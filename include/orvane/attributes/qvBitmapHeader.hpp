#pragma once
// qvBitmapHeader: the 48-byte description of a bitmap's pixel array.
//
// Image records store this struct raw and read it in place, so it is
// trivially copyable with fixed field offsets (little-endian int32 fields):
//   offset  size  field            meaning
//        0     4  type             qvStandardBitmapType, or -1
//        4     4  pixel_size       as in qvBitmapLayout (-8, 1, 4; 0 for none)
//        8     4  row_bytes        bytes per scan line, a multiple of 4 (0 for
//                                  pixel size 0)
//       12     4  width            pixels
//       16     4  height           scan lines; row 0 is the top row
//       20     4  image_size       row_bytes x height (carries the size when
//                                  row_bytes is 0)
//       24     4  color_count      number of colour-map entries
//       28     4  colormap_simple  1 when colour entry i has index i
//       32     4  dpi_x            dots per inch, 72 by default
//       36     4  dpi_y            dots per inch, 72 by default
//       40     1  transparent      1 when a transparent colour is set
//       41     3  transparent_color  red, green, blue
//       44     1  transparent_index
//       45     3  padding          0 when constructed; kept as read
//
// Streams write it field by field, never as a struct.

#include <orvane/attributes/qvBitmapColor.hpp>
#include <orvane/attributes/qvBitmapLayout.hpp>

#include <cstddef>
#include <cstdint>
#include <type_traits>

struct qvBitmapHeader {
    std::int32_t type = -1;
    std::int32_t pixel_size = 0;
    std::int32_t row_bytes = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t image_size = 0;
    std::int32_t color_count = 0;
    std::int32_t colormap_simple = 1;
    std::int32_t dpi_x = 72;
    std::int32_t dpi_y = 72;
    unsigned char transparent = 0;
    qvBitmapColor transparent_color;
    unsigned char transparent_index = 0;
    unsigned char padding[3] = {0, 0, 0};

    qvBitmapHeader() noexcept = default;
    // Row bytes hold the width at the layout's pixel size rounded up to a
    // multiple of 4 (a width of 0 gives 4); 0 for pixel size 0. A negative
    // width or height, or a row or image size beyond 0x7FFFFFFF, raises
    // qvErrorFrom<qvBitmapHeader> "Invalid bitmap size".
    qvBitmapHeader(qvBitmapLayout const& layout, int width, int height);

    qvBitmapLayout layout() const noexcept { return {type, pixel_size}; }
};

static_assert(std::is_trivially_copyable_v<qvBitmapHeader>);
static_assert(std::is_standard_layout_v<qvBitmapHeader>);
static_assert(sizeof(qvBitmapHeader) == 48);
static_assert(offsetof(qvBitmapHeader, type) == 0);
static_assert(offsetof(qvBitmapHeader, pixel_size) == 4);
static_assert(offsetof(qvBitmapHeader, row_bytes) == 8);
static_assert(offsetof(qvBitmapHeader, width) == 12);
static_assert(offsetof(qvBitmapHeader, height) == 16);
static_assert(offsetof(qvBitmapHeader, image_size) == 20);
static_assert(offsetof(qvBitmapHeader, color_count) == 24);
static_assert(offsetof(qvBitmapHeader, colormap_simple) == 28);
static_assert(offsetof(qvBitmapHeader, dpi_x) == 32);
static_assert(offsetof(qvBitmapHeader, dpi_y) == 36);
static_assert(offsetof(qvBitmapHeader, transparent) == 40);
static_assert(offsetof(qvBitmapHeader, transparent_color) == 41);
static_assert(offsetof(qvBitmapHeader, transparent_index) == 44);
static_assert(offsetof(qvBitmapHeader, padding) == 45);

