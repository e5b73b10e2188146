#pragma once
// Quadtree test support: a page device over sparse memory pages with a
// cache of a chosen size, shape records with a given box, and a quadtree
// built over such a device.

#include <orvane/core/qvOutputStream.hpp>
#include <orvane/scenes/qvPageDevice.hpp>
#include <orvane/scenes/qvQTree.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvPageFileDirectory.hpp"

#include "qvPageTestSupport.hpp"

#include <cstddef>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace qv_quadtree_test {

using qv_page_test::MemoryStorage;

struct StorageHolder {
    MemoryStorage storage;
};

// The parts of a page file over memory: pages 0 (map) and 1 (directory)
// laid out, node pages handed out from 2. The storage outlives the cache.
class MemoryDevice : private StorageHolder,
                     public qvPageDevice,
                     public qvCacheOnIO,
                     public qvMapAllocator,
                     public qvPageFileDirectory {
public:
    explicit MemoryDevice(std::size_t cache_pages = 64)
        : qvCacheOnIO(static_cast<qvPageIO&>(storage), cache_pages * qv_page_test::Page().size(), false) {
        storage.recording = false;
        qvMapAllocator::create(*this, storage);
        qvPageFileDirectory::create(*this, *this, false);
    }
    ~MemoryDevice() override { release(); }

    long page_count() override { return storage.limit(); }
    // The stored bytes of a page, after a flush.
    qv_page_test::Page page(long number) {
        flush();
        return storage.bytes(number);
    }
    MemoryStorage& memory() noexcept { return storage; }
};

// A record of `size` bytes (at least 40) with the given box and handle;
// the bytes after the header count up from `fill`.
inline std::vector<unsigned char> record(int size, float x1, float y1, float x2, float y2, std::int32_t handle = 0,
                                         unsigned char fill = 0) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    qvShapeBase header;
    header.size = size;
    header.shape_handle = handle;
    header.box = qvMathRectOf<float>(qvRectOf<float>(x1, y1, x2, y2));
    std::memcpy(bytes.data(), &header, sizeof header);
    for (std::size_t i = sizeof header; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(fill + i);
    return bytes;
}

inline qvShapeBase* as_shape(std::vector<unsigned char>& bytes) { return reinterpret_cast<qvShapeBase*>(bytes.data()); }

// Stores a record through create and returns its handle record (the cell
// from store_handle).
inline qvHandleRecord store(qvQuadTree& tree, std::vector<unsigned char> bytes) {
    qvQuadTree::RecordLock lock;
    qvShapeBase header;
    std::memcpy(&header, bytes.data(), sizeof header);
    tree.create(&header, static_cast<int>(bytes.size()), lock);
    std::memcpy(lock.record, bytes.data(), bytes.size());
    qvHandleRecord h;
    h.handle = header.shape_handle;
    tree.store_handle(lock.record, h);
    tree.release(lock);
    return h;
}

// The shape handles a query yields, in order.
inline std::vector<std::int32_t> handles_of(qvQuadTree& tree, qvMathRectOf<double> const& area) {
    std::vector<std::int32_t> out;
    for (auto it = tree.query(area, false); it; ++it) out.push_back(it->shape_handle);
    return out;
}

// The bytes save writes.
inline std::string saved(qvQuadTree const& tree) {
    std::stringbuf buffer;
    {
        qvOutputStream out(&buffer, qvVersion::default_version(), false);
        tree.save(out);
    }
    return buffer.str();
}

}  // namespace qv_quadtree_test
