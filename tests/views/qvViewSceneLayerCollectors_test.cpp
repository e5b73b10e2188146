// The scene layer's collectors over a memory scene, in a view whose
// recording renderer reports a raster test host driver and a window size:
// rectangles into device areas, the notify-once rule, attribute changes and
// the driver's cache, and scenes, palettes and renderers that go first.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/views/qvViewCreator.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using Rect = qvMathRectOf<double>;

qvViewLayer scene_layer_handle(qvTestSceneLayer* layer) {
    return qvViewLayer(static_cast<qvViewLayerObject*>(static_cast<qvViewSceneLayerObject*>(layer)));
}

struct CollectorView {
    std::unique_ptr<qvMemoryScene> scene = std::make_unique<qvMemoryScene>(4);
    qvISafePtr<qvRasterDriver> driver;
    qvViewManager manager = qvViewCreator::create();
    qvRecordingRenderer* renderer = new qvRecordingRenderer;
    qvBaseRenderer renderer_handle{static_cast<qvBaseRendererObject*>(renderer)};
    qvTestSceneLayer* layer;
    qvViewLayer handle;

    explicit CollectorView(long added_width = 0, int scene_layer = -1) {
        qvRasterSettings settings;
        settings.added_width = added_width;
        settings.attribute_cache = true;
        driver = qvRasterDriver::create(settings);
        renderer->driver(qvAsDriverHandle(driver));
        renderer->window_width = 100;
        renderer->window_height = 80;
        manager->renderer(renderer_handle);
        layer = new qvTestSceneLayer(scene.get(), scene_layer);
        handle = scene_layer_handle(layer);
        EXPECT_TRUE(manager->add(handle, qvOrder(6)));
        settle();
    }
    // The end of a redraw: everything valid, the collectors re-armed.
    void settle() {
        manager->cleanup();
        renderer->log.clear();
        renderer->areas.clear();
        driver->clear_log();
    }
    void change(Rect const& rect, int scene_layer = -1) { scene->rect_sender().invalidate(rect, scene_layer); }
    bool waits(Rect const& rect) const { return qvGridRegion(layer->local_redraw_area()) == qvGridRegion(rect); }
    bool clean() const { return !layer->local_redraw_all() && layer->local_redraw_area().empty(); }
};

}  // namespace

// ---------------------------------------------------------------------------
// Rectangles

TEST(qvViewRectCollector, A_change_is_mapped_grown_by_the_added_width_and_rounded_outward) {
    for (long width : {0L, 2L}) {
        CollectorView v(width);
        v.layer->mapping(qvRestrictedTransformation(2, 2, 0, 0));
        v.settle();
        v.change(Rect(5.1, 2.85, 10.05, 4.5));   // (10.2, 5.7)-(20.1, 9.0) in the window
        EXPECT_TRUE(width == 0 ? v.waits(Rect(10, 5, 21, 9)) : v.waits(Rect(8, 3, 23, 11))) << width;
        EXPECT_EQ(v.renderer->log.size(), 1u);
    }
}

TEST(qvViewRectCollector, Images_wholly_outside_a_sized_window_are_dropped) {
    CollectorView v(2);
    v.change(Rect(-10, 10, -2, 20));   // grown x2 = 0 touches the window only
    EXPECT_TRUE(v.clean());
    v.change(Rect(-10, 10, -1.5, 20));
    EXPECT_TRUE(v.waits(Rect(-12, 8, 1, 22)));   // kept whole, not clipped

    // A window of width 0 is not tested.
    v.settle();
    v.renderer->window_width = 0;
    v.change(Rect(-10, 10, -2, 20));
    EXPECT_TRUE(v.waits(Rect(-12, 8, 0, 22)));

    // Nor is one whose renderer is gone.
    v.settle();
    v.renderer_handle = qvBaseRenderer();
    v.change(Rect(-50, -50, -40, -40));
    EXPECT_TRUE(v.waits(Rect(-52, -52, -38, -38)));
}

