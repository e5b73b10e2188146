// The window-cache layer in a whole view: its modes, the cache's life, the
// valid region across scrolls and zooms, and the failures it recovers from.
// Every redraw is also held against a fresh render.

#include "qvViewTestDoubles.hpp"
#include "qvWindowScript.hpp"

#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/views/qvViewVBuf.hpp>
#include <orvane/views/qvViewWindowCacheLayer.hpp>

#include "views/qvViewWindowCacheLayerImplementation.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

using Rect = qvMathRectOf<double>;

// A cache layer (modes as given) under test in a 160 x 120 window, the
// implementation kept at hand for its probes.
struct CacheView {
    qvViewWindowCacheLayerImplementation* cache;
    std::unique_ptr<qvWindowScript> script;

    explicit CacheView(unsigned modes, std::vector<unsigned> types = {0x2, 0}, bool first_redraw = false) {
        cache = new qvViewWindowCacheLayerImplementation(modes);
        qvWindowScriptSetup setup;
        setup.custom = qvViewLayer(qvViewBaseLayer(
            static_cast<qvViewBaseLayerObject*>(static_cast<qvViewWindowCacheLayerObject*>(cache))));
        setup.shapes = 80;
        setup.width = 160;
        setup.height = 120;
        setup.buffer_types = std::move(types);
        setup.first_redraw = first_redraw;
        script = std::make_unique<qvWindowScript>(setup);
    }
    int count(char const* prefix) const { return script->count(prefix); }
};

}  // namespace

TEST(qvViewWindowCacheLayerModes, Without_a_mode_the_layer_draws_directly_inside_its_clip) {
    CacheView v(0);
    const qvGridRegion clip(Rect(10, 10, 90, 70));
    v.cache->clipping(&clip);
    v.script->redraw_all();
    EXPECT_EQ(v.cache->cache(), nullptr);
    EXPECT_EQ(v.count("new_vbuf"), 0);
    EXPECT_EQ(v.count("copy"), 0);
    EXPECT_TRUE(v.script->children_drew() < clip);
    EXPECT_FALSE(v.script->children_drew().empty());
}

TEST(qvViewWindowCacheLayerModes, Both_modes_draw_into_the_cache_and_copy_the_window_from_it) {
    CacheView v(3);
    EXPECT_TRUE(v.cache->buffered());
    EXPECT_TRUE(v.cache->copy_back());
    v.script->redraw_all();
    ASSERT_NE(v.cache->cache(), nullptr);
    EXPECT_EQ(v.count("new_vbuf 1 160 120"), 1);
    const auto& log = v.script->driver->log();
    EXPECT_NE(std::find(log.begin(), log.end(), "copy (0 0 160 120) (0 0 160 120)"), log.end());
    EXPECT_TRUE(v.cache->valid_region() == Rect(0, 0, 160, 120));
    EXPECT_TRUE(v.script->fresh());

    // Nothing changed: the next full repaint is one copy, no drawing.
    v.script->redraw_all();
    EXPECT_TRUE(v.script->children_drew().empty());
    EXPECT_EQ(v.count("copy"), 1);
}

TEST(qvViewWindowCacheLayerModes, The_second_mode_switched_off_releases_the_cache) {
    CacheView v(3);
    v.script->redraw_all();
    v.cache->copy_back(false);
    EXPECT_NE(v.cache->cache(), nullptr);
    EXPECT_FALSE(v.cache->valid_region().empty());
    v.cache->buffered(false);
    EXPECT_EQ(v.cache->cache(), nullptr);
    EXPECT_TRUE(v.cache->valid_region().empty());
}

TEST(qvViewWindowCacheLayerModes, A_clone_keeps_the_modes_but_not_double_rendering) {
    CacheView v(1);
    v.cache->double_render(true);
    const qvViewWindowCacheLayer twin(v.cache->clone());
    ASSERT_TRUE(twin);
    EXPECT_TRUE(twin->copy_back());
    EXPECT_FALSE(twin->buffered());
    EXPECT_FALSE(twin->double_render());
}

TEST(qvViewWindowCacheLayerModes, A_driver_without_a_memory_type_leaves_both_modes_off) {
    CacheView v(3, {0x2, 0x2});
    EXPECT_FALSE(v.cache->buffered());
    EXPECT_FALSE(v.cache->copy_back());
    EXPECT_EQ(v.cache->buffer_type(), -1);
    v.script->redraw_all();
    EXPECT_EQ(v.count("new_vbuf"), 0);
    EXPECT_TRUE(v.script->fresh());
}

