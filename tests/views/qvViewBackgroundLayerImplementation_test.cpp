// The background layer: the brush rule, its palettes (own and an
// application's), what it draws and where, and its collector.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include "views/qvViewBackgroundLayerImplementation.hpp"
#include "views/qvViewManagerImplementation.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardCookie.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvViewBackgroundLayer.hpp>
#include <orvane/views/qvViewCreator.hpp>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Rect = qvMathRectOf<double>;

const qvRgbaQuad bg_white(255, 255, 255, 255);
const qvRgbaQuad bg_magenta(255, 0, 255, 255);

// A fill the raster host paints: style 0 (the default background's) is an
// empty brush, which the host leaves unpainted.
void solid(qvAttributeInterface& fill, qvRgbColor const& color) {
    fill.fill_color(color);
    fill.fill_background_color(color);
    fill.fill_style(qvFillStyle(2));
}

// A manager drawn by a recording renderer over a raster window.
struct BgView {
    qvISafePtr<qvRasterDriver> driver;
    qvISafePtr<qvVBufObject> window;
    qvViewManagerImplementation* manager = new qvViewManagerImplementation;
    qvViewManager handle{static_cast<qvViewManagerObject*>(manager)};
    qvRecordingRenderer* renderer = new qvRecordingRenderer;
    qvBaseRenderer renderer_handle{static_cast<qvBaseRendererObject*>(renderer)};

    explicit BgView(long added_width = 2) {
        qvRasterSettings settings;
        settings.window_width = 60;
        settings.window_height = 40;
        settings.added_width = added_width;
        settings.attribute_cache = true;
        driver = qvRasterDriver::create(settings);
        window = driver->new_master_vbuf();
        renderer->driver(qvAsDriverHandle(driver));
        renderer->window_width = 60;
        renderer->window_height = 40;
        manager->renderer(renderer_handle);
        solid(bg(), qvRgbColor(1, 1, 1));
    }
    qvViewBackgroundLayerObject& bg() const { return *manager->background(); }
    // One redraw of `area` as a renderer runs it.
    void redraw(Rect const& area, Rect const& buffer_clip = Rect(0, 0, 60, 40)) {
        qvGridRegion region(area);
        manager->prepare(region, false);
        qvViewVBuf vbuf(window, qvGridRegion(buffer_clip), {0, 0});
        manager->render(vbuf, {0, 0});
        EXPECT_THROW(vbuf.pop(), qvAssertionError);   // the clip stack is as it was
        manager->cleanup();
    }
    std::vector<std::string> draws() const {
        std::vector<std::string> out;
        for (std::string const& line : driver->log())
            if (line.rfind("draw_shape", 0) == 0)
                out.push_back(line);
        return out;
    }
};

// A brush cookie with the given flags and fill style, put where the layer
// will find it.
void script_brush(qvPalette& palette, long handle, bool empty, bool no_color, bool no_bg_color, int style) {
    auto* cookie = new qvStandardBrushCookie;
    cookie->empty = empty;
    cookie->no_color = no_color;
    cookie->no_bg_color = no_bg_color;
    cookie->fill_style = qvFillStyle(style);
    palette.replace_cookie(qvCookieHandle(handle, qvStandardBrushCookie::kind), qvSafePtr<qvCookie>(cookie));
}

