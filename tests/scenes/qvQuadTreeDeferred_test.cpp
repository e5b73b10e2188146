// Deferred stores (the scene stream's load) against records stored one by
// one: the same nodes, slots, splits and page bytes through a cache far
// smaller than the tree, with writes in batches; and waiting records given
// back unwritten.
#include <orvane/scenes/qvQTree.hpp>

#include "scenes/qvPageFile.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using qv_quadtree_test::MemoryDevice;
using qv_quadtree_test::record;
using qv_quadtree_test::saved;

namespace {

const qvMathRectOf<double> deferred_base(qvRectOf<double>(0, 0, 1000, 1000));

// Records of several sizes: most small and scattered, some across the
// centre lines (they stay high in the tree), some outside the base.
std::vector<std::vector<unsigned char>> deferred_records(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::vector<unsigned char>> out;
    for (int k = 0; k < count; ++k) {
        const int size = 40 + 8 * static_cast<int>(rng() % 20) + static_cast<int>(rng() % 3);
        const float x = std::uniform_real_distribution<float>(0.0f, 990.0f)(rng);
        const float y = std::uniform_real_distribution<float>(0.0f, 990.0f)(rng);
        float w = std::uniform_real_distribution<float>(0.0f, 9.0f)(rng);
        if (k % 50 == 7) w = 300.0f;
        const float shift = k % 97 == 3 ? 2000.0f : 0.0f;
        out.push_back(record(size, x + shift, y, x + shift + w, y + w / 3, k + 1, static_cast<unsigned char>(k)));
    }
    return out;
}

void store_directly(qvQuadTree& tree, std::vector<unsigned char> bytes) {
    qvShapeBase header;
    std::memcpy(&header, bytes.data(), sizeof header);
    qvQuadTree::RecordLock lock;
    tree.create_anywhere(&header, static_cast<int>(bytes.size()), lock);
    std::memcpy(lock.record, bytes.data(), bytes.size());
    tree.release(lock);
}

// Every node entry and every node page of the tree.
struct Picture {
    std::string entries;
    std::vector<std::vector<unsigned char>> pages;
    bool operator==(Picture const&) const = default;
};

Picture picture(qvQuadTree& tree, MemoryDevice& device) {
    Picture p;
    p.entries = saved(tree);
    for (qvQuadTreeDirectory::EnumerateIterator it(*tree.directory()); it.get() != nullptr; it.next()) {
        const auto page = device.page(it.get()->page_number());
        p.pages.emplace_back(page.begin(), page.end());
    }
    return p;
}

}  // namespace

TEST(qvQuadTreeDeferred, Stores_written_in_batches_give_the_nodes_and_pages_of_stores_one_by_one) {
    const auto records = deferred_records(6000, 20261207);
    MemoryDevice direct_device(6), deferred_device(6);   // far fewer pages than nodes
    qvQTree direct(&direct_device, deferred_base), deferred(&deferred_device, deferred_base);
    for (std::size_t k = 0; k < records.size(); ++k) {
        store_directly(direct, records[k]);
        qvShapeBase header;
        std::memcpy(&header, records[k].data(), sizeof header);
        qvHandleRecord h;
        deferred.store_handle(&header, h);
        EXPECT_EQ(deferred.create_deferred(*reinterpret_cast<qvShapeBase const*>(records[k].data())), h.quadtree) << k;
        if (k % 700 == 699) deferred.write_deferred();
    }
    deferred.write_deferred();
    ASSERT_GT(direct.directory()->count(), 40);   // many splits, many nodes
    EXPECT_EQ(deferred.size(), direct.size());
    EXPECT_TRUE(picture(deferred, deferred_device) == picture(direct, direct_device));
    // And every record is found where a lookup by handle expects it.
    for (int k : {1, 8, 1000, 5999}) {
        qvShapeBase header;
        std::memcpy(&header, records[static_cast<std::size_t>(k - 1)].data(), sizeof header);
        qvHandleRecord h;
        h.handle = k;
        deferred.store_handle(&header, h);
        qvQuadTree::RecordLock lock;
        deferred.examine(h, lock);
        EXPECT_EQ(std::memcmp(lock.record, records[static_cast<std::size_t>(k - 1)].data(),
                              records[static_cast<std::size_t>(k - 1)].size()),
                  0)
            << k;
        deferred.release(lock);
    }
}

