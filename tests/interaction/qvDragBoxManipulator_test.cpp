// The drag box and the drag-box selection on the interaction test view:
// the band's life as a gadget, the errors of misuse, a drag box that
// outlives its gadget layer, and a scripted selection whose window ends
// equal to a fresh render.

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvDragBoxManipulator.hpp>
#include <orvane/interaction/qvDragBoxSelectionManipulator.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

int device_gadgets(qvInteractionTestView& v) {
    const qvViewSceneLayer layer = v.gadgets()->gadget_scene_layer();
    return qvQueryInterface<qvContainerScene>(&layer->scene())->size(-1);
}

const std::string not_initialized = "Manipulator was not initialized yet";
const std::string no_box = "Cannot query the drag box before it is initialized";

}  // namespace

TEST(qvDragBoxManipulator, Band_follows_begin_move_and_end) {
    qvInteractionTestView v;
    qvDragBoxManipulator box;
    ASSERT_TRUE(box.activate(v.gadgets()));
    box.move(Pt{30, 40});  // without begin: anchored here
    EXPECT_EQ(box.rectangle(), Box(30, 40, 30, 40));
    box.move(Pt{10, 50});
    EXPECT_EQ(box.rectangle(), Box(10, 40, 30, 50));
    box.end();
    EXPECT_EQ(qvRaisedText([&] { box.rectangle(); }), no_box);
    box.begin(Pt{70, 45});
    EXPECT_EQ(device_gadgets(v), 1);
    EXPECT_EQ(box.rectangle(), Box(70, 45, 70, 45));
    box.move(Pt{20, 15});   // back over both axes, by unequal amounts
    EXPECT_EQ(box.rectangle(), Box(20, 15, 70, 45));
    box.move(Pt{90, 5});    // right of the anchor, still above it
    EXPECT_EQ(box.rectangle(), Box(70, 5, 90, 45));
    EXPECT_TRUE(v.fresh());
    box.end();
    EXPECT_EQ(device_gadgets(v), 0);
}

TEST(qvDragBoxManipulator, Reactivation_erases_a_shown_band) {
    qvInteractionTestView v;
    qvDragBoxManipulator box;
    ASSERT_TRUE(box.activate(v.gadgets()));
    box.begin(Pt{1, 1});
    box.move(Pt{20, 20});
    ASSERT_TRUE(box.activate(v.gadgets()));
    EXPECT_EQ(device_gadgets(v), 0);
    EXPECT_EQ(qvRaisedText([&] { box.rectangle(); }), no_box);
}

