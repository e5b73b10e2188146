// The multi-buffer layer on the raster test host: buffers made from the
// view's renderer and driver, prepared pictures shown by one copy with no
// child rendering, the image-type substitution and its error, the size
// kept until release_all, out-of-range indices, and its handle.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>
#include <orvane/views/qvViewMultiBufferLayer.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvPaletteTestSupport.hpp"
#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"
#include "views/qvViewMultiBufferLayerImplementation.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Rect = qvMathRectOf<double>;
using Log = std::vector<std::string>;

const qvRgbaQuad multi_red(255, 0, 0, 255);
const qvRgbaQuad multi_white(255, 255, 255, 255);

// A 100 x 80 raster window showing a view whose first registered layer is a
// two-buffer layer holding a scene layer (one red rectangle at `first`)
// and the background (solid white).
struct Shown {
    const Rect first{10, 10, 40, 30};
    const Rect second{50, 40, 90, 70};
    qvISafePtr<qvRasterDriver> driver;
    qvMemoryScene scene;
    qvAttributeProxy style{scene, 0};
    qvRectangle rectangle;
    qvViewManager view = qvViewCreator::create();
    // Kept at hand as made; the handle owns it.
    qvViewMultiBufferLayerImplementation* object = new qvViewMultiBufferLayerImplementation(2);
    qvViewMultiBufferLayer layer{static_cast<qvViewMultiBufferLayerObject*>(object)};
    qvDeviceRenderer renderer;

    explicit Shown(std::vector<int> const& image_types = {1, 2, 3}) {
        qvRasterSettings settings;
        settings.window_width = 100;
        settings.window_height = 80;
        settings.image_types = image_types;
        driver = qvRasterDriver::create(settings);
        style.fill_style(qvFillStyle{2});
        style.fill_color(1.0f, 0.0f, 0.0f);
        style.line_style(qvLineStyle{2});
        style.line_color(1.0f, 0.0f, 0.0f);
        rectangle = qvRectangle(scene, first, &style);
        qvAttributeInterface& paper = *view->background();
        paper.fill_color(qvRgbColor(1, 1, 1));
        paper.fill_background_color(qvRgbColor(1, 1, 1));
        paper.fill_style(qvFillStyle(2));
        view->add(layer, qvOrderFirst);
        view->add(qvViewSceneLayer(scene, -1), qvOrderFirst);
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
    }
    qvViewMultiBufferLayerImplementation& impl() const { return *object; }
    bool redraw_whole() {
        driver->clear_log();
        return renderer->redraw(qvRegion(Rect(0, 0, 100, 80)), false);
    }
    Log events() {
        Log taken = driver->log();
        driver->clear_log();
        return taken;
    }
    long logged(char const* prefix) const {
        return std::count_if(driver->log().begin(), driver->log().end(),
                             [prefix](std::string const& line) { return line.rfind(prefix, 0) == 0; });
    }
    std::vector<qvRgbaQuad> pixels() const {
        std::vector<qvRgbaQuad> all;
        for (long y = 0; y < 80; ++y)
            for (long x = 0; x < 100; ++x)
                all.push_back(driver->pixel(x, y));
        return all;
    }
    qvRgbaQuad at(Rect const& r) const {
        return driver->pixel(static_cast<long>(r.x1) + 5, static_cast<long>(r.y1) + 5);
    }
};

class ThrowingLayer : public qvTestLayer {
public:
    bool render(qvViewVBuf&, qvCrdOf<double> const&) override {
        qvRaise(qvErrorFrom<ThrowingLayer>("child failed"));
    }
};

int multi_count_of(qvRefBase const& counted) {
    const int n = counted.bump() - 1;
    counted.dec();
    return n;
}

}  // namespace

TEST(qvViewMultiBufferLayer, Without_buffers_every_index_is_out_of_range_and_none_selected_reads_dirty) {
    const qvViewMultiBufferLayer none(qvViewMultiBufferLayerObject::create(0));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->buffer_count(), 0);
    EXPECT_TRUE(none->select(-1));
    EXPECT_FALSE(none->select(0));
    EXPECT_FALSE(none->render_into(0));
    EXPECT_TRUE(none->dirty(0));
    EXPECT_FALSE(none->allocated(0));
    EXPECT_EQ(none->mark_all_dirty(), 0);
    EXPECT_EQ(none->release_all(), -1);

    Shown s;
    EXPECT_EQ(s.layer->selected(), -1);
    EXPECT_TRUE(s.layer->selected_dirty());
    EXPECT_FALSE(s.layer->selected_allocated());
    s.layer->mark_selected_dirty();
    s.layer->release_selected();
    for (const int bad : {2, -2, 1 << 30}) {
        EXPECT_FALSE(s.layer->select(bad));
        EXPECT_FALSE(s.layer->render_into(bad));
        EXPECT_TRUE(s.layer->dirty(bad));
        s.layer->mark_dirty(bad);
        s.layer->release(bad);
    }
    EXPECT_EQ(s.layer->selected(), -1);
    EXPECT_EQ(s.impl().buffer_width(), -1);
    EXPECT_EQ(s.logged("new_bitmap_vbuf"), 0);

    // Image types outside 1 to 3 store 3 and answer the argument.
    EXPECT_EQ(s.layer->image_type(7), 7);
    EXPECT_EQ(s.impl().stored_image_type(), 3);
    EXPECT_EQ(s.layer->image_type(1), 1);
    EXPECT_EQ(s.impl().stored_image_type(), 1);
}

