// The scene port's polymarkers over a recording port: the record passed on
// when markers do not follow the mapping, and otherwise one shape per
// marker: its outline per style, size and marker transformation, and one
// temporary attribute per marker with scaled line widths.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimpleCompactPolygon.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>

#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <set>
#include <string>
#include <vector>

namespace {

using Record = std::unique_ptr<qvShapeBase>;
using Points = std::vector<qvCrdOf<double>>;

// An exact (or compact) polymarker record of `points`.
template <class Shape = qvSimplePolygon>
Record polymarker(Points const& points, long attribute, long kind = qvExactPolyMarkerKind) {
    Shape shape;
    if (!points.empty())
        shape->insert(0, static_cast<int>(points.size()), points.data());
    else
        shape->remove(0, 0);
    Record r = shape_test::scene_record(*shape->record(), kind, attribute);
    r->shape_handle = 3;
    r->user_handle = 4;
    return r;
}

using shape_test::exact_points;

void expect_near(Points const& got, Points const& want, double tolerance) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, tolerance) << i;
        EXPECT_NEAR(got[i].y, want[i].y, tolerance) << i;
    }
}

struct Markers : ::testing::Test {
    qvStandardPalette palette;
    qvAttributeProxy attribute{palette, 0};
    shape_test::RecordingFlavorPort target;
    qvViewTScenePort port{target};

    Markers() {
        target.palette(&palette);
        target.device_bbox(qvMathRectOf<double>(0, 0, 100, 100));
        port.scale_line_width(false);
    }
    // A marker style and size for the attribute; its handle.
    long style(int marker_style, double size) {
        attribute.marker_style(qvMarkerStyle{marker_style});
        attribute.marker_size(qvMarkerSize(size));
        return attribute.attribute_handle();
    }
    // The points of the n-th record the target received.
    Points received(std::size_t i) const { return exact_points(*target.record(i)); }
};

}  // namespace

TEST_F(Markers, Without_marker_flags_the_polymarker_goes_on_as_one_mapped_record) {
    port.scale_markers(false);
    port.rotate_markers(false);
    port.mapping(qvScaling(2, 2));
    target.draw_answer = false;
    EXPECT_FALSE(port.draw_shape(*polymarker({{1, 1}, {2, 3}}, style(6, 3))));
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.record(0)->kind, qvExactPolyMarkerKind);
    EXPECT_EQ(received(0), (Points{{2, 2}, {4, 6}}));

    target.draw_answer = true;
    EXPECT_TRUE(port.draw_shape(*polymarker<qvSimpleCompactPolygon>({{0, 0}, {10, 10}}, 0, qvCompactPolyMarkerKind)));
    EXPECT_EQ(target.record(1)->kind, qvCompactPolyMarkerKind);
    EXPECT_EQ(target.record(1)->bbox(), qvMathRectOf<double>(0, 0, 20, 20));
}

TEST_F(Markers, Scaled_markers_carry_the_target_device_size_into_its_model_space) {
    // A non-square target: 2 model units a device unit across, 3 up.
    target.device_bbox(qvMathRectOf<double>(0, 0, 100, 50));
    target.model_box = qvMathRectOf<double>(0, 0, 200, 150);
    ASSERT_TRUE(port.draw_shape(*polymarker({{10, 10}}, style(6, 3))));
    ASSERT_EQ(target.calls.size(), 1u);
    Record r = target.record(0);
    EXPECT_EQ(r->kind, qvExactPolygonKind);
    EXPECT_EQ(exact_points(*r), (Points{{4, 1}, {4, 19}, {16, 19}, {16, 1}}));
    EXPECT_EQ(r->shape_handle, 3);
    EXPECT_EQ(r->user_handle, 4);
    EXPECT_EQ(r->attribute_handle, attribute.attribute_handle());
}

TEST_F(Markers, Size_zero_draws_as_four_and_a_dot_is_half_a_unit_whatever_the_size) {
    port.draw_shape(*polymarker({{10, 10}}, style(6, 0.0)));
    EXPECT_EQ(received(0), (Points{{6, 6}, {6, 14}, {14, 14}, {14, 6}}));
    port.draw_shape(*polymarker({{10, 10}}, style(1, 7)));
    EXPECT_EQ(received(1), (Points{{9.5, 9.5}, {9.5, 10.5}, {10.5, 10.5}, {10.5, 9.5}}));
}

TEST_F(Markers, Style_zero_and_an_empty_polymarker_draw_nothing_and_answer_true) {
    EXPECT_TRUE(port.draw_shape(*polymarker({{1, 1}, {2, 2}}, style(0, 3))));
    EXPECT_TRUE(port.draw_shape(*polymarker({{1, 1}}, style(9, 3))));
    EXPECT_TRUE(port.draw_shape(*polymarker({}, style(6, 3))));
    EXPECT_TRUE(target.calls.empty());
}

