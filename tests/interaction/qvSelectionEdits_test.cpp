// Scene edits between selects: a selection's private view collects nothing
// while it waits (many edits leave its scene layer no pending area), and
// the next select still finds shapes where the edits put them.

#include <orvane/geometry/qvRegion.hpp>
#include <orvane/interaction/qvPointCallbackSelection.hpp>
#include <orvane/interaction/qvPointSelection.hpp>
#include <orvane/interaction/qvRectangleSelection.hpp>
#include <orvane/interaction/qvSelectionCallback.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

// Selections that show the scene layer their selects render.
class WatchedSpot : public qvPointSelection {
public:
    using qvPointSelection::qvPointSelection;
    qvViewSceneLayer const& watched() const { return scene_layer(); }
};

class WatchedBox : public qvRectangleSelection {
public:
    using qvRectangleSelection::qvRectangleSelection;
    qvViewSceneLayer const& watched() const { return scene_layer(); }
};

std::vector<long> edit_handles_of(qvGraphicList& list) {
    std::vector<long> out;
    for (qvIndirectIterator<qvGraphic> it = list->enumerate(); it; ++it)
        out.push_back(qvQueryInterface<qvSingleShapeProxyBase>(it->get())->shape_handle());
    return out;
}

// Moves `shape` across 1,000 places, ending at `last`.
void wander(qvRectangle& shape, Box const& last) {
    for (int i = 0; i < 1000; ++i)
        shape->rectangle(Box(last.x1 - 1000 + i, last.y1 - i % 7, last.x2 - 1000 + i, last.y2 - i % 7));
    shape->rectangle(last);
}

}  // namespace

TEST(qvSelectionEdits, Many_edits_leave_a_scene_selection_nothing_pending_and_are_found) {
    qvMemoryScene scene;
    qvRectangle still(scene, Box(0, 0, 10, 10));
    qvRectangle roving(scene, Box(40, 40, 50, 50));
    WatchedSpot spot(scene);
    qvGraphicList list;
    EXPECT_TRUE(spot.select(list, Pt{10, 5}, 1.0, 0x01));
    wander(roving, Box(200, 0, 210, 10));
    EXPECT_TRUE(spot.watched()->local_redraw_area().empty());

    list->remove_all();
    EXPECT_TRUE(spot.select(list, Pt{210, 5}, 1.0, 0x01));
    EXPECT_EQ(edit_handles_of(list), std::vector<long>{roving->shape_handle()});
    list->remove_all();
    EXPECT_FALSE(spot.select(list, Pt{50, 45}, 1.0, 0x01));  // where it was
    EXPECT_TRUE(spot.select(list, Pt{10, 5}, 1.0, 0x01));
    EXPECT_EQ(edit_handles_of(list), std::vector<long>{still->shape_handle()});

    // A shape made after the last select is found; one destroyed is not.
    const qvRectangle late(scene, Box(300, 300, 320, 320));
    still->destroy_shape();
    list->remove_all();
    EXPECT_TRUE(spot.select(list, Pt{320, 310}, 1.0, 0x01));
    EXPECT_EQ(edit_handles_of(list), std::vector<long>{late->shape_handle()});
    EXPECT_FALSE(spot.select(list, Pt{10, 5}, 1.0, 0x10));
    EXPECT_TRUE(spot.watched()->local_redraw_area().empty());
}

TEST(qvSelectionEdits, A_clipped_view_layer_selection_collects_nothing_and_keeps_its_clip) {
    qvInteractionTestView v;
    qvRectangle inside(v.scene(), Box(10, 10, 20, 20));
    qvRectangle outside(v.scene(), Box(60, 10, 70, 20));
    const qvRegion clip(Box(0, 0, 40, 40));
    v.layer()->clipping(&clip);
    WatchedBox box(v.layer());
    qvGraphicList list;
    const Box everything = qvInteractionTestView::device(Box(-100, -100, 200, 200));
    EXPECT_TRUE(box.select(list, everything, 0x10));
    EXPECT_EQ(edit_handles_of(list), std::vector<long>{inside->shape_handle()});
    // The clip's inside takes every edit here: before, each one was added
    // to the selection view's pending area.
    wander(inside, Box(25, 25, 35, 35));
    EXPECT_TRUE(box.watched()->local_redraw_area().empty());
    EXPECT_TRUE(box.select(list, everything, 0x10));
    EXPECT_EQ(edit_handles_of(list), std::vector<long>{inside->shape_handle()});
    outside->rectangle(Box(30, 0, 38, 8));
    EXPECT_TRUE(box.select(list, qvInteractionTestView::device(Box(24, -1, 39, 36)), 0x10));
    EXPECT_EQ(edit_handles_of(list).size(), 2u);
}

TEST(qvSelectionEdits, A_callback_selection_finds_shapes_where_edits_put_them) {
    qvMemoryScene scene;
    qvRectangle roving(scene, Box(40, 40, 50, 50));
    qvPointCallbackSelection spot(scene);
    qvSelectionCallback first, second, third;
    spot.select(first, Pt{50, 45}, 1.0);
    EXPECT_EQ(first.count(), 1);
    wander(roving, Box(200, 0, 210, 10));
    spot.select(second, Pt{50, 45}, 1.0);
    EXPECT_EQ(second.count(), 0);
    spot.select(third, Pt{210, 5}, 1.0);
    EXPECT_EQ(third.count(), 1);
}
