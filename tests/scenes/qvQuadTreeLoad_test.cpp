// Loading a quadtree from its stream form and meeting its node pages:
// every fault of a damaged file, hex-dumped, is "Invalid or corrupt Orvane
// pagefile" (never an assertion), a cut stream is "Incomplete data on
// input", and a failed load leaves no directory and no page locked.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/scenes/qvQTree.hpp>

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

using namespace qv_quadtree_test;
using qv_file_test::raises;

namespace {

using E = qvErrorFrom<qvQuadTree>;
constexpr char const* corrupt = "Invalid or corrupt Orvane pagefile";

// Base (0, 0, 100, 100); the root node on page 2 with one 48-byte record
// at (10, 10, 20, 20); an empty node of (-1, -1, 1) on page 3.
const std::string good = stream_test::bytes(
    "00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  00 00 00 00 00 00 59 40  00 00 00 00 00 00 59 40 "
    "02 00 00 00 "
    "00 00 00 00 00 00 01 00 30 00 00 00 02 00 00 00 "
    "FF FF FF FF 01 00 00 00 00 00 00 00 03 00 00 00");
constexpr std::size_t root_entry = 36, child_entry = 52;

std::string patched(std::size_t offset, char const* hex, std::string bytes = good) {
    const std::string patch = stream_test::bytes(hex);
    bytes.replace(offset, patch.size(), patch);
    return bytes;
}

// Page 2 as the writer leaves it: its number, slot 0 naming 664, one
// 48-byte record with shape handle 7.
qv_page_test::Page root_page() {
    qv_page_test::Page page{};
    auto bytes = record(48, 10, 10, 20, 20, 7);
    const std::string head = stream_test::bytes("02 00 00 00 94 02");
    std::memcpy(page.data(), head.data(), head.size());
    std::memcpy(page.data() + 664, bytes.data(), bytes.size());
    return page;
}

struct Fixture {
    MemoryDevice device;
    qvQTree tree{&device};

