// The device renderer on the raster test host: the memory type, the three
// redraw roads, what counts as valid, the window rectangle and its offset,
// scrolls and zooms, invalidation forwarding, failures and bad input.

#include "qvDriverTestDoubles.hpp"
#include "qvEveryKindScene.hpp"
#include "qvFreshRenderCheck.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterVBuf.hpp"
#include "qvRaisedText.hpp"
#include "qvViewTestDoubles.hpp"

#include "views/qvDeviceRendererImplementation.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Rect = qvMathRectOf<double>;
using Log = std::vector<std::string>;

qvRasterSettings window_settings(long w = 100, long h = 80) {
    qvRasterSettings s;
    s.window_width = w;
    s.window_height = h;
    return s;
}

// A 100 x 80 window showing a white background and, at device (0, 0, 20,
// 20), a data layer filled with the every-kind scene's rectangle colour;
// a front test layer logs prepare, render and cleanup.
struct Screen {
    qvEveryKindScene kinds;
    qvISafePtr<qvRasterDriver> driver;
    qvViewManager view = qvViewCreator::create();
    qvTestLayer* front = new qvTestLayer;
    qvViewLayer front_handle{static_cast<qvViewLayerObject*>(front)};
    qvTestDataLayer* data = new qvTestDataLayer;
    qvViewLayer data_handle{static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data))};
    qvDeviceRendererImplementation* object = new qvDeviceRendererImplementation;
    qvDeviceRenderer renderer{static_cast<qvDeviceRendererObject*>(object)};

    explicit Screen(qvRasterSettings const& settings = window_settings()) {
        driver = qvRasterDriver::create(settings);
        qvAttributeInterface& bg = *view->background();
        bg.fill_color(qvRgbColor(1, 1, 1));
        bg.fill_background_color(qvRgbColor(1, 1, 1));
        bg.fill_style(qvFillStyle(2));
        data->palette = &kinds.scene().palette();
        data->attribute = kinds.attribute(qvRectangleKind);
        data->mapping(qvRestrictedTransformation(2, 2, 0, 0));
        const qvGridRegion clip(Rect(0, 0, 10, 10));
        data->clipping(&clip);
        view->add(front_handle, qvOrder(6));
        view->add(data_handle, qvOrder(6));
        // As qvDeviceRendererObject::create does it, keeping the object at hand.
        renderer->driver(qvAsDriverHandle(driver));
        renderer->view_manager(view);
        driver->clear_log();
    }
    qvDeviceRendererImplementation& impl() const { return *object; }
    bool redraw(Rect const& area) const { return renderer->redraw(qvGridRegion(area), false); }
    bool redraw_whole() const { return redraw(Rect(0, 0, 100, 80)); }
    qvRasterVBuf* memory() const { return qvQueryInterface<qvRasterVBuf>(impl().memory_buffer()); }
    // The buffer calls of the log since the last look, draw_shape as "draw".
    Log events() {
        Log out;
        for (std::string const& line : driver->log())
            if (line.rfind("draw_shape", 0) == 0)
                out.push_back("draw");
            else if (line.rfind("new_", 0) == 0 || line.rfind("copy", 0) == 0 || line.rfind("scroll", 0) == 0)
                out.push_back(line);
        driver->clear_log();
        return out;
    }
    // The boxes of the records drawn since the last look.
    Log drawn() {
        Log out;
        for (std::string const& line : driver->log())
            if (line.rfind("draw_shape", 0) == 0)
                out.push_back(line.substr(line.find('(')));
        driver->clear_log();
        return out;
    }
    bool memory_matches_window() const {
        for (long y = 0; y < 80; ++y)
            for (long x = 0; x < 100; ++x)
                if (!(memory()->pixel(x, y) == driver->pixel(x, y)))
                    return false;
        return true;
    }
};

const qvRgbaQuad white(255, 255, 255, 255);

// A layer whose render raises, as a layer meeting a malformed record does.
class RaisingLayer : public qvTestLayer {
public:
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override {
        qvTestLayer::render(vbuf, origin);
        qvRaise(qvError("layer failed"));
    }
};