TEST_F(Markers, Each_style_has_its_outline) {
    const qvCrdOf<double> c{10, 20};
    port.draw_shape(*polymarker({c}, style(2, 1)));
    EXPECT_EQ(received(0), (Points{{9, 20}, {11, 20}, c, {10, 21}, {10, 19}, c, {9, 20}}));
    port.draw_shape(*polymarker({c}, style(5, 1)));
    EXPECT_EQ(received(1), (Points{{9, 19}, {11, 21}, c, {9, 21}, {11, 19}, c, {9, 19}}));
    port.draw_shape(*polymarker({c}, style(3, 1)));
    EXPECT_EQ(received(2), (Points{{9, 20}, {11, 20}, c, {10, 21}, {10, 19}, c, {9, 19}, {11, 21}, c, {9, 21},
                                   {11, 19}, c, {9, 20}}));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(target.record(i)->kind, qvExactPolygonKind);
}

TEST_F(Markers, A_circle_is_a_closed_curve_starting_and_ending_at_centre_plus_t_of_s_0) {
    target.device_bbox(qvMathRectOf<double>(0, 0, 100, 50));
    target.model_box = qvMathRectOf<double>(0, 0, 200, 150);
    ASSERT_TRUE(port.draw_shape(*polymarker({{10, 10}}, style(4, 3))));
    Record r = target.record(0);
    EXPECT_EQ(r->kind, qvExactBezierKind);
    const Points p = exact_points(*r);
    ASSERT_EQ(p.size(), 13u);
    EXPECT_EQ(p.front(), (qvCrdOf<double>{16, 10}));
    EXPECT_EQ(p.back(), p.front());
    EXPECT_EQ(p[3], (qvCrdOf<double>{10, 19}));
    // All 13: four quarter arcs, each the first one's three points
    // (1, k), (k, 1), (0, 1) turned on by a quarter, then stretched to the
    // half-extents 6 across and 9 up.
    const double k = 0.55228474983;
    Points want{{16, 10}};
    for (int quarter = 0; quarter < 4; ++quarter)
        for (qvCrdOf<double> q : Points{{1, k}, {k, 1}, {0, 1}}) {
            for (int turn = 0; turn < quarter; ++turn) q = {-q.y, q.x};
            want.push_back({10 + 6 * q.x, 10 + 9 * q.y});
        }
    expect_near(p, want, 1e-12);
}

TEST_F(Markers, Rotated_markers_turn_with_the_mapping_and_keep_their_model_size) {
    port.scale_markers(false);
    port.mapping(qvRotation(30));
    ASSERT_TRUE(port.draw_shape(*polymarker({{0, 0}, {10, 0}}, style(6, 2))));
    ASSERT_EQ(target.calls.size(), 2u);
    const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
    const qvCrdOf<double> centre{10 * c, 10 * s};
    Points want;
    for (qvCrdOf<double> o : Points{{-2, -2}, {-2, 2}, {2, 2}, {2, -2}})
        want.push_back({centre.x + o.x * c - o.y * s, centre.y + o.x * s + o.y * c});
    expect_near(received(1), want, 1e-12);
}

// Also within a draw (the port given a palette, as a scene's render does),
// where other records share one scaled copy per attribute: the markers of
// one record once all carried that copy's handle. Then each marker made its
// own copy from the scene's palette, which cost a polymarker ten times its
// drawing; now the markers' attributes are copies of the record's copy,
// kept for the draw, each dropped from the driver's cache once it is gone.
TEST_F(Markers, Scaled_line_widths_give_each_marker_its_own_temporary_attribute) {
    attribute.line_width(1.5);
    attribute.line_color(0.25f, 0.5f, 0.75f);
    port.scale_line_width(true);
    port.scale_markers(false);
    port.mapping(qvScaling(2, 8));
    const long source = style(6, 1);
    qvAttributeProxy wide(palette, 0);
    wide.line_width(0.5);
    wide.line_color(0.5f, 0.25f, 0.125f);
    wide.marker_style(qvMarkerStyle{6});
    // Handles sent per record and all handles sent.
    auto handles_of = [&](std::size_t first, std::size_t n) {
        std::set<long> handles;
        for (std::size_t i = first; i < first + n; ++i) handles.insert(target.record(i)->attribute_handle);
        return handles;
    };
    for (bool within_draw : {false, true}) {
        SCOPED_TRACE(within_draw ? "within a draw" : "outside a draw");
        if (within_draw) port.palette(&palette);
        target.calls.clear();
        target.driver.drops.clear();
        std::vector<std::size_t> drops_before;
        target.on_draw = [&](qvShapeBase const&) { drops_before.push_back(target.driver.drops.size()); };
        ASSERT_TRUE(port.draw_shape(*polymarker({{0, 0}, {1, 1}, {2, 2}}, source)));
        ASSERT_TRUE(port.draw_shape(*polymarker({{0, 0}, {1, 1}}, wide.attribute_handle())));
        ASSERT_TRUE(port.draw_shape(*polymarker({{5, 5}, {6, 6}, {7, 7}}, source)));

        ASSERT_EQ(target.calls.size(), 8u);
        qvPalette* const private_palette = target.calls[0].palette;
        for (std::size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(target.calls[i].line_width, i == 3 || i == 4 ? 2.0 : 6.0) << i;
            EXPECT_NE(target.calls[i].palette, &palette) << i;
            EXPECT_EQ(target.calls[i].palette, private_palette) << i;
        }
        const std::set<long> first = handles_of(0, 3), second = handles_of(3, 2), third = handles_of(5, 3);
        EXPECT_EQ(first.size(), 3u);
        EXPECT_EQ(second.size(), 2u);
        EXPECT_EQ(third.size(), 3u);
        EXPECT_FALSE(first.contains(source));
        std::set<long> all = first;
        all.insert(second.begin(), second.end());
        all.insert(third.begin(), third.end());
        EXPECT_EQ(target.palette(), &palette);
        if (within_draw) {
            // Kept for the draw: a record of an attribute seen before draws
            // its markers with the same attributes, and nothing was dropped.
            EXPECT_EQ(third, first);
            EXPECT_EQ(all.size(), 5u);
            EXPECT_TRUE(target.driver.drops.empty());
            for (long const handle : all) {
                qvAttributeProxy sent(*private_palette, handle);
                const bool of_wide = second.contains(handle);
                EXPECT_EQ(sent.line_color(), of_wide ? qvRgbColor(0.5f, 0.25f, 0.125f) : qvRgbColor(0.25f, 0.5f, 0.75f))
                    << handle;
                EXPECT_EQ(static_cast<double>(sent.line_width()), of_wide ? 2.0 : 6.0) << handle;
            }
            port.mapping(qvScaling(2, 8));   // ends the draw
        } else {
            // A record outside a draw is a draw of its own: its copy and
            // its markers' attributes go once it is done, never before.
            EXPECT_EQ(all.size(), 8u);
            EXPECT_EQ(drops_before, (std::vector<std::size_t>{0, 0, 0, 4, 4, 7, 7, 7}));
        }
        // Every attribute sent is gone and was dropped from the driver's cache.
        std::set<std::string> dropped(target.driver.drops.begin(), target.driver.drops.end());
        for (long const handle : all) EXPECT_TRUE(dropped.contains("drop " + std::to_string(handle))) << handle;
        EXPECT_FALSE(private_palette->enumerate());
    }
}