    explicit Fixture(qv_page_test::Page const& page2 = root_page()) {
        EXPECT_EQ(device.allocate(), 2);
        EXPECT_EQ(device.allocate(), 3);
        put(2, page2);
        qv_page_test::Page page3{};
        page3[0] = 3;
        put(3, page3);
    }
    void put(long number, qv_page_test::Page const& bytes) {
        std::memcpy(device.lock(number, true), bytes.data(), bytes.size());
        device.unlock(number, 0.0f);
    }
    void load(std::string const& bytes) {
        std::stringbuf buffer(bytes);
        qvInputStream in(&buffer);
        tree.load(in);
    }
};

qvHandleRecord seven() {
    qvHandleRecord h;
    h.handle = 7;
    h.quadtree = {-3, -3, 2};
    return h;
}

// A load that fails with `text` of class Error leaves the tree without a
// directory, loadable again.
template <class Error>
::testing::AssertionResult load_fails(std::string const& bytes, char const* text) {
    Fixture f;
    auto result = raises<Error>([&] { f.load(bytes); }, text);
    if (!result) return result;
    if (f.tree.directory() != nullptr) return ::testing::AssertionFailure() << "a directory was left";
    f.load(good);
    if (f.tree.directory() == nullptr || f.tree.size() != 1) return ::testing::AssertionFailure() << "no reload";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(qvQuadTreeLoad, The_sound_stream_loads_and_reads_its_pages) {
    Fixture f;
    f.load(good);
    EXPECT_EQ(f.tree.directory()->count(), 2);
    EXPECT_EQ(f.tree.size(), 1);
    EXPECT_EQ(handles_of(f.tree, {0, 0, 100, 100}), std::vector<std::int32_t>{7});
    qvQuadTree::RecordLock lock;
    f.tree.examine(seven(), lock);
    EXPECT_EQ(lock.record->size, 48);
    f.tree.release(lock);
    EXPECT_EQ(saved(f.tree), good);
}

TEST(qvQuadTreeLoad, Stream_faults_are_refused_before_any_node_is_made) {
    struct Case {
        char const* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"node count 0x7FFFFFFF", patched(32, "FF FF FF 7F")},
        {"node count -1", patched(32, "FF FF FF FF")},
        {"more nodes than pages", patched(32, "05 00 00 00")},
        {"z 16", patched(child_entry + 4, "10 00")},
        {"z -1", patched(child_entry + 4, "FF FF")},
        {"x even at level 3", patched(child_entry, "02 00 01 00 03 00")},
        {"x beyond level 3", patched(child_entry, "09 00 01 00 03 00")},
        {"root cell with x 1", patched(root_entry, "01 00")},
        {"a page named twice", patched(child_entry + 12, "02 00 00 00")},
        {"page 0", patched(child_entry + 12, "00 00 00 00")},
        {"page 1", patched(child_entry + 12, "01 00 00 00")},
        {"page at the page count", patched(child_entry + 12, "04 00 00 00")},
        {"page 0xFFFFFFFF", patched(child_entry + 12, "FF FF FF FF")},
        {"fill_no 328", patched(root_entry + 6, "48 01")},
        {"fill_no -1", patched(root_entry + 6, "FF FF")},
        {"fill_mem 13", patched(root_entry + 8, "0D 00")},
        {"fill_mem 15,728", patched(root_entry + 8, "70 3D")},
        {"fill_mem -8", patched(root_entry + 8, "F8 FF")},
        {"base x1 NaN", patched(0, "00 00 00 00 00 00 F8 7F")},
        {"base x2 infinite", patched(16, "00 00 00 00 00 00 F0 7F")},
        {"base of no width", patched(16, "00 00 00 00 00 00 00 00")},
        {"base upside down", patched(8, "00 00 00 00 00 00 69 40")},
        {"no root node", patched(32, "01 00 00 00", good.substr(0, 36) + good.substr(child_entry))},
    };
    for (Case const& c : cases) EXPECT_TRUE(load_fails<E>(c.bytes, corrupt)) << c.what;
}

// The other side of each range the load checks: the last value inside it
// loads (nodes are checked only at their first lock).
TEST(qvQuadTreeLoad, Entries_at_the_edge_of_each_range_load) {
    const std::pair<char const*, std::string> cases[] = {
        {"x and y at the edge of level 3", patched(child_entry, "07 00 F9 FF 03 00")},
        {"x and y at the edge of level 15", patched(child_entry, "FF 7F 01 80 0F 00")},
        {"fill_no 327", patched(child_entry + 6, "47 01")},
        {"fill_mem 15,720", patched(child_entry + 8, "68 3D")},
        {"the last page", patched(root_entry + 12, "03 00 00 00", patched(child_entry + 12, "02 00 00 00"))},
    };
    for (auto const& [what, bytes] : cases) {
        Fixture f;
        EXPECT_NO_THROW(f.load(bytes)) << what;
        EXPECT_NE(f.tree.directory(), nullptr) << what;
    }
    // A node count at the page count is read as claimed: the stream runs out.
    EXPECT_TRUE(load_fails<qvErrorFrom<qvInputStream>>(patched(32, "04 00 00 00"), "Incomplete data on input"));
}

TEST(qvQuadTreeLoad, A_stream_cut_anywhere_is_incomplete) {
    for (std::size_t n = 0; n < good.size(); ++n)
        ASSERT_TRUE(load_fails<qvErrorFrom<qvInputStream>>(good.substr(0, n), "Incomplete data on input")) << n;
}

// --- node pages met after loading ---------------------------------------------------

TEST(qvQuadTreeLoad, A_damaged_node_page_is_refused_wherever_it_is_first_read) {
    struct Case {
        char const* what;
        std::size_t offset;
        char const* hex;
    };
    const Case cases[] = {
        {"first word another page", 0, "03 00 00 00"},
        {"slot before 664", 4, "8C 02"},
        {"slot after the record's place", 4, "9C 02"},
        {"record size 39", 664, "27 00 00 00"},
        {"record larger than fill_mem", 664, "31 00 00 00"},
        {"record beyond the page", 664, "00 40 00 00"},
    };
    for (Case const& c : cases) {
        qv_page_test::Page page = root_page();
        const std::string patch = stream_test::bytes(c.hex);
        std::memcpy(page.data() + c.offset, patch.data(), patch.size());
        Fixture f(page);
        f.load(good);
        qvQuadTree::RecordLock lock;
        auto straddler = record(48, 40, 40, 60, 60, 8);
        EXPECT_TRUE(raises<E>([&] { handles_of(f.tree, {0, 0, 100, 100}); }, corrupt)) << c.what;
        EXPECT_TRUE(raises<E>([&] { f.tree.examine(seven(), lock); }, corrupt)) << c.what;
        EXPECT_TRUE(raises<E>([&] { f.tree.create(as_shape(straddler), 48, lock); }, corrupt)) << c.what;
        EXPECT_EQ(lock.node, nullptr);
        EXPECT_EQ(f.tree.size(), 1);
        EXPECT_NO_THROW(f.device.release()) << c.what << ": a page stayed locked";
    }
}

// Only a damaged file has a record in a cell's first node that fits a
// child cell with nodes: the split refuses it and changes nothing.
TEST(qvQuadTreeLoad, A_split_meeting_a_record_that_belongs_to_an_existing_child_is_refused) {
    Fixture f;
    f.load(good);
    for (int k = 0; k < 3; ++k) store(f.tree, record(4000, 40, 40, 60, 60, 20 + k));
    auto fourth = record(4000, 40, 40, 60, 60, 30);
    qvQuadTree::RecordLock lock;
    EXPECT_TRUE(raises<E>([&] { f.tree.create(as_shape(fourth), 4000, lock); }, corrupt));
    EXPECT_EQ(f.tree.directory()->count(), 2);
    EXPECT_EQ(handles_of(f.tree, {0, 0, 100, 100}), (std::vector<std::int32_t>{7, 20, 21, 22}));
    EXPECT_NO_THROW(f.device.release());
}