TEST(qvViewMultiBufferLayer, A_selected_buffer_never_rendered_leaves_the_window_untouched) {
    Shown s;
    ASSERT_TRUE(s.redraw_whole());
    const std::vector<qvRgbaQuad> before = s.pixels();
    ASSERT_TRUE(s.layer->select(1));
    s.rectangle->rectangle(s.second);
    EXPECT_TRUE(s.redraw_whole());
    EXPECT_EQ(s.logged("draw_shape"), 0);
    EXPECT_EQ(s.logged("copy"), 0);
    EXPECT_TRUE(s.pixels() == before);
}

TEST(qvViewMultiBufferLayer, Prepared_pictures_are_shown_by_one_copy_with_no_child_rendering) {
    Shown s;
    s.events();
    ASSERT_TRUE(s.layer->render_into(0));
    EXPECT_EQ(s.events().front(), "new_bitmap_vbuf 3 100 80");
    s.rectangle->rectangle(s.second);
    ASSERT_TRUE(s.layer->render_into(1));
    EXPECT_FALSE(s.layer->dirty(0));
    EXPECT_FALSE(s.layer->dirty(1));
    EXPECT_EQ(s.impl().buffer_width(), 100);
    EXPECT_EQ(s.impl().buffer_height(), 80);

    for (const int shown : {0, 1, 0}) {
        ASSERT_TRUE(s.layer->select(shown));
        EXPECT_TRUE(s.redraw_whole());
        EXPECT_EQ(s.logged("draw_shape"), 0);
        EXPECT_EQ(s.logged("copy"), 1);
        EXPECT_NE(std::find(s.driver->log().begin(), s.driver->log().end(), "copy (0 0 100 80) (0 0 100 80)"),
                  s.driver->log().end());
        EXPECT_EQ(s.at(s.first), shown == 0 ? multi_red : multi_white);
        EXPECT_EQ(s.at(s.second), shown == 1 ? multi_red : multi_white);
    }

    // A partial redraw copies only what it repairs, and the layers behind
    // are left nothing to do.
    EXPECT_TRUE(s.renderer->redraw(qvRegion(Rect(20, 10, 30, 20)), false));
    EXPECT_EQ(s.logged("copy (20 10 30 20) (20 10 30 20)"), 1);
    qvGridRegion rest(Rect(0, 0, 100, 80));
    s.impl().prepare(rest, false);
    EXPECT_TRUE(rest.empty());
    s.impl().cleanup();

    s.layer->mark_selected_dirty();
    EXPECT_TRUE(s.layer->selected_dirty());
    EXPECT_TRUE(s.layer->selected_allocated());
    EXPECT_EQ(s.layer->mark_all_dirty(), 2);
    s.layer->release_selected();
    EXPECT_FALSE(s.layer->allocated(0));
    EXPECT_TRUE(s.layer->allocated(1));
}

TEST(qvViewMultiBufferLayer, An_unsupported_image_type_is_substituted_once_and_unchecked) {
    {
        Shown s({2});
        s.layer->image_type(1);
        EXPECT_TRUE(s.layer->render_into(0));
        EXPECT_EQ(s.impl().stored_image_type(), 2);
        EXPECT_EQ(s.logged("new_bitmap_vbuf 2 100 80"), 1);
    }
    {
        Shown s({3});
        s.layer->image_type(1);
        palette_test::expect_raises<qvErrorFrom<qvViewMultiBufferLayerImplementation>>(
            [&s] { s.layer->render_into(0); }, "The requested bitmap image type is not supported by driver");
        EXPECT_EQ(s.impl().stored_image_type(), 2);
        EXPECT_EQ(s.logged("new_bitmap_vbuf 2 100 80"), 1);
        EXPECT_FALSE(s.layer->allocated(0));
        EXPECT_FALSE(s.impl().rendering_into_buffer());
    }
    {
        Shown s({1});
        s.layer->image_type(2);
        EXPECT_THROW(s.layer->render_into(1), qvErrorFrom<qvViewMultiBufferLayerImplementation>);
        EXPECT_EQ(s.impl().stored_image_type(), 3);
    }
}

