// Quadtree node pages: slot offsets and heap packing byte by byte, the
// checks of a loaded page at its first lock, and the lock a node holds.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/scenes/qvQuadTree.hpp>
#include <orvane/scenes/qvQuadTreeNode.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace qv_quadtree_test;
using qv_file_test::raises;
using qv_page_test::hex;

namespace {

using E = qvErrorFrom<qvQuadTree>;
constexpr char const* corrupt = "Invalid or corrupt Orvane pagefile";

std::string bytes_at(qv_page_test::Page const& page, std::size_t offset, std::size_t n) {
    return hex(std::string(reinterpret_cast<char const*>(page.data()) + offset, n));
}

std::int16_t slot(qv_page_test::Page const& page, int i) {
    std::int16_t v;
    std::memcpy(&v, page.data() + 4 + 2 * i, 2);
    return v;
}

// The heap position that slot i names.
int target(qv_page_test::Page const& page, int i) { return 4 + 2 * i + slot(page, i); }

// Adds a record of `size` bytes whose bytes after the size field are `tag`.
int add_tagged(qvQuadTreeNode& node, int size, unsigned char tag) {
    const int i = node.add(size);
    unsigned char* const at = reinterpret_cast<unsigned char*>(&node[i]);
    std::memset(at, tag, static_cast<std::size_t>(size));
    std::memcpy(at, &size, 4);
    return i;
}

unsigned char tag_of(qvQuadTreeNode& node, int i) { return reinterpret_cast<unsigned char*>(&node[i])[4]; }

}  // namespace

// --- slots and heap ---------------------------------------------------------------

TEST(qvQuadTreeNodeAdd, Blocks_are_rounded_to_eight_and_slots_are_self_relative) {
    MemoryDevice device;
    qvQuadTreeNode node(&device, 0, 0, 0);
    EXPECT_EQ(node.add(1), 0);
    EXPECT_EQ(node.fill_mem, 8);
    EXPECT_EQ(node.add(8), 1);
    EXPECT_EQ(node.fill_mem, 16);
    EXPECT_EQ(node.add(9), 2);
    EXPECT_EQ(node.fill_mem, 32);
    EXPECT_EQ(node.fill_no, 3);
    EXPECT_EQ(node.size(0), 8);
    EXPECT_EQ(node.size(1), 8);
    EXPECT_EQ(node.size(2), 16);
    node.unlock(0.0f);
    const auto page = device.page(node.page);
    EXPECT_EQ(bytes_at(page, 4, 6), "94 02 9A 02 A0 02");
    EXPECT_EQ(target(page, 2), 680);
}

TEST(qvQuadTreeNodeAdd, A_new_node_page_holds_its_number_and_nothing_else) {
    MemoryDevice device;
    // A page freed by someone else keeps its old bytes until a node zeroes it.
    const long used = device.allocate();
    {
        qv_page_test::Page junk;
        junk.fill(0xEE);
        std::memcpy(device.lock(used, true), junk.data(), junk.size());
        device.unlock(used, 0.0f);
    }
    device.free(used);
    qvQuadTreeNode node(&device, 1, -1, 1);
    EXPECT_EQ(node.page, used);
    EXPECT_FALSE(node.locked());
    EXPECT_EQ(node.fill_no, 0);
    EXPECT_EQ(node.fill_mem, 0);
    EXPECT_EQ(node.reserved, 0);
    const auto page = device.page(node.page);
    EXPECT_EQ(qvPageWord(page.data(), 0), static_cast<std::uint32_t>(used));
    for (std::size_t i = 4; i < page.size(); ++i) ASSERT_EQ(page[i], 0) << "byte " << i;
}

TEST(qvQuadTreeNodeAdd, The_heap_takes_exactly_15720_bytes) {
    MemoryDevice device;
    qvQuadTreeNode node(&device, 0, 0, 0);
    node.add(15000);
    EXPECT_EQ(node.add(720), 1);
    EXPECT_EQ(node.fill_mem, 15720);
    node.unlock(0.0f);

    qvQuadTreeNode full(&device, 0, 0, 0);
    full.add(15000);
    try {
        full.add(721);
        ADD_FAILURE() << "nothing raised";
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "fill_mem + size <= qvUSEFUL_PAGE_SIZE");
    }
    EXPECT_EQ(full.fill_no, 1);
    full.unlock(0.0f);
}

// The slot table has 330 entries; the 331st slot would be the first heap
// bytes, so a further add is refused instead of overwriting record 0.
TEST(qvQuadTreeNodeAdd, The_slot_table_end_is_refused) {
    MemoryDevice device;
    qvQuadTreeNode node(&device, 0, 0, 0);
    for (int i = 0; i < qvQuadTreeNode::slot_count; ++i) node.add(8);
    EXPECT_THROW(node.add(8), qvAssertionError);
    EXPECT_EQ(target(device.page(node.page), 0), 664);
    node.unlock(0.0f);
}

