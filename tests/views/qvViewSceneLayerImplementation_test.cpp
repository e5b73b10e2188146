// The scene layer in a view over a raster test host: which scene calls a
// render makes (layers, order, model areas, clips), what the view filter
// decides, and how the layer follows its scene through clones, copies,
// resets and the scene's end.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "views/qvViewSceneLayerImplementation.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace {

using Rect = qvMathRectOf<double>;

// A memory scene that records every render the layer asks of it (not the
// scene's own per-layer recursion) with what the port held at that moment.
class SpyScene : public qvMemoryScene {
public:
    struct Call {
        int layer;
        Rect model;
        bool reverse;
        qvRestrictedTransformation transformation;
        Rect device;
        qvRegion clip;
    };
    std::vector<Call> calls;
    bool raise = false;

    explicit SpyScene(int layers) : qvMemoryScene(layers) {}

    void render(qvFlavorPort& port, int layer, Rect const& area, bool reverse) override {
        if (depth_ == 0)
            calls.push_back({layer, area, reverse, port.transformation(), port.device_bbox(),
                             qvRegion(port.draw().clip())});
        if (raise)
            throw qvError("the scene could not draw");
        ++depth_;
        qvMemoryScene::render(port, layer, area, reverse);
        --depth_;
    }
    std::vector<int> layers() const {
        std::vector<int> numbers;
        for (Call const& c : calls)
            numbers.push_back(c.layer);
        return numbers;
    }

private:
    int depth_ = 0;
};

// A scene layer registered with a view manager whose renderer reports the
// raster window's driver (added width 2).
struct SceneView {
    std::unique_ptr<SpyScene> scene;
    qvRasterTestWindow window;
    qvViewManager manager = qvViewCreator::create();
    qvRecordingRenderer* renderer = new qvRecordingRenderer;
    qvBaseRenderer renderer_handle{static_cast<qvBaseRendererObject*>(renderer)};
    qvViewSceneLayer layer;

    explicit SceneView(int scene_layer = -1, int scene_layers = 4)
        : scene(std::make_unique<SpyScene>(scene_layers)) {
        renderer->driver(qvAsDriverHandle(window.driver));
        renderer->vbuf(window.window);
        renderer->window_width = 100;
        renderer->window_height = 80;
        manager->renderer(renderer_handle);
        layer = qvViewSceneLayer(*scene, scene_layer);
        EXPECT_TRUE(manager->add(layer, qvOrder(6)));
    }
    // Prepares the layer over `area` and renders it into a fresh render
    // buffer over the whole window.
    bool redraw(qvBaseRegion const& area, bool front_to_back = false, qvCrdOf<double> origin = {0, 0}) {
        qvViewVBuf vbuf = window.vbuf();
        return redraw(vbuf, area, front_to_back, origin);
    }
    bool redraw(qvViewVBuf& vbuf, qvBaseRegion const& area, bool front_to_back = false,
                qvCrdOf<double> origin = {0, 0}) {
        qvGridRegion region(area);
        layer->prepare(region, front_to_back);
        return layer->render(vbuf, origin);
    }
    long log_count(std::string const& line) const {
        auto const& log = window.driver->log();
        return std::count(log.begin(), log.end(), line);
    }
};

// A filter that refuses every layer and shape, as off() does, and logs.
qvScriptedFilter refusing_filter() {
    qvScriptedFilter f;
    f.mode = 1;
    f.other_layers = false;
    f.shape_answer = [](qvShapeBase const&) { return false; };
    return f;
}

}  // namespace

// ---------------------------------------------------------------------------
// Scene calls

TEST(qvViewSceneLayerRender, One_scene_call_per_redraw_over_the_work_box_grown_by_the_added_width) {
    SceneView v;
    EXPECT_TRUE(v.redraw(qvGridOf({Rect(10, 10, 20, 20), Rect(40, 30, 50, 60)})));
    ASSERT_EQ(v.scene->layers(), std::vector<int>{-1});
    EXPECT_EQ(v.scene->calls[0].device, Rect(8, 8, 52, 62));
    EXPECT_EQ(v.scene->calls[0].model, Rect(8, 8, 52, 62));   // identity mapping
    EXPECT_FALSE(v.scene->calls[0].reverse);

    SceneView one(2);
    one.redraw(qvGridOf({Rect(0, 0, 5, 5)}), true);
    ASSERT_EQ(one.scene->layers(), std::vector<int>{2});
    EXPECT_TRUE(one.scene->calls[0].reverse);   // the prepare flag
}