// An application palette with two named, shared fills.
struct AppPalette {
    std::unique_ptr<qvStandardPalette> palette = std::make_unique<qvStandardPalette>();
    qvSharedAttributeProxy paper, ink;
    AppPalette() {
        paper.attr_source(palette.get());
        paper.fill_color(qvRgbColor(1, 1, 1));
        paper.attribute_name("paper");
        ink.attr_source(palette.get());
        ink.fill_color(qvRgbColor(0, 0, 0));
        ink.attribute_name("ink");
    }
    ~AppPalette() {
        if (palette)
            release();
    }
    void release() {
        paper.disconnect_attribute();
        ink.disconnect_attribute();
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// The fill and the brush rule

TEST(qvViewBackgroundLayerFill, An_own_palette_layer_is_transparent_until_prepared_then_follows_its_fill) {
    qvViewBackgroundLayer layer(true);
    ASSERT_TRUE(layer);
    EXPECT_FALSE(layer->has_background());
    EXPECT_NE(layer->background_palette(), nullptr);
    EXPECT_NE(layer->background_attribute(), 0);
    qvGridRegion region(Rect(0, 0, 10, 10));
    layer->prepare(region, false);
    EXPECT_TRUE(layer->has_background());
    EXPECT_TRUE(region.empty());   // opaque: nothing is left for layers behind

    EXPECT_FALSE(qvViewBackgroundLayer(false));

    // The background follows no model mapping.
    layer->mapping(qvRestrictedTransformation(2, 2, 1, 1));
    layer->apply_left(qvScaling(3, 3));
    layer->apply_right(qvTranslation(4, 4));
    EXPECT_EQ(layer->mapping(), qvRestrictedTransformation::identity());
}

TEST(qvViewBackgroundLayerFill, The_brush_rule_reads_the_three_flags_and_fill_style_8) {
    struct Case {
        bool empty, no_color, no_bg_color;
        int style;
        bool opaque;
    };
    const Case cases[] = {
        {true, false, true, 0, true},   {true, true, false, 8, false},  {false, false, false, 0, true},
        {false, true, false, 0, false}, {false, false, true, 0, false}, {false, true, true, 8, true},
        {false, true, true, 1, false},
    };
    qvViewBackgroundLayer layer(true);
    for (Case const& c : cases) {
        script_brush(*layer->background_palette(), layer->background_attribute(), c.empty, c.no_color,
                     c.no_bg_color, c.style);
        qvGridRegion region(Rect(0, 0, 1, 1));
        layer->prepare(region, false);
        EXPECT_EQ(layer->has_background(), c.opaque)
            << c.empty << c.no_color << c.no_bg_color << " style " << c.style;
    }
}

// ---------------------------------------------------------------------------
// Drawing

TEST(qvViewBackgroundLayerRender, The_fill_reaches_the_added_width_beyond_the_area_and_bakes_once) {
    BgView v;
    // Attached again to its own manager, the layer keeps the added width.
    qvRasterSettings wider;
    wider.added_width = 5;
    v.renderer->driver(qvAsDriverHandle(qvRasterDriver::create(wider)));
    v.bg().view(v.handle);
    v.redraw(Rect(10, 10, 20, 15));
    EXPECT_EQ(v.draws(), std::vector<std::string>{"draw_shape -1 " + std::to_string(v.bg().background_attribute()) +
                                                  " (8 8 22 17)"});
    EXPECT_EQ(v.driver->pixel(19, 14), bg_white);
    EXPECT_EQ(v.driver->pixel(20, 10), bg_magenta);   // the clip holds the fill to the area

    qvPalette& palette = *v.bg().background_palette();
    const qvCookieHandle key(v.bg().background_attribute(), qvStandardBrushCookie::kind);
    qvCookie* const baked = palette.cookie(key);
    for (int k = 0; k < 10; ++k)
        v.redraw(Rect(0, 0, 60, 40));
    EXPECT_EQ(palette.cookie(key), baked);
}

TEST(qvViewBackgroundLayerRender, An_area_outside_the_buffer_clip_or_attribute_0_draws_nothing) {
    BgView v;
    v.redraw(Rect(10, 10, 20, 15), Rect(30, 30, 40, 40));
    EXPECT_TRUE(v.draws().empty());
    v.bg().attr_handle(0);
    v.redraw(Rect(0, 0, 60, 40));
    EXPECT_FALSE(v.bg().has_background());
    EXPECT_TRUE(v.draws().empty());
}

TEST(qvViewBackgroundLayerRender, What_another_layer_invalidated_is_repainted) {
    BgView v;
    auto* data = new qvTestDataLayer;
    const qvViewLayer data_handle(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data)));
    ASSERT_TRUE(v.manager->add(data_handle, qvOrder(6), qvViewLayer(), true));
    v.manager->cleanup();
    EXPECT_TRUE(data->invalidate(Rect(5, 5, 15, 10), true));   // something moved in the data layer
    const qvGridRegion waiting(v.manager->redraw_area(true));
    EXPECT_TRUE(waiting == qvGridRegion(Rect(5, 5, 15, 10)));
    v.redraw(waiting.bbox());
    EXPECT_EQ(v.driver->pixel(5, 5), bg_white);
    EXPECT_EQ(v.driver->pixel(15, 5), bg_magenta);
}

