// Point sets and Bezier curves of all eight kinds in a memory scene: saved
// and loaded back through the scene's stream (every record equal, points
// and tags read through new proxies made by the proxy classes), drawn as
// stored, and reporting their neighbourhoods with the layer the scene gives
// them.

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvBezier.hpp>
#include <orvane/shapes/qvExactBezier.hpp>
#include <orvane/shapes/qvExactPolyMarker.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvPolyline.hpp>

#include "qvNotificationProbe.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Points = std::vector<qvCrdOf<double>>;

const qvCrdOf<double> five[] = {{0, 0}, {10, 0}, {10, 10}, {5, 15.5}, {0, 10}};
const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointControl, static_cast<qvPointTag>(7),
                           qvPointClosedEnd};

Points points_of(qvPointSetDataAccess& shape) {
    Points out;
    for (int i = 0; i < shape.size(); ++i)
        out.push_back(shape.point(i));
    return out;
}

}  // namespace

TEST(qvMemoryScenePointSets, Eight_kinds_load_back_with_their_points_and_tags) {
    qvMemoryScene scene(2);
    const std::vector<qvGraphic> made = {
        qvPolyMarker(scene, 5, five),         qvPolyline(scene, 5, five),       qvPolygon(scene, 5, five),
        qvBezier(scene, 5, five, tags, nullptr), qvExactPolyMarker(scene, 5, five), qvExactPolyline(scene, 5, five),
        qvExactPolygon(scene, 5, five),       qvExactBezier(scene, 5, five, tags, nullptr)};
    std::vector<Points> points;
    for (qvGraphic const& g : made)
        points.push_back(points_of(*qvQueryInterface<qvPointSetDataAccess>(g.get())));
    scene.shape_layer(qvQueryInterface<qvSingleShapeProxyInterface>(made[2].get())->shape_handle(), 1);

    qvMemoryScene loaded(2);
    scene_test::load(loaded, scene_test::saved(scene));
    shape_test::RecordingFlavorPort ours, theirs;
    scene.render(ours, -1, scene_test::everywhere, false);
    loaded.render(theirs, -1, scene_test::everywhere, false);
    ASSERT_EQ(theirs.drawn.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(scene_test::without_handle(theirs.drawn[i]), scene_test::without_handle(ours.drawn[i])) << i;

    // Every graphic comes from the proxy class its record names.
    std::vector<Points> back;
    int curves = 0;
    for (auto it = loaded.enumerate(-1); it; ++it) {
        auto* const set = qvQueryInterface<qvPointSetDataAccess>(it->get());
        ASSERT_NE(set, nullptr);
        back.push_back(points_of(*set));
        if (auto* const curve = qvQueryInterface<qvBezierDataAccess>(it->get())) {
            ++curves;
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(curve->tag(i), tags[i]) << i;
        }
    }
    EXPECT_EQ(curves, 2);
    ASSERT_EQ(back.size(), 8u);
    // Layer 0 first (the polygon moved to layer 1 comes last).
    const std::vector<std::size_t> order = {0, 1, 3, 4, 5, 6, 7, 2};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(back[i], points[order[i]]) << i;
}

TEST(qvMemoryScenePointSets, Edits_report_their_neighbourhood_with_the_shape_layer) {
    qvMemoryScene scene(3);
    qvNotificationLog log;
    qvRecordingReceiver<qvMathRectOf<double>> areas{"rect", log};
    areas.connect(scene.rect_sender());
    qvExactPolyline line(scene, 5, five);
    scene.shape_layer(line->shape_handle(), 2);
    areas.items.clear();
    areas.flags.clear();

    line->point(2, qvCrdOf<double>(20, 20));
    EXPECT_EQ(areas.items, (std::vector<qvMathRectOf<double>>{{5, 0, 10, 15.5}, {5, 0, 20, 20}}));
    EXPECT_EQ(areas.flags, (std::vector<int>{2, 2}));
    EXPECT_EQ(line->record()->bbox(), qvMathRectOf<double>(0, 0, 20, 20));
    line->push_back(qvCrdOf<double>(-1, -1));
    EXPECT_EQ(line->record()->size, 48 + 6 * 16);
    EXPECT_EQ(scene.shape_layer(line->shape_handle()), 2);
}
