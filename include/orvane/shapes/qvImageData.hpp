#pragma once
// The image data structs. qvImageData is the part both image kinds share; a
// restricted image (qvRestrictedImageData, kind -11, proxy class 9) follows
// it with its alignment and extent, a scaled image (qvScaledImageData, kind
// -12, proxy class 10) with two edge vectors.
//   record  data  size  field
//       40     0    48  bitmap header (qvBitmapHeader): layout, row bytes,
//                       width, height, image size, colour count (at 64), ...
//       88    48    16  anchor, two float64, model coordinates
//      104    64     2  pixel offset, int16 self-relative
//      106    66     2  colour-map offset, int16 self-relative
//      108    68     4  unused, written as 0
//   restricted image (fixed record size 136):
//      112    72     4  alignment, int32 (text alignment bits 0-3); 6 when
//                       constructed
//      116    76     4  unused, written as 0
//      120    80     8  x resolution: the width in model units, float64
//      128    88     8  y resolution: the height in model units, float64
//   scaled image (fixed record size 144):
//      112    72    16  x vector, two float64, model units
//      128    88    16  y vector, two float64, model units
//   then the colour map (colour count x 4-byte qvColorMapEntry), then the
//   pixels (the pixel byte count), each at the first 8-aligned address after
//   what precedes it.
//
// The pixel byte count is row bytes x height, or the header's image size
// when row bytes is 0. Keeps true: a part is reached only while its count is
// positive; the structs are not copied as values (their offsets would point
// elsewhere): copy_from places the parts for the destination.

#include <orvane/attributes/qvBitmapHeader.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvSelfRelativeOffset.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

struct qvImageData {
    qvBitmapHeader header;
    qvCrdOf<double> anchor;
    std::int16_t pixel_offset = 0;
    std::int16_t colormap_offset = 0;
    std::int32_t unused = 0;

    qvImageData() noexcept = default;
    qvImageData(qvImageData const&) = delete;
    qvImageData(qvImageData&&) noexcept = default;
    qvImageData& operator=(qvImageData const&) = delete;

    unsigned char* pixels() noexcept { return qvSelfRelative::target<unsigned char>(pixel_offset); }
    unsigned char const* pixels() const noexcept {
        return qvSelfRelative::target<unsigned char const>(pixel_offset);
    }
    qvColorMapEntry* colormap() noexcept { return qvSelfRelative::target<qvColorMapEntry>(colormap_offset); }
    qvColorMapEntry const* colormap() const noexcept {
        return qvSelfRelative::target<qvColorMapEntry const>(colormap_offset);
    }

    // Pixel bytes as the header describes them, in 64 bits (a hostile header
    // may multiply beyond int32); negative when the header is malformed.
    std::int64_t pixel_bytes() const noexcept;
    // Colour-map bytes: 4 per colour; negative when the count is.
    std::int64_t colormap_bytes() const noexcept { return std::int64_t{header.color_count} * 4; }

    // The shared part of the copy operators: the source's header and anchor,
    // then its colour map and pixels to where this struct's offsets already
    // point (the kind's copy_from places them first).
    void copy_parts_from(qvImageData const& source);

    // Sets both offsets for parts that start at `first` (the end of the
    // kind's fixed part): the colour map there, the pixels after it. An empty
    // part gets offset 0. Uses this struct's own header counts.
    void place_parts(char* first);

    static constexpr long flavor() noexcept { return 0; }
};

struct qvRestrictedImageData {
    qvImageData image;
    std::int32_t alignment = 6;
    std::int32_t unused = 0;
    double x_resolution = 0.0;
    double y_resolution = 0.0;

    qvRestrictedImageData() noexcept = default;

    // The copy operator: all fixed fields, the colour map after the 96-byte
    // fixed part and the pixels after it.
    void copy_from(qvRestrictedImageData const& source);

    static constexpr long flavor() noexcept { return qvRestrictedImageKind; }
};

struct qvScaledImageData {
    qvImageData image;
    qvCrdOf<double> x_vector;
    qvCrdOf<double> y_vector;

    qvScaledImageData() noexcept = default;

    // The copy operator: all fixed fields, the colour map after the 104-byte
    // fixed part and the pixels after it.
    void copy_from(qvScaledImageData const& source);

    static constexpr long flavor() noexcept { return qvScaledImageKind; }
};

static_assert(std::is_trivially_copyable_v<qvRestrictedImageData>);
static_assert(std::is_trivially_copyable_v<qvScaledImageData>);
static_assert(std::is_standard_layout_v<qvRestrictedImageData>);
static_assert(std::is_standard_layout_v<qvScaledImageData>);
static_assert(sizeof(qvImageData) == 72 && alignof(qvImageData) == 8);
static_assert(offsetof(qvImageData, header) == 0);
static_assert(offsetof(qvImageData, anchor) == 48);
static_assert(offsetof(qvImageData, pixel_offset) == 64);
static_assert(offsetof(qvImageData, colormap_offset) == 66);
static_assert(offsetof(qvImageData, unused) == 68);
static_assert(sizeof(qvRestrictedImageData) == 96);
static_assert(offsetof(qvRestrictedImageData, alignment) == 72);
static_assert(offsetof(qvRestrictedImageData, unused) == 76);
static_assert(offsetof(qvRestrictedImageData, x_resolution) == 80);
static_assert(offsetof(qvRestrictedImageData, y_resolution) == 88);
static_assert(sizeof(qvScaledImageData) == 104);
static_assert(offsetof(qvScaledImageData, x_vector) == 72);
static_assert(offsetof(qvScaledImageData, y_vector) == 88);
static_assert(sizeof(qvShape<qvRestrictedImageData>) == 136 && sizeof(qvShape<qvScaledImageData>) == 144);
