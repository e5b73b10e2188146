#pragma once
// qvPageDevice: what a paged scene stands on: a page cache, a page
// allocator and a page directory over one file of 16,384-byte pages.
//
// The three services are virtual bases, shared with the parts of a
// concrete device that implement them, so a device's operations are those
// of its parts. Devices are owned through this interface.
//
// The page file (every word a 32-bit little-endian field):
//   page 0          the first allocator map page (magic 0xDEAD0104)
//   page 1          the directory of named roots (magic 0xFACE0001)
//   other pages     further map pages, stream, index and handle-tree pages,
//                   handed out by the allocator
// Page n begins at byte n × 16,384. Page numbers are 32-bit: a file holds
// at most 2^31 − 1 pages.
//
// page_count() is the number of whole pages in the file: pages 0 to
// page_count() − 1 can be locked, and a client that follows a page number
// read from a page (a chain link, a node) checks it against this count
// before locking, so corruption is reported as such.

#include <orvane/scenes/qvPageAllocator.hpp>
#include <orvane/scenes/qvPageCache.hpp>
#include <orvane/scenes/qvPageDirectory.hpp>

class qvPageDevice : public virtual qvPageCache, public virtual qvPageAllocator, public virtual qvPageDirectory {
public:
    virtual ~qvPageDevice() = default;
    virtual long page_count() = 0;

protected:
    qvPageDevice() noexcept = default;
    qvPageDevice(qvPageDevice const&) = delete;
    qvPageDevice& operator=(qvPageDevice const&) = delete;
};
