#pragma once
// qvBitmapTransformationBase: the one operation every bitmap transformation
// worker implements. qvBitmapTransformation::transform_extended checks a
// request, classifies it and hands it to the worker its tables name; a
// worker trusts what was checked (frames inside their bitmaps, sizes that
// match, headers that agree with their storage).
//
// Arguments, in order: the transformation (the 1:1 workers ignore it; the
// affine workers receive the worker form, see qvBitmapTransformation), the
// source, the source frame (for the 1:1 workers the source rectangle: the
// clipping moved into the source), the clipping, the destination and its
// frame, the mask and its frame (a mask of size 0 is none), and the
// RGB-to-index table or null.
//
// Workers are stateless constant objects shared by every call; they are
// never deleted through this interface.

class qvBitmapFrame;
class qvBitmapReference;
class qvBitmapTransformation;
class qvRgbToIndex;

class qvBitmapTransformationBase {
public:
    virtual void transform(qvBitmapTransformation const& transformation,
                           qvBitmapReference const& source, qvBitmapFrame const& source_frame,
                           qvBitmapFrame const& clipping, qvBitmapReference const& destination,
                           qvBitmapFrame const& destination_frame, qvBitmapReference const& mask,
                           qvBitmapFrame const& mask_frame, qvRgbToIndex const* table) const = 0;

protected:
    constexpr qvBitmapTransformationBase() noexcept = default;
    ~qvBitmapTransformationBase() = default;
};
