// The selector's driver, buffer and draw-object faces, its settings and
// handles, and the draw object's road from draw_shape to the callback.

#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvPolygonSelector.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvVBufOffset.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvPointSetDataAccess.hpp>

#include "qvAttributeStreams.hpp"
#include "qvRasterDriver.hpp"
#include "qvSelectorTestRecords.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace selector_test;

// Answers each hit with the next of its answers (true when they run out)
// and logs the kinds it was given.
struct LoggingCallback : qvSelector::Callback {
    std::vector<bool> answers;
    std::vector<int> kinds;
    std::vector<qvScene const*> scenes;
    bool selected(qvShapeBase const* record, qvScene const* scene) override {
        kinds.push_back(record->kind);
        scenes.push_back(scene);
        const std::size_t i = kinds.size() - 1;
        return i < answers.size() ? answers[i] : true;
    }
};

// A spot selector that logs the kinds check_selection is asked about.
class CountingSpot : public qvSpotSelectorObject {
public:
    using qvSpotSelectorObject::qvSpotSelectorObject;
    bool check_selection(qvShapeBase const* record, Info info) override {
        tested.push_back(record->kind);
        return qvSpotSelectorObject::check_selection(record, info);
    }
    std::vector<int> tested;
};

struct Road {
    qvISafePtr<CountingSpot> selector;
    qvISafePtr<qvVBufObject> vbuf;
    qvISafePtr<qvDrawObject> draw;
    qvFlavorPort* port = nullptr;
    explicit Road(qvSelector::Callback* callback) : selector(new CountingSpot(Pt{5, 5}, callback)) {
        vbuf = selector->new_master_vbuf();
        draw = vbuf->new_draw();
        port = qvQueryInterface<qvFlavorPort>(draw.get());
    }
};

// A point-set data access over a vector, with a box of its own choosing.
class VectorPoints : public qvPointSetDataAccess {
public:
    std::vector<Pt> points;
    Box box{0, 0, 0, 0};
    void insert(int, int, qvCrdOf<double> const*) override {}
    void remove(int, int) override {}
    int size() override { return static_cast<int>(points.size()); }
    qvCrdOf<double> point(int i) override { return points[static_cast<std::size_t>(i)]; }
    void point(int, qvCrdOf<double>) override {}
    qvMathRectOf<double> bbox() override { return box; }
};

}  // namespace

TEST(qvSelector, Driver_face_answers_a_device_without_buffers) {
    qvSpotSelector spot(Pt{0, 0}, nullptr);
    qvDriverObject& driver = *spot;
    EXPECT_EQ(driver.available(), 0);
    EXPECT_EQ(driver.info(0), 0u);
    EXPECT_EQ(driver.info(7), 0u);
    EXPECT_TRUE(driver.initialized());
    for (int type : {-1, 0, 3})
        for (long side : {0L, 1L, 100000L})
            EXPECT_EQ(driver.new_vbuf(type, side, side, {}).get(), nullptr);
    EXPECT_EQ(driver.h_dpi(), 0.0);
    EXPECT_EQ(driver.v_dpi(), 0.0);
    EXPECT_EQ(driver.h_quantum(), 0.0);
    EXPECT_EQ(driver.v_quantum(), 0.0);
    driver.added_width(9);
    EXPECT_EQ(driver.added_width(), 1);
    EXPECT_EQ(spot->options(), 0u);
    EXPECT_FALSE(spot->mirror_x());
    EXPECT_TRUE(spot->y_down());
}

TEST(qvSelector, Master_buffer_and_draw_object_answer_the_road_without_drawing) {
    qvSpotSelector spot(Pt{0, 0}, nullptr);
    const qvISafePtr<qvVBufObject> vbuf = spot->new_master_vbuf();
    ASSERT_NE(vbuf.get(), nullptr);
    EXPECT_EQ(vbuf->width(), -1);
    EXPECT_EQ(vbuf->height(), -1);
    EXPECT_EQ(vbuf->type(), 0);
    EXPECT_EQ(vbuf->info(), 0u);
    EXPECT_EQ(&vbuf->driver(), static_cast<qvDriverObject*>(spot.get()));
    EXPECT_EQ(vbuf->zero_point_x(), 0);
    EXPECT_EQ(vbuf->axes(), 0u);
    EXPECT_TRUE(vbuf->scroll(3, 4, nullptr));
    const qvISafePtr<qvDrawObject> draw = vbuf->new_draw();
    ASSERT_NE(draw.get(), nullptr);
    EXPECT_EQ(&draw->vbuf(), vbuf.get());
    qvFlavorPort* const port = qvQueryInterface<qvFlavorPort>(draw.get());
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(&port->draw(), draw.get());
    EXPECT_EQ(qvQueryInterface<qvVBufOffset>(draw.get()), nullptr);
    draw->brush_origin(Pt{4, 5});
    EXPECT_EQ(draw->brush_origin(), (Pt{0, 0}));
    draw->clip(Box(0, 0, 10, 10));
    EXPECT_TRUE(draw->clip().empty());
    EXPECT_EQ(&draw->clip(), &draw->clip()) << "one region, made once";
    EXPECT_FALSE(draw->copy(*vbuf, Box(0, 0, 1, 1), Box(0, 0, 1, 1)));
    const qvExtent e = port->text_metrics(3, "abc", 3);
    EXPECT_EQ(e.width, 0.0);
    EXPECT_EQ(e.descent, 0.0);
    EXPECT_EQ(e.ascent, 0.0);
}

