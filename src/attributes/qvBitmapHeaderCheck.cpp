// The shared header check; see qvBitmapHeaderCheck.hpp for the rules.

#include "attributes/qvBitmapHeaderCheck.hpp"

#include <orvane/attributes/qvBitmapReference.hpp>

#include "attributes/qvBitmapRows.hpp"

#include <cstdint>

bool qvBitmapHeaderIsValid(qvBitmapHeader const& h) noexcept {
    if (h.width < 0 || h.height < 0) return false;
    if (h.type >= qvMonochromeBitmap && h.type <= qvRgbaBitmap &&
        h.pixel_size != qvBitmapLayout(static_cast<qvStandardBitmapType>(h.type)).pixel_size)
        return false;
    if (h.pixel_size == 0) {
        if (h.row_bytes != 0) return false;
    } else {
        if (h.row_bytes % 4 != 0 || h.row_bytes < qvBitmapRowBytesNeeded(h.pixel_size, h.width))
            return false;
        // Also when row bytes are 0 (width 0): size() then reads the image
        // size, which must not announce pixels the rows cannot hold.
        if (h.image_size != std::int64_t{h.row_bytes} * h.height) return false;
    }
    if (h.image_size < 0) return false;
    return h.color_count >= 0 && h.color_count <= 256;
}

bool qvBitmapViewIsValid(qvBitmapReference const& view) noexcept {
    qvBitmapHeader const& h = *view.header();
    if (!qvBitmapHeaderIsValid(h)) return false;
    if (std::int64_t{h.width} * h.height > 0 && view.data() == nullptr) return false;
    return h.color_count == 0 || view.colormap().data() != nullptr;
}
