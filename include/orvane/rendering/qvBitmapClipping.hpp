#pragma once
// qvBitmapClipping: cuts out of a bitmap, in the bitmap's own pixels (no
// resampling), the rectangle that a region of the device needs, converted
// to the output type; clip_to_device() places the cut-out on the device.
//
// Keeps true: the clip rectangle is in bitmap space; it is (0, 0, 0, 0)
// until set_region finds an overlap of positive area, and that rectangle
// is not empty(): clip() then gives a bitmap of size 0. The calling order
// is construct, set_region(region), then clip() and clip_to_device();
// set_region may be called again.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/rendering/qvBitmapClippingBase.hpp>

class qvBitmapClipping : public qvBitmapClippingBase {
public:
    qvBitmapClipping(qvBitmapReference const& bitmap, qvTransformation const& t,
                     qvStandardBitmapType output_type);
    // The output type is the bitmap's own.
    qvBitmapClipping(qvBitmapReference const& bitmap, qvTransformation const& t);

    // The region's bounding box mapped into bitmap space (its four corners'
    // box), cut to the bitmap. An empty region overlaps nothing.
    void set_region(qvRegion const& region) override;
    // Count 0, clip rectangle (0, 0, 0, 0).
    void set_region() override;
    bool empty() const override;

    // A new bitmap of the output type holding the clip rectangle's pixels
    // (edges truncated toward zero), with the source's colour map and
    // transparency; an empty bitmap when empty().
    qvBitmap clip() const;
    // First the translation by the clip rectangle's corner, then t's
    // inverse; the identity when empty().
    qvTransformation clip_to_device() const;

    qvMathRectOf<double> const& clip_rectangle() const noexcept { return clip_; }

private:
    void add_point(qvCrdOf<double> const& p) noexcept;

    double min_x_ = 0, min_y_ = 0, max_x_ = 0, max_y_ = 0;
    int count_ = 0;
    qvMathRectOf<double> clip_{0, 0, 0, 0};
};
