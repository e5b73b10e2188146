// The members the two bitmap clippings share (see qvBitmapClippingBase.hpp).

#include <orvane/rendering/qvBitmapClippingBase.hpp>

#include <orvane/attributes/qvBitmapHeader.hpp>

qvBitmapClippingBase::qvBitmapClippingBase(qvBitmapReference const& bitmap, qvTransformation const& t,
                                           qvStandardBitmapType output_type) noexcept
    : transformation_(t), inverse_(qvInvert(t)), bitmap_(bitmap), output_type_(output_type) {}

void qvBitmapClippingBase::copy_transparency(qvBitmapReference& to) const {
    if (!bitmap_.transparent())
        return;
    if (output_type_ == qvRgbaBitmap)
        to.transparent_rgb(bitmap_.transparent_rgb());
    else
        to.transparent_index(bitmap_.transparent_index());
}
