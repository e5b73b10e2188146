// A paged shape connected and let go unchanged (a graphic made for a hit
// and dropped) goes back without a write to its node, and its block waits
// for the next connect of a record that fits; a changed one is
// written back as before, and so is one whose stored record the scene
// changed while it was connected (a layer move). A lone copy waiting to be
// placed is tested where it waits by the first query and placed by the next.
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/scenes/qvPagedScene.hpp>

#include "scenes/qvConnectedCopyIndex.hpp"
#include "scenes/qvShapeNodeTable.hpp"

#include "qvAllocationProbe.hpp"
#include "qvFileTestSupport.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;
constexpr int let_go_size = 48;

Rect let_go_rect(double x1, double y1, double x2, double y2) { return Rect(qvRectOf<double>(x1, y1, x2, y2)); }

struct LetGoScene {
    qv_file_test::ScratchDir dir;
    std::string path = dir / "let-go.pgf";
    qvMatchingPalette palette;
    std::unique_ptr<qvPagedScene> scene = std::make_unique<qvPagedScene>(&palette);
    std::vector<long> handles;

    explicit LetGoScene(int layers = 1) {
        scene->create(path.c_str(), layers, let_go_rect(0, 0, 1000, 1000), 1 << 20);
        for (int k = 0; k < 4; ++k) {
            qvShapeBase* const r = scene->allocate(let_go_size, nullptr);
            r->box = qvMathRectOf<float>(300.f + 7 * k, 410.f, 305.5f + 7 * k, 412.25f);
            r->user_handle = 11 + k;
            handles.push_back(r->shape_handle);
            scene->disconnect(r);
        }
    }
    qvHandleRecord handle_record(long handle) {
        qvConstRecordPtr<qvHandleRecord> h(*scene->handle_database(), handle);
        return *h;
    }
    // The node that holds the stored record of `handle`.
    qvQuadTreeNode* node_of(long handle) {
        const qvHandleRecord h = handle_record(handle);
        qvQuadTree& tree = *scene->layers()[static_cast<std::size_t>(h.layer)].sdb;
        qvQuadTree::RecordLock lock;
        tree.examine(h, lock);
        qvQuadTreeNode* const node = lock.node;
        tree.release(lock);
        return node;
    }
    std::vector<long> drawn(int layer) { return scene_test::drawn(*scene, layer); }
};

}  // namespace

TEST(qvPagedShapeLetGo, An_unchanged_copy_goes_back_without_writing_its_node_and_is_drawn_again) {
    LetGoScene s;
    qvQuadTreeNode* const node = s.node_of(s.handles[2]);
    const std::uint64_t stamp = node->writes();
    qvShapeBase* const copy = s.scene->connect(s.handles[2]);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(s.drawn(0), (std::vector<long>{11, 12, 14, 13}));   // the copy after the stored ones
    s.scene->disconnect(copy);
    EXPECT_EQ(node->writes(), stamp);
    // The mask went with it: drawn once, from its page again.
    EXPECT_EQ(s.drawn(0), (std::vector<long>{11, 12, 13, 14}));
    EXPECT_EQ(s.handle_record(s.handles[2]).stored, 1);
    // Changed and changed back is unchanged too.
    qvShapeBase* const again = s.scene->connect(s.handles[2]);
    again->user_handle = 99;
    again->user_handle = 13;
    s.scene->disconnect(again);
    EXPECT_EQ(node->writes(), stamp);
    EXPECT_EQ(s.drawn(0), (std::vector<long>{11, 12, 13, 14}));
}

// The block of the last copy let go unchanged waits for the next connect:
// a record of its size (or smaller) is copied into it, a larger one never
// (it would run past the block's end).
TEST(qvPagedShapeLetGo, A_kept_copy_block_is_reused_only_for_a_record_that_fits_in_it) {
    LetGoScene s;
    qvShapeBase* grown = s.scene->allocate(let_go_size + 24, s.scene->connect(s.handles[3]));
    std::memset(reinterpret_cast<unsigned char*>(grown) + let_go_size, 0x6b, 24);
    const std::string larger = scene_test::bytes_of(*grown);
    s.scene->disconnect(grown);

    qvShapeBase* const kept = s.scene->connect(s.handles[0]);
    s.scene->disconnect(kept);   // unchanged: its 48-byte block is kept
    qvShapeBase* const big = s.scene->connect(s.handles[3]);
    EXPECT_NE(big, kept);
    EXPECT_EQ(scene_test::bytes_of(*big), larger);
    s.scene->disconnect(big);    // unchanged too; the smaller block stays the kept one
    qvShapeBase* const same_size = s.scene->connect(s.handles[1]);
    EXPECT_EQ(same_size, kept);
    EXPECT_EQ(same_size->user_handle, 12);
    EXPECT_EQ(same_size->size, let_go_size);
    s.scene->disconnect(same_size);
    EXPECT_EQ(s.drawn(0), (std::vector<long>{11, 12, 13, 14}));
}

