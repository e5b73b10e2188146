// The handle tree: handles and slots on the page, freed slots and the
// cursor, empty locks, the stream form and what a damaged stream or page
// is refused for.
#include <orvane/scenes/qvHandleTree.hpp>

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include "qvFileTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

using qv_file_test::raises;
using qv_page_test::hex;
using qv_page_test::le32;
using qv_quadtree_test::MemoryDevice;

namespace {

using E = qvErrorFrom<qvHandleTree>;
constexpr char const* corrupt = "Invalid or corrupt Orvane pagefile";

long create(qvHandleTree& tree) {
    qvHandleTree::RecordLock lock;
    tree.create(nullptr, 0, lock);
    const long handle = lock.get().handle;
    tree.release(lock);
    return handle;
}

void remove(qvHandleTree& tree, long handle) {
    qvHandleTree::RecordLock lock;
    tree.modify(handle, lock);
    ASSERT_TRUE(lock);
    tree.remove(lock);
}

bool found(qvHandleTree& tree, long handle) {
    qvHandleTree::RecordLock lock;
    tree.examine(handle, lock);
    return static_cast<bool>(lock);
}

std::string saved(qvHandleTree const& tree) {
    std::stringbuf buffer;
    {
        qvOutputStream out(&buffer, qvVersion::default_version(), false);
        tree.save(out);
    }
    return buffer.str();
}

void load(qvHandleTree& tree, std::string const& bytes) {
    std::stringbuf buffer(bytes);
    qvInputStream in(&buffer);
    tree.load(in);
}

// Counts the pages locked through it: a look-up past the bound must reach
// for no page at all (the page table has no entry there to read).
struct LockCountingDevice : MemoryDevice {
    long locks = 0;
    void* lock(long page, bool write) override {
        ++locks;
        return MemoryDevice::lock(page, write);
    }
};

// Found or not, and how many pages the look-up locked.
std::pair<bool, long> look_up(qvHandleTree& tree, LockCountingDevice& device, long handle) {
    const long before = device.locks;
    const bool is_found = found(tree, handle);
    return {is_found, device.locks - before};
}

std::string fields(std::initializer_list<std::uint32_t> words) {
    std::string out;
    for (std::uint32_t w : words) out += le32(w);
    return out;
}

}  // namespace

TEST(qvHandleTree, First_handle_is_one_and_its_page_holds_the_first_free_index_and_the_handle_word) {
    MemoryDevice device;
    qvHandleTree tree(device, 16);
    EXPECT_EQ(create(tree), 1);
    ASSERT_EQ(tree.pages().size(), 1u);
    const auto page = device.page(tree.pages()[0].page);
    EXPECT_EQ(qvPageWord(page.data(), 0), 2u);
    EXPECT_EQ(qvPageWord(page.data(), 4), 0u);    // slot 0 never given out
    EXPECT_EQ(qvPageWord(page.data(), 20), 1u);
    EXPECT_EQ(tree.pages()[0].free, 1021);
}

TEST(qvHandleTree, Pages_fill_in_order_and_a_new_page_is_zeroed_whole) {
    MemoryDevice device;
    // A page that held something before: the tree must not see its bytes.
    const long stale = device.allocate();
    std::memset(device.lock(stale, true), 0xAB, qvPageBytes);
    device.unlock(stale, 0.0f);
    device.free(stale);

    qvHandleTree tree(device, 16);
    for (long h = 1; h <= 1022; ++h) ASSERT_EQ(create(tree), h);
    EXPECT_EQ(tree.cursor(), 1);
    EXPECT_EQ(create(tree), 1023);
    ASSERT_EQ(tree.pages().size(), 2u);
    const auto first = device.page(tree.pages()[0].page);
    EXPECT_EQ(qvPageWord(first.data(), 0), 1023u);
    const auto second = device.page(tree.pages()[1].page);
    EXPECT_EQ(qvPageWord(second.data(), 0), 1u);
    EXPECT_EQ(qvPageWord(second.data(), 4), 1023u);
    for (std::size_t i = 20; i < qvPageBytes; ++i) ASSERT_EQ(second[i], 0) << "byte " << i;
}

TEST(qvHandleTree, Freed_slots_of_the_cursor_page_come_back_lowest_first_earlier_pages_do_not) {
    MemoryDevice device;
    qvHandleTree tree(device, 16);
    for (int k = 0; k < 10; ++k) create(tree);
    remove(tree, 7);
    remove(tree, 5);
    EXPECT_FALSE(found(tree, 5));
    EXPECT_EQ(create(tree), 5);
    EXPECT_EQ(create(tree), 7);
    EXPECT_EQ(create(tree), 11);

    while (tree.cursor() == 0) create(tree);
    remove(tree, 3);
    EXPECT_EQ(create(tree), 1023);   // the freed handle is not soon reissued
    EXPECT_EQ(tree.pages()[0].free, 1);
}

