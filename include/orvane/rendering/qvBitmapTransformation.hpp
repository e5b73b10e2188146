#pragma once
// qvBitmapTransformation: maps a frame of a source bitmap through a linear
// transformation onto a destination bitmap, pixel by pixel, converting
// between the three standard pixel types (monochrome, indexed, RGBA) and
// optionally writing a monochrome mask of the covered destination pixels.
//
// Keeps true: a value of six coefficients and a smoothing flag, nothing
// else; every call is independent. A point (x, y) maps to
// (a0 x + a1 y + a4, a2 x + a3 y + a5); frames are mapped with the linear
// part transposed, (a0 x + a2 y + a4, a1 x + a3 y + a5), so that the
// bitmap clipping can hand over the inverse of a device transformation as
// it stands.
//
// Frame space. query_frame(f) is the destination pixel rectangle that the
// image of frame f covers, measured from the image of f's left-bottom
// corner and shifted down one row when a3 <= 0. Clipping position (x, y)
// is written to destination pixel (DF.left + x - C.left, DF.top + y - C.top)
// and to the same place of the mask frame.
//
// Reading the source, by mode:
//   0  raw: the source value unchanged (types equal; RGBA to RGBA, or an
//      indexed or monochrome destination without colours and without a
//      table);
//   1  nearest pixel, colours converted through the colour maps and the
//      RGB-to-index table;
//   2  bilinear (the smoothing flag), on colours, sampled at destination
//      pixel centres: the identity, both flips, the half turn and both
//      quarter turns reproduce the source exactly (alpha 255).
// Nearest sampling keeps its historical positions: it is exact under the
// identity, the vertical flip, integer scales and the turn (0, -1, 1, 0);
// under the horizontal mirror and the half turn the destination's first
// column stays uncovered and one source edge goes unread, under the turn
// (0, 1, -1, 0) also its last row. Restricted images are drawn this way.
//
// Errors, all qvErrorFrom<qvBitmapTransformation>, raised before any pixel
// is written, in this order: "Invalid bitmap header" (a bitmap of type 1
// to 3 whose header disagrees with itself or with its storage: source,
// destination, and a mask of non-zero size), then "The frame of the source
// bitmap is outside limits", "The frame of the destination bitmap is
// outside limits", "The frame of the destination bitmap does not match the
// clipping", "The frame of the mask bitmap is outside limits", "Mask should
// be a monochrome bitmap", "The frame of the mask bitmap does not match the
// clipping", "Cannot deduce the destination colormap", "Indexed or
// monochrome source should have a colormap", "In 1:1 transformation the
// clipping should be within the source frame". A frame whose edges are
// reversed is outside limits. A pixel value beyond its colour map fails
// the map's own checks while pixels are written; the pixels written before
// stay. A bitmap type outside 1 to 3 finds no worker: nothing is written and
// nothing raised. query_frame and the frames from doubles raise "Bitmap
// frame out of range" for NaN or values outside int.

#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/rendering/qvBitmapFrame.hpp>

class qvBitmapReference;
class qvRgbToIndex;

class qvBitmapTransformation {
public:
    // The identity, smoothing off.
    constexpr qvBitmapTransformation() noexcept = default;
    // The linear part of t; its translation is dropped (frames carry the
    // placement).
    constexpr qvBitmapTransformation(qvTransformation const& t, bool smooth) noexcept
        : a_{t.m0(), t.m1(), t.m2(), t.m3(), 0, 0}, smooth_(smooth) {}

    // a0 .. a5 in a qvTransformation's order.
    constexpr qvTransformation coefficients() const noexcept {
        return {a_[0], a_[1], a_[2], a_[3], a_[4], a_[5]};
    }
    constexpr bool smooth() const noexcept { return smooth_; }

    // The clipping frame of source frame f; each axis ordered.
    qvBitmapFrame query_frame(qvBitmapFrame const& f) const;

    // Whole bitmaps: the destination must have exactly the size of
    // query_frame of the source's whole frame. An empty mask reference means
    // no mask. The table may be null.
    void transform(qvBitmapReference const& source, qvBitmapReference const& destination,
                   qvBitmapReference const& mask, qvRgbToIndex const* table) const;

    void transform_extended(qvBitmapReference const& source, qvBitmapFrame const& source_frame,
                            qvBitmapFrame const& clipping, qvBitmapReference const& destination,
                            qvBitmapFrame const& destination_frame, qvBitmapReference const& mask,
                            qvBitmapFrame const& mask_frame, qvRgbToIndex const* table) const;

private:
    // The worker form keeps a translation; made inside the library only.
    friend qvBitmapTransformation qvBitmapWorkerForm(qvTransformation const& w, bool smooth) noexcept;

    double a_[6] = {1, 0, 0, 1, 0, 0};
    bool smooth_ = false;
};