TEST(qvPagedShapeLetGo, A_changed_copy_is_written_back_and_read_again_as_changed) {
    LetGoScene s;
    qvQuadTreeNode* const node = s.node_of(s.handles[1]);
    const std::uint64_t stamp = node->writes();
    qvShapeBase* const copy = s.scene->connect(s.handles[1]);
    copy->user_handle = 42;
    s.scene->disconnect(copy);
    EXPECT_NE(node->writes(), stamp);
    EXPECT_EQ(s.drawn(0), (std::vector<long>{11, 42, 13, 14}));
    // Only the byte past the header differs: still a change.
    qvShapeBase* const tail = s.scene->connect(s.handles[1]);
    reinterpret_cast<unsigned char*>(tail)[let_go_size - 1] ^= 0x5a;
    const std::string bytes = scene_test::bytes_of(*tail);
    s.scene->disconnect(tail);
    qvShapeBase* const read = s.scene->connect(s.handles[1]);
    EXPECT_EQ(scene_test::bytes_of(*read), bytes);
    s.scene->disconnect(read);
    s.scene->close();
}

// A write-back that runs out of memory goes as one that fails on its file
// does: the copy stays connected, owned by nobody, is handed out again by
// the next connect (to one owner), and is written once memory is there.
TEST(qvPagedShapeLetGo, A_copy_whose_write_back_ran_out_of_memory_is_handed_out_again_and_written_later) {
    LetGoScene s;
    const auto connected = [&] { return s.scene->layers()[0].list->size(); };
    qvShapeBase* copy = s.scene->connect(s.handles[1]);
    constexpr int grown = 15720 - let_go_size;
    std::string bytes;
    int failures = 0;
    for (long n = 0;; ++n) {
        ASSERT_LT(n, 10000);
        // Alone in a node of its own: its write-back needs a new page.
        copy = s.scene->allocate(let_go_size + grown, copy);
        std::memset(reinterpret_cast<unsigned char*>(copy) + let_go_size, static_cast<int>(0x40 + n % 64), grown);
        bytes = scene_test::bytes_of(*copy);
        qv_allocation_probe::allocations_left = n;
        s.scene->disconnect(copy);   // raises nothing either way
        qv_allocation_probe::allocations_left = -1;
        if (connected() == 0)
            break;
        ++failures;
        ASSERT_EQ(s.scene->connect(s.handles[1]), copy) << n;
        EXPECT_EQ(scene_test::bytes_of(*copy), bytes) << n;
        EXPECT_EQ(s.scene->connect(s.handles[1]), nullptr) << n;
    }
    EXPECT_GT(failures, 0);
    EXPECT_EQ(s.handle_record(s.handles[1]).stored, 1);
    std::vector<long> drawn = s.drawn(0);   // each once, in the order of the nodes
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn, (std::vector<long>{11, 12, 13, 14}));
    qvShapeBase* const read = s.scene->connect(s.handles[1]);
    EXPECT_EQ(scene_test::bytes_of(*read), bytes);
    s.scene->disconnect(read);
    EXPECT_TRUE(s.scene->close());
}

TEST(qvPagedShapeLetGo, A_copy_moved_to_another_layer_while_connected_is_stored_there_when_let_go) {
    LetGoScene s(2);
    qvShapeBase* const copy = s.scene->connect(s.handles[0]);
    s.scene->shape_layer(s.handles[0], 1);
    s.scene->disconnect(copy);   // unchanged, but its old stored record is gone
    EXPECT_EQ(s.drawn(0), (std::vector<long>{12, 13, 14}));
    EXPECT_EQ(s.drawn(1), (std::vector<long>{11}));
    EXPECT_EQ(s.handle_record(s.handles[0]).stored, 1);
    EXPECT_EQ(s.scene->layers()[1].sdb->size(), 1);
    EXPECT_TRUE(s.scene->close());
    s.scene = std::make_unique<qvPagedScene>(&s.palette);
    ASSERT_TRUE(s.scene->open(s.path.c_str(), 1 << 20, false));
    EXPECT_EQ(s.drawn(1), (std::vector<long>{11}));
}

TEST(qvPagedShapeLetGo, A_lone_pending_copy_is_found_by_the_first_query_and_placed_by_the_next) {
    qvShapeNodeTable table;
    qvShapeList list{table, 0};
    qvConnectedCopyIndex index{table};
    const Rect bounds = let_go_rect(0, 0, 1024, 1024);
    const auto enter = [&](qvMathRectOf<float> const& box) {
        qvShapeBase* const record = qvNewShapeRecord(let_go_size);
        record->box = box;
        const auto slot = static_cast<std::int32_t>(list.create(record));
        index.enter(slot, 0, bounds);
        return slot;
    };
    const auto query = [&](Rect const& area) {
        std::vector<qvShapeBase*> found;
        index.query(0, area, false, found);
        return found;
    };
    const std::int32_t lone = enter(qvMathRectOf<float>{40.0f, 60.0f, 41.5f, 62.0f});
    EXPECT_EQ(query(let_go_rect(0, 0, 100, 100)), (std::vector<qvShapeBase*>{table.record(lone)}));
    EXPECT_EQ(index.cells(), 0u);
    EXPECT_TRUE(query(let_go_rect(500, 500, 600, 600)).empty());
    EXPECT_GT(index.cells(), 1u);
    // A second lone one after the first was placed: both found, in list order.
    const std::int32_t later = enter(qvMathRectOf<float>{45.0f, 61.0f, 47.0f, 63.0f});
    EXPECT_EQ(query(let_go_rect(0, 0, 100, 100)),
              (std::vector<qvShapeBase*>{table.record(lone), table.record(later)}));
    for (std::int32_t slot : {lone, later}) {
        qvShapeBase* const record = table.record(slot);
        index.leave(slot);
        list.remove(slot);
        delete record;
    }
    EXPECT_EQ(index.cells(), 0u);
}
