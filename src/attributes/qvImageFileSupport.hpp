#pragma once
// Pieces shared by the BMP and GIF readers and writers.
//
// Keeps true: a writer checks its bitmap with qvCheckBitmapToWrite before it
// writes a byte, so every row it then reads lies inside the bitmap's pixels;
// colour tables are laid out by pixel value, so that a pixel indexes the
// colour its map gives it.

#include <orvane/attributes/qvBitmapColor.hpp>

#include <cstdint>

class qvBitmapReference;
class qvColorMapReference;
class qvInputStream;
class qvOutputStream;
struct qvBitmapLayout;

// A colour map as a file's colour table: the colour for pixel value v in
// slot v. A simple map puts entry i in slot i and uses `size` slots; any
// other map puts each entry in the slot of its index byte (the first entry
// wins a slot two entries name) and uses max(size, highest index + 1)
// slots. Slots no entry fills are black.
struct qvColorTableSlots {
    qvBitmapColor colors[256];
    int count = 0;
};
qvColorTableSlots qvColorTableBySlot(qvColorMapReference const& map);

// A bitmap a writer may read: a standard type (else the assertion "false"),
// a positive pixel size for RGBA ("_header->_pixel_size > 0"), a header
// whose pixel size and row bytes are those of its type and width, and
// pixels present whenever it has any.
void qvCheckBitmapToWrite(qvBitmapReference const& bitmap);

// Whether a bitmap of this layout, `width` pixels by `rows` rows (any
// values, taken in 64 bits), would need more than 0x7FFFFFFF bytes of
// pixels: the readers refuse such images before allocating.
bool qvImageTooLarge(qvBitmapLayout const& layout, std::int64_t width, std::int64_t rows);

void qvWriteUint16(qvOutputStream& os, int value);

// Reads and drops n bytes; fewer raise "Incomplete data on input". Never
// seeks, so it works on every buffer and finds a short file at once.
void qvSkipInput(qvInputStream& is, std::int64_t n);