// Past what the port keeps for one attribute, each marker still gets a
// handle of its own.
TEST_F(Markers, A_polymarker_of_many_points_sends_as_many_handles) {
    attribute.line_width(1.5);
    port.scale_line_width(true);
    port.scale_markers(false);
    port.mapping(qvScaling(2, 8));
    Points points;
    for (int i = 0; i < 300; ++i) points.push_back({0.5 * i, 0.25 * i});
    ASSERT_TRUE(port.draw_shape(*polymarker(points, style(6, 1))));
    ASSERT_EQ(target.calls.size(), 300u);
    std::set<long> handles;
    for (std::size_t i = 0; i < 300; ++i) {
        handles.insert(target.record(i)->attribute_handle);
        EXPECT_EQ(target.calls[i].line_width, 6.0) << i;
    }
    EXPECT_EQ(handles.size(), 300u);
    EXPECT_FALSE(target.calls[0].palette->enumerate());
}

// A change of the record's attribute announced while its markers are drawn
// reaches the next record, whose markers keep handles of their own.
TEST_F(Markers, A_change_announced_during_a_draw_reaches_the_next_record) {
    attribute.line_width(1.5);
    port.scale_line_width(true);
    port.scale_markers(false);
    port.mapping(qvScaling(2, 8));
    const long source = style(6, 1);
    port.palette(&palette);
    target.on_draw = [&](qvShapeBase const&) {
        if (target.calls.size() == 1) attribute.line_width(2.5);
    };
    ASSERT_TRUE(port.draw_shape(*polymarker({{0, 0}, {1, 1}}, source)));
    ASSERT_TRUE(port.draw_shape(*polymarker({{0, 0}, {1, 1}}, attribute.attribute_handle())));
    ASSERT_EQ(target.calls.size(), 4u);
    EXPECT_EQ(target.calls[1].line_width, 6.0);
    EXPECT_EQ(target.calls[2].line_width, 10.0);
    EXPECT_EQ(target.calls[3].line_width, 10.0);
    EXPECT_NE(target.record(2)->attribute_handle, target.record(3)->attribute_handle);
}

TEST_F(Markers, A_marker_the_target_refuses_does_not_stop_the_others) {
    target.fail_on = 1;
    target.failure = shape_test::RecordingFlavorPort::Failure::answer_false;
    EXPECT_TRUE(port.draw_shape(*polymarker({{0, 0}, {5, 5}}, style(6, 1))));
    EXPECT_EQ(target.calls.size(), 2u);
}

// Markers with a NaN point once raised "Coordinate is not finite or out of
// range" out of the temporary polygon, ending the redraw they were in.
TEST_F(Markers, Markers_the_mapping_carries_to_no_finite_point_are_skipped) {
    port.mapping(qvTransformation(1, 0, 0, std::numeric_limits<double>::quiet_NaN(), 0, 0));
    for (int marker_style : {4, 6}) EXPECT_TRUE(port.draw_shape(*polymarker({{0, 0}, {5, 5}}, style(marker_style, 1))));
    EXPECT_TRUE(target.calls.empty());
}