TEST(qvViewMultiBufferLayer, The_buffer_size_is_kept_until_release_all) {
    Shown s;
    ASSERT_TRUE(s.layer->render_into(0));
    s.driver->window().width = 60;
    s.driver->window().height = 50;
    s.events();
    ASSERT_TRUE(s.layer->render_into(1));
    EXPECT_EQ(s.logged("new_bitmap_vbuf 3 100 80"), 1);
    EXPECT_EQ(s.layer->release_all(), -1);
    EXPECT_FALSE(s.layer->allocated(0));
    EXPECT_TRUE(s.layer->dirty(1));
    EXPECT_EQ(s.impl().buffer_width(), -1);
    s.events();
    ASSERT_TRUE(s.layer->render_into(1));
    EXPECT_EQ(s.logged("new_bitmap_vbuf 3 60 50"), 1);

    // A window of no size makes no buffer, and leaves the size unknown.
    s.layer->release_all();
    s.driver->window().width = 0;
    EXPECT_FALSE(s.layer->render_into(0));
    EXPECT_EQ(s.impl().buffer_width(), -1);
    EXPECT_EQ(s.impl().buffer_height(), -1);
}

TEST(qvViewMultiBufferLayer, Without_bitmap_buffers_renderer_or_view_no_buffer_is_made) {
    Shown no_bitmaps(std::vector<int>{});
    EXPECT_FALSE(no_bitmaps.layer->render_into(0));
    EXPECT_FALSE(no_bitmaps.layer->allocated(0));

    Shown no_renderer;
    no_renderer.renderer = qvDeviceRenderer();
    EXPECT_FALSE(no_renderer.layer->render_into(0));

    const qvViewMultiBufferLayer alone(3);
    EXPECT_FALSE(alone->render_into(0));
    EXPECT_TRUE(alone->dirty(0));
}

TEST(qvViewMultiBufferLayer, A_child_that_raises_leaves_the_buffer_dirty_and_the_layer_out_of_its_pass) {
    Shown s;
    const qvViewLayer thrower(static_cast<qvViewLayerObject*>(new ThrowingLayer));
    s.view->add(thrower, qvOrderFirst);
    EXPECT_THROW(s.layer->render_into(0), qvErrorFrom<ThrowingLayer>);
    EXPECT_FALSE(s.impl().rendering_into_buffer());
    EXPECT_TRUE(s.layer->allocated(0));
    EXPECT_TRUE(s.layer->dirty(0));
    // The layer still draws its children afterwards.
    s.view->remove(thrower, false);
    EXPECT_TRUE(s.redraw_whole());
    EXPECT_EQ(s.at(s.first), multi_red);
}

TEST(qvViewMultiBufferLayerHandle, Converts_there_and_back_on_one_counter_and_zero_makes_none) {
    EXPECT_FALSE(qvViewMultiBufferLayer(0));
    EXPECT_FALSE(qvViewMultiBufferLayer());
    const qvViewMultiBufferLayer layer(4);
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->buffer_count(), 4);
    {
        const qvViewActiveLayer active = layer;
        const qvViewMultiBufferLayer back(active);
        const qvViewLayer plain = layer;
        const qvViewBaseLayer base = layer;
        EXPECT_EQ(back.counter(), layer.counter());
        EXPECT_EQ(qvViewMultiBufferLayer(plain).get(), layer.get());
        EXPECT_EQ(qvViewMultiBufferLayer(base).get(), layer.get());
        EXPECT_EQ(multi_count_of(*layer.get()), 5);
    }
    EXPECT_EQ(multi_count_of(*layer.get()), 1);
    const qvViewGroupLayer group(true);
    EXPECT_FALSE(qvViewMultiBufferLayer(qvViewActiveLayer(group)));
    EXPECT_EQ(multi_count_of(*group.get()), 1);
}

TEST(qvViewMultiBufferLayerHandle, A_clone_has_as_many_empty_buffers_and_no_selection) {
    Shown s;
    ASSERT_TRUE(s.layer->render_into(1));
    ASSERT_TRUE(s.layer->select(1));
    s.layer->image_type(1);
    s.layer->flags(s.layer->flags() | 0x04);
    const qvViewMultiBufferLayer twin(s.layer->clone());
    ASSERT_TRUE(twin);
    EXPECT_NE(twin.counter(), s.layer.counter());
    EXPECT_EQ(twin->buffer_count(), 2);
    EXPECT_EQ(twin->selected(), -1);
    EXPECT_FALSE(twin->allocated(1));
    EXPECT_EQ(twin->flags(), s.layer->flags());
}
