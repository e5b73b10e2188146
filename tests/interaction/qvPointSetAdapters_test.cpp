// The point-set adapters: corner moves as per-axis maps of the box, zero
// extents, rotation by one removal and one insertion, Bezier curves by the
// box of all their points, compact sets, and what the scene hears.

#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvRectToRectTransformation.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactBezier.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include "qvNotificationProbe.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

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

// A point set outside any scene that logs every call.
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
    qvMathRectOf<double> bbox() override {
        Box b(points[0], points[0]);
        for (auto const& p : points) b += Box(p, p);
        return b;
    }
    Points points;
    std::vector<std::string> log;
};

class PointSetAdapters : public ::testing::Test {
protected:
    qvMemoryScene scene;
    const Points square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {3, 7}};
    const Points vertical{{5, 0}, {5, 4}, {5, 10}};
};

}  // namespace

TEST_F(PointSetAdapters, A_scale_about_the_centre_maps_every_point_by_the_same_axis_map) {
    const qvExactPolygon polygon(scene, 5, square.data());
    qvAdapter<qvScaleInteraction>(polygon)->scale(15, 2, 2);
    Points expected;
    for (auto const& p : square) expected.push_back(p * 2 - qvCrdOf<double>(5, 5));
    expect_near(points_of(*polygon), expected);

    qvAdapter<qvScaleInteraction> scaling(polygon);
    scaling->move_lb(qvCrdOf<double>(40, 0));   // past the right edge: the box is ordered again
    expect_near(scaling->bbox(), Box(15, -5, 35, 15));
    scaling->move_lt(qvCrdOf<double>(-15, 5));
    scaling->move_rb(qvCrdOf<double>(0, 5));
    expect_near(scaling->bbox(), Box(0, 0, 35, 20));
    const qvCrdOf<double> before = polygon->point(0);
    scaling->move(qvCrdOf<double>(-1, 2));
    EXPECT_EQ(polygon->point(0), before + qvCrdOf<double>(-1, 2));
}

TEST_F(PointSetAdapters, A_zero_extent_stays_or_fails_with_nothing_changed) {
    const qvExactPolyline line(scene, 3, vertical.data());
    qvAdapter<qvScaleInteraction> scaling(line);
    try {
        scaling->move_rt(qvCrdOf<double>(5, 0));
        ADD_FAILURE() << "a zero width was opened";
    } catch (qvErrorFrom<qvRectToRectTransformation> const& error) {
        EXPECT_STREQ(static_cast<char const*>(error), "Degenerate rectangles cannot define transformation");
    }
    EXPECT_EQ(points_of(*line), vertical);
    scaling->move_rt(qvCrdOf<double>(0, 5));
    EXPECT_EQ(points_of(*line), (Points{{5, 0}, {5, 6}, {5, 15}}));
}

TEST_F(PointSetAdapters, Points_are_written_one_at_a_time_and_rotation_replaces_them_at_once) {
    LoggingPointSet set;
    set.points = {{1, 0}, {0, 2}};
    qvAdapter<qvMoveInteraction>(&set)->move(qvCrdOf<double>(1, 1));
    EXPECT_EQ(set.log, (std::vector<std::string>{"point 0", "point 1"}));
    EXPECT_EQ(set.points, (Points{{2, 1}, {1, 3}}));

    set.log.clear();
    set.points = {{1, 0}, {0, 2}};
    qvAdapter<qvRotateInteraction>(&set)->rotate(qvCrdOf<double>(0, 0), 90);
    EXPECT_EQ(set.log, (std::vector<std::string>{"remove 0 2", "insert 0 2"}));
    const qvCrdOf<double> turned = qvRotation(90) * qvCrdOf<double>(1, 0);
    EXPECT_NEAR(set.points[0].x, turned.x, 1e-12);
    EXPECT_NEAR(set.points[0].y, turned.y, 1e-12);
    EXPECT_NEAR(set.points[0].y, 1, 1e-12);
    EXPECT_NEAR(set.points[1].x, -2, 1e-12);

    // About another centre: the centre stays.
    set.points = {{3, 3}, {4, 3}};
    qvAdapter<qvRotateInteraction>(&set)->rotate(qvCrdOf<double>(3, 3), 180);
    expect_near(set.points, Points{{3, 3}, {2, 3}});

    set.log.clear();
    set.points.clear();
    qvAdapter<qvRotateInteraction>(&set)->rotate(qvCrdOf<double>(0, 0), 90);
    qvAdapter<qvMoveInteraction>(&set)->move(qvCrdOf<double>(1, 1));
    EXPECT_TRUE(set.log.empty());
}

