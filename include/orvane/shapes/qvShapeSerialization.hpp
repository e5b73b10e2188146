#pragma once
// The record stream form: a record is its own length-prefixed form, the
// bytes it holds in memory (header first, its size field the length),
// with no version or kind of its own. Scene streams write and read their
// records one after another through these functions.
//
// Keeps true: a record read back is one block that the caller owns, whose
// bytes are those written, and which the record check accepted
// (shapes/qvShapeRecordCheck.hpp); a read that fails returns nothing,
// leaks nothing, and never allocates more than twice the bytes the stream
// actually delivered (a size field is a claim, not a promise).

#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

class qvInputStream;
class qvOutputStream;

// The whole record, record.size bytes as stored.
void qvWriteShapeRecord(qvOutputStream& os, qvShapeBase const& record);

template <class D>
qvOutputStream& operator<<(qvOutputStream& os, qvShape<D> const& record) {
    qvWriteShapeRecord(os, record);
    return os;
}

// A bare header: its 40 bytes only, whatever follows it in memory.
qvOutputStream& operator<<(qvOutputStream& os, qvShapeBase const& header);

// Reads a bare header (40 bytes) into `header`; a short read raises
// qvErrorFrom<qvInputStream> "Incomplete data on input" and leaves it as it
// was. The size field is not checked.
qvInputStream& operator>>(qvInputStream& is, qvShapeBase& header);

// Reads one record. A stored size below 40, or fewer bytes than the size
// claims, raise "Incomplete data on input"; a record that fails the record
// check raises "Invalid shape record on input" (both qvErrorFrom<qvInputStream>).
orvane::auto_ptr<qvShape<qvShapeData>> qvCreateShapeFromSerialization(qvInputStream& is);