TEST(qvViewWindowCacheLayerModes, Copy_back_reads_the_window_back_unless_it_renders_twice) {
    for (bool twice : {false, true}) {
        CacheView v(1);
        v.cache->double_render(twice);
        v.script->redraw_all();
        // Read back: one copy from the window into the cache; twice: none,
        // and the children draw into two buffers.
        EXPECT_EQ(v.count("copy"), twice ? 0 : 1) << twice;
        EXPECT_TRUE(v.cache->valid_region() == Rect(0, 0, 160, 120)) << twice;
        v.script->redraw_all();
        EXPECT_TRUE(v.script->children_drew().empty()) << twice;
        EXPECT_TRUE(v.script->fresh()) << twice;
    }
}

TEST(qvViewWindowCacheLayerRender, A_child_changed_wholly_or_in_part_between_two_cached_redraws_is_drawn_afresh) {
    for (unsigned modes : {1u, 2u})
        for (bool whole : {false, true}) {
            CacheView v(modes);
            v.script->redraw_all();
            ASSERT_TRUE(v.script->fresh());
            // In part: rectangles move and say where. Wholly: they move
            // while the scene keeps quiet, which it owns up to on resuming
            // as one change of everything.
            if (whole)
                v.script->scene.update_notification(false, false);
            for (int i = 0; i < 6; ++i) v.script->edit();
            if (whole)
                v.script->scene.update_notification(true, false);
            // The host repaints the whole window: what the cache still holds
            // is copied, everything else must come from the children.
            v.script->redraw_all();
            EXPECT_TRUE(v.script->fresh()) << "modes " << modes << (whole ? " whole" : " part");
            EXPECT_FALSE(v.script->children_drew().empty()) << "modes " << modes << (whole ? " whole" : " part");
        }
}

TEST(qvViewWindowCacheLayerRender, A_repaint_outside_the_render_buffers_clip_calls_nothing) {
    CacheView v(3);
    v.script->redraw_all();
    v.script->view->prepare(*std::make_unique<qvGridRegion>(Rect(0, 0, 50, 50)), false);
    qvViewVBuf elsewhere(v.script->renderer->vbuf(), qvGridRegion(Rect(100, 100, 120, 110)), {0, 0});
    v.script->driver->clear_log();
    EXPECT_TRUE(v.cache->render(elsewhere, {0, 0}));
    v.script->view->cleanup();
    EXPECT_TRUE(v.script->driver->log().empty());
}

TEST(qvViewWindowCacheLayerScroll, A_fractional_scroll_moves_cache_and_valid_region_by_whole_units) {
    CacheView v(2);
    v.script->redraw_all();
    v.script->driver->clear_log();
    v.cache->apply_left(qvTranslation(10.6, -3.2));
    const auto& log = v.script->driver->log();
    EXPECT_NE(std::find(log.begin(), log.end(), "scroll 10 -3"), log.end());
    // The valid region moved by (10, -3), less the strips uncovered.
    EXPECT_TRUE(v.cache->valid_region() == Rect(10, 0, 160, 117)) << qvRasterText(v.cache->valid_region());
    EXPECT_EQ(v.cache->cache_origin(), (qvCrdOf<double>{10, -3}));
}

TEST(qvViewWindowCacheLayerScroll, A_zoom_erases_the_valid_region_and_the_next_redraw_fills_the_cache) {
    CacheView v(2);
    v.script->redraw_all();
    v.script->zoom(2);
    EXPECT_TRUE(v.cache->valid_region().empty());
    v.script->redraw();
    EXPECT_TRUE(v.script->children_drew() == Rect(0, 0, 160, 120)) << qvRasterText(v.script->children_drew());
    EXPECT_TRUE(v.cache->valid_region() == Rect(0, 0, 160, 120));
    EXPECT_TRUE(v.script->fresh());

    // A zoom on the model side, unequal on the two axes, likewise.
    v.cache->apply_right(qvScaling(1.25, 0.8));
    EXPECT_TRUE(v.cache->valid_region().empty());
    v.script->redraw_all();
    EXPECT_TRUE(v.script->fresh());
}

TEST(qvViewWindowCacheLayerScroll, Translations_without_finite_numbers_are_refused_and_beyond_int_erase_the_valid_region) {
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e12}) {
        CacheView v(2);
        v.script->redraw_all();
        v.script->driver->clear_log();
        if (bad == 1e12) {
            v.cache->apply_left(qvTranslation(bad, 0));
            EXPECT_TRUE(v.cache->valid_region().empty()) << bad;
        } else {
            EXPECT_THROW(v.cache->apply_left(qvTranslation(bad, 0)), qvError) << bad;
            EXPECT_FALSE(v.cache->valid_region().empty()) << bad;
        }
        EXPECT_EQ(v.count("scroll"), 0) << bad;
    }
}

