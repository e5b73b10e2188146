// Rectangle-to-rectangle mapping, one axis at a time.

#include <orvane/geometry/qvRectToRectTransformation.hpp>

#include <orvane/core/qvError.hpp>

namespace {

[[noreturn]] void raise_degenerate() {
    qvRaise(qvErrorFrom<qvRectToRectTransformation>(
        "Degenerate rectangles cannot define transformation"));
}

// Maps src_lo .. src_lo + src_size onto dst_lo .. dst_lo + dst_size.
qvRTComponent axis(double src_lo, double src_size, double dst_lo, double dst_size) {
    double scale = 1;
    if (src_size != 0 || dst_size != 0) {
        if (src_size == 0) raise_degenerate();
        scale = dst_size / src_size;
    }
    return {scale, dst_lo - src_lo * scale};
}

}  // namespace

qvRectToRectTransformation::qvRectToRectTransformation(qvMathRectOf<double> const& src,
                                                       qvMathRectOf<double> const& dst)
    : qvRestrictedTransformation(axis(src.x1, src.width(), dst.x1, dst.width()),
                                 axis(src.y1, src.height(), dst.y1, dst.height())) {}