// A driver whose window buffer never comes.
class NoWindowDriver : public qvStubDriver {};

}  // namespace

// ---------------------------------------------------------------------------
// The memory type and the flags

TEST(qvDeviceRendererUpdate, The_last_type_fit_for_memory_wins_and_a_driver_without_one_clears_both_flags) {
    Screen s;
    qvRasterSettings several = window_settings();
    several.buffer_types = {0, 0x2, 0, 0x2};
    several.added_width = 5;
    s.renderer->driver(qvAsDriverHandle(qvRasterDriver::create(several)));
    EXPECT_EQ(s.impl().memory_type(), 2);
    EXPECT_EQ(s.impl().added_width(), 5.0);

    s.renderer->backing_store(true);
    s.renderer->double_buffered(true);
    s.renderer->render_backing_store(true);
    ASSERT_TRUE(s.redraw_whole());
    ASSERT_NE(s.impl().memory_buffer(), nullptr);

    qvRasterSettings none = window_settings();
    none.buffer_types = {0x2, 0x2};
    s.renderer->driver(qvAsDriverHandle(qvRasterDriver::create(none)));
    EXPECT_EQ(s.impl().memory_type(), -1);   // nothing left over from the first driver
    EXPECT_FALSE(s.renderer->backing_store());
    EXPECT_FALSE(s.renderer->double_buffered());
    EXPECT_TRUE(s.renderer->render_backing_store());
    EXPECT_EQ(s.impl().memory_buffer(), nullptr);
    EXPECT_TRUE(s.impl().valid_area().empty());
}

TEST(qvDeviceRendererUpdate, Clearing_the_last_buffering_flag_releases_the_memory_buffer) {
    Screen s;
    s.renderer->backing_store(true);
    s.renderer->double_buffered(true);
    ASSERT_TRUE(s.redraw_whole());
    s.renderer->backing_store(false);
    EXPECT_NE(s.impl().memory_buffer(), nullptr);
    EXPECT_FALSE(s.impl().valid_area().empty());
    s.renderer->double_buffered(false);
    EXPECT_EQ(s.impl().memory_buffer(), nullptr);
    EXPECT_TRUE(s.impl().valid_area().empty());
}

// ---------------------------------------------------------------------------
// The three roads

TEST(qvDeviceRendererRedraw, Flags_0_render_straight_into_the_window) {
    Screen s;
    EXPECT_TRUE(s.redraw_whole());
    EXPECT_EQ(s.events(), (Log{"new_draw", "draw", "draw"}));
    EXPECT_EQ(s.impl().memory_buffer(), nullptr);
    EXPECT_EQ(s.driver->pixel(50, 50), white);
    EXPECT_NE(s.driver->pixel(5, 5), white);
    EXPECT_EQ(s.front->calls, (Log{"prepare 0", "render", "cleanup"}));
    EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view));
}

TEST(qvDeviceRendererRedraw, Backing_store_draws_the_window_then_copies_it_and_later_only_copies) {
    Screen s;
    s.renderer->backing_store(true);
    EXPECT_TRUE(s.redraw_whole());
    EXPECT_EQ(s.events(), (Log{"new_vbuf 1 100 80", "new_draw", "draw", "draw", "new_draw",
                               "copy (0 0 100 80) (0 0 100 80)"}));
    EXPECT_TRUE(qvSameArea(s.impl().valid_area(), qvGridOf({Rect(0, 0, 100, 80)})));
    EXPECT_TRUE(s.memory_matches_window());

    // The memory copy is valid over the whole window: nothing is rendered.
    EXPECT_TRUE(s.redraw(Rect(10, 10, 30, 30)));
    EXPECT_EQ(s.events(), (Log{"new_draw", "copy (10 10 30 30) (10 10 30 30)"}));

    // An invalid layer area is rendered, the rest copied.
    s.data->invalidate(false);
    EXPECT_TRUE(s.redraw(Rect(0, 0, 40, 40)));
    EXPECT_EQ(s.events(), (Log{"new_draw", "copy (0 0 40 40) (0 0 40 40)", "draw", "draw", "new_draw",
                               "copy (0 0 20 20) (0 0 20 20)"}));
    EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view));
}

