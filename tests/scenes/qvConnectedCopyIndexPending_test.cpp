// Connected copies wait to be placed until a query of their layer: a copy
// entered, edited and released between two queries never makes a cell,
// and one that is still there when the query comes is found where it is.
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "scenes/qvConnectedCopyIndex.hpp"
#include "scenes/qvShapeNodeTable.hpp"

#include "qvCountingPort.hpp"
#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;
Rect pending_rect(double x1, double y1, double x2, double y2) { return Rect(qvRectOf<double>(x1, y1, x2, y2)); }

const Rect pending_bounds = pending_rect(0, 0, 1024, 1024);

struct Copies {
    qvShapeNodeTable table;
    qvShapeList list{table, 0};
    qvConnectedCopyIndex index{table};

    std::int32_t enter(qvMathRectOf<float> const& box) {
        qvShapeBase* const record = qvNewShapeRecord(48);
        record->box = box;
        const auto slot = static_cast<std::int32_t>(list.create(record));
        index.enter(slot, 0, pending_bounds);
        return slot;
    }
    void drop(std::int32_t slot) {
        qvShapeBase* const record = table.record(slot);
        index.leave(slot);
        list.remove(slot);
        delete record;
    }
    std::vector<qvShapeBase*> query(Rect const& area) {
        std::vector<qvShapeBase*> found;
        index.query(0, area, false, found);
        return found;
    }
};

}  // namespace

TEST(qvConnectedCopyIndexPending, A_copy_made_edited_and_released_between_queries_makes_no_cell) {
    Copies c;
    for (int k = 0; k < 100; ++k) {
        // What a typed handle does while a scene is built: a new record with
        // the empty box, its box set under a guard, then written back.
        const std::int32_t slot = c.enter(qvMathRectOf<float>{1.0f, 1.0f, 0.0f, 0.0f});
        c.index.begin_edit(slot);
        c.table.record(slot)->box = qvMathRectOf<float>{3.0f * k, 5.0f, 3.0f * k + 2, 7.5f};
        EXPECT_EQ(c.index.unplaced(0), 1u);
        c.index.end_edit(slot, pending_bounds);
        EXPECT_EQ(c.index.unplaced(0), 0u);
        EXPECT_EQ(c.index.cells(), 0u) << k;
        c.drop(slot);
    }
    EXPECT_EQ(c.index.size(0), 0u);
    EXPECT_EQ(c.index.cells(), 0u);
    EXPECT_TRUE(c.query(pending_bounds).empty());
}

TEST(qvConnectedCopyIndexPending, The_next_query_places_what_waits_and_finds_it_in_list_order) {
    Copies c;
    const std::int32_t far = c.enter(qvMathRectOf<float>{900.0f, 900.0f, 901.0f, 901.5f});
    const std::int32_t near = c.enter(qvMathRectOf<float>{10.0f, 20.0f, 12.0f, 21.0f});
    const std::int32_t across = c.enter(qvMathRectOf<float>{500.0f, 500.0f, 530.0f, 520.0f});
    EXPECT_EQ(c.index.cells(), 0u);
    const std::uint64_t before = c.index.visited();
    EXPECT_EQ(c.query(pending_rect(0, 0, 100, 100)), (std::vector<qvShapeBase*>{c.table.record(near)}));
    EXPECT_GT(c.index.cells(), 1u);
    // Placed now: the far copy's cell is pruned, the root's straddler is
    // tested.
    EXPECT_EQ(c.index.visited() - before, 2u);
    EXPECT_EQ(c.query(pending_bounds), (std::vector<qvShapeBase*>{c.table.record(far), c.table.record(near),
                                                                   c.table.record(across)}));
    // An edit after the query waits again and is found at its new box.
    c.index.begin_edit(near);
    c.table.record(near)->box = qvMathRectOf<float>{950.0f, 10.0f, 960.0f, 12.0f};
    c.index.end_edit(near, pending_bounds);
    EXPECT_TRUE(c.query(pending_rect(0, 0, 100, 100)).empty());
    EXPECT_EQ(c.query(pending_rect(940, 0, 970, 20)), (std::vector<qvShapeBase*>{c.table.record(near)}));
    for (std::int32_t slot : {far, near, across}) c.drop(slot);
    EXPECT_EQ(c.index.cells(), 0u);
}

// The paged scene built through typed handles, one released at a time,
// leaves an index with no cell; the scene draws every record from its
// quadtree afterwards.
TEST(qvConnectedCopyIndexPending, A_scene_built_through_typed_handles_leaves_no_cell_behind) {
    qv_file_test::ScratchDir dir;
    const std::string path = dir / "pending.pgf";
    qvMatchingPalette palette;
    qvPagedScene scene(&palette);
    scene.create(path.c_str(), pending_rect(0, 0, 1000, 1000), 1 << 20);
    for (int k = 0; k < 500; ++k) {
        const double x = (k * 37) % 990, y = (k * 91) % 990;
        qvRectangle(scene, pending_rect(x, y, x + 4, y + 3));
        ASSERT_EQ(scene.connected_copies().cells(), 0u) << k;
    }
    EXPECT_EQ(scene.connected_copies().size(0), 0u);
    qvCountingPort port;
    scene.render(port, 0, pending_rect(0, 0, 1000, 1000), false);
    EXPECT_EQ(port.drawn, 500);
    EXPECT_TRUE(scene.close());
}
