// The scene adapter: the mapping of changes and of drawing, the port put
// back on every exit, the inner scene's end, copies, and an adapter that
// shows the drawing scene holding it.

#include "qvDrawingTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvShapeTestSupport.hpp"

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/drawings/qvDrawingScene.hpp>
#include <orvane/drawings/qvSceneAdapter.hpp>
#include <orvane/geometry/qvRectToRectTransformation.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include <gtest/gtest.h>

#include <string>

namespace {

using Rect = qvMathRectOf<double>;
const Rect adapter_everywhere(-1e6, -1e6, 1e6, 1e6);

// Exposes the protected mapping.
class OpenAdapter : public qvSceneAdapter {
public:
    using qvSceneAdapter::qvSceneAdapter;
    using qvSceneAdapter::model_to_bounds;
};

// A memory scene that counts its destruction.
class CountedScene : public qvMemoryScene {
public:
    explicit CountedScene(int& deaths) : deaths_(deaths) {}
    ~CountedScene() override { ++deaths_; }

private:
    int& deaths_;
};

// One inner scene with one rectangle, an adapter hosted by a recording
// host, limits (0, 0, 100, 50) shown in (10, 10, 20, 15).
struct Shown {
    qvMemoryScene scene;
    qvRectangle shape{scene, 50, 25, 100, 50};
    qvRecordingDrawingHost host;
    OpenAdapter adapter{&scene, Rect(0, 0, 100, 50), false};
    Shown() {
        adapter.rectangle(Rect(10, 10, 20, 15));
        adapter.host(&host);
    }
};

}  // namespace

TEST(qvSceneAdapter, A_new_adapter_is_empty_and_draws_nothing) {
    qvMemoryScene scene;
    qvRectangle shape(scene, 0, 0, 10, 10);
    OpenAdapter adapter(&scene, Rect(0, 0, 100, 50), false);
    const qvRestrictedTransformation t(3, 3, 1, 1);
    EXPECT_EQ(adapter.bbox(nullptr), Rect::make_empty());
    EXPECT_EQ(adapter.bbox(&t), Rect::make_empty());
    EXPECT_EQ(adapter.scene(), &scene);
    EXPECT_EQ(adapter.model_limits(), Rect(0, 0, 100, 50));
    EXPECT_EQ(adapter.model_to_bounds(), qvRestrictedTransformation());
    shape_test::RecordingFlavorPort port;
    adapter.render(port, adapter_everywhere);
    EXPECT_TRUE(port.drawn.empty());

    OpenAdapter no_limits(&scene, Rect::make_empty(), false);
    no_limits.rectangle(Rect(0, 0, 10, 10));
    EXPECT_EQ(no_limits.model_to_bounds(), qvRestrictedTransformation());
    no_limits.render(port, adapter_everywhere);
    EXPECT_TRUE(port.drawn.empty());
    try {
        qvSceneAdapter none(nullptr, Rect(0, 0, 1, 1), true);
        ADD_FAILURE();
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "scene");
    }
}

TEST(qvSceneAdapter, Inner_changes_reach_the_host_mapped_onto_the_rectangle) {
    Shown s;
    EXPECT_EQ(s.adapter.model_to_bounds(), qvRestrictedTransformation(0.1, 0.1, 10, 10));
    s.host.rects.clear();
    s.scene.rect_sender().invalidate(Rect(50, 25, 100, 50), 3);
    EXPECT_EQ(s.host.rects, std::vector<Rect>{Rect(15, 12.5, 20, 15)});
    s.host.rects.clear();
    s.shape->rectangle(Rect(0, 0, 50, 25));   // an edit: old and new box
    ASSERT_FALSE(s.host.rects.empty());
    EXPECT_EQ(s.host.rects.front(), Rect(15, 12.5, 20, 15));
    EXPECT_EQ(s.host.rects.back(), Rect(10, 10, 15, 12.5));
    s.host.rects.clear();
    s.scene.rect_sender().invalidate();
    s.scene.palette().publisher().invalidate(1L, 0);   // any palette change: the whole rectangle
    s.scene.palette().publisher().invalidate();
    s.adapter.rectangle(Rect(10, 10, 20, 15));         // unchanged, still reported twice
    EXPECT_EQ(s.host.rects, std::vector<Rect>(5, Rect(10, 10, 20, 15)));
}

TEST(qvSceneAdapter, Draws_the_inner_scene_under_the_combined_mapping_and_restores_the_port) {
    Shown s;
    shape_test::RecordingFlavorPort port;
    const qvRestrictedTransformation t(2, 2, 5, 5);
    port.transformation(t);
    qvMemoryScene other;
    port.scene(&other);
    port.palette(&other.palette());
    s.adapter.render(port, Rect(15, 12, 16, 13));   // meets the shape's image only
    ASSERT_EQ(port.calls.size(), 1u);
    EXPECT_EQ(port.calls[0].transformation, t * qvRestrictedTransformation(0.1, 0.1, 10, 10));
    EXPECT_EQ(port.calls[0].palette, &s.scene.palette());
    EXPECT_EQ(port.transformation(), t);
    EXPECT_EQ(port.scene(), &other);
    EXPECT_EQ(port.palette(), &other.palette());

    s.adapter.render(port, Rect(10, 10, 14, 11));   // its inner area holds no shape
    EXPECT_EQ(port.calls.size(), 1u);

    port.fail_on = 2;
    port.failure = shape_test::RecordingFlavorPort::Failure::raise;
    EXPECT_THROW(s.adapter.render(port, adapter_everywhere), qvErrorFrom<shape_test::RecordingFlavorPort>);
    EXPECT_EQ(port.transformation(), t);
    EXPECT_EQ(port.scene(), &other);
    EXPECT_EQ(port.palette(), &other.palette());
}