TEST(qvDeviceRendererRedraw, Render_backing_store_renders_the_memory_copy_instead_of_copying_it) {
    Screen s;
    s.renderer->backing_store(true);
    s.renderer->render_backing_store(true);
    EXPECT_TRUE(s.redraw_whole());
    EXPECT_EQ(s.events(), (Log{"new_vbuf 1 100 80", "new_draw", "draw", "draw", "new_draw", "draw", "draw"}));
    EXPECT_TRUE(s.memory_matches_window());
    EXPECT_EQ(s.front->calls, (Log{"prepare 0", "render", "cleanup", "prepare 0", "render", "cleanup"}));
}

TEST(qvDeviceRendererRedraw, Double_buffering_renders_into_memory_and_copies_the_whole_redraw_area) {
    Screen s;
    s.renderer->double_buffered(true);
    EXPECT_TRUE(s.redraw(Rect(0, 0, 50, 50)));   // a new manager asks for all of it
    EXPECT_EQ(s.events(), (Log{"new_vbuf 1 100 80", "new_draw", "draw", "draw", "new_draw",
                               "copy (0 0 100 80) (0 0 100 80)"}));
    EXPECT_TRUE(qvSameArea(s.impl().valid_area(), qvGridOf({Rect(0, 0, 100, 80)})));

    // The memory copy is rendered where the manager wants it; the window
    // receives the whole redraw area (one box, clipped to the region).
    s.data->invalidate(false);
    EXPECT_TRUE(s.redraw(Rect(40, 0, 100, 80)));
    EXPECT_EQ(s.events(), (Log{"new_draw", "draw", "draw", "new_draw", "copy (0 0 100 80) (0 0 100 80)"}));
    EXPECT_TRUE(qvSameArea(s.front->clips_seen.back(), qvGridOf({Rect(0, 0, 20, 20)})));
    EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view));
}

TEST(qvDeviceRendererRedraw, The_valid_area_grows_only_by_steps_that_succeeded) {
    Screen s;
    s.renderer->backing_store(true);
    s.driver->fail_next(qvRasterOp::copy, 1);   // the copy into memory
    EXPECT_FALSE(s.redraw_whole());
    EXPECT_TRUE(s.impl().valid_area().empty());
    EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view));

    // A render into the window that fails keeps the copy back from counting.
    s.front->render_answer = false;
    EXPECT_FALSE(s.redraw_whole());
    EXPECT_TRUE(s.impl().valid_area().empty());

    // Double buffering: the memory render counts though the copy out fails.
    s.front->render_answer = true;
    s.renderer->backing_store(false);
    s.renderer->double_buffered(true);
    s.driver->fail_next(qvRasterOp::copy, 1);
    EXPECT_FALSE(s.redraw_whole());
    EXPECT_TRUE(qvSameArea(s.impl().valid_area(), qvGridOf({Rect(0, 0, 100, 80)})));

    // A buffer that gives no draw object has rendered nothing.
    s.data->invalidate(false);
    s.driver->fail_next(qvRasterOp::new_draw, 2);   // made with the render buffer, asked again to draw
    EXPECT_FALSE(s.redraw(Rect(0, 0, 20, 20)));
    EXPECT_TRUE(qvSameArea(s.impl().valid_area(), qvGridOf({Rect(20, 0, 100, 80), Rect(0, 20, 20, 80)})));
}

// ---------------------------------------------------------------------------
// What is redrawn

TEST(qvDeviceRendererRedraw, An_area_outside_the_window_draws_nothing_but_ends_the_cycle) {
    Screen s;
    ASSERT_TRUE(s.redraw_whole());
    s.events();
    s.front->calls.clear();
    EXPECT_FALSE(s.redraw(Rect(200, 200, 300, 300)));
    EXPECT_FALSE(s.redraw(Rect(std::nan(""), 0, 10, 10)));   // dropped, not drawn
    EXPECT_EQ(s.driver->log(), (Log{"open_callback 1", "open_callback 1"}));
    EXPECT_EQ(s.front->calls, (Log{"cleanup", "cleanup"}));
}

