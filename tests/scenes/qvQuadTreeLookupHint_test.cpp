// Lookups by handle try the record a query yielded last before they walk
// the handle's path: the hint must find the same record the walk finds,
// and a hint that went stale (the record moved within its node, or its
// node was written since) must fall back to the walk, never to another
// record.

#include <orvane/scenes/qvQTree.hpp>

#include "qvFileTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"

#include <gtest/gtest.h>

#include <vector>

using namespace qv_quadtree_test;

namespace {

const qvMathRectOf<double> hint_base(0.0, 0.0, 1024.0, 1024.0);

struct HintTree {
    MemoryDevice device{16};
    qvQTree tree{&device, hint_base};
    std::vector<qvHandleRecord> handles;

    // Small boxes along a row, so that all share one node of few records.
    void fill(int n) {
        for (int k = 0; k < n; ++k) {
            const auto handle = static_cast<std::int32_t>(handles.size() + 1);
            const float x = 100.0f + 3.0f * static_cast<float>(k);
            handles.push_back(store(tree, record(48, x, 200.0f, x + 1.5f, 201.25f, handle)));
        }
    }
    // A query that yields exactly the record of `handle` (its box's middle).
    void yield(std::int32_t handle) {
        const float x = 100.0f + 3.0f * static_cast<float>(handle - 1);
        const auto found = handles_of(tree, qvMathRectOf<double>(x + 0.5, 200.5, x + 1.0, 201.0));
        ASSERT_EQ(found, std::vector<std::int32_t>{handle});
    }
    // The handle and the box's x1 of what examine finds for `h`.
    std::pair<std::int32_t, float> examined(qvHandleRecord const& h) {
        qvQuadTree::RecordLock lock;
        tree.examine(h, lock);
        const std::pair<std::int32_t, float> out{lock.record->shape_handle, lock.record->box.x1};
        tree.release(lock);
        return out;
    }
    void remove(qvHandleRecord const& h) {
        qvQuadTree::RecordLock lock;
        tree.modify(h, lock);
        tree.remove(lock);
    }
};

}  // namespace

TEST(qvQuadTreeLookupHint, A_record_moved_down_its_node_after_the_query_is_found_by_the_walk) {
    HintTree t;
    t.fill(12);
    t.yield(9);
    // Records before it leave: record 9 moves to a lower index, and the
    // hint's index now holds record 11.
    t.remove(t.handles[0]);
    t.remove(t.handles[1]);
    EXPECT_EQ(t.examined(t.handles[8]), (std::pair<std::int32_t, float>{9, 124.0f}));
}

TEST(qvQuadTreeLookupHint, A_removed_record_is_not_found_through_a_stale_hint) {
    HintTree t;
    t.fill(5);
    t.yield(5);
    t.remove(t.handles[4]);
    qvQuadTree::RecordLock lock;
    EXPECT_TRUE(qv_file_test::raises<qvErrorFrom<qvQuadTree>>([&] { t.tree.examine(t.handles[4], lock); },
                                                              "Cannot reconnect to the shape by handle"));
}