TEST(qvSelector, Buffer_and_draw_object_keep_their_selector_alive) {
    qvISafePtr<qvDrawObject> draw;
    {
        qvSpotSelector spot(Pt{5, 5}, nullptr);
        draw = spot->new_master_vbuf()->new_draw();
    }
    // Only the draw object holds the selector now.
    qvFlavorPort* const port = qvQueryInterface<qvFlavorPort>(draw.get());
    const Record r = make(qvArcKind, Box(0, 0, 10, 10));
    EXPECT_TRUE(port->draw_shape(*r));
}

TEST(qvSelector, Port_geometry_derives_inverse_and_model_box_on_demand) {
    Road road(nullptr);
    qvFlavorPort& port = *road.port;
    EXPECT_TRUE(port.transformation() == qvRestrictedTransformation::identity());
    port.transformation(qvRestrictedTransformation(2, -4, 10, 20));
    port.device_bbox(Box(10, 0, 30, 20));
    EXPECT_EQ(port.model_bbox(), Box(0, 0, 10, 5));
    port.transformation(qvRestrictedTransformation(0.5, 1, 0, 0));
    EXPECT_TRUE(port.inverse_transformation() == qvRestrictedTransformation(2, 1, 0, 0));
    EXPECT_EQ(port.model_bbox(), Box(20, 0, 60, 20));
    EXPECT_EQ(port.device_bbox(), Box(10, 0, 30, 20));
}

TEST(qvSelector, Wrapped_driver_supplies_resolution_and_default_tolerance) {
    qvRasterSettings settings;
    settings.dpi = 120;
    settings.added_width = 3;
    const qvISafePtr<qvRasterDriver> raster = qvRasterDriver::create(settings);
    qvSpotSelector spot(Pt{1, 2}, nullptr, qvISafePtr<qvDriverObject>(raster, raster.get()));
    EXPECT_EQ(spot->tolerance(), 3.0);
    EXPECT_EQ(spot->h_dpi(), 120.0);
    EXPECT_EQ(spot->new_master_vbuf()->v_dpi(), 120.0);
    EXPECT_EQ(spot->h_quantum(), 1.0);
    EXPECT_EQ(spot->added_width(), 1);

    qvSpotSelector bare(Pt{1, 2}, nullptr);
    EXPECT_EQ(bare->tolerance(), 5.0);
    EXPECT_EQ(bare->bbox(), Box(-4, -3, 6, 7));
    bare->setup(Pt{0, 0}, -2);
    EXPECT_EQ(bare->bbox(), Box(-2, -2, 2, 2));
}

TEST(qvSelector, Handles_convert_to_the_driver_a_renderer_takes) {
    qvBoxSelector box(Box(0, 0, 1, 1), nullptr, true);
    qvPolygonSelector polygon(nullptr);
    qvSpotSelector empty;
    EXPECT_EQ(empty.get(), nullptr);
    const qvISafePtr<qvDriverObject> a = box, b = polygon;
    EXPECT_EQ(a.get(), static_cast<qvDriverObject*>(box.get()));
    EXPECT_EQ(b.get(), static_cast<qvDriverObject*>(polygon.get()));
}

TEST(qvSelector, Box_selector_copies_point_at_their_own_corners) {
    qvBoxSelectorObject original(Box(1, 2, 3, 4), nullptr, true);
    const Pt expected[4] = {{1, 2}, {1, 4}, {3, 4}, {3, 2}};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(original.points()[i], expected[i]);
    EXPECT_EQ(original.count(), 4);

    qvBoxSelectorObject copy(original);
    EXPECT_EQ(copy.points(), copy.corners());
    EXPECT_TRUE(copy.touch());
    qvBoxSelectorObject assigned(nullptr);
    assigned = original;
    EXPECT_EQ(assigned.points(), assigned.corners());
    original.setup(Box(10, 10, 20, 20), false);
    EXPECT_EQ(copy.points()[2], (Pt{3, 4}));
    EXPECT_EQ(assigned.bbox(), Box(1, 2, 3, 4));
    EXPECT_EQ(original.bbox(), Box(10, 10, 20, 20));
}