TEST(qvDeviceRendererRedraw, The_managers_invalid_area_joins_the_area_and_the_clipping_cuts_it) {
    Screen s;
    ASSERT_TRUE(s.redraw_whole());
    s.events();
    s.data->invalidate(false);
    EXPECT_TRUE(s.renderer->redraw(qvGridRegion(), false));
    EXPECT_EQ(s.events(), (Log{"new_draw", "draw", "draw"}));
    EXPECT_TRUE(qvSameArea(s.front->clips_seen.back(), qvGridOf({Rect(0, 0, 20, 20)})));

    const qvGridRegion clip(Rect(50, 0, 100, 80));
    s.renderer->clipping(&clip);
    EXPECT_FALSE(s.redraw(Rect(0, 0, 40, 40)));
    EXPECT_TRUE(s.redraw_whole());
    EXPECT_TRUE(qvSameArea(s.front->clips_seen.back(), clip));
    s.renderer->clipping(nullptr);
    EXPECT_TRUE(s.renderer->no_clipping());
}

// ---------------------------------------------------------------------------
// Window sizes and failures

TEST(qvDeviceRendererSizes, Empty_windows_release_or_keep_the_memory_buffer_and_a_flat_one_needs_a_new_one) {
    Screen s;
    s.renderer->backing_store(true);
    ASSERT_TRUE(s.redraw_whole());
    s.driver->window().width = 0;
    s.driver->window().height = 10;
    EXPECT_FALSE(s.redraw_whole());   // 100 x 80 is kept for 0 x 10
    EXPECT_NE(s.impl().memory_buffer(), nullptr);

    s.driver->window().height = 0;
    EXPECT_FALSE(s.redraw_whole());
    EXPECT_EQ(s.impl().memory_buffer(), nullptr);
    s.events();

    s.driver->window().height = 10;
    for (int round = 0; round < 2; ++round) {   // raises on every redraw, asks anew each time
        try {
            s.redraw_whole();
            ADD_FAILURE() << "no error";
        } catch (qvErrorFrom<qvDeviceRendererImplementation> const& e) {
            EXPECT_STREQ(static_cast<char const*>(e), "Memory buffer allocation failed");
        }
        EXPECT_EQ(s.events(), Log{"new_vbuf 1 0 10"});
        EXPECT_EQ(s.impl().memory_buffer(), nullptr);
    }
}

TEST(qvDeviceRendererSizes, A_memory_buffer_refused_is_not_kept_and_asked_for_again) {
    for (const qvRasterOp refusal : {qvRasterOp::new_vbuf_null, qvRasterOp::new_vbuf_empty}) {
        Screen s;
        s.renderer->double_buffered(true);
        s.driver->fail_next(refusal, 1);
        EXPECT_THROW(s.redraw_whole(), qvErrorFrom<qvDeviceRendererImplementation>);
        EXPECT_EQ(s.impl().memory_buffer(), nullptr);
        EXPECT_TRUE(s.redraw_whole());
        EXPECT_NE(s.impl().memory_buffer(), nullptr);
        EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view));
    }
}

TEST(qvDeviceRendererFailure, A_raising_layer_leaves_the_cycle_ended_and_the_undrawn_area_invalid) {
    for (const bool buffered : {false, true}) {
        Screen s;
        s.renderer->double_buffered(buffered);
        ASSERT_TRUE(s.redraw_whole());
        auto* raising = new RaisingLayer;
        const qvViewLayer held(static_cast<qvViewLayerObject*>(raising));
        s.view->add(held, qvOrder(5), qvViewLayer(), true);
        s.driver->window().open = false;
        s.driver->take_invalid();
        s.data->invalidate(false);
        EXPECT_THROW(s.redraw(Rect(0, 0, 30, 30)), qvError);
        EXPECT_EQ(raising->calls, (Log{"prepare 0", "render", "cleanup"}));
        EXPECT_TRUE(s.driver->window().open);
        EXPECT_TRUE(qvSameArea(s.driver->take_invalid(), qvGridOf({Rect(0, 0, 30, 30)})));
        qvGridRegion stale(s.impl().valid_area());
        stale *= Rect(0, 0, 20, 20);
        EXPECT_TRUE(stale.empty());
    }
}

