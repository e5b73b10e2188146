// Area queries read only what a node's summary names, yet must yield what
// a walk of every record of every node passed yields, in the same order:
// seeded trees of many nodes per cell, queries of every size, with boxes
// moved in place, records removed and added between queries (each write
// must retire the node's summary), and a node written while a query stands
// in it.

#include <orvane/scenes/qvQTree.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>

#include "qvQuadTreeTestSupport.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace qv_quadtree_test;

namespace {

const qvMathRectOf<double> order_base(0.0, 0.0, 1024.0, 1024.0);

// The old road, obviously right: every node the directory passes for the
// area, every record of it in index order, kept when it meets the area
// strictly and is not masked.
std::vector<std::int32_t> walked(qvQuadTree& tree, qvMathRectOf<double> const& area) {
    const float x1 = static_cast<float>(area.x1), y1 = static_cast<float>(area.y1);
    const float x2 = static_cast<float>(area.x2), y2 = static_cast<float>(area.y2);
    std::vector<std::int32_t> out;
    for (qvQuadTreeDirectory::QueryIterator nodes(*tree.directory(), area); nodes.get() != nullptr; nodes.next()) {
        qvQuadTreeNode& node = *nodes.get();
        node.lock(false);
        for (int i = 0; i < node.fill_no; ++i) {
            qvShapeBase const& r = node[i];
            if (r.box.x1 < x2 && r.box.x2 > x1 && r.box.y1 < y2 && r.box.y2 > y1 && !tree.masked(r.shape_handle))
                out.push_back(r.shape_handle);
        }
        node.unlock(1.0f);
    }
    return out;
}

struct Tree {
    MemoryDevice device{16};
    qvQTree tree{&device, order_base};
    std::vector<qvHandleRecord> handles;
    std::mt19937 rng;
    explicit Tree(unsigned seed) : rng(seed) {}

    float at(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    std::vector<unsigned char> some_record(std::int32_t handle) {
        const float x = at(0, 1000), y = at(0, 1000), w = at(0, 30), h = at(0, 30);
        return record(48, x, y, x + w, y + h, handle);
    }
    void fill(int n) {
        for (int k = 0; k < n; ++k) {
            const auto handle = static_cast<std::int32_t>(handles.size() + 1);
            handles.push_back(store(tree, some_record(handle)));
        }
    }
    qvMathRectOf<double> some_area() {
        const double x = at(-20, 1020), y = at(-20, 1020), span = at(0, 1) < 0.8f ? at(0, 12) : at(0, 400);
        return qvMathRectOf<double>(x, y, x + span, y + at(0, 1) * span);
    }
    void compare(int rounds) {
        for (int round = 0; round < rounds; ++round) {
            const qvMathRectOf<double> area = some_area();
            ASSERT_EQ(handles_of(tree, area), walked(tree, area))
                << "area " << area.x1 << " " << area.y1 << " " << area.x2 << " " << area.y2;
        }
    }
};

}  // namespace

TEST(qvQuadTreeQueryOrder, Yields_what_a_walk_of_every_record_yields_in_its_order) {
    Tree t(11);
    t.fill(6000);
    t.compare(300);
    t.compare(300);  // the summaries made by the first pass
}

TEST(qvQuadTreeQueryOrder, Writes_between_queries_retire_the_summaries) {
    Tree t(12);
    t.fill(3000);
    t.compare(100);
    for (int step = 0; step < 20; ++step) {
        // Boxes moved in place within their cells' nodes.
        for (int k = 0; k < 50; ++k) {
            qvHandleRecord const& h = t.handles[static_cast<std::size_t>(t.at(0, 1) * 2999)];
            qvQuadTree::RecordLock lock;
            t.tree.modify(h, lock);
            qvMathRectOf<float>& box = lock.record->box;
            const float dx = t.at(-3, 3), dy = t.at(-3, 3);
            box = qvMathRectOf<float>(box.x1 + dx, box.y1 + dy, box.x2 + dx, box.y2 + dy);
            t.tree.update(lock);
        }
        t.fill(40);
        t.compare(40);
    }
}

TEST(qvQuadTreeQueryOrder, A_node_written_under_a_standing_query_is_read_afresh_from_there) {
    Tree t(13);
    t.fill(2000);
    const qvMathRectOf<double> area(100, 100, 700, 700);
    (void)walked(t.tree, area);
    (void)handles_of(t.tree, area);  // summaries made
    // Every record the query reaches is moved onto the area's middle, in
    // place: later records of the same node now meet the area as well.
    std::vector<std::int32_t> got;
    for (auto it = t.tree.query(area, false); it; ++it) {
        got.push_back(it->shape_handle);
        qvQuadTree::RecordLock lock;
        t.tree.modify(t.handles[static_cast<std::size_t>(it->shape_handle - 1)], lock);
        lock.record->box = qvMathRectOf<float>(400, 400, 401, 401);
        t.tree.update(lock);
    }
    EXPECT_FALSE(got.empty());
    EXPECT_EQ(handles_of(t.tree, area), walked(t.tree, area));
}
