#pragma once
// qvTextData: the data of both text records, restricted (kind -9, proxy
// class 7) and scaled (kind -10, proxy class 8); fixed record size 120.
//   record  data  size  field
//       40     0    16  anchor, two float64, model coordinates
//       56    16     8  angle, float64 degrees, turning (1, 0) towards (0, 1)
//       64    24     8  aperture, float64 degrees; 90 is upright
//       72    32     4  alignment, int32: bits 0-1 vertical (0 baseline, 1 top,
//                       2 bottom, 3 centre), bits 2-3 horizontal (0 or 4
//                       start, 8 end, 12 centre), bit 4 carried unchanged
//       76    36     4  padding, written as 0
//       80    40    24  extent (qvExtent: width, descent, ascent), model units
//      104    64     4  stretch, float32, > 0 once set through the interface
//      108    68     2  length, int16: text bytes without the terminator
//      110    70     2  text offset, int16 self-relative (10 once placed: 120)
//      112    72     8  height, float64: the scaled text's height in model
//                       units; 1.0 in a restricted text
//      120    80     -  length text bytes, then a zero byte
//
// A constructed struct is the data of a new text record: alignment 6 (left,
// bottom), aperture 90, stretch 1, height 1, no text; every other byte 0.
// Keeps true: the text is reached only while length > 0; the struct is not
// copied as a value (its offset would point elsewhere): copy_from places the
// text for the destination.
//
// The geometry (exact; NaN passes through the arithmetic, nothing raises):
//  - compute_vectors gives the text box of an extent (w, d, a) as four
//    vectors from the anchor: p0 the start of the baseline side, p1 its end,
//    p2 the offset of the top edge, p3 that of the bottom edge; the corners
//    are p0 + p2, p0 + p3, p1 + p2, p1 + p3. From p0 = (0, 0), p1 = (w, 0),
//    p2 = (0, a), p3 = (0, -d): the horizontal field moves p0 and p1 (end:
//    p0 = -p1, p1 = 0; centre: p1 = p1 / 2, p0 = -p1), the vertical field
//    p2 and p3 (top: p3 = p3 - p2, p2 = 0; bottom: p2 = p2 - p3, p3 = 0;
//    centre: p2 = (p2 - p3) / 2, p3 = -p2); an aperture other than exactly
//    90 shears p2 and p3 (qvAperture), an angle other than exactly 0 turns
//    all four (qvRotation);
//  - bbox is symmetric about the anchor: per axis, the largest absolute
//    corner coordinate M gives anchor - M to anchor + M, so the box holds
//    the text whichever way a device's axes point;
//  - get_transformed_text_data prepares the text for a device (see there).

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/shapes/qvExtent.hpp>
#include <orvane/shapes/qvSelfRelativeOffset.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTransformedTextData.hpp>

struct qvTextData {
    qvCrdOf<double> anchor;
    double angle = 0.0;
    double aperture = 90.0;
    std::int32_t alignment = 6;
    std::int32_t padding = 0;
    qvExtent extent;
    float stretch = 1.0f;
    std::int16_t length = 0;
    std::int16_t text_offset = 0;
    double height = 1.0;

    qvTextData() noexcept = default;
    qvTextData(qvTextData const&) = delete;
    qvTextData(qvTextData&&) noexcept = default;
    qvTextData& operator=(qvTextData const&) = delete;

    char* text() noexcept { return qvSelfRelative::target<char>(text_offset); }
    char const* text() const noexcept { return qvSelfRelative::target<char const>(text_offset); }

    // The copy operator: every fixed field, then the text at the first
    // 8-aligned address after the fixed part (record offset 120). At most
    // `length` bytes are copied, up to the source's first zero byte; the rest
    // of the length is zero-filled and a terminating zero follows, so the
    // copy is always a terminated string within the record that its source
    // record's size holds.
    void copy_from(qvTextData const& source);

    // The text box of `e` (see above), relative to the anchor.
    void compute_vectors(qvExtent const& e, qvCrdOf<double>& p0, qvCrdOf<double>& p1, qvCrdOf<double>& p2,
                         qvCrdOf<double>& p3) const;
    // The text box of the stored extent.
    void compute_vectors(qvCrdOf<double>& p0, qvCrdOf<double>& p1, qvCrdOf<double>& p2,
                         qvCrdOf<double>& p3) const;
    // The symmetric box around the anchor that holds the stored text box.
    qvMathRectOf<double> bbox() const;

    // The text prepared for drawing under the model-to-device
    // transformation t: a scaled text (scaled) at its height, a restricted
    // one at the device font size `size`. Not valid for an empty text, a
    // zero stretch or a zero size, nor when a measured restricted text is
    // asked for more than its measured device size (its box is shrunk to a
    // smaller size, never grown).
    qvTransformedTextData get_transformed_text_data(qvTransformation const& t, double size, bool scaled) const;

    static constexpr long flavor() noexcept { return 0; }
};

struct qvRestrictedTextData : qvTextData {
    static constexpr long flavor() noexcept { return qvRestrictedTextKind; }
};

struct qvScaledTextData : qvTextData {
    static constexpr long flavor() noexcept { return qvScaledTextKind; }
};

static_assert(std::is_trivially_copyable_v<qvRestrictedTextData>);
static_assert(std::is_standard_layout_v<qvRestrictedTextData>);
static_assert(sizeof(qvTextData) == 80 && alignof(qvTextData) == 8);
static_assert(offsetof(qvTextData, anchor) == 0);
static_assert(offsetof(qvTextData, angle) == 16);
static_assert(offsetof(qvTextData, aperture) == 24);
static_assert(offsetof(qvTextData, alignment) == 32);
static_assert(offsetof(qvTextData, padding) == 36);
static_assert(offsetof(qvTextData, extent) == 40);
static_assert(offsetof(qvTextData, stretch) == 64);
static_assert(offsetof(qvTextData, length) == 68);
static_assert(offsetof(qvTextData, text_offset) == 70);
static_assert(offsetof(qvTextData, height) == 72);
static_assert(sizeof(qvShape<qvRestrictedTextData>) == 120 && sizeof(qvShape<qvScaledTextData>) == 120);