TEST(qvDeviceRendererFailure, A_driver_without_a_window_buffer_fails_the_assertion) {
    const qvISafePtr<qvDriverObject> driver(new NoWindowDriver);
    try {
        qvDeviceRenderer renderer(driver);
        ADD_FAILURE() << "no assertion";
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "window_vbuf");
    }
}

// ---------------------------------------------------------------------------
// Window offsets

TEST(qvDeviceRendererOffset, An_offset_window_is_drawn_where_it_stands_buffered_or_not) {
    for (const unsigned flags : {0u, 1u, 2u}) {
        qvRasterSettings settings = window_settings();
        settings.window_offset = qvCrdOf<long>{10, 20};
        settings.buffer_types = {0x2, 0x10};
        Screen s(settings);
        s.data->mapping(qvRestrictedTransformation(2, 2, 10, 20));   // device (10, 20, 30, 40)
        s.renderer->backing_store((flags & 1) != 0);
        s.renderer->double_buffered((flags & 2) != 0);
        EXPECT_TRUE(s.redraw(Rect(0, 0, 110, 100))) << flags;
        EXPECT_FALSE(s.redraw(Rect(0, 0, 10, 100))) << flags;   // left of the window
        EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view)) << flags;
        s.data->invalidate(false);
        EXPECT_TRUE(s.redraw(Rect(15, 25, 40, 40))) << flags;
        EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view)) << flags;
        if (flags != 0) {
            EXPECT_EQ(s.memory()->offset(), (qvCrdOf<double>{10, 20}));
        }
    }
}

TEST(qvDeviceRendererOffset, A_memory_type_without_offsets_makes_an_offset_window_unbuffered) {
    qvRasterSettings settings = window_settings();
    settings.window_offset = qvCrdOf<long>{10, 20};
    Screen s(settings);
    s.renderer->backing_store(true);
    EXPECT_TRUE(s.redraw(Rect(0, 0, 110, 100)));
    EXPECT_EQ(s.events(), (Log{"new_draw", "draw"}));   // the data layer is out of sight
    EXPECT_EQ(s.impl().memory_buffer(), nullptr);
    EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view));
}

// ---------------------------------------------------------------------------
// Scrolls and zooms

TEST(qvDeviceRendererTransformation, Sub_pixel_moves_are_dropped_and_whole_pixels_scroll_window_origin_and_memory) {
    Screen s;
    s.renderer->backing_store(true);
    ASSERT_TRUE(s.redraw_whole());
    s.events();
    const qvRestrictedTransformation before = s.data->mapping();
    s.renderer->apply_left(qvTranslation(0.4, -0.9));
    EXPECT_EQ(s.events(), Log{});
    EXPECT_EQ(s.data->mapping(), before);

    s.renderer->apply_left(qvTranslation(1.7, 0));
    EXPECT_EQ(s.events(), (Log{"scroll 1 0", "scroll 1 0"}));
    EXPECT_EQ(s.renderer->origin(), (qvCrdOf<double>{1, 0}));
    EXPECT_EQ(s.data->mapping(), qvTranslation(1, 0) * before);
    EXPECT_TRUE(qvSameArea(s.impl().valid_area(), qvGridOf({Rect(1, 0, 100, 80)})));
    EXPECT_TRUE(qvSameArea(s.driver->take_invalid(), qvGridOf({Rect(0, 0, 1, 80)})));
    EXPECT_TRUE(s.redraw(Rect(0, 0, 1, 80)));
    EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view, {1, 0}));
    EXPECT_TRUE(s.memory_matches_window());

    // Down by whole pixels: the origin moves on its own axis only.
    s.events();
    s.renderer->apply_left(qvTranslation(0, 2.6));
    EXPECT_EQ(s.events(), (Log{"scroll 0 2", "scroll 0 2"}));
    EXPECT_EQ(s.renderer->origin(), (qvCrdOf<double>{1, 2}));
    EXPECT_EQ(s.data->mapping(), qvTranslation(1, 2) * before);
    EXPECT_TRUE(qvSameArea(s.impl().valid_area(), qvGridOf({Rect(0, 2, 100, 80)})));
    EXPECT_TRUE(qvSameArea(s.driver->take_invalid(), qvGridOf({Rect(0, 0, 100, 2)})));
    EXPECT_TRUE(s.redraw(Rect(0, 0, 100, 2)));
    const Log& drawn = s.driver->log();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "brush_origin 1 2"), drawn.end());
    EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view, {1, 2}));
    EXPECT_TRUE(s.memory_matches_window());
}