TEST_F(PointSetAdapters, An_exact_bezier_moves_and_scales_by_the_box_of_all_its_points) {
    const Points nodes{{0, 0}, {4, 8}, {8, 8}, {12, 0}};
    const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointOnCurve};
    const qvExactBezier curve(scene, 4, nodes.data(), tags, nullptr);
    qvAdapter<qvScaleInteraction> scaling(curve);
    ASSERT_NE(scaling.get(), nullptr);
    EXPECT_EQ(scaling->bbox(), Box(0, 0, 12, 8));
    scaling->scale(15, 0.5, 0.5);   // about (6, 4)
    EXPECT_EQ(points_of(*curve), (Points{{3, 2}, {5, 6}, {7, 6}, {9, 2}}));
    EXPECT_EQ(curve->tag(1), qvPointControl);
    EXPECT_EQ(qvAdapter<qvRotateInteraction>(curve).get(), nullptr);   // no row rotates a Bezier access
}

TEST_F(PointSetAdapters, A_compact_set_scales_through_its_frame_and_rotates_its_points) {
    const Points outline{{0, 0}, {8, 0}, {8, 4}, {0, 4}};
    const qvPolygon compact(scene, 4, outline.data());
    qvAdapter<qvScaleInteraction>(compact)->scale(6, 2, 0.5);
    EXPECT_EQ(compact->rectangle(), Box(0, 0, 16, 2));
    qvAdapter<qvRotateInteraction>(compact)->rotate(qvCrdOf<double>(0, 0), 90);
    EXPECT_EQ(compact->size(), 4);
    const Box turned = compact->rectangle();
    EXPECT_NEAR(turned.x1, -2, 1e-3);
    EXPECT_NEAR(turned.y2, 16, 1e-3);
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
    ASSERT_EQ(receiver.items.size(), 2u);
    EXPECT_EQ(receiver.items[0], Box(0, 0, 49, 6));
    EXPECT_EQ(receiver.items[1], Box(100, 0, 149, 6));
    EXPECT_EQ(points_of(*exact)[49], qvCrdOf<double>(149, 0));

    receiver.items.clear();
    qvAdapter<qvRotateInteraction>(compact)->rotate(qvCrdOf<double>(0, 0), 180);
    ASSERT_EQ(receiver.items.size(), 2u);
    EXPECT_EQ(receiver.items[0], Box(0, 0, 49, 6));

    // A single edit still reports only its neighbourhood.
    receiver.items.clear();
    exact->point(0, qvCrdOf<double>(100, 1));
    EXPECT_EQ(receiver.items.size(), 2u);
    EXPECT_NE(receiver.items[0], (Box(100, 0, 149, 6)));
}

TEST_F(PointSetAdapters, A_read_only_scene_refuses_with_its_own_error_and_keeps_the_points) {
    long handle = 0;
    {
        const qvExactPolygon polygon(scene, 5, square.data());
        handle = polygon->shape_handle();
    }
    scene.read_only(true);
    const qvExactPolygon polygon(scene, handle);
    ASSERT_TRUE(polygon);
    try {
        qvAdapter<qvScaleInteraction>(polygon)->scale(15, 2);
        ADD_FAILURE() << "a read-only shape changed";
    } catch (qvErrorFrom<qvSingleShapeProxyBase> const& error) {
        EXPECT_STREQ(static_cast<char const*>(error), "Attempt to modify a read-only scene");
    }
    EXPECT_EQ(points_of(*polygon), square);
}