TEST(qvSceneAdapter, Degenerate_limits_refuse_to_draw_but_changes_report_the_whole_rectangle) {
    qvMemoryScene scene;
    qvRectangle shape(scene, 0, 0, 10, 10);
    qvRecordingDrawingHost host;
    qvSceneAdapter adapter(&scene, Rect(5, 0, 5, 50), false);
    adapter.rectangle(Rect(10, 10, 20, 15));
    adapter.host(&host);
    shape_test::RecordingFlavorPort port;
    const qvRestrictedTransformation t(2, 2, 5, 5);
    port.transformation(t);
    try {
        adapter.render(port, adapter_everywhere);
        ADD_FAILURE();
    } catch (qvErrorFrom<qvRectToRectTransformation> const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "Degenerate rectangles cannot define transformation");
    }
    EXPECT_EQ(port.transformation(), t);
    EXPECT_EQ(port.scene(), nullptr);
    EXPECT_NO_THROW(shape->rectangle(Rect(1, 1, 2, 2)));
    ASSERT_FALSE(host.rects.empty());
    for (Rect const& r : host.rects)
        EXPECT_EQ(r, Rect(10, 10, 20, 15));
}

TEST(qvSceneAdapter, An_inner_scene_dying_first_leaves_an_adapter_that_draws_nothing) {
    int deaths = 0;
    auto* scene = new CountedScene(deaths);
    qvRectangle(*scene, 0, 0, 10, 10);
    qvRecordingDrawingHost host;
    qvSceneAdapter adapter(scene, Rect(0, 0, 100, 50), true);
    adapter.rectangle(Rect(0, 0, 10, 10));
    adapter.host(&host);
    delete scene;
    EXPECT_EQ(adapter.scene(), nullptr);
    shape_test::RecordingFlavorPort port;
    adapter.render(port, adapter_everywhere);
    EXPECT_TRUE(port.drawn.empty());
    EXPECT_EQ(deaths, 1);   // and the adapter's end must not delete it again
}

TEST(qvSceneAdapter, Only_the_adapter_built_owning_deletes_the_scene_and_copies_hear_for_themselves) {
    int deaths = 0;
    auto* scene = new CountedScene(deaths);
    auto original = std::make_unique<qvSceneAdapter>(scene, Rect(0, 0, 100, 50), true);
    original->rectangle(Rect(0, 0, 10, 5));
    qvRecordingDrawingHost a, b;
    original->host(&a);
    {
        qvSceneAdapter copy(*original);
        EXPECT_EQ(copy.host(), nullptr);
        EXPECT_EQ(copy.rectangle(), Rect(0, 0, 10, 5));
        copy.host(&b);
        scene->rect_sender().invalidate(Rect(0, 0, 100, 50), 0);
        EXPECT_EQ(a.rects, std::vector<Rect>{Rect(0, 0, 10, 5)});
        EXPECT_EQ(b.rects, std::vector<Rect>{Rect(0, 0, 10, 5)});
    }
    EXPECT_EQ(deaths, 0);
    scene->rect_sender().invalidate(Rect(0, 0, 100, 50), 0);   // the copy's collectors are gone
    EXPECT_EQ(a.rects.size(), 2u);
    original.reset();
    EXPECT_EQ(deaths, 1);
}

TEST(qvSceneAdapter, An_adapter_in_the_drawing_scene_it_shows_draws_it_once_and_reports_boundedly) {
    qvDrawingScene scene;
    qvTestDrawing plain(Rect(0, 0, 100, 100));
    qvSceneAdapter minimap(&scene, Rect(0, 0, 100, 100), false);
    minimap.rectangle(Rect(0, 0, 10, 10));
    scene.items()->add(&plain, qvOrderLast);
    scene.items()->add(&minimap, qvOrderLast);

    shape_test::RecordingFlavorPort port;
    scene.render(port, 0, adapter_everywhere, false);
    // The plain drawing: once directly, once through the minimap.
    ASSERT_EQ(plain.renders.size(), 2u);
    EXPECT_EQ(plain.renders[1].transformation, qvRestrictedTransformation(0.1, 0.1, 0, 0));
    EXPECT_EQ(port.transformation(), qvRestrictedTransformation());

    qvNotificationLog log;
    qvRecordingReceiver<Rect> ears("scene", log);
    ears.connect(scene.rect_sender());
    plain.box(Rect(0, 0, 50, 50));
    // Each of the two reports comes once directly and once through the
    // minimap, whose own report does not come round again.
    EXPECT_EQ(log.size(), 4u);
    scene.items()->clear();
}