TEST(qvViewSceneLayerRender, Disassembled_regions_call_the_scene_per_rectangle_clipped_to_it) {
    for (int scene_layer : {-1, 1}) {
        SceneView v(scene_layer);
        v.layer->disassemble_region(true);
        qvViewVBuf vbuf = v.window.vbuf();
        v.window.driver->clear_log();
        const qvCrdOf<double> origin{3, 4};
        v.redraw(vbuf, qvGridOf({Rect(0, 0, 10, 10), Rect(50, 40, 60, 50)}), false, origin);
        ASSERT_EQ(v.scene->calls.size(), 2u) << scene_layer;
        EXPECT_EQ(v.scene->calls[0].layer, scene_layer);
        EXPECT_TRUE(qvSameArea(v.scene->calls[0].clip, qvGridOf({Rect(3, 4, 13, 14)})));
        EXPECT_TRUE(qvSameArea(v.scene->calls[1].clip, qvGridOf({Rect(53, 44, 63, 54)})));
        EXPECT_EQ(v.scene->calls[1].device, Rect(48, 38, 62, 52));
        // The draw object was let go: the next user gets a new one.
        EXPECT_EQ(v.log_count("new_draw"), 0);
        vbuf.draw();
        EXPECT_EQ(v.log_count("new_draw"), 1);
    }
}

TEST(qvViewSceneLayerRender, The_port_maps_through_the_origin_after_the_mapping) {
    SceneView v;
    v.layer->mapping(qvRestrictedTransformation(2, 2, 10, 10));
    v.redraw(qvGridOf({Rect(0, 0, 40, 30)}), false, {5, 7});
    ASSERT_EQ(v.scene->calls.size(), 1u);
    EXPECT_EQ(v.scene->calls[0].transformation, qvRestrictedTransformation(2, 2, 15, 17));
    EXPECT_EQ(v.scene->calls[0].model, Rect(-8.5, -9.5, 13.5, 7.5));   // (-2, -2, 42, 32) mapped back
}

TEST(qvViewSceneLayerRender, The_added_width_is_the_view_drivers_and_zero_without_a_view) {
    SceneView v;
    v.window.driver->added_width(3);
    v.layer->reinitialize();
    v.redraw(qvGridOf({Rect(10, 10, 20, 20)}));
    ASSERT_EQ(v.scene->calls.size(), 1u);
    EXPECT_EQ(v.scene->calls[0].device, Rect(7, 7, 23, 23));

    const qvViewSceneLayer alone(*v.scene, -1);
    qvGridRegion area = qvGridOf({Rect(10, 10, 20, 20)});
    alone->prepare(area, false);
    qvViewVBuf vbuf = v.window.vbuf();
    alone->render(vbuf, {0, 0});
    ASSERT_EQ(v.scene->calls.size(), 2u);
    EXPECT_EQ(v.scene->calls[1].device, Rect(10, 10, 20, 20));
}

TEST(qvViewSceneLayerRender, Nothing_to_draw_still_reports_a_finished_render) {
    SceneView v;
    // Outside the buffer's clip: no call.
    EXPECT_TRUE(v.redraw(qvGridOf({Rect(200, 200, 210, 210)})));
    // No draw object, hence no port: no call.
    v.window.driver->fail_next(qvRasterOp::new_draw, 2);   // the buffer and the port each ask once
    qvViewVBuf portless = v.window.vbuf();
    EXPECT_TRUE(v.redraw(portless, qvGridOf({Rect(0, 0, 10, 10)})));
    EXPECT_TRUE(v.scene->calls.empty());
    // An empty scene: one call, nothing drawn.
    EXPECT_TRUE(v.redraw(qvGridOf({Rect(0, 0, 10, 10)})));
    EXPECT_EQ(v.scene->calls.size(), 1u);
    EXPECT_EQ(v.window.driver->draw_count(), 0);
    // No scene at all.
    v.layer->reset(nullptr, -1);
    EXPECT_TRUE(v.redraw(qvGridOf({Rect(0, 0, 10, 10)})));
    EXPECT_EQ(v.scene->calls.size(), 1u);

    v.layer->cache(true);
    EXPECT_FALSE(v.layer->cache());
}