TEST(qvHandleTree, Empty_locks_for_handles_that_name_no_live_slot) {
    MemoryDevice device;
    qvHandleTree tree(device, 16);
    EXPECT_TRUE(raises<E>([&] { found(tree, 1); }, "Handle tree must be initialized before use"));
    create(tree);
    create(tree);
    remove(tree, 2);
    for (long h : {0L, -1L, 3L, 1L << 40, 2L}) EXPECT_FALSE(found(tree, h)) << h;
    EXPECT_TRUE(found(tree, 1));

    qvHandleTree empty(device, 0);
    EXPECT_TRUE(raises<E>([&] { create(empty); }, "Illegal record size specified"));
}

TEST(qvHandleTree, Modified_fields_stay_in_the_slot) {
    MemoryDevice device;
    qvHandleTree tree(device, 16);
    qvHandleTree::RecordLock lock;
    tree.create(nullptr, 0, lock);
    qvHandleRecord r = lock.get();
    r.layer = 3;
    r.stored = 1;
    r.quadtree = {-1, 1, 1};
    lock.set(r);
    tree.update(lock);
    EXPECT_FALSE(lock);
    tree.examine(1, lock);
    EXPECT_EQ(lock.get().layer, 3);
    EXPECT_EQ(lock.get().quadtree.y, 1);
    const auto page = device.page(tree.pages()[0].page);
    EXPECT_EQ(hex(std::string(reinterpret_cast<char const*>(page.data()) + 20, 16)),
              "01 00 00 00 03 00 01 00 FF FF 01 00 01 00 00 00");
}

TEST(qvHandleTreeStream, Not_initialized_is_twelve_bytes) {
    MemoryDevice device;
    qvHandleTree tree(device, 16);
    EXPECT_EQ(hex(saved(tree)), "00 00 00 00 10 00 00 00 FF 03 00 00");
    qvHandleTree other(device, 16);
    load(other, saved(tree));
    EXPECT_FALSE(other.initialized());
}

TEST(qvHandleTreeStream, A_reloaded_tree_goes_on_with_the_same_handles) {
    MemoryDevice device;
    qvHandleTree tree(device, 16);
    for (int k = 0; k < 1030; ++k) create(tree);
    remove(tree, 1025);
    remove(tree, 4);
    const std::string bytes = saved(tree);
    EXPECT_EQ(bytes.substr(0, 24), fields({1, 16, 1023, 1, 1031, 2}));

    // The pages are shared with the saved tree, which makes no more handles.
    qvHandleTree copy(device, 16);
    load(copy, bytes);
    EXPECT_EQ(saved(copy), bytes);
    for (long expected : {1025L, 1031L, 1032L}) EXPECT_EQ(create(copy), expected);
    EXPECT_FALSE(found(copy, 4));
    EXPECT_TRUE(raises<E>([&] { load(copy, bytes); }, "Cannot load already initialized handle tree"));
}

TEST(qvHandleTreeStream, Damaged_streams_are_refused_and_leave_the_tree_loadable) {
    MemoryDevice device;
    const long p = device.allocate();   // 2; the device has 3 pages
    const std::uint32_t page = static_cast<std::uint32_t>(p);
    struct Case {
        char const* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"flag 2", fields({2, 16, 1023})},
        {"record size", fields({0, 8, 2047})},
        {"per page", fields({0, 16, 1024})},
        {"cursor above n", fields({1, 16, 1023, 2, 1, 1, page, 5})},
        {"bound above the slots", fields({1, 16, 1023, 0, 1024, 1, page, 5})},
        {"negative n", fields({1, 16, 1023, 0, 1, 0xFFFFFFFF})},
        {"n above the page count", fields({1, 16, 1023, 0, 1, 4})},
        {"page 1", fields({1, 16, 1023, 0, 1, 1, 1, 5})},
        {"page past the file", fields({1, 16, 1023, 0, 1, 1, 3, 5})},
        {"page twice", fields({1, 16, 1023, 0, 1, 2, page, 5, page, 5})},
        {"free count", fields({1, 16, 1023, 0, 1, 1, page, 1024})},
    };
    for (Case const& c : cases) {
        qvHandleTree tree(device, 16);
        EXPECT_TRUE(raises<E>([&] { load(tree, c.bytes); }, corrupt)) << c.what;
        EXPECT_FALSE(tree.initialized()) << c.what;
    }
    qvHandleTree tree(device, 16);
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { load(tree, fields({1, 16, 1023, 0, 1, 1, page})); },
                                                   "Incomplete data on input"));
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { load(tree, fields({1, 16})); }, "Incomplete data on input"));
    load(tree, fields({1, 16, 1023, 0, 1, 0}));
    EXPECT_EQ(create(tree), 1);
}