TEST(qvViewWindowCacheLayerScroll, A_failed_cache_scroll_is_repaired_by_the_next_redraw) {
    CacheView v(2);
    v.script->redraw_all();
    v.script->driver->fail_next(qvRasterOp::scroll, 1);
    v.cache->apply_left(qvTranslation(7, 5));
    EXPECT_TRUE(v.cache->valid_region().empty());
    EXPECT_EQ(v.cache->cache_origin(), (qvCrdOf<double>{0, 0}));
    v.script->redraw();
    EXPECT_TRUE(v.script->children_drew() == Rect(0, 0, 160, 120)) << qvRasterText(v.script->children_drew());
    EXPECT_TRUE(v.script->fresh());
}

TEST(qvViewWindowCacheLayerScroll, Every_road_scrolls_the_cache_and_only_the_renderer_the_window) {
    for (qvWindowRoad road : {qvWindowRoad::renderer, qvWindowRoad::manager, qvWindowRoad::control}) {
        CacheView v(2);
        v.script->redraw_all();
        v.script->driver->clear_log();
        v.script->scroll(road, 12, -8);
        EXPECT_EQ(v.script->scene_layer->mapping(), qvRestrictedTransformation(1, 1, 12, -8));
        // The control moves the layer one axis at a time.
        const int moves = road == qvWindowRoad::control ? v.count("scroll 0 -8") + v.count("scroll 12 0")
                                                        : v.count("scroll 12 -8");
        v.script->redraw();
        // Renderer: the window and the cache; manager: the cache; control:
        // the cache, once per axis. The window moves at the renderer only.
        EXPECT_EQ(moves, road == qvWindowRoad::manager ? 1 : 2) << static_cast<int>(road);
        EXPECT_TRUE(v.script->fresh()) << static_cast<int>(road);
        // The children drew the two strips only; the rest came from the cache.
        EXPECT_TRUE(v.script->children_drew() == qvGridOf({Rect(0, 0, 12, 112), Rect(0, 112, 160, 120)}))
            << qvRasterText(v.script->children_drew());
    }
}

TEST(qvViewWindowCacheLayerBuffers, No_buffer_or_an_empty_one_means_direct_rendering) {
    for (qvRasterOp op : {qvRasterOp::new_vbuf_null, qvRasterOp::new_vbuf_empty}) {
        CacheView v(2);
        v.script->driver->fail_next(op, 1);
        v.script->redraw_all();
        EXPECT_EQ(v.cache->cache(), nullptr);
        EXPECT_TRUE(v.script->fresh());
    }
}

TEST(qvViewWindowCacheLayerBuffers, An_offsettable_cache_covers_the_clip_box_at_its_floored_corner) {
    CacheView v(2, {0x2, 0x10});
    qvGridRegion clip(Rect(20.5, 10.25, 90, 60));
    clip += Rect(40, 60, 70, 100);
    v.cache->clipping(&clip);
    v.script->redraw_all();
    ASSERT_NE(v.cache->cache(), nullptr);
    // Rounded outward: a cache of the truncated extent would miss the box's
    // last column and row.
    EXPECT_EQ(v.cache->cache_rect(), Rect(20, 10, 90, 100));
    EXPECT_TRUE(v.script->fresh());
}

// The window is read back whole, but what a failing child left unfinished
// must not count as cached: the next repaint asks the children again.
TEST(qvViewWindowCacheLayerBuffers, A_window_render_that_fails_part_way_is_not_read_back_as_valid) {
    CacheView v(1);
    auto* failing = new qvTestDataLayer;
    failing->render_answer = false;
    ASSERT_TRUE(v.cache->add(qvViewLayer(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(failing))),
                             qvOrder(6)));
    v.script->redraw_all();
    EXPECT_EQ(v.count("copy"), 1);   // the read-back
    EXPECT_TRUE(v.cache->valid_region().empty()) << qvRasterText(v.cache->valid_region());

    failing->render_answer = true;
    v.script->redraw_all();
    EXPECT_TRUE(v.script->children_drew() == Rect(0, 0, 160, 120)) << qvRasterText(v.script->children_drew());
    EXPECT_TRUE(v.cache->valid_region() == Rect(0, 0, 160, 120));
    EXPECT_TRUE(v.script->fresh());
}