TEST(qvDeviceRendererTransformation, Zooms_failed_scrolls_and_huge_moves_invalidate_everything) {
    Screen s;
    s.renderer->backing_store(true);
    ASSERT_TRUE(s.redraw_whole());
    s.driver->take_invalid();
    s.renderer->zoom({0, 0}, 2.0);
    EXPECT_TRUE(s.driver->window().whole);
    EXPECT_TRUE(s.impl().valid_area().empty());
    EXPECT_EQ(s.data->mapping(), qvRestrictedTransformation(4, 4, 0, 0));
    EXPECT_TRUE(s.redraw_whole());
    EXPECT_TRUE(qvFreshRenderCheck(*s.driver, s.view));

    s.driver->take_invalid();
    s.driver->fail_next(qvRasterOp::scroll, 1);   // the window's
    s.renderer->apply_left(qvTranslation(3, 0));
    EXPECT_TRUE(s.driver->window().whole);
    EXPECT_TRUE(qvSameArea(s.impl().valid_area(), qvGridOf({Rect(3, 0, 100, 80)})));

    s.driver->take_invalid();
    s.renderer->apply_left(qvTranslation(1e300, 0));   // beyond every pixel count
    EXPECT_TRUE(s.driver->window().whole);
    EXPECT_TRUE(s.impl().valid_area().empty());
    s.redraw_whole();
    // Without finite numbers it is no move at all: refused, nothing invalid.
    s.driver->take_invalid();
    const qvRestrictedTransformation before = s.data->mapping();
    EXPECT_THROW(s.renderer->apply_left(qvTranslation(std::numeric_limits<double>::infinity(), 0)), qvError);
    EXPECT_THROW(s.renderer->apply_left(qvScaling(std::nan(""), 1)), qvError);
    EXPECT_FALSE(s.driver->window().whole);
    EXPECT_FALSE(s.impl().valid_area().empty());
    EXPECT_EQ(s.data->mapping(), before);
}

// ---------------------------------------------------------------------------
// Invalidation and the manager link

TEST(qvDeviceRendererInvalidation, The_four_forms_reach_the_window_and_without_its_channel_answer_false) {
    Screen s;
    EXPECT_TRUE(s.renderer->invalidate(qvGridOf({Rect(1, 2, 3, 4)})));
    EXPECT_TRUE(s.renderer->invalidate(Rect(5, 6, 7, 8)));
    EXPECT_TRUE(s.renderer->invalidate(qvCrdOf<double>{9, 9}));
    EXPECT_TRUE(s.renderer->invalidate());
    EXPECT_TRUE(s.renderer->callback_ready());
    s.renderer->open_callback(false);
    EXPECT_FALSE(s.renderer->callback_ready());
    EXPECT_EQ(s.driver->log(), (Log{"invalidate region (1 2 3 4)", "invalidate rect (5 6 7 8)",
                                    "invalidate point (9 9 9 9)", "invalidate all", "callback_ready",
                                    "open_callback 0", "callback_ready"}));

    qvRasterSettings mute = window_settings();
    mute.window_invalidate = false;
    Screen m(mute);
    m.renderer->open_callback(true);
    EXPECT_FALSE(m.renderer->invalidate(qvGridOf({Rect(1, 2, 3, 4)})));
    EXPECT_FALSE(m.renderer->invalidate(Rect(5, 6, 7, 8)));
    EXPECT_FALSE(m.renderer->invalidate(qvCrdOf<double>{9, 9}));
    EXPECT_FALSE(m.renderer->invalidate());
    EXPECT_FALSE(m.renderer->callback_ready());
    EXPECT_EQ(m.driver->log(), Log{});
}