TEST(qvDragBoxManipulator, Misuse_raises_and_changes_nothing) {
    qvDragBoxManipulator box;
    EXPECT_EQ(qvRaisedText([&] { box.begin(Pt{1, 1}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { box.activate(qvViewGadgetLayer()); }), "Gadget layer is not initialized");
    EXPECT_FALSE(box.active());
    qvViewGadgetLayer viewless(0);
    EXPECT_FALSE(box.activate(viewless)) << "a gadget layer in no view";
    EXPECT_FALSE(box.active());
}

TEST(qvDragBoxManipulator, Outliving_its_gadget_layer_with_a_band_shown_is_quiet) {
    auto v = std::make_unique<qvInteractionTestView>();
    auto box = std::make_unique<qvDragBoxManipulator>();
    ASSERT_TRUE(box->activate(v->gadgets()));
    box->begin(Pt{10, 10});
    box->move(Pt{40, 30});
    v.reset();
    EXPECT_EQ(qvRaisedText([&] { box->deactivate(); }), "no error");
    EXPECT_FALSE(box->active());
    box.reset();
}

TEST(qvDragBoxManipulator, A_band_shown_while_the_view_scrolls_leaves_a_fresh_window) {
    qvInteractionTestView v;
    qvRectangle(v.scene(), Box(5, 5, 30, 20));
    v.redraw_whole();
    qvDragBoxManipulator box;
    ASSERT_TRUE(box.activate(v.gadgets()));
    box.begin(Pt{20, 20});
    box.move(Pt{90, 70});
    EXPECT_TRUE(v.fresh());
    v.renderer()->scroll(7, 4);  // the host scrolls: the window's pixels move
    EXPECT_TRUE(v.fresh());
    box.move(Pt{60, 50});
    EXPECT_TRUE(v.fresh());
}

TEST(qvDragBoxSelectionManipulator, Scripted_drag_selects_what_the_box_covers) {
    qvInteractionTestView v;
    // Model boxes; device = 2 * model + 10.
    const qvRectangle inside(v.scene(), Box(10, 10, 30, 30));   // (30, 30, 70, 70)
    const qvRectangle crossing(v.scene(), Box(40, 20, 60, 40));  // (90, 50, 130, 90)
    const qvRectangle outside(v.scene(), Box(70, 50, 80, 60));   // (150, 110, 170, 130)
    v.redraw_whole();
    qvGraphicList host;
    qvDragBoxSelectionManipulator drag;
    ASSERT_TRUE(drag.activate(v.gadgets(), v.layer(), host));

    bool found = false;
    qvManipulatorScript script(v, [&](qvManipulatorStep const& s) {
        if (s.op == "begin")
            drag.begin(Pt{s.x, s.y});
        else if (s.op == "move")
            drag.move(Pt{s.x, s.y});
        else if (s.op == "end")
            found = drag.end(s.flags);
    });
    const auto reports = script.run({{"begin", 20, 20, 0}, {"move", 120, 80, 0}, {"end", 0, 0, 0}});
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].gadgets, std::vector<std::string>{"1:DashedRectangle"});
    EXPECT_EQ(reports[1].gadgets, std::vector<std::string>{"1:DashedRectangle"});
    EXPECT_NE(reports[1].invalid, "") << "the band's growth is repaired";
    EXPECT_TRUE(reports[2].gadgets.empty());
    EXPECT_TRUE(found);
    ASSERT_EQ(host->size(), 1);
    EXPECT_EQ(qvRectangle(*host->enumerate())->rectangle(), Box(10, 10, 30, 30));
    EXPECT_TRUE(v.fresh());

    drag.deactivate();
    EXPECT_FALSE(drag.active());
    EXPECT_EQ(drag.list()->size(), 0);
    EXPECT_NE(drag.list().counter(), host.counter());
    EXPECT_EQ(host->size(), 1);
}

TEST(qvDragBoxSelectionManipulator, Refusals_and_misuse) {
    qvInteractionTestView v;
    qvGraphicList host;
    qvDragBoxSelectionManipulator drag;
    EXPECT_FALSE(drag.activate(v.gadgets(), qvViewSceneLayer(), host)) << "no scene layer";
    EXPECT_FALSE(drag.activate(v.gadgets(), v.layer(), qvGraphic())) << "no list";
    EXPECT_EQ(qvRaisedText([&] { drag.begin(Pt{1, 1}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { drag.end(0); }), not_initialized);
    ASSERT_TRUE(drag.activate(v.gadgets(), v.layer(), host));
    EXPECT_EQ(qvRaisedText([&] { drag.end(0x01); }), no_box);
    EXPECT_EQ(host->size(), 0);
}

// A select that raised used to leave the band drawn until deactivation.
TEST(qvDragBoxSelectionManipulator, A_select_that_raises_still_erases_the_band) {
    qvInteractionTestView v;
    auto gone = std::make_unique<qvMemoryScene>();
    const qvViewSceneLayer stale(*gone, -1);
    qvGraphicList host;
    qvDragBoxSelectionManipulator drag;
    ASSERT_TRUE(drag.activate(v.gadgets(), stale, host));
    drag.begin(Pt{20, 20});
    drag.move(Pt{60, 50});
    ASSERT_EQ(device_gadgets(v), 1);
    gone.reset();
    EXPECT_EQ(qvRaisedText([&] { drag.end(0x01); }), "Cannot use proxy selection with non-container scene");
    EXPECT_EQ(device_gadgets(v), 0);
    EXPECT_EQ(host->size(), 0);
    EXPECT_TRUE(drag.active());
    EXPECT_TRUE(v.fresh());
}
