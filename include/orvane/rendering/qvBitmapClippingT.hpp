#pragma once
// qvBitmapClippingT: resamples a bitmap once into device pixels, limited to
// a region, optionally with a monochrome mask of the covered pixels; the
// result is placed on the device by clip_to_device(), a translation.
//
// Geometry. With t the device-to-bitmap transformation and L the linear
// part of its inverse, P = L * t is the translation by -t^-1(0, 0): it
// moves device coordinates into the frame space of the resampling
// transformation, whose coefficients are L transposed with its second row
// negated (bitmap rows run down, bitmap-space y up). D, the device
// rectangle of the whole transformed bitmap, is its frame moved back by
// P^-1; the clip rectangle C is D cut to the region's box widened to whole
// pixels.
//
// Keeps true: the output and mask bitmaps are replaced, never written
// again, by set_region, so bitmaps handed out by clip() and mask() (which
// share pixels) keep what they showed. A clipping frame of more than 2^26
// pixels or with a side above 2^20 is refused before anything is allocated:
// qvErrorFrom<qvBitmapClippingT> "Clipped bitmap is too large"; the
// members keep their previous values then. Errors of the bitmap
// transformation pass through.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/rendering/qvBitmapClippingBase.hpp>
#include <orvane/rendering/qvBitmapFrame.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>

class qvBitmapClippingT : public qvBitmapClippingBase {
public:
    // The largest clipping frame, in pixels and per side.
    static constexpr long long max_pixels = 1LL << 26;
    static constexpr long long max_side = 1LL << 20;

    qvBitmapClippingT(qvBitmapReference const& bitmap, qvTransformation const& t,
                      qvStandardBitmapType output_type, bool smooth, bool with_mask);

    // Computes C and resamples into the output (and mask) bitmap. A region
    // whose widened box only touches D, or an empty region, leaves C empty.
    void set_region(qvRegion const& region) override;
    // C = (0, 0, 0, 0).
    void set_region() override;
    bool empty() const override;

    // Copies sharing pixels with the members; empty bitmaps when empty().
    qvBitmap clip() const;
    qvBitmap mask() const;
    // The translation by C's corner (x0, y0); the identity when empty().
    qvTransformation clip_to_device() const;

    qvMathRectOf<double> const& device_rectangle() const noexcept { return device_; }
    qvMathRectOf<double> const& clip_rectangle() const noexcept { return clip_; }
    // The resampling frames of D (the whole transformed bitmap) and of the
    // last C that set_region resampled: pixel (i, j) of clip() is pixel
    // (i + part.left - whole.left, j + part.top - whole.top) of the bitmap
    // a region covering D would give.
    qvBitmapFrame const& whole_frame() const noexcept { return whole_; }
    qvBitmapFrame const& clip_frame() const noexcept { return part_; }
    qvBitmapTransformation const& resampling() const noexcept { return resampling_; }
    // Whether a clipping frame of that size is accepted.
    static bool size_allowed(double width, double height) noexcept;

private:
    [[noreturn]] static void raise_too_large();
    // The resampling frame of device rectangle c.
    qvBitmapFrame frame_of(qvMathRectOf<double> const& c) const;

    qvTransformation pre_translation_;
    qvTransformation pre_translation_inverse_;
    qvMathRectOf<double> clip_{0, 0, 0, 0};
    qvMathRectOf<double> device_{0, 0, 0, 0};
    qvBitmapFrame whole_;
    qvBitmapFrame part_;
    qvBitmap mask_;
    qvBitmap output_;
    qvBitmapTransformation resampling_;
    bool with_mask_;
};