// The collector keeps the window buffer's offset interface between events;
// these pin that what it keeps never hides a change of the window.
TEST(qvViewRectCollector, A_window_buffer_handed_over_without_notice_is_tested_where_it_stands) {
    CollectorView v;
    qvRasterSettings near;
    near.window_offset = qvCrdOf<long>{10, 20};   // window (10, 20, 110, 100)
    qvISafePtr<qvRasterDriver> near_driver = qvRasterDriver::create(near);
    v.renderer->vbuf(near_driver->new_master_vbuf());
    v.change(Rect(0, 0, 5, 5));
    EXPECT_TRUE(v.clean());
    v.change(Rect(105, 95, 108, 98));   // beyond (0, 0, 100, 80), inside the window
    EXPECT_TRUE(v.waits(Rect(105, 95, 108, 98)));

    // The old buffer dies as the renderer takes another: the new one's
    // place counts, and nothing of the old one is read.
    v.settle();
    qvRasterSettings far;
    far.window_offset = qvCrdOf<long>{-50, -40};   // window (-50, -40, 50, 40)
    qvISafePtr<qvRasterDriver> far_driver = qvRasterDriver::create(far);
    v.renderer->vbuf(far_driver->new_master_vbuf());
    near_driver = qvISafePtr<qvRasterDriver>();
    v.change(Rect(105, 95, 108, 98));
    EXPECT_TRUE(v.clean());
    v.change(Rect(-45, -35, -44, -34));
    EXPECT_TRUE(v.waits(Rect(-45, -35, -44, -34)));

    // A buffer without an offset stands at (0, 0).
    v.settle();
    v.renderer->vbuf(v.driver->new_master_vbuf());
    v.change(Rect(-45, -35, -44, -34));
    EXPECT_TRUE(v.clean());
    v.change(Rect(95, 75, 96, 76));
    EXPECT_TRUE(v.waits(Rect(95, 75, 96, 76)));
}

TEST(qvViewRectCollector, A_window_moved_or_resized_between_two_events_is_seen_by_the_second) {
    CollectorView v;
    qvRasterSettings settings;
    settings.window_offset = qvCrdOf<long>{0, 0};
    const qvISafePtr<qvRasterDriver> host = qvRasterDriver::create(settings);
    v.renderer->vbuf(host->new_master_vbuf());
    v.change(Rect(150, 10, 160, 20));
    EXPECT_TRUE(v.clean());
    host->window().offset = qvCrdOf<long>{100, 0};   // the same buffer, moved
    v.change(Rect(150, 10, 160, 20));
    EXPECT_TRUE(v.waits(Rect(150, 10, 160, 20)));

    v.settle();
    v.change(Rect(150, 85, 160, 90));
    EXPECT_TRUE(v.clean());
    v.renderer->window_height = 100;   // the renderer's size, not the buffer's, counts
    v.change(Rect(150, 85, 160, 90));
    EXPECT_TRUE(v.waits(Rect(150, 85, 160, 90)));
}

TEST(qvViewRectCollector, Malformed_rectangles_are_ignored) {
    CollectorView v;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    v.change(Rect(nan, 0, 10, 10));
    v.change(Rect(0, 0, inf, 10));
    v.change(Rect(0, -inf, 10, 10));
    Rect inverted(0, 0, 10, 10);
    inverted.x1 = 20;   // past the ordering setter
    v.change(inverted);
    EXPECT_TRUE(v.clean());
    EXPECT_TRUE(v.renderer->log.empty());

    v.change(Rect(4, 4, 4, 4));   // zero width and height still count
    EXPECT_FALSE(v.clean());
}

TEST(qvViewRectCollector, A_layer_hears_its_own_scene_layer_and_minus_one) {
    CollectorView v(0, 3);
    auto* all = new qvTestSceneLayer(v.scene.get(), -1);
    auto* other = new qvTestSceneLayer(v.scene.get(), 2);
    ASSERT_TRUE(v.manager->add(scene_layer_handle(all), qvOrder(6)));
    ASSERT_TRUE(v.manager->add(scene_layer_handle(other), qvOrder(6)));
    v.settle();
    v.change(Rect(1, 1, 2, 2), 3);
    EXPECT_FALSE(v.clean());
    EXPECT_FALSE(all->local_redraw_area().empty());
    EXPECT_TRUE(other->local_redraw_area().empty());
    v.settle();
    v.change(Rect(1, 1, 2, 2), -1);
    EXPECT_FALSE(v.clean());
    EXPECT_FALSE(all->local_redraw_area().empty());
    EXPECT_FALSE(other->local_redraw_area().empty());
}

