// qvRgbToIndex: building the 2048-cell lookup; see the header.

#include <orvane/attributes/qvRgbToIndex.hpp>

#include "attributes/qvColorNearest.hpp"

#include <algorithm>

qvRgbToIndex::qvRgbToIndex(qvColorMapReference const& map) { initialize(map); }

// Cell centres: red and green at 8, 24, ..., 248, blue at 16, 48, ..., 240.
void qvRgbToIndex::initialize(qvColorMapReference const& map) {
    const qvColorMap kept(map);   // refuses more than 256 entries before any change
    qvColorMapEntry const* entries = kept.data();
    const int count = kept.size();
    unsigned char table[cell_count];
    for (int r = 8; r < 256; r += 16)
        for (int g = 8; g < 256; g += 16)
            for (int b = 16; b < 256; b += 32)
                table[index(r, g, b)] = qvNearestIndex(entries, count, r, g, b);
    for (int k = 0; k < count; ++k) {
        if (entries[k].color() == qvBitmapColor(0, 0, 0)) table[0] = entries[k].index();
        if (entries[k].color() == qvBitmapColor(255, 255, 255))
            table[cell_count - 1] = entries[k].index();
    }
    std::copy(std::begin(table), std::end(table), table_);
    map_ = kept;
}

void qvRgbToIndex::replace(qvColorMapReference const& map) {
    qvColorMapEntry const* entries = map.data();
    for (int k = 0; k < map.size(); ++k)
        table_[index(entries[k].red(), entries[k].green(), entries[k].blue())] = entries[k].index();
}
