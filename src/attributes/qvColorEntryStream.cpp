// Colour entries on binary streams; see the header.

#include "attributes/qvColorEntryStream.hpp"

#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "core/qvStreamFields.hpp"

namespace {
constexpr int max_entries = 256;
}

void qvWriteColorEntries(qvOutputStream& os, qvColorMapEntry const* entries, int count) {
    QV_ASSERT(0 <= count && count <= max_entries);
    char bytes[4 * max_entries];
    for (int k = 0; k < count; ++k) {
        bytes[4 * k] = static_cast<char>(entries[k].red());
        bytes[4 * k + 1] = static_cast<char>(entries[k].green());
        bytes[4 * k + 2] = static_cast<char>(entries[k].blue());
        bytes[4 * k + 3] = static_cast<char>(entries[k].index());
    }
    os.putn(bytes, 4 * count);
}

void qvReadColorEntries(qvInputStream& is, qvColorMapEntry* entries, int count) {
    QV_ASSERT(0 <= count && count <= max_entries);
    unsigned char bytes[4 * max_entries];
    qvReadExact(is, bytes, 4 * count);
    for (int k = 0; k < count; ++k)
        entries[k] = qvColorMapEntry(
            qvBitmapColor(bytes[4 * k], bytes[4 * k + 1], bytes[4 * k + 2]), bytes[4 * k + 3]);
}
