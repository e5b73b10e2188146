#pragma once
// Colour entries on binary streams, shared by colour maps and bitmaps.
//
// Each entry is 4 bytes: red, green, blue, index. At most 256 entries are
// moved at a time. A short read raises qvErrorFrom<qvInputStream>
// "Incomplete data on input" and leaves the target entries unchanged.

class qvColorMapEntry;
class qvInputStream;
class qvOutputStream;

void qvWriteColorEntries(qvOutputStream& os, qvColorMapEntry const* entries, int count);
void qvReadColorEntries(qvInputStream& is, qvColorMapEntry* entries, int count);
