// View settings that would put NaN or an infinity into a mapping, a canvas
// or a viewport are refused and change nothing, as the mapping control and
// the window-glue view's own zoom already refused them: a view's zoom, a
// layer's mapping, the glue view's canvas, viewport, scroll, position and
// zoom centre. A window of negative size draws nothing (it used to be an
// unbounded window, whose background reached the driver unbounded).

#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvUIView.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvDriverHandle.hpp"
#include "qvRasterDriver.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using RT = qvRestrictedTransformation;
using Pt = qvCrdOf<double>;
using Win = qvWinRectOf<double>;

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();
const double non_finite[] = {nan, inf, -inf};

// A view manager showing one scene layer at scale 2, offset (10, 20).
struct MappedView {
    qvMemoryScene scene;
    qvViewManager view = qvViewCreator::create();
    qvViewSceneLayer layer{scene, -1};
    MappedView() {
        layer->mapping(RT(2, 3, 10, 20));
        view->add(qvViewLayer(layer), qvOrderLast);
    }
};

}  // namespace

TEST(qvViewZoomFinite, Factors_of_0_NaN_or_an_infinity_and_bad_centres_move_no_layer) {
    MappedView v;
    for (const double f : {0.0, nan, inf, -inf}) {
        EXPECT_EQ(qvRaisedText([&] { v.view->zoom(Pt{5, 5}, f); }), "Invalid zoom factor") << f;
        EXPECT_EQ(qvRaisedText([&] { v.view->zoom(Pt{5, 5}, 2.0, f); }), "Invalid zoom factor") << f;
    }
    for (const double c : non_finite) {
        EXPECT_EQ(qvRaisedText([&] { v.view->zoom(Pt{c, 5}, 2.0); }), "Invalid scroller argument") << c;
        EXPECT_EQ(qvRaisedText([&] { v.view->zoom(Pt{5, c}, 2.0); }), "Invalid scroller argument") << c;
    }
    // Finite alone is not enough: the composed move c - f * c overflows.
    EXPECT_EQ(qvRaisedText([&] { v.view->zoom(Pt{1e300, 0}, 1e300); }), "Invalid scroller argument");
    EXPECT_EQ(v.layer->mapping(), RT(2, 3, 10, 20));
    // Large finite factors are zooms like any other.
    v.view->zoom(Pt{0, 0}, 1e40, 0.5);
    EXPECT_EQ(v.layer->mapping(), RT(2e40, 1.5, 1e41, 10));
}

TEST(qvViewLayerMappingFinite, A_mapping_with_NaN_or_an_infinity_is_refused_a_flat_one_kept) {
    MappedView v;
    for (const double bad : non_finite) {
        for (const RT& rt : {RT(bad, 1, 0, 0), RT(1, bad, 0, 0), RT(1, 1, bad, 0), RT(1, 1, 0, bad)})
            EXPECT_EQ(qvRaisedText([&] { v.layer->mapping(rt); }), "Invalid scroller argument") << bad;
    }
    EXPECT_EQ(v.layer->mapping(), RT(2, 3, 10, 20));
    v.layer->mapping(RT(1e300, 1e40, -1e300, 0));
    EXPECT_EQ(v.layer->mapping(), RT(1e300, 1e40, -1e300, 0));
    v.layer->mapping(RT(0, 0, 10, 10));   // hides the layer's content; manipulators refuse it
    EXPECT_EQ(v.layer->mapping(), RT(0, 0, 10, 10));
}

TEST(qvUIViewFinite, Canvas_viewport_scroll_position_and_centre_without_finite_numbers_change_nothing) {
    qvRasterSettings settings;
    settings.window_width = 100;
    settings.window_height = 100;
    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);
    qvUIView ui;
    ui.initialize(qvAsDriverHandle(driver));
    ui.mode(qvUIView::FEEDBACK);
    ui.virtual_limits(Win(0, 0, 400, 300));
    ui.position(Pt{50, 60}, qvUIView::X0_Y0);
    const Win canvas = ui.virtual_limits();
    const Pt origin = ui.position(qvUIView::X0_Y0);
    for (const double bad : non_finite) {
        const std::string text = "Invalid scroller argument";
        EXPECT_EQ(qvRaisedText([&] { ui.virtual_limits(Win(qvRectOf<double>(0, 0, bad, 300))); }), text) << bad;
        EXPECT_EQ(qvRaisedText([&] { ui.viewport_limits(Win(qvRectOf<double>(bad, 0, 100, 100))); }), text) << bad;
        EXPECT_EQ(qvRaisedText([&] { ui.scroll(Pt{bad, 0}); }), text) << bad;
        EXPECT_EQ(qvRaisedText([&] { ui.scroll(qvUIView::VERTICAL, bad); }), text) << bad;
        EXPECT_EQ(qvRaisedText([&] { ui.position(Pt{0, bad}, qvUIView::CENTRE); }), text) << bad;
        EXPECT_EQ(qvRaisedText([&] { ui.zoom(2.0, Pt{bad, 0}); }), text) << bad;
        EXPECT_EQ(qvRaisedText([&] { ui.zoom(bad, Pt{0, 0}); }), "Invalid zoom factor") << bad;
    }
    EXPECT_EQ(ui.virtual_limits(), canvas);
    EXPECT_EQ(ui.position(qvUIView::X0_Y0), origin);
    EXPECT_EQ(ui.viewport_limits(), Win(0, 0, 100, 100));
}

namespace {

// What a device renderer with a solid background hands a raster window of
// the given size when asked to redraw (0, 0)-(100, 100).
long background_draws(long width, long height) {
    qvRasterSettings settings;
    settings.window_width = width;
    settings.window_height = height;
    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);
    qvViewManager view = qvViewCreator::create();
    qvViewBackgroundLayerObject& bg = *view->background();
    bg.fill_color(qvRgbColor(1, 1, 1));
    bg.fill_background_color(qvRgbColor(1, 1, 1));
    bg.fill_style(qvFillStyle(2));
    const qvDeviceRenderer renderer(qvAsDriverHandle(driver), view);
    renderer->redraw(qvRegion(qvMathRectOf<double>(0, 0, 100, 100)), false);
    return driver->draw_count();
}

}  // namespace

TEST(qvDeviceRendererWindowSize, A_window_of_negative_size_draws_nothing) {
    EXPECT_GT(background_draws(100, 80), 0);
    EXPECT_EQ(background_draws(-5, -3), 0);
    EXPECT_EQ(background_draws(-5, 80), 0);
    EXPECT_EQ(background_draws(100, -1), 0);
}