TEST(qvHandleTreeStream, Damaged_pages_are_refused_at_use) {
    MemoryDevice device;
    const long p = device.allocate();
    const std::uint32_t page = static_cast<std::uint32_t>(p);
    const auto put = [&](std::uint32_t first_free, std::uint32_t slot1, std::uint32_t slot2) {
        unsigned char* bytes = static_cast<unsigned char*>(device.lock(p, true));
        std::memset(bytes, 0, qvPageBytes);
        qvSetPageWord(bytes, 0, first_free);
        qvSetPageWord(bytes, 20, slot1);
        qvSetPageWord(bytes, 36, slot2);
        device.unlock(p, 0.0f);
    };
    const std::string stream = fields({1, 16, 1023, 0, 3, 1, page, 1020});
    struct Case {
        char const* what;
        std::uint32_t first_free, slot1, slot2;
    };
    const Case cases[] = {
        {"first free past the slots", 1024, 1, 2},
        {"first free slot in use", 1, 1, 2},
        {"a foreign handle word in the scan", 3, 1, 77},
    };
    for (Case const& c : cases) {
        put(c.first_free, c.slot1, c.slot2);
        qvHandleTree tree(device, 16);
        load(tree, stream);
        if (c.first_free == 3) {
            // The first free slot is right; the scan after it meets slot 4.
            put(3, 1, 2);
            unsigned char* bytes = static_cast<unsigned char*>(device.lock(p, true));
            qvSetPageWord(bytes, 4 + 16 * 4, 99);
            device.unlock(p, 0.0f);
        }
        EXPECT_TRUE(raises<E>([&] { create(tree); }, corrupt)) << c.what;
    }
    put(3, 1, 5);
    qvHandleTree tree(device, 16);
    load(tree, stream);
    EXPECT_TRUE(raises<E>([&] { found(tree, 2); }, corrupt));
    EXPECT_TRUE(found(tree, 1));
}

// A bound on a page boundary: the last slot of the last page is found, the
// bound itself (the first slot of a page the table does not have) and
// anything past it give an empty lock without reaching for that page.
TEST(qvHandleTreeStream, Lookups_at_a_bound_on_a_page_boundary_stop_at_the_bound) {
    LockCountingDevice device;
    const long p = device.allocate();
    const std::uint32_t page = static_cast<std::uint32_t>(p);
    {
        unsigned char* bytes = static_cast<unsigned char*>(device.lock(p, true));
        std::memset(bytes, 0, qvPageBytes);
        qvSetPageWord(bytes, 0, 1023);   // full
        for (std::uint32_t h = 1; h < 1023; ++h) qvSetPageWord(bytes, 4 + 16 * h, h);
        device.unlock(p, 0.0f);
    }
    qvHandleTree tree(device, 16);
    load(tree, fields({1, 16, 1023, 1, 1023, 1, page, 0}));   // cursor n, bound n × 1023
    EXPECT_EQ(look_up(tree, device, 1), std::make_pair(true, 1L));
    EXPECT_EQ(look_up(tree, device, 1022), std::make_pair(true, 1L));
    for (long beyond : {1023L, 1024L, 2046L, 0x7FFFFFFFL})
        EXPECT_EQ(look_up(tree, device, beyond), std::make_pair(false, 0L)) << beyond;
    for (long below : {0L, -1L}) EXPECT_EQ(look_up(tree, device, below), std::make_pair(false, 0L)) << below;

    // The same bound reached by making handles: a full first page, then
    // the handle that opens the second one.
    LockCountingDevice fresh_device;
    qvHandleTree fresh(fresh_device, 16);
    for (long h = 1; h <= 1022; ++h) ASSERT_EQ(create(fresh), h);
    EXPECT_EQ(look_up(fresh, fresh_device, 1022), std::make_pair(true, 1L));
    EXPECT_EQ(look_up(fresh, fresh_device, 1023), std::make_pair(false, 0L));
    EXPECT_EQ(create(fresh), 1023);
    EXPECT_EQ(look_up(fresh, fresh_device, 1023), std::make_pair(true, 1L));
    EXPECT_EQ(look_up(fresh, fresh_device, 1024), std::make_pair(false, 0L));

    qvHandleTree past(device, 16);
    EXPECT_TRUE(raises<E>([&] { load(past, fields({1, 16, 1023, 1, 1024, 1, page, 0})); }, corrupt));
    EXPECT_TRUE(raises<E>([&] { load(past, fields({1, 16, 1023, 2, 1023, 1, page, 0})); }, corrupt));
}
