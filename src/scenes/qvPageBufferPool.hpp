#pragma once
// qvPageBufferPool: the 16,384-byte buffers of a page cache, aligned to
// 4,096 bytes.
//
// Up to `pooled` buffers (the cache's capacity) come from blocks of many
// buffers each, so the memory stays within the cache size: one aligned
// allocation per buffer could cost up to an alignment's worth of padding
// each. Blocks are made only as buffers are first needed, doubling in size,
// so a large cache over a small file costs what the file uses. Buffers
// beyond that count (a cache whose pages are all locked) are single
// aligned allocations, freed as soon as they are given back.
//
// Keeps true: a buffer handed out stays at its address until it is given
// back; given-back block buffers are reused before a new block is made;
// clear() frees every block and may be called only when every buffer has
// been given back.

#include <cstddef>
#include <memory>
#include <vector>

class qvPageBufferPool {
public:
    explicit qvPageBufferPool(std::size_t pooled) noexcept : pooled_(pooled) {}
    ~qvPageBufferPool() { clear(); }
    qvPageBufferPool(qvPageBufferPool const&) = delete;
    qvPageBufferPool& operator=(qvPageBufferPool const&) = delete;

    // A buffer, or std::bad_alloc with nothing changed.
    unsigned char* take();
    void give(unsigned char* buffer) noexcept;
    void clear() noexcept;

    // Bytes held in blocks and single buffers (given back or not).
    std::size_t bytes_held() const noexcept;

private:
    struct AlignedDelete {
        void operator()(unsigned char* p) const noexcept;
    };
    using Block = std::unique_ptr<unsigned char[], AlignedDelete>;
    struct Range {
        unsigned char const* begin;
        unsigned char const* end;
    };

    bool from_block(unsigned char const* buffer) const noexcept;

    std::size_t pooled_;
    std::size_t in_blocks_ = 0;           // buffers the blocks hold
    std::size_t singles_ = 0;             // single buffers handed out
    std::vector<Block> blocks_;
    std::vector<Range> ranges_;           // of blocks_, same order
    std::vector<unsigned char*> spare_;   // block buffers given back
};
