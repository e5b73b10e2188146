// The drawing scene: what it draws for each layer, its notification, its
// palette, the fate of its drawings when it dies, and its changes
// repainted in a view on the raster test host driver.

#include "qvDrawingTestSupport.hpp"
#include "qvFreshRenderCheck.hpp"
#include "qvNotificationProbe.hpp"
#include "qvRasterCanvas.hpp"
#include "qvRasterDriver.hpp"
#include "qvShapeTestSupport.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/drawings/qvDrawingScene.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Rect = qvMathRectOf<double>;

// Three drawings side by side, handles 1 to 3, owned by the test.
// The drawings outlive the scene that holds them.
struct Three {
    qvTestDrawing d[3] = {qvTestDrawing(Rect(0, 0, 10, 10)), qvTestDrawing(Rect(10, 0, 20, 10)),
                          qvTestDrawing(Rect(20, 0, 30, 10))};
    qvDrawingScene scene;
    Three() {
        for (int i = 0; i < 3; ++i) {
            d[i].user_handle(i + 1);
            scene.items()->add(&d[i], qvOrderLast);
        }
    }
    std::string rendered() const {
        std::string out;
        for (auto const& drawing : d)
            out += std::to_string(drawing.renders.size());
        return out;
    }
};

}  // namespace

TEST(qvDrawingScene, Layer_0_and_negative_layers_draw_the_visible_drawings_meeting_the_area) {
    Three t;
    shape_test::RecordingFlavorPort port;
    std::string order;
    for (auto& d : t.d)
        d.on_render = [&order, &d] { order += std::to_string(d.user_handle()); };
    t.scene.render(port, 1, Rect(-100, -100, 100, 100), false);
    EXPECT_EQ(t.rendered(), "000");
    for (int layer : {0, -1, -5})
        t.scene.render(port, layer, Rect(5, 5, 15, 6), false);
    EXPECT_EQ(t.rendered(), "330");
    t.scene.render(port, 0, Rect(-100, -100, 100, 100), true);
    EXPECT_EQ(order, "121212321");
    EXPECT_EQ(port.drawn.size(), 9u);
    t.d[0].visible(false);
    t.scene.render(port, 0, Rect(-100, -100, 100, 100), false);
    EXPECT_EQ(t.rendered(), "452");
    EXPECT_EQ(t.scene.items()->size(), 3);   // the invisible one still counts
    EXPECT_EQ(t.d[1].renders.back().area, Rect(-100, -100, 100, 100));
    EXPECT_EQ(t.d[1].renders.back().palette, &t.scene.palette());
}

TEST(qvDrawingScene, The_ports_palette_comes_back_also_when_a_drawing_throws) {
    Three t;
    shape_test::RecordingFlavorPort port;
    qvStandardPalette before;
    port.palette(&before);
    t.d[1].refuse = true;
    EXPECT_THROW(t.scene.render(port, 0, Rect(-100, -100, 100, 100), false), qvErrorFrom<qvTestDrawing>);
    EXPECT_EQ(port.palette(), &before);
    EXPECT_EQ(t.rendered(), "110");
}

TEST(qvDrawingScene, Drawings_report_on_layer_0_only_while_notification_is_on) {
    Three t;
    qvNotificationLog log;
    qvRecordingReceiver<Rect> ears("scene", log);
    ears.connect(t.scene.rect_sender());
    t.d[0].visible(false);
    t.scene.invalidate();
    EXPECT_EQ(log, (qvNotificationLog{"scene item", "scene item", "scene all"}));
    EXPECT_EQ(ears.items, (std::vector<Rect>{Rect(0, 0, 10, 10), Rect(0, 0, 10, 10)}));
    EXPECT_EQ(ears.flags, (std::vector<int>{0, 0}));
    log.clear();
    t.scene.update_notification(false, true);
    t.d[1].visible(false);
    t.scene.invalidate();
    EXPECT_TRUE(log.empty());
    // Adding, moving and removing report nothing.
    t.scene.update_notification(true, true);
    t.scene.items()->change_order(&t.d[0], qvOrderLast, nullptr);
    t.scene.items()->remove(&t.d[1]);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(t.d[1].host(), nullptr);
    EXPECT_EQ(t.d[0].host(), &t.scene);
}

TEST(qvDrawingScene, Owns_the_palette_it_made_and_a_given_one_only_when_told) {
    {
        qvDrawingScene made;
        EXPECT_NE(&made.palette(), nullptr);
        EXPECT_EQ(made.total_layers(), 1);
        EXPECT_EQ(qvQueryInterface<qvScene>(static_cast<qvSceneInterface*>(&made)), &made);
    }   // the sanitizer build would see a made palette leak
    qvStandardPalette mine;
    { qvDrawingScene borrowing(&mine, false); }
    EXPECT_EQ(mine.handle("nothing"), mine.handle("nothing"));   // still alive
    { qvDrawingScene owning(new qvStandardPalette, true); }
}