TEST(qvViewSceneLayerRender, A_mapping_without_finite_numbers_draws_nothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (qvRestrictedTransformation const& bad :
         {qvRestrictedTransformation(nan, 1, 0, 0), qvRestrictedTransformation(inf, inf, 0, 0),
          qvRestrictedTransformation(1, 1, -inf, nan)}) {
        SceneView v;
        qvRectangle(*v.scene, 10, 10, 20, 20);
        EXPECT_THROW(v.layer->mapping(bad), qvError);   // the setter and apply_left refuse it,
        EXPECT_THROW(v.layer->apply_left(bad), qvError);
        const qvRestrictedTransformation huge(1e300, 1e300, 0, 0);
        v.layer->apply_left(huge);                        // but finite ones overflow
        v.layer->apply_left(huge);                        // to infinite scales
        EXPECT_TRUE(v.redraw(qvGridOf({Rect(0, 0, 100, 80)})));
        EXPECT_EQ(v.window.driver->draw_count(), 0);
    }
}

TEST(qvViewSceneLayerRender, A_scene_that_raises_leaves_the_render_buffer_as_it_was) {
    SceneView v;
    v.scene->raise = true;
    qvViewVBuf vbuf = v.window.vbuf();
    vbuf.mul_clipping(Rect(0, 0, 50, 50));
    EXPECT_THROW(v.redraw(vbuf, qvGridOf({Rect(10, 10, 20, 20)})), qvError);
    EXPECT_TRUE(qvSameArea(vbuf.clipping(), qvGridOf({Rect(0, 0, 50, 50)})));
    EXPECT_THROW(vbuf.pop(), qvAssertionError);   // nothing left pushed

    v.scene->raise = false;
    EXPECT_TRUE(v.redraw(vbuf, qvGridOf({Rect(10, 10, 20, 20)})));
    EXPECT_EQ(v.scene->calls.size(), 2u);
}

// ---------------------------------------------------------------------------
// The view filter

TEST(qvViewSceneLayerFilter, A_refused_layer_asks_once_with_its_own_number_and_counts_as_drawn) {
    for (int scene_layer : {-1, 2}) {
        SceneView v(scene_layer);
        qvScriptedFilter filter = refusing_filter();
        qvGridRegion area = qvGridOf({Rect(10, 10, 20, 20)});
        v.layer->invalidate(area, false);
        v.layer->prepare(area, false);   // no filter yet
        v.layer->view_filter(&filter);
        qvViewVBuf vbuf = v.window.vbuf();
        EXPECT_TRUE(v.layer->render(vbuf, {0, 0}));
        EXPECT_EQ(filter.log, (std::vector<std::string>{"mode", "layer " + std::to_string(scene_layer)}));
        EXPECT_TRUE(v.scene->calls.empty());
        EXPECT_TRUE(v.layer->local_redraw_area().empty());
    }
}

TEST(qvViewSceneLayerFilter, Under_the_off_filter_a_whole_redraw_asks_only_in_prepare) {
    SceneView v;
    qvRectangle(*v.scene, 10, 10, 20, 20);
    qvScriptedFilter filter = refusing_filter();
    v.layer->view_filter(&filter);
    EXPECT_TRUE(v.redraw(qvGridOf({Rect(0, 0, 100, 80)})));
    EXPECT_EQ(filter.log, std::vector<std::string>{"layer -1"});

    v.layer->view_filter(qvViewFilter::off());
    EXPECT_TRUE(v.redraw(qvGridOf({Rect(0, 0, 100, 80)})));
    EXPECT_TRUE(v.scene->calls.empty());
    EXPECT_EQ(v.window.driver->draw_count(), 0);
}

TEST(qvViewSceneLayerFilter, Layer_mode_1_calls_the_scene_for_each_accepted_layer_in_drawing_order) {
    SceneView v;
    qvScriptedFilter filter;
    filter.mode = 1;
    filter.other_layers = false;
    filter.layer_answers = {{-1, true}, {0, true}, {2, true}};
    v.layer->view_filter(&filter);
    v.redraw(qvGridOf({Rect(0, 0, 10, 10)}));
    EXPECT_EQ(v.scene->layers(), (std::vector<int>{0, 2}));
    EXPECT_EQ(filter.log, (std::vector<std::string>{"layer -1", "mode", "layer -1", "layer 0", "layer 1",
                                                    "layer 2", "layer 3"}));

    SceneView three(-1, 3);
    three.layer->view_filter(qvViewFilter::on());
    three.redraw(qvGridOf({Rect(0, 0, 10, 10)}), true);
    EXPECT_EQ(three.scene->layers(), (std::vector<int>{2, 1, 0}));
    for (SpyScene::Call const& call : three.scene->calls)
        EXPECT_TRUE(call.reverse);
}

