#pragma once
// qvPageIO: whole-page transfer between storage and a 16,384-byte buffer.
// Each call moves exactly one page or raises; nothing is transferred in part.

class qvPageIO {
public:
    virtual void write(long page, void* buffer) = 0;
    virtual void read(long page, void* buffer) = 0;

protected:
    qvPageIO() noexcept = default;
    qvPageIO(qvPageIO const&) noexcept = default;
    qvPageIO& operator=(qvPageIO const&) noexcept = default;
    ~qvPageIO() = default;
};
