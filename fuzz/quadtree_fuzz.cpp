// libFuzzer target of the quadtree loader and of the node pages it names.
// The input, little-endian:
//   offset  size  field
//        0     1  cache pages of the device, value % 4
//        1     2  n, the length of the stream form that follows
//        3     n  the quadtree's stream form (a plain binary stream)
//   then, for pages 2, 3, … in turn: 2 bytes m and m bytes laid at the
//   start of that page (the rest of the page zero); a short last piece
//   counts as far as it goes. The page count is 2 + the pages given.
// A load ends in a quadtree or a qvError; a quadtree is then queried over
// its base, every record found is looked up by its handle record, every
// node's records are read, records are created and one removed, and the
// stream form saved, loaded into a fresh quadtree and saved again must
// give the same bytes. Any outcome but a qvError is a finding, and so is
// an assertion (no file byte may reach one) or a page left locked.

#include "fuzz_support.hpp"

#include <orvane/scenes/qvPageDevice.hpp>
#include <orvane/scenes/qvPageStorage.hpp>
#include <orvane/scenes/qvQTree.hpp>

#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvPageFileDirectory.hpp"
#include "scenes/qvPageLayout.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Page = std::array<unsigned char, qvPageBytes>;
constexpr long most_pages = 64;

class MemoryStorage : public qvPageStorage {
public:
    void write(long page, void* buffer) override {
        auto& stored = pages_[page];
        if (!stored) stored = std::make_unique<Page>();
        std::memcpy(stored->data(), buffer, qvPageBytes);
    }
    void read(long page, void* buffer) override {
        if (page < 0 || page >= count_) qvRaise(qvErrorFrom<qvPageStorage>("Part of the Orvane pagefile is missing"));
        const auto found = pages_.find(page);
        if (found == pages_.end())
            std::memset(buffer, 0, qvPageBytes);
        else
            std::memcpy(buffer, found->second->data(), qvPageBytes);
    }
    void limit(long n) override {
        count_ = n;
        pages_.erase(pages_.lower_bound(n), pages_.end());
    }
    long limit() override { return count_; }

private:
    std::map<long, std::unique_ptr<Page>> pages_;
    long count_ = 0;
};

struct StorageHolder {
    MemoryStorage storage;
};

class Device : private StorageHolder,
               public qvPageDevice,
               public qvCacheOnIO,
               public qvMapAllocator,
               public qvPageFileDirectory {
public:
    explicit Device(int cache_pages) : qvCacheOnIO(static_cast<qvPageIO&>(storage), cache_pages * 16384, false) {
        qvMapAllocator::create(*this, storage);
        qvPageFileDirectory::create(*this, *this, false);
    }
    ~Device() override { discard(); }
    long page_count() override { return storage.limit(); }
    // Lays bytes at the start of a new page.
    void put(std::uint8_t const* bytes, std::size_t n) {
        const long page = allocate();
        std::memcpy(lock(page, true), bytes, n);
        unlock(page, 0.0f);
    }
};

std::string saved(qvQuadTree const& tree) {
    std::stringbuf buffer;
    {
        qvOutputStream out(&buffer, qvVersion::default_version(), false);
        tree.save(out);
    }
    return buffer.str();
}

bool load(qvQuadTree& tree, std::string const& bytes) {
    std::stringbuf buffer(bytes);
    qvInputStream in(&buffer);
    const bool loaded = qvfuzz::attempt([&] { tree.load(in); });
    if (!loaded && tree.directory() != nullptr) std::abort();   // a failed load leaves no directory
    return loaded;
}

// Reads a record's size and box and the node's padded size, so the
// sanitizers see every byte a reader would touch.
void touch_record(qvQuadTreeNode& node, int i) {
    qvShapeBase const& record = node[i];
    volatile float sum = record.box.x1 + record.box.y2 + static_cast<float>(record.size + node.size(i));
    (void)sum;
}

struct Found {
    std::int32_t handle;
    qvMathRectOf<float> box;
};

void exercise(qvQuadTree& tree, Device& device) {
    const qvMathRectOf<double> base = tree.bbox();
    std::vector<Found> found;
    qvfuzz::attempt([&] {
        for (auto it = tree.query(base, false); it; ++it) found.push_back({it->shape_handle, it->box});
    });
    qvQuadTree::RecordLock lock;
    for (Found const& f : found) {
        qvfuzz::attempt([&] {
            qvShapeBase header;
            header.box = f.box;
            qvHandleRecord h;
            h.handle = f.handle;
            tree.store_handle(&header, h);
            tree.examine(h, lock);
            tree.release(lock);
            tree.mask(h);
        });
    }
    qvfuzz::attempt([&] {
        for (qvQuadTreeDirectory::EnumerateIterator it(*tree.directory()); it.get() != nullptr; it.next()) {
            qvQuadTreeNode& node = *it.get();
            node.lock(false);
            for (int i = 0; i < node.fill_no; ++i) touch_record(node, i);
            node.unlock(0.0f);
        }
    });
    const float cx = static_cast<float>((base.x1 + base.x2) * 0.5), cy = static_cast<float>((base.y1 + base.y2) * 0.5);
    const qvMathRectOf<float> boxes[] = {
        qvMathRectOf<float>(qvRectOf<float>(qvRectOf<double>(base))),
        qvMathRectOf<float>(qvRectOf<float>(static_cast<float>(base.x1), static_cast<float>(base.y1), cx, cy)),
        qvMathRectOf<float>(qvRectOf<float>(cx, cy, cx, cy)),
    };
    for (auto const& box : boxes)
        for (int size : {48, 4000}) {
            qvfuzz::attempt([&] {
                qvShapeBase header;
                header.size = size;
                header.shape_handle = size;
                header.box = box;
                tree.create(&header, size, lock);
                std::memcpy(lock.record, &header, sizeof header);
                tree.release(lock);
            });
        }
    if (!found.empty()) {
        qvfuzz::attempt([&] {
            qvShapeBase header;
            header.box = found.front().box;
            qvHandleRecord h;
            h.handle = found.front().handle;
            tree.store_handle(&header, h);
            tree.modify(h, lock);
            tree.remove(lock);
        });
    }
    if (lock.node != nullptr) std::abort();   // every failure let go of its lock
    std::string first;
    if (!qvfuzz::attempt([&] { first = saved(tree); })) std::abort();
    qvQTree again(&device);
    if (!load(again, first)) std::abort();   // our own stream form loads back
    qvfuzz::require_same(first, saved(again), "quadtree stream");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size < 3) return 0;
    const int cache = data[0] % 4;
    std::size_t n = static_cast<std::size_t>(data[1] | data[2] << 8);
    std::size_t at = 3;
    n = std::min(n, size - at);
    const std::string stream(reinterpret_cast<char const*>(data + at), n);
    at += n;
    Device device(cache);
    for (long pages = 0; at < size && pages < most_pages; ++pages) {
        std::size_t m = data[at];
        if (at + 1 < size) m |= static_cast<std::size_t>(data[at + 1]) << 8;
        at += 2;
        m = std::min({m, qvPageBytes, at < size ? size - at : std::size_t{0}});
        device.put(data + at, m);
        at += m;
    }
    {
        qvQTree tree(&device);
        if (load(tree, stream)) exercise(tree, device);
    }
    if (!qvfuzz::attempt([&] { device.release(); })) std::abort();   // a page stayed locked
    return 0;
}
