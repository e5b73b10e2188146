// qvBitmapHeader: the header of a new bitmap; see the header file.

#include <orvane/attributes/qvBitmapHeader.hpp>

#include <orvane/core/qvError.hpp>

#include "attributes/qvBitmapHeaderCheck.hpp"
#include "attributes/qvBitmapRows.hpp"

void qvRaiseBitmapSize() { qvRaise(qvErrorFrom<qvBitmapHeader>("Invalid bitmap size")); }

qvBitmapHeader::qvBitmapHeader(qvBitmapLayout const& layout, int w, int h)
    : type(layout.type), pixel_size(layout.pixel_size), width(w), height(h) {
    if (w < 0 || h < 0) qvRaiseBitmapSize();
    std::int64_t row = 0;
    if (pixel_size != 0) {
        // Truncating division: a width of 0 (needing -1 + 1 bytes) gives 4.
        row = (qvBitmapRowBytesNeeded(pixel_size, w) - 1) / 4 * 4 + 4;
    }
    if (row > qvBitmapMaxField) qvRaiseBitmapSize();   // before the product, which then fits 64 bits
    const std::int64_t size = row * h;
    if (size > qvBitmapMaxField) qvRaiseBitmapSize();
    row_bytes = static_cast<std::int32_t>(row);
    image_size = static_cast<std::int32_t>(size);
}