TEST(qvQuadTreeDeferred, Discarded_stores_give_their_slots_back_unwritten) {
    // Small ones: 160 fit the root node, so nothing splits.
    std::vector<std::vector<unsigned char>> records;
    for (int k = 0; k < 160; ++k) {
        const float x = static_cast<float>(k * 6 % 997), y = static_cast<float>(k * 13 % 991);
        records.push_back(record(40, x, y, x + 1.5f, y + 0.5f, k + 1));
    }
    MemoryDevice device(4);
    qvQTree tree(&device, deferred_base);
    for (std::size_t k = 0; k < 100; ++k) store_directly(tree, records[k]);
    const Picture before = picture(tree, device);
    const int size_before = tree.size();

    // Only slots are taken.
    for (std::size_t k = 100; k < 160; ++k)
        tree.create_deferred(*reinterpret_cast<qvShapeBase const*>(records[k].data()));
    EXPECT_EQ(tree.size(), size_before + 60);
    tree.discard_deferred();
    EXPECT_EQ(tree.size(), size_before);
    EXPECT_TRUE(picture(tree, device) == before);

    // The next record takes the first slot given back.
    store_directly(tree, records[100]);
    EXPECT_EQ(qv_quadtree_test::handles_of(tree, deferred_base).size(), 101u);
    tree.write_deferred();   // nothing waits: nothing changes
    EXPECT_EQ(tree.size(), size_before + 1);
}

// Over a page file with a cache far smaller than the tree, the batches write
// the nodes the cache does not hold in place: the file comes out byte for
// byte as the one of stores one by one.
TEST(qvQuadTreeDeferred, Batches_over_a_small_page_file_cache_give_the_file_of_stores_one_by_one) {
    const auto records = deferred_records(6000, 20261208);
    qv_file_test::ScratchDir dir;
    const std::string direct_name = dir / "direct", deferred_name = dir / "deferred";
    qvPageFile direct_file(direct_name.c_str(), 6 * 16384, true, false);
    qvPageFile deferred_file(deferred_name.c_str(), 6 * 16384, true, false);
    qvQTree direct(&direct_file, deferred_base), deferred(&deferred_file, deferred_base);
    for (std::size_t k = 0; k < records.size(); ++k) {
        store_directly(direct, records[k]);
        deferred.create_deferred(*reinterpret_cast<qvShapeBase const*>(records[k].data()));
        if (k % 900 == 899) deferred.write_deferred();
    }
    deferred.end_deferred();
    ASSERT_GT(direct.directory()->count(), 40);
    EXPECT_GT(deferred_file.counters().part_writes, 0u);   // nodes written in place
    EXPECT_EQ(saved(deferred), saved(direct));
    direct_file.flush();
    deferred_file.flush();
    const std::string direct_bytes = qv_file_test::read_file(direct_name);
    ASSERT_GT(direct_bytes.size(), 40 * qvPageBytes);
    EXPECT_TRUE(qv_file_test::read_file(deferred_name) == direct_bytes);
    // The same records meet a query, in the same order.
    const qvMathRectOf<double> area(qvRectOf<double>(100, 250, 700, 400));
    std::vector<std::int32_t> met_direct, met_deferred;
    for (auto r = direct.query(area, false); r; ++r) met_direct.push_back(r->shape_handle);
    for (auto r = deferred.query(area, false); r; ++r) met_deferred.push_back(r->shape_handle);
    EXPECT_GT(met_direct.size(), 100u);
    EXPECT_EQ(met_deferred, met_direct);
}
