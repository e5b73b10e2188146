// A label's new text repainted in a view on the raster test host driver:
// a restricted text wider than the label's fixed box leaves no stale
// pixels outside that box when the text grows or shrinks.

#include "qvFreshRenderCheck.hpp"
#include "qvRasterCanvas.hpp"
#include "qvRasterDriver.hpp"
#include "qvTextTestSupport.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/drawings/qvDrawingScene.hpp>
#include <orvane/drawings/qvLabelDrawing.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Rect = qvMathRectOf<double>;

// Every letter 8 device units wide; ascent 6, descent 2.
class LabelRepaintProvider : public text_test::HostProvider {
public:
    LabelRepaintProvider() : text_test::HostProvider(763) {}
    qvTextExtent text_extent(char const* text, qvFontFamily, char const*, qvWrap<float>, qvFontSlant, qvFontWeight,
                             qvFontTechnology) override {
        return qvTextExtent(8.0 * static_cast<double>(std::strlen(text)), 6, 2, 0);
    }
};

qvRgbaQuad label_repaint_quad(qvRgbColor const& c) {
    return qvRgbaQuad(qvRasterChannel(c.red()), qvRasterChannel(c.green()), qvRasterChannel(c.blue()), 255);
}

const qvRgbColor label_repaint_paper(0.95f, 0.90f, 0.75f);
const qvRgbColor label_repaint_ink(0.1f, 0.2f, 0.7f);

// A window of 300 x 200 showing, at scale 2 and offset 10, one restricted
// label at (60, 50) with the bordered fixed box (55, 47)-(65, 53), device
// (120, 104)-(140, 116); its text is centred on the anchor.
struct LabelRepaintView {
    text_test::DefaultMetricScope metrics;
    LabelRepaintProvider provider;
    qvDrawingScene scene;
    qvSharedAttribute ink{qvCreateAttributeProxy(&scene.palette(), 0)};
    qvSharedAttribute frame{qvCreateAttributeProxy(&scene.palette(), 0)};
    qvLabelDrawing label;
    qvViewManager view = qvViewCreator::create();
    qvViewSceneLayer layer;
    qvISafePtr<qvRasterDriver> driver;
    qvDeviceRenderer renderer;

    LabelRepaintView() {
        qvTextExtent::current_metric(763);
        ink->fill_style(qvFillStyle(2));
        ink->fill_color(label_repaint_ink);
        frame->line_style(qvLineStyle(2));
        frame->line_color(0.5f, 0.1f, 0.1f);
        label.text_attribute(ink);
        label.border_attribute(frame);
        label.show_border(true);
        label.text("abcdef");   // 48 device units, model 48 to 72
        label.anchor(qvCrdOf<double>(60, 50));
        label.width(10);
        label.height(6);
        scene.items()->add(&label, qvOrderLast);

        qvViewBackgroundLayerObject& bg = *view->background();
        bg.fill_color(label_repaint_paper);
        bg.fill_background_color(label_repaint_paper);
        bg.fill_style(qvFillStyle(2));
        layer = qvViewSceneLayer(scene, 0);
        layer->mapping(qvRestrictedTransformation(2, 2, 10, 10));
        view->add(layer, qvOrderFirst);
        qvRasterSettings settings;
        settings.window_width = 300;
        settings.window_height = 200;
        driver = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
        renderer->backing_store(true);
        EXPECT_TRUE(renderer->redraw(qvRegion(Rect(0, 0, 300, 200)), false));
        driver->take_invalid();
    }
    ~LabelRepaintView() { scene.items()->clear(); }
    LabelRepaintView(LabelRepaintView const&) = delete;
    LabelRepaintView& operator=(LabelRepaintView const&) = delete;
};

}  // namespace

TEST(qvLabelRepaint, A_new_text_overflowing_the_fixed_box_leaves_the_window_as_a_fresh_render_would) {
    LabelRepaintView v;
    const qvRgbaQuad paper = label_repaint_quad(label_repaint_paper), ink = label_repaint_quad(label_repaint_ink);
    ASSERT_TRUE(qvFreshRenderCheck(*v.driver, v.view));
    // Outside the fixed box, inside the text: the overflow is drawn.
    EXPECT_EQ(v.driver->pixel(110, 110), ink);
    EXPECT_EQ(v.driver->pixel(150, 110), ink);
    EXPECT_EQ(v.driver->pixel(100, 110), paper);

    // Longer: model 40 to 80, device 90 to 170.
    v.label.text("abcdefghij");
    const qvRegion grown = v.driver->take_invalid();
    // Not redrawn yet, the window is stale outside the fixed box, and the
    // check sees it.
    EXPECT_FALSE(qvFreshRenderCheck(*v.driver, v.view));
    EXPECT_EQ(v.driver->pixel(100, 110), paper);
    EXPECT_TRUE(v.renderer->redraw(grown, false));
    EXPECT_TRUE(qvFreshRenderCheck(*v.driver, v.view)) << qvRasterText(grown);
    EXPECT_EQ(v.driver->pixel(100, 110), ink);
    EXPECT_EQ(v.driver->pixel(165, 110), ink);

    // Shorter, still wider than the box: model 52 to 68, device 114 to 146.
    v.label.text("abcd");
    const qvRegion shrunk = v.driver->take_invalid();
    EXPECT_TRUE(v.renderer->redraw(shrunk, false));
    EXPECT_TRUE(qvFreshRenderCheck(*v.driver, v.view)) << qvRasterText(shrunk);
    EXPECT_EQ(v.driver->pixel(100, 110), paper);
    EXPECT_EQ(v.driver->pixel(165, 110), paper);
    EXPECT_EQ(v.driver->pixel(116, 110), ink);
}