TEST(qvViewRectCollector, Only_the_first_change_of_a_redraw_notifies_until_cleanup_rearms) {
    CollectorView v;
    v.change(Rect(1, 1, 2, 2));
    v.change(Rect(5, 5, 6, 6));
    v.scene->rect_sender().invalidate();
    EXPECT_EQ(v.renderer->log.size(), 1u);
    EXPECT_TRUE(v.layer->local_redraw_all());
    v.settle();
    v.change(Rect(5, 5, 6, 6));
    EXPECT_EQ(v.renderer->log.size(), 1u);

    // A notification that did not arrive is tried again with the next.
    v.settle();
    v.renderer->ready = false;
    v.change(Rect(1, 1, 2, 2));
    v.renderer->ready = true;
    v.change(Rect(5, 5, 6, 6));
    EXPECT_EQ(v.renderer->log.size(), 1u);
}

TEST(qvViewRectCollector, A_destroyed_scene_leaves_its_layers_with_no_scene_and_layer_minus_one) {
    CollectorView v(0, 3);
    auto* unviewed = new qvTestSceneLayer(v.scene.get(), 2);
    const qvViewLayer unviewed_handle = scene_layer_handle(unviewed);
    v.change(Rect(1, 1, 2, 2), -1);
    EXPECT_TRUE(unviewed->local_redraw_area().empty());   // an unviewed layer collects nothing
    EXPECT_TRUE(unviewed->attributes.empty());
    v.scene.reset();
    for (qvTestSceneLayer* layer : {v.layer, unviewed}) {
        EXPECT_EQ(layer->scene_pointer(), nullptr);
        EXPECT_EQ(layer->layer(), -1);
        EXPECT_EQ(layer->rects.scene(), nullptr);
        EXPECT_TRUE(layer->rects.empty());
        EXPECT_TRUE(layer->attributes.empty());
    }
    v.layer->reinitialize();   // reconnecting finds no scene
    EXPECT_TRUE(v.layer->rects.empty());
}

// ---------------------------------------------------------------------------
// Attributes

TEST(qvViewAttrCollector, A_non_shared_change_only_drops_the_attribute_and_a_shared_one_invalidates) {
    CollectorView v;
    qvPalette& palette = v.scene->palette();
    ASSERT_EQ(v.layer->attributes.palette(), &palette);
    palette.publisher().invalidate(7L, 0);
    EXPECT_TRUE(v.clean());
    EXPECT_EQ(v.driver->log(), std::vector<std::string>{"drop 7"});
    palette.publisher().invalidate(7L, 1);
    EXPECT_TRUE(v.layer->local_redraw_all());
    EXPECT_EQ(v.renderer->log.size(), 1u);
}

TEST(qvViewAttrCollector, A_change_of_everything_invalidates_drops_the_palette_and_mutes_until_cleanup) {
    CollectorView v;
    qvPalette& palette = v.scene->palette();
    palette.publisher().invalidate();
    EXPECT_TRUE(v.layer->local_redraw_all());
    EXPECT_EQ(v.driver->log(), std::vector<std::string>{"drop_all"});
    v.driver->clear_log();
    palette.publisher().invalidate(7L, 1);
    EXPECT_TRUE(v.driver->log().empty());
    v.settle();
    palette.publisher().invalidate(7L, 0);
    EXPECT_EQ(v.driver->log(), std::vector<std::string>{"drop 7"});
}

TEST(qvViewAttrCollector, Moving_to_another_view_drops_the_palette_from_the_old_cache) {
    CollectorView v, w;
    ASSERT_TRUE(w.manager->add(v.handle, qvOrder(6)));
    EXPECT_EQ(v.driver->log(), std::vector<std::string>{"drop_all"});
    // Now listening for the new view's driver.
    v.scene->palette().publisher().invalidate(3L, 0);
    EXPECT_EQ(w.driver->log(), std::vector<std::string>{"drop 3"});
    EXPECT_EQ(v.driver->log(), std::vector<std::string>{"drop_all"});
}
