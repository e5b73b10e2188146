// The bitmap clipping without resampling (see qvBitmapClipping.hpp).

#include <orvane/rendering/qvBitmapClipping.hpp>

#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvBitmapFrame.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>

#include <algorithm>

qvBitmapClipping::qvBitmapClipping(qvBitmapReference const& bitmap, qvTransformation const& t,
                                   qvStandardBitmapType output_type)
    : qvBitmapClippingBase(bitmap, t, output_type) {}

qvBitmapClipping::qvBitmapClipping(qvBitmapReference const& bitmap, qvTransformation const& t)
    : qvBitmapClippingBase(bitmap, t, static_cast<qvStandardBitmapType>(bitmap.type())) {}

void qvBitmapClipping::set_region() {
    count_ = 0;
    clip_ = qvMathRectOf<double>(0, 0, 0, 0);
}

void qvBitmapClipping::add_point(qvCrdOf<double> const& p) noexcept {
    if (count_++ == 0) {
        min_x_ = max_x_ = p.x;
        min_y_ = max_y_ = p.y;
        return;
    }
    min_x_ = std::min(min_x_, p.x);
    min_y_ = std::min(min_y_, p.y);
    max_x_ = std::max(max_x_, p.x);
    max_y_ = std::max(max_y_, p.y);
}

void qvBitmapClipping::set_region(qvRegion const& region) {
    set_region();
    // The box of an empty region is the empty marker, whose mapped corners
    // would span a pixel that nobody asked for.
    if (region.empty())
        return;
    const qvMathRectOf<double> box = region.bbox();
    qvTransformation const& t = transformation();
    add_point(t * qvCrdOf<double>(box.x1, box.y1));
    add_point(t * qvCrdOf<double>(box.x1, box.y2));
    add_point(t * qvCrdOf<double>(box.x2, box.y2));
    add_point(t * qvCrdOf<double>(box.x2, box.y1));
    const qvMathRectOf<double> whole(0, 0, bitmap().width(), bitmap().height());
    if (min_x_ < whole.x2 && max_x_ > whole.x1 && min_y_ < whole.y2 && max_y_ > whole.y1)
        clip_ = qvMathRectOf<double>(std::max(min_x_, whole.x1), std::max(min_y_, whole.y1),
                                     std::min(max_x_, whole.x2), std::min(max_y_, whole.y2));
}

bool qvBitmapClipping::empty() const { return clip_.x2 < clip_.x1 || clip_.y2 < clip_.y1; }

qvBitmap qvBitmapClipping::clip() const {
    if (empty())
        return qvBitmap();
    // Bitmap-space y turned into row positions: y = H is row 0's top edge.
    const double h = bitmap().height();
    const qvBitmapFrame frame(qvTruncToInt(clip_.x1), qvTruncToInt(h - clip_.y2), qvTruncToInt(clip_.x2),
                              qvTruncToInt(h - clip_.y1));
    qvBitmap out(qvBitmapLayout(output_type()), frame.width(), frame.height());
    out.colormap(bitmap().colormap());
    if (frame.width() > 0 && frame.height() > 0) {
        const qvBitmapTransformation copy;
        copy.transform_extended(bitmap(), frame, copy.query_frame(frame), out, qvBitmapFrame(out),
                                qvBitmapReference(), qvBitmapFrame(), nullptr);
    }
    copy_transparency(out);
    return out;
}

qvTransformation qvBitmapClipping::clip_to_device() const {
    if (empty())
        return qvTransformation();
    return inverse_transformation() * qvTransformation(qvTranslation(clip_.x1, clip_.y1));
}
