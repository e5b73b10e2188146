// View settings that would put NaN or an infinity into a mapping, a canvas
// or a viewport are refused and change nothing, as the mapping control and
// the window-glue view's own zoom already refused them: a view's zoom, a
// layer's mapping, the glue view's canvas, viewport, scroll, position and
// zoom centre. A window negative on either axis is unbounded, and the
// background's fill stays inside the real window.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvTVBuf.hpp>
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
#include "qvViewTestDoubles.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using RT = qvRestrictedTransformation;
using Pt = qvCrdOf<double>;
using Win = qvWinRectOf<double>;
using Rect = qvMathRectOf<double>;

const double not_a_number = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();
const double non_finite[] = {not_a_number, inf, -inf};

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
    for (const double f : {0.0, not_a_number, inf, -inf}) {
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

    // Finite limits are not enough: the viewport's edges are the origin
    // plus the limits, and 1e308 + 1e308 overflows on either axis.
    qvUIView far;
    far.position(Pt{1e308, -1e308}, qvUIView::X0_Y0);
    far.viewport_limits(Win(0, 0, 3e307, 2e307));
    const Pt corner = far.position(qvUIView::X1_Y1);
    const Win limits = far.viewport_limits();
    for (const Win& wide : {Win(0, 0, 1e308, 20), Win(qvRectOf<double>(0, -1e308, 30, 0))})
        EXPECT_EQ(qvRaisedText([&] { far.viewport_limits(wide); }), "Invalid scroller argument");
    EXPECT_EQ(far.position(qvUIView::X0_Y0), (Pt{1e308, -1e308}));
    EXPECT_EQ(far.position(qvUIView::X1_Y1), corner);
    EXPECT_EQ(far.viewport_limits(), limits);
}

namespace {

// A view on a transformed buffer translated by (dx, dy) over a raster
// window, by default (300, 200) over 200 x 100: the window lies at
// (-300, -200)-(-100, -100) in the view's device coordinates, so the buffer
// reports -100 x -100 (its area's far edges). The view shows a white
// background and, under the identity mapping, a blue rectangle on pixels
// (40, 20)-(100, 60) of the window: at (-260, -180)-(-200, -140) by default.
struct ShiftedWindow {
    qvRasterTestWindow raster;
    qvRasterDriver& driver = *raster.driver;
    qvTVBuf shifted{*raster.window};
    qvMemoryScene scene;
    qvAttributeProxy style{scene, 0};
    qvViewManager view = qvViewCreator::create();
    qvViewSceneLayer layer{scene, -1};
    qvDeviceRenderer renderer;

    explicit ShiftedWindow(double dx = 300, double dy = 200, long width = 200, long height = 100)
        : raster(width, height) {
        shifted->transformation(qvTranslation(dx, dy));
        qvViewBackgroundLayerObject& bg = *view->background();
        bg.fill_color(qvRgbColor(1, 1, 1));
        bg.fill_background_color(qvRgbColor(1, 1, 1));
        bg.fill_style(qvFillStyle(2));
        style.fill_style(qvFillStyle(2));
        style.fill_color(0.0f, 0.0f, 1.0f);
        qvRectangle(scene, 40 - dx, 20 - dy, 100 - dx, 60 - dy, &style);
        view->add(qvViewLayer(layer), qvOrderFirst);
        renderer = qvDeviceRenderer(qvISafePtr<qvVBufObject>(shifted, static_cast<qvVBufObject*>(shifted.get())), view);
    }
    bool redraw(Rect const& area) { return renderer->redraw(qvRegion(area), false); }
    // The boxes of the records the window received, in window pixels: the
    // background's fill, then the rectangle.
    std::vector<std::string> drawn() const {
        std::vector<std::string> out;
        for (std::string const& line : driver.log())
            if (line.rfind("draw_shape ", 0) == 0)
                out.push_back(line.substr(line.find('(')));
        return out;
    }
};

const qvRgbaQuad white(255, 255, 255, 255), blue(0, 0, 255, 255);

}  // namespace

