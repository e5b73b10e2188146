// The point-set adapters: corner moves as per-axis maps of the box, zero
// extents, rotation by one removal and one insertion, Bezier curves by the
// box of all their points, what the scene hears, and read-only scenes.

#include <orvane/geometry/qvRectToRectTransformation.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactBezier.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;

using Box = qvMathRectOf<double>;
using Points = std::vector<qvCrdOf<double>>;

// A scale about a centre is two corner moves, each a division: equal to
// the last few bits.
void expect_near(Points const& got, Points const& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, 1e-12) << "point " << i;
        EXPECT_NEAR(got[i].y, want[i].y, 1e-12) << "point " << i;
    }
}
void expect_near(Box const& got, Box const& want) {
    expect_near(Points{got.lb(), got.rt()}, Points{want.lb(), want.rt()});
}

Points points_of(qvPointSetDataAccess& set) {
    Points out;
    for (int i = 0; i < set.size(); ++i)
        out.push_back(set.point(i));
    return out;
}

// A point set outside any scene that logs every change.
struct LoggingPointSet : qvInteractionTarget, qvPointSetDataAccess {
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvPointSetDataAccess>(this, info);
    }
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const&) const override {
        return &qvInterfaceIdentity<qvPointSetDataAccess>();
    }
    void insert(int from, int n, qvCrdOf<double> const* p) override {
        log.push_back("insert " + std::to_string(from) + " " + std::to_string(n));
        points.insert(points.begin() + from, p, p + n);
    }
    void remove(int from, int n) override {
        log.push_back("remove " + std::to_string(from) + " " + std::to_string(n));
        points.erase(points.begin() + from, points.begin() + from + n);
    }
    int size() override { return static_cast<int>(points.size()); }
    qvCrdOf<double> point(int i) override { return points[static_cast<std::size_t>(i)]; }
    void point(int i, qvCrdOf<double> p) override {
        log.push_back("point " + std::to_string(i));
        points[static_cast<std::size_t>(i)] = p;
    }
    qvMathRectOf<double> bbox() override { return {}; }
    Points points;
    std::vector<std::string> log;
};

class PointSetAdapters : public ::testing::Test {
protected:
    qvMemoryScene scene;
    const Points square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {3, 7}};
};

}  // namespace

TEST_F(PointSetAdapters, Corner_moves_map_the_box_onto_the_ordered_moved_box) {
    const qvExactPolygon polygon(scene, 5, square.data());
    qvAdapter<qvScaleInteraction> scaling(polygon);
    scaling->scale(15, 2, 2);
    Points expected;
    for (auto const& p : square)
        expected.push_back(p * 2 - qvCrdOf<double>(5, 5));
    expect_near(points_of(*polygon), expected);

    scaling->move_lb(qvCrdOf<double>(40, 0));  // past the right edge: ordered again, not mirrored
    expect_near(scaling->bbox(), Box(15, -5, 35, 15));
    expect_near(Points{polygon->point(0)}, Points{{15, -5}});
    scaling->move_lt(qvCrdOf<double>(-15, 5));
    scaling->move_rb(qvCrdOf<double>(0, 5));
    expect_near(scaling->bbox(), Box(0, 0, 35, 20));
}

TEST_F(PointSetAdapters, A_zero_extent_stays_or_fails_with_nothing_changed) {
    const Points vertical{{5, 0}, {5, 4}, {5, 10}};
    const qvExactPolyline line(scene, 3, vertical.data());
    qvAdapter<qvScaleInteraction> scaling(line);
    expect_raises<qvErrorFrom<qvRectToRectTransformation>>([&] { scaling->move_rt(qvCrdOf<double>(5, 0)); },
                                                           "Degenerate rectangles cannot define transformation");
    EXPECT_EQ(points_of(*line), vertical);
    scaling->move_rt(qvCrdOf<double>(0, 5));
    EXPECT_EQ(points_of(*line), (Points{{5, 0}, {5, 6}, {5, 15}}));
}