TEST(qvSelector, Polygon_selector_box_comes_from_its_source) {
    qvPolygonSelectorObject none(nullptr);
    EXPECT_EQ(attribute_test::raised<qvAssertionError>([&] { (void)none.bbox(); }), "area");
    Pt pts[3] = {{1, 5}, {-2, 3}, {4, 0}};
    qvPolygonSelectorObject array(3, pts, nullptr, false);
    EXPECT_EQ(array.bbox(), Box(-2, 0, 4, 5));
    array.setup(0, pts, false);
    EXPECT_EQ(array.bbox(), Box::make_empty());
    array.setup(3, nullptr, false);
    EXPECT_EQ(array.bbox(), Box::make_empty());
    const Record r = make(qvRectangleKind, Box(-100, -100, 100, 100));
    EXPECT_FALSE(array.check_selection(r.get(), {&qvRestrictedTransformation::identity(), nullptr}));

    VectorPoints access;
    access.box = Box(7, 7, 9, 9);  // its own box, whatever its points
    qvPolygonSelectorObject from_access(&access, nullptr, true);
    EXPECT_EQ(from_access.bbox(), Box(7, 7, 9, 9));
    EXPECT_FALSE(from_access.check_selection(r.get(), {&qvRestrictedTransformation::identity(), nullptr}));
    access.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    from_access.setup(&access, false);
    const Record inside = make(qvRectangleKind, Box(2, 2, 3, 3));
    EXPECT_TRUE(from_access.check_selection(inside.get(), {&qvRestrictedTransformation::identity(), nullptr}));
}

TEST(qvSelector, Callback_false_stops_every_later_record_of_the_redraw) {
    LoggingCallback callback;
    callback.answers = {false};
    Road road(&callback);
    const Record hit1 = make(qvArcKind, Box(0, 0, 10, 10));
    const Record hit2 = make(qvPieSliceKind, Box(0, 0, 10, 10));
    EXPECT_TRUE(road.port->draw_shape(*hit1));
    EXPECT_TRUE(road.port->draw_shape(*hit2));
    EXPECT_EQ(road.selector->tested, (std::vector<int>{qvArcKind}));
    EXPECT_EQ(callback.kinds, (std::vector<int>{qvArcKind}));
    // A new draw object (the next redraw) starts unstopped.
    const qvISafePtr<qvDrawObject> next = road.vbuf->new_draw();
    EXPECT_TRUE(qvQueryInterface<qvFlavorPort>(next.get())->draw_shape(*hit2));
    EXPECT_EQ(callback.kinds, (std::vector<int>{qvArcKind, qvPieSliceKind}));
}

TEST(qvSelector, Hits_reach_the_callback_with_the_port_scene_in_record_order) {
    LoggingCallback callback;
    Road road(&callback);
    qvScene* const scene = reinterpret_cast<qvScene*>(&callback);  // only compared
    road.port->scene(scene);
    const Record hit = make(qvArcKind, Box(0, 0, 10, 10));
    const Record miss = make(qvArcKind, Box(20, 20, 30, 30));
    const Record flavor = make(7, Box(4, 4, 6, 6));
    for (qvShapeBase const* r : {hit.get(), miss.get(), flavor.get()}) EXPECT_TRUE(road.port->draw_shape(*r));
    EXPECT_EQ(callback.kinds, (std::vector<int>{qvArcKind, 7}));
    EXPECT_EQ(callback.scenes, (std::vector<qvScene const*>{scene, scene}));
}

TEST(qvSelector, Null_callback_ignores_hits_and_the_traversal_goes_on) {
    Road road(nullptr);
    const Record hit = make(qvArcKind, Box(0, 0, 10, 10));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(road.port->draw_shape(*hit));
    EXPECT_EQ(road.selector->tested.size(), 3u);
}

TEST(qvSelector, Record_failing_the_check_is_neither_tested_nor_reported) {
    LoggingCallback callback;
    Road road(&callback);
    Record bad = exact(qvExactPolylineKind, {{0, 0}, {10, 10}});
    data<qvPointSetData>(bad).count = 1000;  // past its size
    EXPECT_FALSE(road.port->draw_shape(*bad));
    EXPECT_FALSE(road.selector->check_selection(bad.get(), {&qvRestrictedTransformation::identity(), nullptr}));
    Record short_text = text(qvScaledTextKind, {5, 5}, "abc", {10, 1, 2}, 6);
    short_text->size = 120;  // the text no longer fits
    EXPECT_FALSE(road.port->draw_shape(*short_text));
    EXPECT_TRUE(callback.kinds.empty());
    EXPECT_EQ(road.selector->tested, (std::vector<int>{qvExactPolylineKind}));
}
