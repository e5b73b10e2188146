// qvBitmapFrame: the constructors and the tolerant rounding; see the header.

#include <orvane/rendering/qvBitmapFrame.hpp>

#include <orvane/attributes/qvBitmapReference.hpp>

#include "rendering/qvBitmapTransformationErrors.hpp"

#include <cmath>

qvBitmapFrame::qvBitmapFrame(qvBitmapReference const& bitmap) noexcept
    : qvWinRectOf<int>(0, 0, bitmap.width(), bitmap.height()) {}

// Each edge is converted (and may raise) before the rectangle is ordered.
qvBitmapFrame::qvBitmapFrame(qvMathRectOf<double> const& r)
    : qvWinRectOf<int>(floor(r.x1), floor(r.y1), ceil(r.x2), ceil(r.y2)) {}

// The next integer up when v lies less than 1e-9 below it; computed in
// double, so that v just below INT_MAX + 1 raises instead of wrapping.
int qvBitmapFrame::floor(double v) {
    const double down = std::floor(v);
    return qvBitmapFrameEdge(1 - std::fabs(v - down) < 1e-9 ? down + 1 : down);
}

int qvBitmapFrame::ceil(double v) {
    const double up = std::ceil(v);
    return qvBitmapFrameEdge(1 - std::fabs(v - up) < 1e-9 ? up - 1 : up);
}
