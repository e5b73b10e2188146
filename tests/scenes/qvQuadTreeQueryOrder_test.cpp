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

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace qv_quadtree_test;

namespace {

const qvMathRectOf<double> order_base(0.0, 0.0, 1024.0, 1024.0);

// A record as the old road meets it: its node, the node's place among its
// cell's nodes, and whether it is yielded.
struct Slot {
    qvQuadTreeNode* node;
    std::size_t position, cell_nodes;
    std::int32_t handle;
    bool yielded;
};

// The old road, obviously right: every node the directory passes for the
// area, every record of it in index order, yielded when it meets the area
// strictly and is not masked.
std::vector<Slot> slots(qvQuadTree& tree, qvMathRectOf<double> const& area) {
    const float x1 = static_cast<float>(area.x1), y1 = static_cast<float>(area.y1);
    const float x2 = static_cast<float>(area.x2), y2 = static_cast<float>(area.y2);
    std::vector<Slot> out;
    for (qvQuadTreeDirectory::QueryIterator nodes(*tree.directory(), area); nodes.get() != nullptr; nodes.next()) {
        qvQuadTreeNode& node = *nodes.get();
        node.lock(false);
        for (int i = 0; i < node.fill_no; ++i) {
            qvShapeBase const& r = node[i];
            const bool meets = r.box.x1 < x2 && r.box.x2 > x1 && r.box.y1 < y2 && r.box.y2 > y1;
            out.push_back({&node, nodes.position(), nodes.cell().size(), r.shape_handle,
                           meets && !tree.masked(r.shape_handle)});
        }
        node.unlock(1.0f);
    }
    return out;
}

std::vector<std::int32_t> walked(qvQuadTree& tree, qvMathRectOf<double> const& area) {
    std::vector<std::int32_t> out;
    for (Slot const& s : slots(tree, area))
        if (s.yielded) out.push_back(s.handle);
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
    // The record of `handle` given `box`, in place, as a callback may.
    void move(std::int32_t handle, qvMathRectOf<float> const& box) {
        qvQuadTree::RecordLock lock;
        tree.modify(handles[static_cast<std::size_t>(handle - 1)], lock);
        lock.record->box = box;
        tree.update(lock);
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
        t.move(it->shape_handle, qvMathRectOf<float>(400, 400, 401, 401));
    }
    EXPECT_FALSE(got.empty());
    EXPECT_EQ(handles_of(t.tree, area), walked(t.tree, area));
}

TEST(qvQuadTreeQueryOrder, Removals_that_empty_nodes_and_cells_leave_no_stale_summary) {
    Tree t(14);
    t.fill(4000);
    t.compare(100);
    // Remove three records in four, then fill again: nodes go away and new
    // ones take their places (possibly at the same addresses).
    for (std::size_t k = 0; k < t.handles.size(); ++k) {
        if (k % 4 == 3) continue;
        qvQuadTree::RecordLock lock;
        t.tree.modify(t.handles[k], lock);
        t.tree.remove(lock);
    }
    t.compare(100);
    t.fill(3000);
    t.compare(100);
}

TEST(qvQuadTreeQueryOrder, Boxes_with_NaN_inverted_and_infinite_sides_are_judged_as_one_by_one) {
    Tree t(15);
    t.fill(2500);
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    // Records set in place to odd boxes, straddling the middle lines and
    // lying in leaves, each kind a few times.
    std::size_t next = 0;
    const auto set_box = [&](qvMathRectOf<float> const& box) {
        qvQuadTree::RecordLock lock;
        t.tree.modify(t.handles[next++ * 97 % t.handles.size()], lock);
        std::memcpy(&lock.record->box, &box, sizeof box);   // as given: no normalising
        t.tree.update(lock);
    };
    const auto raw = [](float x1, float y1, float x2, float y2) {
        qvMathRectOf<float> b;
        b.x1 = x1, b.y1 = y1, b.x2 = x2, b.y2 = y2;
        return b;
    };
    // An inverted box meets only an area that holds it whole.
    std::vector<float> places{511.0f, 100.0f, 900.5f, 255.75f, 767.0f, 512.5f};
    for (int k = 0; k < 30; ++k)
        places.push_back(t.at(0, 1000));
    for (float at : places) {
        set_box(raw(at + 9, at - 3, at - 2, at + 4));   // inverted in x
        set_box(raw(at - 1, at + 6, at + 5, at - 5));   // inverted in y
        set_box(raw(at, nan, at + 3, at + 3));
        set_box(raw(-inf, at, inf, at + 1));
    }
    for (int round = 0; round < 2; ++round)
        for (float at : places) {
            const qvMathRectOf<double> holding(at - 3.5, at - 6.5, at + 9.5, at + 7.5);
            const std::vector<std::int32_t> expected = walked(t.tree, holding);
            EXPECT_EQ(handles_of(t.tree, holding), expected) << at;
            const qvMathRectOf<double> spot(at - 0.5, at - 0.5, at + 0.75, at + 1.25);
            EXPECT_EQ(handles_of(t.tree, spot), walked(t.tree, spot)) << at;
        }
    t.compare(200);
}

TEST(qvQuadTreeQueryOrder, A_write_locked_node_is_read_whole_and_its_cell_summary_kept) {
    Tree t(16);
    t.fill(3000);
    const qvMathRectOf<double> area(500, 500, 530, 540);
    const std::vector<std::int32_t> expected = walked(t.tree, area);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(handles_of(t.tree, area), expected);
    {
        // A record of the area held for writing: its node is write-locked
        // while the query passes its cell.
        qvQuadTree::RecordLock lock;
        t.tree.modify(t.handles[static_cast<std::size_t>(expected.front() - 1)], lock);
        EXPECT_EQ(handles_of(t.tree, area), expected);
        t.tree.release(lock);
    }
    EXPECT_EQ(handles_of(t.tree, area), expected);
}

// A callback that edits, in place, records the query has not reached: a
// later record of the node the query stands in, and one of a later node of
// the same cell, each moved into the area, and one of each moved out. The
// query must judge them by their boxes as they are when it reaches them,
// though the cell's summary was made before.
TEST(qvQuadTreeQueryOrder, Records_edited_ahead_of_a_standing_query_are_judged_as_they_are_when_reached) {
    Tree t(17);
    t.fill(1500);
    // Records across the middle line x = 512 stay in the root cell, which
    // fills several nodes.
    for (int k = 0; k < 1000; ++k) {
        const auto handle = static_cast<std::int32_t>(t.handles.size() + 1);
        const float x = t.at(500, 511.5f), y = t.at(0, 990);
        t.handles.push_back(store(t.tree, record(48, x, y, 512.5f + t.at(0, 15), y + t.at(0, 10), handle)));
    }
    const qvMathRectOf<double> area(495, 300, 530, 700);
    const qvMathRectOf<float> inside(505, 500, 520, 510), outside(505, 900, 520, 910);
    (void)handles_of(t.tree, area);  // summaries made
    const std::vector<Slot> before = slots(t.tree, area);

    // For the record at k: the first later record of its node, then of the
    // next node of its cell, that is yielded and that is not.
    const auto ahead = [&](std::size_t k) {
        std::vector<std::int32_t> picks(4, 0);
        for (std::size_t j = k + 1; j < before.size() && before[j].position >= before[k].position; ++j) {
            const bool same_node = before[j].node == before[k].node;
            if (!same_node && before[j].position != before[k].position + 1) break;
            std::int32_t& pick = picks[(same_node ? 0 : 2) + (before[j].yielded ? 0 : 1)];
            if (pick == 0) pick = before[j].handle;
        }
        return picks;
    };

    std::vector<std::int32_t> got, moved_in, moved_out;
    for (auto it = t.tree.query(area, false); it; ++it) {
        got.push_back(it->shape_handle);
        if (!moved_in.empty()) continue;
        std::size_t k = 0;
        while (before[k].handle != it->shape_handle) ++k;
        const std::vector<std::int32_t> picks = ahead(k);
        if (std::count(picks.begin(), picks.end(), 0) != 0) continue;
        moved_out = {picks[0], picks[2]};
        moved_in = {picks[1], picks[3]};
        for (std::int32_t h : moved_out) t.move(h, outside);
        for (std::int32_t h : moved_in) t.move(h, inside);
    }
    ASSERT_FALSE(moved_in.empty()) << "no node with records of both kinds ahead, and a next node in its cell";
    EXPECT_EQ(got, walked(t.tree, area));
    for (std::int32_t h : moved_in) EXPECT_EQ(std::count(got.begin(), got.end(), h), 1) << h;
    for (std::int32_t h : moved_out) EXPECT_EQ(std::count(got.begin(), got.end(), h), 0) << h;
}

// A cell the area covers a thirty-second of or more is read whole, one
// covered less through its summary; one query passes cells of both kinds.
// Areas at exactly that share of a cell and just under it, half a cell,
// and thin bands that cover a sliver of every cell they cross, before and
// after the summaries exist, and a band whose records are moved onto it
// while it stands.
TEST(qvQuadTreeQueryOrder, Cells_read_whole_and_cells_read_through_summaries_yield_alike) {
    Tree t(17);
    t.fill(4000);
    const std::vector<qvMathRectOf<double>> areas{
        {0, 0, 512, 1024},      {0, 0, 511.5, 1024},       {256, 0, 512, 256},  {256.5, 0, 512, 256},
        {480, 0, 512, 1024},    {480.25, 0, 512, 1024},    {0, 0, 64, 32},      {0, 0, 64, 31.75},
        {100, 300, 700, 303.5}, {300.25, 0, 303.75, 1024}, {128, 640, 896, 700}, {-10, -10, 1030, 1030},
        {200.5, 150.25, 830, 971}};
    for (int round = 0; round < 2; ++round)
        for (qvMathRectOf<double> const& area : areas)
            EXPECT_EQ(handles_of(t.tree, area), walked(t.tree, area))
                << "area " << area.x1 << " " << area.y1 << " " << area.x2 << " " << area.y2;

    const qvMathRectOf<double> band(100, 300, 900, 302);
    std::vector<std::int32_t> got;
    for (auto it = t.tree.query(band, false); it; ++it) {
        got.push_back(it->shape_handle);
        t.move(it->shape_handle, qvMathRectOf<float>(500, 300.5, 501, 301.5));
    }
    EXPECT_GT(got.size(), 10u);
    EXPECT_EQ(handles_of(t.tree, band), walked(t.tree, band));
}
