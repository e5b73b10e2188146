#pragma once
// qvBitmapFrame: a rectangle of whole pixel positions in a bitmap. Columns
// left .. right - 1 and rows top .. bottom - 1 belong to it; row 0 is the
// first row of the pixel storage (the top row).
//
// Keeps true after every constructor except the copy from a window
// rectangle (which copies as given): left <= right and top <= bottom.
//
// From doubles, each edge is rounded outwards with a tolerance of 1e-9, so
// that a rectangle computed through a transformation and back does not
// gain a whole pixel for a rounding error: floor(v) is the next integer up
// when v lies less than 1e-9 below it, ceil(v) the integer below when v lies
// less than 1e-9 above it. An edge that is NaN or outside int raises
// qvErrorFrom<qvBitmapTransformation> "Bitmap frame out of range".

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvWinRect.hpp>

class qvBitmapReference;

class qvBitmapFrame : public qvWinRectOf<int> {
public:
    // (0, 0, 0, 0).
    constexpr qvBitmapFrame() noexcept = default;
    // The four ints unchanged.
    constexpr qvBitmapFrame(qvWinRectOf<int> const& r) noexcept
        : qvWinRectOf<int>(qvRectOf<int>(r)) {}
    // Each axis ordered.
    constexpr qvBitmapFrame(int left, int top, int right, int bottom) noexcept
        : qvWinRectOf<int>(left, top, right, bottom) {}
    // (0, 0, width, height) of the bitmap's header, each axis ordered.
    explicit qvBitmapFrame(qvBitmapReference const& bitmap) noexcept;
    // (floor(x1), floor(y1), ceil(x2), ceil(y2)), each axis ordered.
    explicit qvBitmapFrame(qvMathRectOf<double> const& r);

private:
    static int floor(double v);
    static int ceil(double v);
};