// A window whose width and height are both negative is unbounded: it adds
// and clips nothing. It used to count as a window without pixels, and a
// transformed buffer placed at negative coordinates then drew nothing.
TEST(qvDeviceRendererWindowSize, A_transformed_buffer_at_negative_coordinates_draws_its_view) {
    ShiftedWindow w;
    ASSERT_EQ(w.renderer->width(), -100);
    ASSERT_EQ(w.renderer->height(), -100);
    EXPECT_TRUE(w.redraw(Rect(-300, -200, -100, -100)));
    EXPECT_EQ(w.driver.pixel(70, 40), blue);
    EXPECT_EQ(w.driver.pixel(40, 20), blue);
    EXPECT_EQ(w.driver.pixel(100, 40), white);
    EXPECT_EQ(w.driver.pixel(70, 60), white);
    EXPECT_EQ(w.driver.pixel(0, 0), white);
    EXPECT_EQ(w.driver.pixel(199, 99), white);
    EXPECT_EQ(w.drawn(), (std::vector<std::string>{"(0 0 200 100)", "(40 20 100 60)"}));

    // Only the area asked for is drawn: nothing clips it to a window.
    w.driver.clear_log();
    w.view->background()->fill_color(qvRgbColor(0, 0, 0));
    w.view->background()->fill_background_color(qvRgbColor(0, 0, 0));
    EXPECT_TRUE(w.redraw(Rect(-150, -130, -120, -110)));
    EXPECT_EQ(w.driver.pixel(150, 70), qvRgbaQuad(0, 0, 0, 255));
    EXPECT_EQ(w.driver.pixel(149, 70), white);
    EXPECT_EQ(w.driver.pixel(170, 90), white);
}

// A window negative on one axis only is as unbounded as one negative on
// both. Such a window used to cut the redraw by its rectangle, which, its
// corners put in order, lies beside the real window: these views drew
// nothing.
TEST(qvDeviceRendererWindowSize, A_transformed_buffer_negative_on_one_axis_draws_its_view) {
    struct Placement {
        double dx, dy;
        long width, height;       // of the raster window
        long reported_width, reported_height;
    };
    for (const Placement& p : {Placement{300, 0, 200, 100, -100, 100}, Placement{300, 200, 200, 250, -100, 50},
                               Placement{100, 300, 250, 200, 150, -100}}) {
        SCOPED_TRACE(testing::Message() << "translated by (" << p.dx << ", " << p.dy << ")");
        ShiftedWindow w(p.dx, p.dy, p.width, p.height);
        ASSERT_EQ(w.renderer->width(), p.reported_width);
        ASSERT_EQ(w.renderer->height(), p.reported_height);
        const double left = -p.dx, bottom = -p.dy;
        const double right = left + static_cast<double>(p.width), top = bottom + static_cast<double>(p.height);
        EXPECT_TRUE(w.redraw(Rect(left, bottom, right, top)));
        EXPECT_EQ(w.driver.pixel(70, 40), blue);
        EXPECT_EQ(w.driver.pixel(40, 20), blue);
        EXPECT_EQ(w.driver.pixel(100, 40), white);
        EXPECT_EQ(w.driver.pixel(70, 60), white);
        EXPECT_EQ(w.driver.pixel(0, 0), white);
        EXPECT_EQ(w.driver.pixel(p.width - 1, p.height - 1), white);
        const std::string window = "(0 0 " + std::to_string(p.width) + " " + std::to_string(p.height) + ")";
        EXPECT_EQ(w.drawn(), (std::vector<std::string>{window, "(40 20 100 60)"}));
    }
}

// With an unbounded window nothing cuts what layers invalidated; the
// background's fill keeps to the buffer's real window. Its rectangle used
// to take the infinity (or a value past the float range), which ended the
// redraw; the layers' clip, mapped through a 0 times infinity, used to
// hide the rectangle under the fill.
TEST(qvDeviceRendererWindowSize, An_unbounded_invalidation_fills_only_the_real_window) {
    ShiftedWindow w;
    ASSERT_TRUE(w.redraw(Rect(-300, -200, -100, -100)));
    w.driver.clear_log();
    w.layer->invalidate(Rect(-inf, -inf, inf, inf), true);
    EXPECT_EQ(qvRaisedText([&] { w.redraw(Rect(-150, -130, -120, -110)); }), "no error");
    EXPECT_EQ(w.drawn(), (std::vector<std::string>{"(0 0 200 100)", "(40 20 100 60)"}));
    EXPECT_EQ(w.driver.pixel(70, 40), blue);

    // A huge finite area is cut the same way: never a saturated rectangle.
    w.driver.clear_log();
    w.layer->invalidate(Rect(-1e300, -1e300, 1e300, 1e300), true);
    EXPECT_EQ(qvRaisedText([&] { w.redraw(Rect(-150, -130, -120, -110)); }), "no error");
    EXPECT_EQ(w.drawn(), (std::vector<std::string>{"(0 0 200 100)", "(40 20 100 60)"}));
}
