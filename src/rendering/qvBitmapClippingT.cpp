// The resampling bitmap clipping (see qvBitmapClippingT.hpp).

#include <orvane/rendering/qvBitmapClippingT.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>

#include <algorithm>
#include <cmath>

qvBitmapClippingT::qvBitmapClippingT(qvBitmapReference const& bitmap, qvTransformation const& t,
                                     qvStandardBitmapType output_type, bool smooth, bool with_mask)
    : qvBitmapClippingBase(bitmap, t, output_type), with_mask_(with_mask) {
    qvTransformation const& i = inverse_transformation();
    const qvTransformation linear(i.m0(), i.m1(), i.m2(), i.m3(), 0, 0);
    pre_translation_ = linear * t;
    pre_translation_inverse_ = qvInvert(pre_translation_);
    resampling_ = qvBitmapTransformation(qvTransformation(i.m0(), i.m2(), -i.m1(), -i.m3(), 0, 0), smooth);
    const qvBitmapFrame q = resampling_.query_frame(qvBitmapFrame(0, 0, bitmap.width(), bitmap.height()));
    device_ = qvMathRectOf<double>(pre_translation_inverse_ * qvCrdOf<double>(q.right(), q.bottom()),
                                   pre_translation_inverse_ * qvCrdOf<double>(q.left(), q.top()));
    whole_ = frame_of(device_);
}

qvBitmapFrame qvBitmapClippingT::frame_of(qvMathRectOf<double> const& c) const {
    return qvBitmapFrame(qvMathRectOf<double>(pre_translation_ * qvCrdOf<double>(c.x2, c.y2),
                                              pre_translation_ * qvCrdOf<double>(c.x1, c.y1)));
}

void qvBitmapClippingT::raise_too_large() {
    qvRaise(qvErrorFrom<qvBitmapClippingT>("Clipped bitmap is too large"));
}

bool qvBitmapClippingT::size_allowed(double width, double height) noexcept {
    // NaN fails every comparison and is refused.
    return width <= static_cast<double>(max_side) && height <= static_cast<double>(max_side) &&
           width * height <= static_cast<double>(max_pixels);
}

void qvBitmapClippingT::set_region() { clip_ = qvMathRectOf<double>(0, 0, 0, 0); }

void qvBitmapClippingT::set_region(qvRegion const& region) {
    // The box of an empty region is the empty marker, which widened would
    // ask for a pixel nobody wants.
    if (region.empty()) {
        clip_ = qvMathRectOf<double>::make_empty();
        return;
    }
    qvMathRectOf<double> const& box = region.bbox();
    const qvMathRectOf<double> widened(std::floor(box.x1), std::floor(box.y1), std::ceil(box.x2),
                                       std::ceil(box.y2));
    if (!(widened.x2 > device_.x1 && device_.x2 > widened.x1 && widened.y2 > device_.y1 &&
          device_.y2 > widened.y1)) {
        clip_ = qvMathRectOf<double>::make_empty();
        return;
    }
    const qvMathRectOf<double> c(std::max(device_.x1, widened.x1), std::max(device_.y1, widened.y1),
                                 std::min(device_.x2, widened.x2), std::min(device_.y2, widened.y2));
    const qvBitmapFrame frame = frame_of(c);
    if (!size_allowed(frame.width(), frame.height()))
        raise_too_large();

    qvBitmap mask;
    if (with_mask_)
        mask = qvBitmap(qvBitmapLayout(qvMonochromeBitmap), frame.width(), frame.height());
    qvBitmap output(qvBitmapLayout(output_type()), frame.width(), frame.height());
    copy_transparency(output);
    resampling_.transform_extended(bitmap(), qvBitmapFrame(bitmap()), frame, output, qvBitmapFrame(output), mask,
                                   qvBitmapFrame(output), nullptr);
    output.colormap(bitmap().colormap());
    // Committed only now: an error above leaves the earlier result in place.
    clip_ = c;
    output_ = output;
    mask_ = mask;
    part_ = frame;
}

bool qvBitmapClippingT::empty() const { return clip_.x2 < clip_.x1 || clip_.y2 < clip_.y1; }

qvBitmap qvBitmapClippingT::clip() const { return empty() ? qvBitmap() : output_; }

qvBitmap qvBitmapClippingT::mask() const { return empty() ? qvBitmap() : mask_; }

qvTransformation qvBitmapClippingT::clip_to_device() const {
    if (empty())
        return qvTransformation();
    return qvTransformation(qvTranslation(clip_.x1, clip_.y1));
}
