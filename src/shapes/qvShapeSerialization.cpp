// The record stream form (see qvShapeSerialization.hpp).
//
// Reading trusts no size field: a record up to one chunk is read with one
// allocation and one read; a longer one grows its block by doubling as its
// bytes arrive, so a huge claimed size on a short stream fails after
// allocating no more than the stream delivered, twice over.

#include <orvane/shapes/qvShapeSerialization.hpp>

#include "core/qvStreamFields.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int record_header_bytes = sizeof(qvShapeBase);
constexpr int chunk_bytes = 1 << 16;

// A record block under construction; freed unless released.
class RecordBlock {
public:
    explicit RecordBlock(int capacity)
        : bytes_(static_cast<char*>(qvShapeBase::operator new(static_cast<std::size_t>(capacity)))),
          capacity_(capacity) {}
    RecordBlock(RecordBlock const&) = delete;
    RecordBlock& operator=(RecordBlock const&) = delete;
    ~RecordBlock() { qvShapeBase::operator delete(bytes_); }

    char* bytes() const noexcept { return bytes_; }
    int capacity() const noexcept { return capacity_; }

    // A larger block holding the first `kept` bytes of this one.
    void grow(int capacity, int kept) {
        char* const larger = static_cast<char*>(qvShapeBase::operator new(static_cast<std::size_t>(capacity)));
        std::memcpy(larger, bytes_, static_cast<std::size_t>(kept));
        qvShapeBase::operator delete(std::exchange(bytes_, larger));
        capacity_ = capacity;
    }

    qvShape<qvShapeData>* release() noexcept {
        return reinterpret_cast<qvShape<qvShapeData>*>(std::exchange(bytes_, nullptr));
    }

private:
    char* bytes_;
    int capacity_;
};

}  // namespace

void qvWriteShapeRecord(qvOutputStream& os, qvShapeBase const& record) {
    QV_ASSERT_TEXT(record.size >= record_header_bytes, "record.size >= sizeof(qvShapeBase)");
    os.putn(reinterpret_cast<char const*>(&record), record.size);
}

qvOutputStream& operator<<(qvOutputStream& os, qvShapeBase const& header) {
    os.putn(reinterpret_cast<char const*>(&header), record_header_bytes);
    return os;
}

qvInputStream& operator>>(qvInputStream& is, qvShapeBase& header) {
    char bytes[record_header_bytes];
    qvReadExact(is, bytes, record_header_bytes);
    std::memcpy(static_cast<void*>(&header), bytes, sizeof bytes);
    return is;
}

orvane::auto_ptr<qvShape<qvShapeData>> qvCreateShapeFromSerialization(qvInputStream& is) {
    qvShapeBase header;
    is >> header;
    const int size = header.size;
    if (size < record_header_bytes)
        qvThrowInputStreamError(is, "Incomplete data on input");

    RecordBlock block(std::min(size, chunk_bytes));
    std::memcpy(block.bytes(), &header, record_header_bytes);
    int filled = record_header_bytes;
    while (filled < size) {
        if (filled == block.capacity())
            block.grow(static_cast<int>(std::min<long long>(size, 2LL * block.capacity())), filled);
        const int n = block.capacity() - filled;
        qvReadExact(is, block.bytes() + filled, n);
        filled += n;
    }
    qvCheckShapeRecord(*reinterpret_cast<qvShapeBase const*>(block.bytes()));
    return orvane::auto_ptr<qvShape<qvShapeData>>(block.release());
}
