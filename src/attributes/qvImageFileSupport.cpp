// Pieces shared by the BMP and GIF readers and writers; see the header.

#include "attributes/qvImageFileSupport.hpp"

#include <orvane/attributes/qvBitmapHeader.hpp>
#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/attributes/qvColorMapReference.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "attributes/qvBitmapRows.hpp"
#include "attributes/qvColorMapLimits.hpp"
#include "core/qvStreamFields.hpp"

#include <algorithm>

qvColorTableSlots qvColorTableBySlot(qvColorMapReference const& map) {
    qvCheckColorCount(map.size());
    qvColorTableSlots table;
    table.count = map.size();
    qvColorMapEntry const* const entries = map.data();
    if (!entries) return table;   // a count without entries: all black
    if (map.simple()) {
        for (int i = 0; i < map.size(); ++i) table.colors[i] = entries[i].color();
        return table;
    }
    bool filled[256] = {};
    for (int i = 0; i < map.size(); ++i) {
        const int slot = entries[i].index();
        if (filled[slot]) continue;
        filled[slot] = true;
        table.colors[slot] = entries[i].color();
        table.count = std::max(table.count, slot + 1);
    }
    return table;
}

void qvCheckBitmapToWrite(qvBitmapReference const& bitmap) {
    const int type = bitmap.type();
    QV_ASSERT_TEXT(type >= qvMonochromeBitmap && type <= qvRgbaBitmap, "false");
    if (type == qvRgbaBitmap) QV_ASSERT_TEXT(bitmap.pixel_size() > 0, "_header->_pixel_size > 0");
    // The header a bitmap of this type and size is made with; it also
    // refuses a negative width or height.
    const qvBitmapHeader expected(qvBitmapLayout(static_cast<qvStandardBitmapType>(type)), bitmap.width(),
                                  bitmap.height());
    QV_ASSERT_TEXT(
        bitmap.pixel_size() == expected.pixel_size && bitmap.scan_line_size() == expected.row_bytes,
        "the header describes the bitmap's rows");
    QV_ASSERT_TEXT(bitmap.data() != nullptr || bitmap.size() == 0, "bitmap.data()");
}

bool qvImageTooLarge(qvBitmapLayout const& layout, std::int64_t width, std::int64_t rows) {
    constexpr std::int64_t max_image_bytes = 0x7FFFFFFF;
    constexpr std::int64_t max_side = std::int64_t{1} << 32;   // keeps the row size in range
    if (width > max_side || rows > max_side) return true;
    const std::int64_t row_bytes = (qvBitmapRowBytesNeeded(layout.pixel_size, width) + 3) / 4 * 4;
    // Divided, not multiplied: rows of 2^31 pixels of 3 or 4 bytes times as
    // many rows overflow 64 bits (bmp_fuzz found it).
    return row_bytes > max_image_bytes || (row_bytes > 0 && rows > max_image_bytes / row_bytes);
}

void qvWriteUint16(qvOutputStream& os, int value) { qvWriteValue(os, static_cast<std::uint16_t>(value)); }

void qvSkipInput(qvInputStream& is, std::int64_t n) {
    char scratch[4096];
    while (n > 0) {
        const int piece = static_cast<int>(std::min<std::int64_t>(n, sizeof scratch));
        qvReadExact(is, scratch, piece);
        n -= piece;
    }
}