TEST(qvQuadTreeNodeRemove, Later_records_move_down_packed_from_the_heap_start) {
    MemoryDevice device;
    qvQuadTreeNode node(&device, 0, 0, 0);
    add_tagged(node, 44, 0xA0);
    add_tagged(node, 41, 0xB0);
    add_tagged(node, 60, 0xC0);
    node.remove(0);
    EXPECT_EQ(node.fill_no, 2);
    EXPECT_EQ(node.fill_mem, 48 + 64);
    EXPECT_EQ(tag_of(node, 0), 0xB0);
    EXPECT_EQ(tag_of(node, 1), 0xC0);
    EXPECT_EQ(node.size(0), 48);
    node.unlock(0.0f);
    const auto page = device.page(node.page);
    EXPECT_EQ(target(page, 0), 664);
    EXPECT_EQ(target(page, 1), 712);
    // What the move vacated is zero: the file keeps no stale record bytes.
    for (std::size_t i = 664 + 112; i < 664 + 160; ++i) ASSERT_EQ(page[i], 0) << "byte " << i;
    EXPECT_EQ(slot(page, 2), 0);
}

TEST(qvQuadTreeNodeRemove, Removing_the_last_record_moves_nothing) {
    MemoryDevice device;
    qvQuadTreeNode node(&device, 0, 0, 0);
    add_tagged(node, 40, 0xA0);
    add_tagged(node, 48, 0xB0);
    add_tagged(node, 40, 0xC0);
    node.remove(2);
    EXPECT_EQ(node.fill_no, 2);
    EXPECT_EQ(node.fill_mem, 88);
    EXPECT_EQ(tag_of(node, 0), 0xA0);
    EXPECT_EQ(tag_of(node, 1), 0xB0);
    node.remove(0);
    node.remove(0);
    EXPECT_EQ(node.fill_mem, 0);
    EXPECT_THROW(node.remove(0), qvAssertionError);
    node.unlock(0.0f);
}

TEST(qvQuadTreeNodeCompress, Dead_records_are_dropped_and_the_rest_keep_their_order) {
    MemoryDevice device;
    qvQuadTreeNode node(&device, 0, 0, 0);
    add_tagged(node, 40, 0xA0);
    add_tagged(node, 50, 0xB0);
    add_tagged(node, 40, 0xC0);
    add_tagged(node, 70, 0xD0);
    node.fast_remove(0);
    node.fast_remove(2);
    node.compress();
    EXPECT_EQ(node.fill_no, 2);
    EXPECT_EQ(node.fill_mem, 56 + 72);
    EXPECT_EQ(tag_of(node, 0), 0xB0);
    EXPECT_EQ(tag_of(node, 1), 0xD0);
    EXPECT_EQ(node[1].size, 70);
    node.unlock(0.0f);
    const auto page = device.page(node.page);
    EXPECT_EQ(target(page, 1), 664 + 56);
    for (std::size_t i = 664 + 128; i < 664 + 208; ++i) ASSERT_EQ(page[i], 0) << "byte " << i;
}

// --- the lock a node holds -----------------------------------------------------------

TEST(qvQuadTreeNodeLock, A_read_lock_is_raised_to_a_write_lock_and_one_unlock_ends_it) {
    MemoryDevice device;
    qvQuadTreeNode node(&device, 0, 0, 0);
    node.lock(false);
    EXPECT_FALSE(node.write_locked());
    node.lock(true);
    EXPECT_TRUE(node.write_locked());
    node.lock(false);
    EXPECT_TRUE(node.write_locked());
    node.unlock(0.25f);
    EXPECT_FALSE(node.locked());
    EXPECT_EQ(device.priority_of(node.page), 0.25f);
    // One lock only: the cache can release, nothing is left locked.
    EXPECT_NO_THROW(device.release());
    EXPECT_THROW(node[0], qvAssertionError);
}

TEST(qvQuadTreeNodeLockDeath, A_node_destroyed_while_locked_aborts) {
    EXPECT_DEATH(
        {
            MemoryDevice device;
            auto* node = new qvQuadTreeNode(&device, 0, 0, 0);
            node->lock(false);
            delete node;
        },
        "!locked\\(\\)");
}

// --- a loaded node's page ----------------------------------------------------------

namespace {

// A node page as a writer leaves it: records of the given sizes packed from
// 664, each with its size field, and the node's entry to match.
struct LoadedPage {
    MemoryDevice device;
    long number = device.allocate();
    qv_page_test::Page bytes{};
    qvQuadTreeNodeData entry;