TEST(qvDeviceRendererManager, Attaching_a_manager_detaches_the_old_one_and_either_may_go_first) {
    Screen s;
    EXPECT_EQ(s.view->renderer().get(), s.renderer.get());
    const qvViewManager second = qvViewCreator::create();
    s.renderer->view_manager(second);
    EXPECT_FALSE(s.view->renderer());
    EXPECT_EQ(second->renderer().get(), s.renderer.get());
    EXPECT_EQ(s.renderer->view_manager(), second.get());

    // A manager another renderer has taken meanwhile keeps that renderer.
    const qvDeviceRenderer other(qvAsDriverHandle(s.driver), second);
    s.renderer->view_manager(s.view);
    EXPECT_EQ(second->renderer().get(), other.get());

    // The manager holds the renderer weakly, the renderer the manager too.
    {
        qvViewManager gone = qvViewCreator::create();
        s.renderer->view_manager(gone);
    }
    EXPECT_EQ(s.renderer->view_manager(), nullptr);
    EXPECT_FALSE(s.redraw_whole());
    s.renderer->view_manager(s.view);
    s.renderer = qvDeviceRenderer();
    EXPECT_FALSE(s.view->renderer());
    EXPECT_FALSE(s.view->redraw(qvGridOf({Rect(0, 0, 10, 10)}), false));
}

TEST(qvDeviceRendererOffset, Collectors_test_changes_against_the_window_where_it_stands) {
    qvRasterSettings settings = window_settings();
    settings.window_offset = qvCrdOf<long>{10, 20};
    Screen s(settings);
    qvMemoryScene scene;
    const qvViewSceneLayer layer(scene, -1);
    s.view->add(qvViewLayer(layer), qvOrder(5));
    ASSERT_TRUE(s.redraw(Rect(0, 0, 110, 100)));
    s.driver->take_invalid();
    scene.rect_sender().invalidate(Rect(0, 0, 5, 5), -1);   // grown by 2: still left of and above the window
    EXPECT_TRUE(s.driver->take_invalid().empty());
    scene.rect_sender().invalidate(Rect(100, 90, 105, 95), -1);   // beyond (0, 0, 100, 80), inside the window
    EXPECT_TRUE(qvSameArea(s.driver->take_invalid(), qvGridOf({Rect(98, 88, 107, 97)})));
}

TEST(qvDeviceRendererRedraw, A_window_of_minus_one_by_minus_one_clips_nothing) {
    Screen s(window_settings(-1, -1));
    EXPECT_TRUE(s.redraw(Rect(500, 500, 600, 600)));
    EXPECT_TRUE(s.redraw(Rect(500, 500, 600, 600)));
    EXPECT_TRUE(qvSameArea(s.front->clips_seen.back(), qvGridOf({Rect(500, 500, 600, 600)})));
    EXPECT_EQ(s.drawn(), (Log{"(498 498 602 602)", "(498 498 602 602)"}));   // the background's

    // Nor does it cut a layer's invalidation without limits, or past the
    // float range: the background has no window to keep to and fills
    // nothing. Its rectangle used to refuse the area, which ended the redraw.
    const double inf = std::numeric_limits<double>::infinity();
    for (const double far : {inf, 1e300}) {
        s.front->invalidate(Rect(-far, -far, far, far), true);
        EXPECT_EQ(qvRaisedText([&] { s.redraw(Rect(500, 500, 600, 600)); }), "no error") << far;
        EXPECT_EQ(s.drawn(), Log{"(0 0 20 20)"}) << far;   // the data layer's alone
    }
}