TEST(qvViewSceneLayerFilter, Layer_mode_2_drops_the_shapes_the_filter_refuses) {
    SceneView v;
    qvRectangle(*v.scene, 10, 10, 20, 20);
    qvEllipse(*v.scene, Rect(30, 10, 40, 20));
    qvScriptedFilter filter;
    filter.mode = 2;
    filter.shape_answer = [](qvShapeBase const& record) { return record.kind != qvEllipseKind; };
    v.layer->view_filter(&filter);
    v.redraw(qvGridOf({Rect(0, 0, 100, 80)}));
    EXPECT_EQ(v.window.driver->draw_count(qvRectangleKind), 1);
    EXPECT_EQ(v.window.driver->draw_count(qvEllipseKind), 0);

    filter.mode = 0;   // without mode 2 the filter sees no shape
    filter.log.clear();
    v.redraw(qvGridOf({Rect(0, 0, 100, 80)}));
    EXPECT_EQ(v.window.driver->draw_count(qvEllipseKind), 1);
    EXPECT_EQ(filter.log, (std::vector<std::string>{"layer -1", "mode"}));
}

// ---------------------------------------------------------------------------
// Following the scene

TEST(qvViewSceneLayerScene, A_clone_listens_to_the_scene_a_copy_does_not_until_reset) {
    SceneView v(2);
    v.layer->mapping(qvRestrictedTransformation(2, 2, 0, 0));
    const qvViewSceneLayer clone(v.layer->clone());
    ASSERT_TRUE(clone);
    EXPECT_EQ(&clone->scene(), v.scene.get());
    EXPECT_EQ(clone->layer(), 2);
    EXPECT_EQ(clone->mapping(), qvRestrictedTransformation(2, 2, 0, 0));

    auto* copy_object = new qvViewSceneLayerImplementation;
    const qvViewSceneLayer copy(static_cast<qvViewSceneLayerObject*>(copy_object));
    EXPECT_TRUE(v.manager->add(clone, qvOrder(6)));
    EXPECT_TRUE(v.manager->add(copy, qvOrder(6)));
    copy_object->copy(*v.layer);
    EXPECT_EQ(&copy->scene(), v.scene.get());
    EXPECT_EQ(copy->mapping(), qvRestrictedTransformation(2, 2, 0, 0));
    v.manager->cleanup();

    v.scene->rect_sender().invalidate(Rect(1, 1, 2, 2), 2);
    EXPECT_TRUE(qvSameArea(clone->local_redraw_area(), qvGridOf({Rect(0, 0, 6, 6)})));
    EXPECT_TRUE(copy->local_redraw_area().empty());

    SpyScene second(3);
    copy->reset(&second, 1);
    second.rect_sender().invalidate(Rect(1, 1, 2, 2), 1);
    EXPECT_TRUE(qvSameArea(copy->local_redraw_area(), qvGridOf({Rect(0, 0, 6, 6)})));
    EXPECT_EQ(copy->layer(), 1);
}

TEST(qvViewSceneLayerScene, A_scene_destroyed_first_leaves_the_layer_showing_nothing) {
    SceneView v(3);
    const qvViewSceneLayer clone(v.layer->clone());
    v.scene.reset();
    for (qvViewSceneLayer const& layer : {v.layer, clone}) {
        EXPECT_EQ(layer->layer(), -1);
        EXPECT_THROW(layer->scene(), qvAssertionError);
    }
    EXPECT_TRUE(v.redraw(qvGridOf({Rect(0, 0, 10, 10)})));
    EXPECT_EQ(v.window.driver->draw_count(), 0);
}

TEST(qvViewSceneLayerScene, Moving_to_another_view_drops_the_palette_from_the_old_drivers_cache) {
    qvRasterSettings settings;
    settings.attribute_cache = true;
    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);
    SceneView v;
    v.renderer->driver(qvAsDriverHandle(driver));
    v.layer->reinitialize();
    driver->clear_log();
    v.layer->view(v.manager);   // the same view: nothing
    EXPECT_TRUE(driver->log().empty());
    const qvViewManager other = qvViewCreator::create();
    v.layer->view(other);
    EXPECT_EQ(driver->log(), std::vector<std::string>{"drop_all"});
    EXPECT_EQ(v.layer->view(), other.get());
}

TEST(qvViewSceneLayerScene, Answers_the_scene_layer_identity_beside_the_data_layers) {
    SpyScene scene(1);
    const qvViewSceneLayer layer(scene, 0);
    qvViewSceneLayerObject* const object = layer.get();
    EXPECT_EQ(qvQueryInterface<qvViewSceneLayerObject>(object), object);
    EXPECT_NE(qvQueryInterface<qvViewDataLayerObject>(object), nullptr);
    EXPECT_EQ(qvQueryInterface<qvViewManagerObject>(object), nullptr);
    layer->flags(0xFF);
    EXPECT_EQ(layer->flags(), 0xFEu);
}