    explicit LoadedPage(std::vector<int> const& sizes) {
        qvSetPageWord(bytes.data(), 0, static_cast<std::uint32_t>(number));
        int at = 664;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            set_slot(static_cast<int>(i), at);
            std::memcpy(bytes.data() + at, &sizes[i], 4);
            if (sizes[i] >= 40) put(static_cast<int>(i), 4, static_cast<std::int32_t>(i + 1));   // shape handle
            at += ((sizes[i] - 1) & ~7) + 8;
        }
        entry.fill_no = static_cast<std::int16_t>(sizes.size());
        entry.fill_mem = static_cast<std::int16_t>(at - 664);
        entry.page = static_cast<std::int32_t>(number);
    }
    // An int32 field of record i (records placed as the constructor did).
    void put(int i, int offset, std::int32_t value) {
        std::int16_t slot;
        std::memcpy(&slot, bytes.data() + 4 + 2 * i, 2);
        std::memcpy(bytes.data() + 4 + 2 * i + slot + offset, &value, 4);
    }
    void set_slot(int i, int position) {
        const auto v = static_cast<std::int16_t>(position - (4 + 2 * i));
        std::memcpy(bytes.data() + 4 + 2 * i, &v, 2);
    }
    // Locks a fresh node over these bytes.
    void lock_node() {
        std::memcpy(device.lock(number, true), bytes.data(), bytes.size());
        device.unlock(number, 0.0f);
        qvQuadTreeNode node(&device);
        static_cast<qvQuadTreeNodeData&>(node) = entry;
        EXPECT_FALSE(node.checked());
        node.lock(false);
        EXPECT_TRUE(node.checked());
        node.unlock(0.0f);
    }
};

::testing::AssertionResult refused(LoadedPage& p) {
    auto result = raises<E>([&] { p.lock_node(); }, corrupt);
    if (result) {
        // The failed lock left nothing locked behind.
        try {
            p.device.release();
        } catch (qvError const& e) {
            return ::testing::AssertionFailure() << "a page stayed locked: " << static_cast<char const*>(e);
        }
    }
    return result;
}

}  // namespace

TEST(qvQuadTreeNodeLoaded, A_sound_page_is_accepted_at_its_first_lock) {
    LoadedPage p({40, 41, 100});
    EXPECT_NO_THROW(p.lock_node());
    LoadedPage empty({});
    EXPECT_NO_THROW(empty.lock_node());
}

TEST(qvQuadTreeNodeLoaded, Pages_that_do_not_match_their_entry_are_refused) {
    {
        LoadedPage p({40});
        qvSetPageWord(p.bytes.data(), 0, static_cast<std::uint32_t>(p.number + 1));
        EXPECT_TRUE(refused(p)) << "first word another page";
    }
    {
        LoadedPage p({40, 48});
        p.set_slot(0, 656);
        EXPECT_EQ(hex(std::string(reinterpret_cast<char*>(p.bytes.data()) + 4, 2)), "8C 02");
        EXPECT_TRUE(refused(p)) << "slot before 664";
    }
    {
        LoadedPage p({40, 48});
        p.set_slot(1, 712);   // a gap after record 0
        EXPECT_TRUE(refused(p)) << "slot not where the previous record ends";
    }
    {
        LoadedPage p({39});
        EXPECT_TRUE(refused(p)) << "record size 39";
    }
    {
        LoadedPage p({-1, 40});
        EXPECT_TRUE(refused(p)) << "a dead record";
    }
    {
        LoadedPage p({15720});
        const int beyond = 15721;
        std::memcpy(p.bytes.data() + 664, &beyond, 4);
        EXPECT_TRUE(refused(p)) << "record beyond the page";
    }
    {
        LoadedPage p({40, 40});
        p.entry.fill_mem = 88;
        EXPECT_TRUE(refused(p)) << "records not ending at fill_mem";
    }
    {
        LoadedPage p({});
        p.entry.fill_mem = 8;
        EXPECT_TRUE(refused(p)) << "no records but a used heap";
    }
}

// Records reach drawing, streams and connected copies as they lie in the
// page: each passes the record check and names a shape.
TEST(qvQuadTreeNodeLoaded, Records_without_a_shape_handle_or_failing_the_record_check_are_refused) {
    for (std::int32_t handle : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
        LoadedPage p({40, 40});
        p.put(1, 4, handle);
        EXPECT_TRUE(refused(p)) << "shape handle " << handle;
    }
    {
        // A restricted text (kind -9, proxy class 7) needs 120 bytes.
        LoadedPage p({48});
        p.put(0, 12, 7);
        p.put(0, 16, -9);
        EXPECT_TRUE(refused(p)) << "48-byte restricted text";
        LoadedPage sound({120});
        sound.put(0, 12, 7);
        sound.put(0, 16, -9);
        EXPECT_NO_THROW(sound.lock_node());
    }
    // The colour count of an image is capped at 256.
    const std::int32_t image = qvRestrictedImageKind;
    const int fixed = static_cast<int>(qvFixedRecordSize(image));
    for (std::int32_t colors : {256, 257, 0x7FFFFFFF, -1}) {
        LoadedPage p({fixed + 4 * 257});
        p.put(0, 12, static_cast<std::int32_t>(qvProxyClassOfKind(image)));
        p.put(0, 16, image);
        p.put(0, 64, colors);
        // The colour map right after the fixed part: offset field at 106.
        const auto to_map = static_cast<std::int16_t>(((fixed + 3) & ~3) - 106);
        std::int16_t slot;
        std::memcpy(&slot, p.bytes.data() + 4, 2);
        std::memcpy(p.bytes.data() + 4 + slot + 106, &to_map, 2);
        if (colors == 256)
            EXPECT_NO_THROW(p.lock_node());
        else
            EXPECT_TRUE(refused(p)) << colors << " colours";
    }
}