TEST(qvViewBackgroundLayerRender, A_copy_of_a_manager_redraws_the_original_pixels) {
    BgView original;
    solid(original.bg(), qvRgbColor(0, 0, 1));
    original.redraw(Rect(0, 0, 60, 40));
    ASSERT_EQ(original.driver->pixel(30, 20), qvRgbaQuad(0, 0, 255, 255));

    BgView copy_view;
    const qvViewManager copy = qvViewCreator::create(original.handle);
    copy->renderer(copy_view.renderer_handle);
    qvGridRegion region(Rect(0, 0, 60, 40));
    copy->prepare(region, false);
    qvViewVBuf vbuf(copy_view.window, qvGridRegion(Rect(0, 0, 60, 40)), {0, 0});
    copy->render(vbuf, {0, 0});
    for (long y = 0; y < 40; y += 13)
        for (long x = 0; x < 60; x += 13)
            EXPECT_EQ(copy_view.driver->pixel(x, y), original.driver->pixel(x, y)) << x << "," << y;
}

// ---------------------------------------------------------------------------
// The view and the collector

TEST(qvViewBackgroundLayerView, Recolouring_an_own_background_notifies_the_renderer) {
    BgView v;
    v.redraw(Rect(0, 0, 60, 40));
    v.renderer->log.clear();
    v.bg().fill_color(qvRgbColor(0, 1, 0));
    EXPECT_FALSE(v.renderer->log.empty());
    EXPECT_TRUE(v.bg().local_redraw_all());
}

TEST(qvViewBackgroundLayerView, Editing_an_application_fill_invalidates_the_backgrounds_over_it_only) {
    AppPalette app;
    qvViewBackgroundLayer on_paper(app.palette.get(), "paper"), also_on_paper(app.palette.get(), "paper");
    qvViewBackgroundLayer on_ink(app.palette.get(), "ink");
    ASSERT_EQ(on_ink->background_attribute(), app.ink.attr_handle());
    for (qvViewBackgroundLayer const& layer : {on_paper, also_on_paper, on_ink})
        layer->validate();
    // The event of one handle reaches the backgrounds over it only, shared
    // or not.
    app.palette->publisher().invalidate(app.paper.attr_handle(), 0);
    EXPECT_TRUE(on_paper->local_redraw_all());
    EXPECT_TRUE(also_on_paper->local_redraw_all());
    EXPECT_FALSE(on_ink->local_redraw_all());

    // A real edit in place: the palette also announces a change of
    // everything, which every background over it hears.
    for (qvViewBackgroundLayer const& layer : {on_paper, also_on_paper, on_ink})
        layer->validate();
    app.paper.fill_color(qvRgbColor(1, 1, 0));
    EXPECT_TRUE(on_paper->local_redraw_all());
    EXPECT_TRUE(also_on_paper->local_redraw_all());
    EXPECT_EQ(qvViewBackgroundLayer(app.palette.get(), "no such name")->background_attribute(), 0);
}

TEST(qvViewBackgroundLayerView, A_background_in_a_view_drops_its_fill_from_the_driver_cache) {
    BgView v;
    AppPalette app;
    const qvViewBackgroundLayer on_paper(app.palette.get(), "paper");
    on_paper->view(v.handle);
    v.driver->clear_log();
    app.palette->publisher().invalidate(app.ink.attr_handle(), 1);
    app.palette->publisher().invalidate(app.paper.attr_handle(), 0);
    EXPECT_EQ(v.driver->log(), std::vector<std::string>{"drop " + std::to_string(app.paper.attr_handle())});

    // Leaving the view: the old cache forgets the palette.
    v.driver->clear_log();
    on_paper->view(qvViewManager());
    EXPECT_EQ(v.driver->log(), std::vector<std::string>{"drop_all"});
}

TEST(qvViewBackgroundLayerView, An_application_palette_destroyed_first_leaves_the_layer_drawing_nothing) {
    BgView v;
    AppPalette app;
    const qvViewBackgroundLayer on_paper(app.palette.get(), "paper");
    ASSERT_TRUE(v.manager->add(qvViewLayer(on_paper), qvOrder(6)));
    app.release();
    app.palette.reset();
    EXPECT_EQ(on_paper->background_attribute(), 0);
    EXPECT_EQ(on_paper->background_palette(), nullptr);
    v.bg().attr_handle(0);
    v.redraw(Rect(0, 0, 60, 40));
    EXPECT_TRUE(v.draws().empty());
}
