#pragma once
// qvPageIO: whole-page transfer between storage and a 16,384-byte buffer.
// Each call moves exactly one page or raises; nothing is transferred in part
// but by write_part, which changes `length` bytes from `offset` of one page
// and leaves the rest of it as stored. Its default reads the page, changes
// it and writes it whole; a storage that can write a range in place says so
// by overriding it. A write_part that raises may have changed the range in
// part; the bytes outside it stay as they were.

#include <cstddef>

class qvPageIO {
public:
    virtual void write(long page, void* buffer) = 0;
    virtual void read(long page, void* buffer) = 0;
    virtual void write_part(long page, std::size_t offset, void const* bytes, std::size_t length);

protected:
    qvPageIO() noexcept = default;
    qvPageIO(qvPageIO const&) noexcept = default;
    qvPageIO& operator=(qvPageIO const&) noexcept = default;
    ~qvPageIO() = default;
};
