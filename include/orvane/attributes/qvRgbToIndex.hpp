#pragma once
// qvRgbToIndex: constant-time lookup of the colour-map index nearest to any
// RGB colour.
//
// The colour space is cut into 2048 cells, 4 bits of red, 4 of green and 3
// of blue: cell ((r >> 4) << 7) | ((g >> 4) << 3) | (b >> 5). Keeps true:
// after initialize(map) every cell holds the index byte of the map entry
// nearest to the cell's centre (255 for an empty map), except that an entry
// of exact black owns cell 0 and one of exact white cell 2047; colormap() is
// the map the table was built for. replace() may then overwrite single cells.
// A default-constructed table holds an empty map and all cells 0.

#include <orvane/attributes/qvColorMap.hpp>

class qvRgbToIndex {
public:
    static constexpr int cell_count = 2048;

    qvRgbToIndex() noexcept = default;
    explicit qvRgbToIndex(qvColorMapReference const& map);

    // Builds the table for a copy of the map. The entries are searched in the
    // copy's position order (a non-simple map's copy is sorted by index), so
    // maps whose index bytes have gaps work too. On failure nothing changes.
    void initialize(qvColorMapReference const& map);
    // Points the cell of every entry's colour at that entry's index, in
    // position order; the other cells and the kept map stay as they are.
    void replace(qvColorMapReference const& map);

    qvColorMap const& colormap() const noexcept { return map_; }

    // The cell of a byte colour. Each component is taken as its low byte, so
    // the result is always a cell of the table.
    static int index(short r, short g, short b) noexcept {
        return (((r & 0xFF) >> 4) << 7) | (((g & 0xFF) >> 4) << 3) | ((b & 0xFF) >> 5);
    }

    unsigned char operator()(short r, short g, short b) const noexcept {
        return table_[index(r, g, b)];
    }
    unsigned char operator()(qvBitmapColor const& color) const noexcept {
        return (*this)(color.red(), color.green(), color.blue());
    }

private:
    unsigned char table_[cell_count] = {};
    qvColorMap map_;
};
