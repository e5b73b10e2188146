// The members the two bitmap clippings share (see qvBitmapClippingBase.hpp).

#include <orvane/rendering/qvBitmapClippingBase.hpp>

#include <orvane/attributes/qvBitmapHeader.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/attributes/qvColorMapReference.hpp>

qvBitmapClippingBase::qvBitmapClippingBase(qvBitmapReference const& bitmap, qvTransformation const& t,
                                           qvStandardBitmapType output_type) noexcept
    : transformation_(t), inverse_(qvInvert(t)), bitmap_(bitmap), output_type_(output_type) {}

void qvBitmapClippingBase::copy_transparency(qvBitmapReference& to) const {
    if (!bitmap_.transparent())
        return;
    if (output_type_ != qvRgbaBitmap) {
        to.transparent_index(bitmap_.transparent_index());
        return;
    }
    if (bitmap_.type() == qvRgbaBitmap) {
        to.transparent_rgb(bitmap_.transparent_rgb());
        return;
    }
    // An indexed source made RGBA: its transparent index stands for the
    // colour of that entry. Copying the unused colour field instead made
    // every black pixel transparent.
    // No such entry: no transparency.
    const qvColorMapReference map = bitmap_.colormap();
    const unsigned char index = bitmap_.transparent_index();
    if (map.simple() && index < map.size()) {
        to.transparent_rgb(map.data()[index].color());
        return;
    }
    for (int i = 0; !map.simple() && i < map.size(); ++i)
        if (map.data()[i].index() == index) {
            to.transparent_rgb(map.data()[i].color());
            return;
        }
}
