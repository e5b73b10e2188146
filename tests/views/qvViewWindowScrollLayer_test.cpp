// The window-scroll layer in a whole view: the switch and where it may be
// on, the pending scroll, how often the window moves on each road, and the
// repairs after a scroll the window refused.

#include "qvViewTestDoubles.hpp"
#include "qvWindowScript.hpp"

#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvViewWindowScrollLayer.hpp>

#include "views/qvViewWindowScrollLayerImplementation.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Rect = qvMathRectOf<double>;

struct ScrollView {
    qvViewWindowScrollLayerImplementation* layer;
    std::unique_ptr<qvWindowScript> script;

    explicit ScrollView(bool on = true, bool first_redraw = true) {
        layer = new qvViewWindowScrollLayerImplementation(on);
        qvWindowScriptSetup setup;
        setup.custom = qvViewLayer(qvViewBaseLayer(
            static_cast<qvViewBaseLayerObject*>(static_cast<qvViewWindowScrollLayerObject*>(layer))));
        setup.shapes = 80;
        setup.width = 160;
        setup.height = 120;
        setup.first_redraw = first_redraw;
        script = std::make_unique<qvWindowScript>(setup);
    }
    int window_scrolls() const { return script->count("scroll "); }
};

}  // namespace

TEST(qvViewWindowScrollLayerSwitch, Create_turns_it_on_anywhere_the_setter_only_under_the_root) {
    const qvViewWindowScrollLayer made(true);
    EXPECT_TRUE(made->copy_scroll());
    made->copy_scroll(false);
    made->copy_scroll(true);
    EXPECT_FALSE(made->copy_scroll());
    EXPECT_FALSE(qvViewWindowScrollLayer(false)->copy_scroll());

    ScrollView v(false);
    v.layer->copy_scroll(true);
    EXPECT_TRUE(v.layer->copy_scroll());   // directly under the root group
    const qvViewWindowScrollLayer twin(v.layer->clone());
    EXPECT_FALSE(twin->copy_scroll());      // a clone has no parent yet
}

TEST(qvViewWindowScrollLayerSwitch, Switched_off_it_draws_inside_its_clip_and_moves_nothing) {
    ScrollView v(false, false);
    const qvGridRegion clip(Rect(10, 10, 100, 90));
    v.layer->clipping(&clip);
    v.script->redraw_all();
    EXPECT_TRUE(v.script->children_drew() < clip);
    v.script->scroll(qvWindowRoad::manager, 5, 5);
    v.script->redraw();
    EXPECT_EQ(v.window_scrolls(), 0);
    EXPECT_EQ(v.layer->pending_scroll(), (qvCrdOf<double>{0, 0}));
}

TEST(qvViewWindowScrollLayerPending, A_zoom_goes_to_the_children_and_leaves_the_pending_scroll) {
    ScrollView v;
    v.script->scroll(qvWindowRoad::manager, 6, 4);
    EXPECT_EQ(v.layer->pending_scroll(), (qvCrdOf<double>{6, 4}));
    v.layer->apply_left(qvScaling(2, 2));
    EXPECT_EQ(v.layer->pending_scroll(), (qvCrdOf<double>{6, 4}));
}

TEST(qvViewWindowScrollLayerPending, A_scroll_past_the_window_repaints_everything_and_moves_nothing) {
    ScrollView v;
    v.script->scroll(qvWindowRoad::manager, 6, 4);
    v.script->scroll(qvWindowRoad::manager, 200, 0);
    EXPECT_EQ(v.layer->pending_scroll(), (qvCrdOf<double>{0, 0}));
    EXPECT_TRUE(v.layer->redraw_all(true));
    v.script->redraw();
    EXPECT_EQ(v.window_scrolls(), 0);
    EXPECT_TRUE(v.script->fresh());
}

TEST(qvViewWindowScrollLayerRoads, One_scroll_and_two_redraws_move_the_window_once_on_every_road) {
    for (qvWindowRoad road : {qvWindowRoad::renderer, qvWindowRoad::manager, qvWindowRoad::control}) {
        ScrollView v;
        v.script->driver->clear_log();
        v.script->scroll(road, 9, -7);
        EXPECT_EQ(v.script->scene_layer->mapping(), qvRestrictedTransformation(1, 1, 9, -7));
        int moves = v.window_scrolls();
        v.script->redraw();
        moves += v.window_scrolls();
        EXPECT_TRUE(v.script->fresh()) << static_cast<int>(road);
        v.script->redraw();
        moves += v.window_scrolls();
        EXPECT_EQ(moves, 1) << static_cast<int>(road);
        EXPECT_EQ(v.layer->pending_scroll(), (qvCrdOf<double>{0, 0}));
        EXPECT_TRUE(v.script->fresh()) << static_cast<int>(road);
    }
}

// The clip stays in the window only for an independent layer; the picture
// inside it moves.
TEST(qvViewWindowScrollLayerRoads, A_two_rectangle_clip_moves_each_rectangle_once) {
    ScrollView v(true, false);
    qvGridRegion clip(Rect(0, 0, 70, 120));
    clip += Rect(90, 0, 160, 120);
    v.layer->clipping(&clip);
    v.layer->is_independent(true);
    v.script->redraw_all();
    v.script->scroll(qvWindowRoad::manager, 5, 3);
    v.script->redraw();
    const auto& log = v.script->driver->log();
    EXPECT_EQ(v.window_scrolls(), 2);
    EXPECT_NE(std::find(log.begin(), log.end(), "scroll 5 3 (0 0 70 120)"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "scroll 5 3 (90 0 160 120)"), log.end());
    // Only the strips each rectangle uncovered were drawn.
    EXPECT_TRUE(v.script->children_drew() ==
                qvGridOf({Rect(0, 0, 70, 3), Rect(0, 3, 5, 120), Rect(90, 0, 160, 3), Rect(90, 3, 95, 120)}))
        << qvRasterText(v.script->children_drew());
    v.script->settle();
    EXPECT_TRUE(v.script->fresh());
}

TEST(qvViewWindowScrollLayerRoads, A_refused_window_scroll_is_repaired_by_the_next_redraw) {
    ScrollView v;
    v.script->scroll(qvWindowRoad::manager, 8, 8);
    v.script->driver->fail_next(qvRasterOp::scroll, 1);
    v.script->redraw();
    EXPECT_EQ(v.layer->pending_scroll(), (qvCrdOf<double>{0, 0}));
    v.script->redraw();
    EXPECT_TRUE(v.script->fresh());
}

TEST(qvViewWindowScrollLayerRoads, Memory_buffers_are_never_left_behind_the_window) {
    for (unsigned flags : {1u, 2u}) {
        ScrollView v;
        v.script->renderer->backing_store(flags == 1);
        v.script->renderer->double_buffered(flags == 2);
        v.script->redraw_all();
        v.script->scroll(qvWindowRoad::manager, 8, -8);
        EXPECT_EQ(v.layer->pending_scroll(), (qvCrdOf<double>{0, 0}));
        v.script->redraw();
        EXPECT_EQ(v.window_scrolls(), 0);
        EXPECT_TRUE(v.script->fresh()) << flags;
    }
}

TEST(qvViewWindowScrollLayerRoads, Translations_without_finite_numbers_move_no_pixel) {
    ScrollView v;
    EXPECT_THROW(v.layer->apply_left(qvTranslation(std::numeric_limits<double>::quiet_NaN(), 3)), qvError);
    v.layer->apply_left(qvTranslation(2.5, 0));
    EXPECT_EQ(v.layer->pending_scroll(), (qvCrdOf<double>{0, 0}));
}