TEST_F(PointSetAdapters, Points_are_written_one_at_a_time_and_rotation_replaces_them_at_once) {
    LoggingPointSet set;
    set.points = {{1, 0}, {0, 2}};
    const double inf = std::numeric_limits<double>::infinity();
    // A move to an infinity used to be applied as given; it is refused
    // before the first point is written.
    expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { qvAdapter<qvMoveInteraction>(&set)->move(qvCrdOf<double>(inf, 1)); },
                                                   "Coordinate is not finite or out of range");
    EXPECT_TRUE(set.log.empty());
    qvAdapter<qvMoveInteraction>(&set)->move(qvCrdOf<double>(3, 1));
    EXPECT_EQ(set.log, (std::vector<std::string>{"point 0", "point 1"}));
    EXPECT_EQ(set.points, (Points{{4, 1}, {3, 3}}));

    set.log.clear();
    set.points = {{1, 0}, {0, 2}};
    qvAdapter<qvRotateInteraction>(&set)->rotate(qvCrdOf<double>(0, 0), 90);
    EXPECT_EQ(set.log, (std::vector<std::string>{"remove 0 2", "insert 0 2"}));
    const qvCrdOf<double> turned = qvRotation(90) * qvCrdOf<double>(1, 0);
    expect_near(set.points, Points{turned, {-2, 0}});
    expect_near(Points{turned}, Points{{0, 1}});

    set.log.clear();
    set.points.clear();  // nothing to insert: left alone
    qvAdapter<qvRotateInteraction>(&set)->rotate(qvCrdOf<double>(0, 0), 90);
    qvAdapter<qvMoveInteraction>(&set)->move(qvCrdOf<double>(1, 1));
    EXPECT_TRUE(set.log.empty());
}

TEST_F(PointSetAdapters, An_exact_bezier_moves_and_scales_by_the_box_of_all_its_points) {
    const Points nodes{{0, 0}, {4, 8}, {8, 8}, {12, 0}};
    const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointOnCurve};
    const qvExactBezier curve(scene, 4, nodes.data(), tags, nullptr);
    qvAdapter<qvScaleInteraction> scaling(curve);
    EXPECT_EQ(scaling->bbox(), Box(0, 0, 12, 8));
    scaling->scale(15, 0.5, 0.5);  // about (6, 4)
    EXPECT_EQ(points_of(*curve), (Points{{3, 2}, {5, 6}, {7, 6}, {9, 2}}));
    EXPECT_EQ(curve->tag(1), qvPointControl);
}

TEST_F(PointSetAdapters, The_scene_hears_one_box_before_and_one_after_a_whole_transform) {
    Points many;
    for (int i = 0; i < 50; ++i)
        many.push_back({static_cast<double>(i), static_cast<double>(i % 7)});
    const qvExactPolygon exact(scene, 50, many.data());
    const qvPolygon compact(scene, 50, many.data());
    qvNotificationLog log;
    qvRecordingReceiver<Box> receiver("r", log);
    receiver.connect(scene.rect_sender());

    qvAdapter<qvMoveInteraction>(exact)->move(qvCrdOf<double>(100, 0));
    EXPECT_EQ(receiver.items, (std::vector<Box>{{0, 0, 49, 6}, {100, 0, 149, 6}}));
    EXPECT_EQ(exact->point(49), qvCrdOf<double>(149, 0));
    receiver.items.clear();
    qvAdapter<qvRotateInteraction>(compact)->rotate(qvCrdOf<double>(0, 0), 180);
    ASSERT_EQ(receiver.items.size(), 2u);
    EXPECT_EQ(receiver.items[0], Box(0, 0, 49, 6));
    EXPECT_NEAR(compact->point(49).x, -49, 1e-3);  // quantised to the frame

    receiver.items.clear();  // a single edit still sends only its neighbourhood
    exact->point(0, qvCrdOf<double>(100, 1));
    EXPECT_EQ(receiver.items.size(), 2u);
    EXPECT_NE(receiver.items[0], Box(100, 0, 149, 6));
}

TEST_F(PointSetAdapters, A_read_only_scene_refuses_with_its_own_error_and_keeps_the_points) {
    const long handle = qvExactPolygon(scene, 5, square.data())->shape_handle();
    scene.read_only(true);
    const qvExactPolygon polygon(scene, handle);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { qvAdapter<qvScaleInteraction>(polygon)->scale(15, 2); },
                                                       "Attempt to modify a read-only scene");
    EXPECT_EQ(points_of(*polygon), square);
}