TEST(qvDrawingScene, Drawings_outliving_the_scene_lose_their_host) {
    qvTestDrawing kept(Rect(0, 0, 1, 1));
    int deaths = 0;
    {
        qvDrawingScene scene;
        scene.items()->add(&kept, qvOrderLast);
        scene.items()->add(new qvTestDrawing(Rect(0, 0, 1, 1), &deaths), qvOrderFirst);
        scene.items()->add(&kept, qvOrderLast);
        scene.items()->remove(&kept);   // the second entry keeps it... without a host
        scene.items()->add(&kept, qvOrderLast);
        EXPECT_EQ(kept.host(), &scene);
        // The unowned drawing made above would leak: give it to the test.
        qvDrawing* const made = &*scene.items()->enumerate();
        scene.items()->remove(made);
        delete made;
    }
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(kept.host(), nullptr);
    kept.visible(false);   // reports to nobody
}

// ---------------------------------------------------------------------------
// In a view: the raster test host driver, a scene layer at scale 2 and
// offset 10 over a solid background, a device renderer with backing store.

namespace {

const qvRestrictedTransformation drawing_view_mapping(2, 2, 10, 10);
const qvRgbColor drawing_view_paper(0.95f, 0.90f, 0.75f);

struct DrawingView {
    qvTestDrawing d[3] = {qvTestDrawing(Rect(5, 5, 40, 30)), qvTestDrawing(Rect(30.25, 20.5, 70, 60)),
                          qvTestDrawing(Rect(80, 10, 120, 50))};
    qvDrawingScene scene;
    qvViewManager view = qvViewCreator::create();
    qvViewSceneLayer layer;
    qvISafePtr<qvRasterDriver> driver;
    qvDeviceRenderer renderer;
    std::vector<qvAttributeProxy> styles;   // each holds its attribute alive

    explicit DrawingView(int shown) {
        for (int i = 0; i < 3; ++i) {
            qvAttributeProxy& style = styles.emplace_back(scene.palette(), 0);
            style.fill_style(qvFillStyle{2});
            style.fill_color(qvRgbColor(0.2f * static_cast<float>(i + 1), 0.5f, 0.9f - 0.3f * static_cast<float>(i)));
            d[i].attribute = style.attribute_handle();
            scene.items()->add(&d[i], qvOrderLast);
        }
        qvViewBackgroundLayerObject& bg = *view->background();
        bg.fill_color(drawing_view_paper);
        bg.fill_background_color(drawing_view_paper);
        bg.fill_style(qvFillStyle(2));
        layer = qvViewSceneLayer(scene, shown);
        layer->mapping(drawing_view_mapping);
        view->add(layer, qvOrderFirst);
        qvRasterSettings settings;
        settings.window_width = 300;
        settings.window_height = 200;
        driver = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
        renderer->backing_store(true);
        EXPECT_TRUE(renderer->redraw(qvRegion(Rect(0, 0, 300, 200)), false));
        driver->take_invalid();
        driver->clear_log();
    }
};

Rect drawing_view_device_area(Rect const& model, double grow) {
    const Rect r = qvTransformRect(model, drawing_view_mapping);
    return Rect(std::floor(r.x1 - grow), std::floor(r.y1 - grow), std::ceil(r.x2 + grow), std::ceil(r.y2 + grow));
}

}  // namespace

class qvDrawingSceneInView : public ::testing::TestWithParam<int> {};

TEST_P(qvDrawingSceneInView, Hiding_a_drawing_repaints_its_mapped_grown_rounded_box_only) {
    DrawingView v(GetParam());
    const qvRgbaQuad paper(qvRasterChannel(drawing_view_paper.red()), qvRasterChannel(drawing_view_paper.green()),
                           qvRasterChannel(drawing_view_paper.blue()), 255);
    EXPECT_NE(v.driver->pixel(130, 110), paper);   // model (60, 50): only the middle drawing
    v.d[1].visible(false);
    const auto& log = v.driver->log();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](std::string const& l) { return l.rfind("invalidate", 0) == 0; }),
              1);
    const Rect expected = drawing_view_device_area(Rect(30.25, 20.5, 70, 60), 2);
    EXPECT_EQ(expected, Rect(68, 49, 152, 132));
    const qvRegion collected = v.driver->take_invalid();
    EXPECT_TRUE(qvSameArea(collected, qvGridOf({expected}))) << qvRasterText(collected);

    v.driver->clear_log();
    EXPECT_TRUE(v.renderer->redraw(collected, false));
    EXPECT_NE(std::find(log.begin(), log.end(), "clip " + qvRasterText(qvGridOf({expected}))), log.end());
    EXPECT_EQ(v.driver->pixel(130, 110), paper);
    EXPECT_TRUE(qvFreshRenderCheck(*v.driver, v.view));
}

INSTANTIATE_TEST_SUITE_P(LayerShown, qvDrawingSceneInView, ::testing::Values(0, -1));
