#pragma once
// The one check of a shape record in memory, shared by every reader of
// records from outside the program (the record stream, page loaders) and by
// the code that reads records in place (drawing, hit testing, adapters).
//
// A record passes when its size holds its header and, for each layout that
// its kind code (standard: -1 to -17 but -8) or its proxy class id (1 to 16)
// names, it fits that layout:
//  - the size is at least the layout's fixed record size;
//  - counts, lengths and pixel byte counts are not negative, colour counts
//    at most 256 (row bytes and, when they are used, height and image size
//    are not negative);
//  - a part that is not empty starts at or after the fixed part, on an
//    8-byte boundary (parts of doubles) or a 4-byte one (the others), and
//    ends inside the record (all in 64-bit arithmetic);
//  - a text of length n > 0 has a zero byte after its n bytes, inside the
//    record;
//  - an image's colour map and pixels also fit the record packed as its copy
//    operator places them (colour map after the fixed part, pixels at the
//    next 8-byte boundary after it), so copying a record that passes never
//    writes past a destination of the same size.
// Offsets of empty parts are not looked at: writers may leave any value
// there. A record with neither a standard kind code nor a standard proxy
// class id passes on its size alone.

#include <orvane/shapes/qvShapeBase.hpp>

// Whether the record passes; its block must hold record.size bytes.
bool qvShapeRecordValid(qvShapeBase const& record) noexcept;

// Raises qvErrorFrom<qvInputStream> "Invalid shape record on input" unless
// the record passes.
void qvCheckShapeRecord(qvShapeBase const& record);
