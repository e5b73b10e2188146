// The scene port over a recording port: what each kind arrives as, the
// line width resolved in the private palette and everything put back
// afterwards (also when the target raises), refused records, the matrix and
// when it is recomputed, and re-entry.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimpleBezier.hpp>
#include <orvane/shapes/qvSimpleCompactBezier.hpp>
#include <orvane/shapes/qvSimpleCompactPolygon.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>

#include "qvShapeTestSupport.hpp"
#include "qvEveryKindScene.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using Record = std::unique_ptr<qvShapeBase>;
using Points = std::vector<qvCrdOf<double>>;

// A record of `kind` with the box (x1, y1, x2, y2) and recognisable handles.
Record box_record(long kind, float x1, float y1, float x2, float y2, long attribute = 0) {
    Record r(qvNewShapeRecord(48));
    r->kind = static_cast<std::int32_t>(kind);
    r->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(kind));
    r->shape_handle = 7;
    r->user_handle = 8;
    r->attribute_handle = static_cast<std::int32_t>(attribute);
    r->box = qvMathRectOf<float>(qvRectOf<float>(x1, y1, x2, y2));
    return r;
}

using shape_test::data_of;
using shape_test::exact_points;

// The record of a stand-alone shape, stamped as a scene's of `kind`.
template <class Shape>
Record copied(Shape& shape, long kind, long attribute = 0) {
    Record r = shape_test::scene_record(*shape->record(), kind, attribute);
    r->shape_handle = 7;
    return r;
}

// The tags of a received exact Bezier record.
std::vector<int> exact_tags(qvShapeBase const& record) {
    std::vector<int> out;
    auto const& d = data_of<qvBezierData>(record);
    for (int i = 0; i < d.count; ++i) out.push_back(d.nodes()[i].tag);
    return out;
}

int attribute_count(qvPalette* palette) {
    int n = 0;
    for (auto it = palette->enumerate(); it; ++it) ++n;
    return n;
}

struct ScenePort : ::testing::Test {
    qvStandardPalette scene_palette;
    shape_test::RecordingFlavorPort target;
    qvViewTScenePort port{target};
    ScenePort() { target.palette(&scene_palette); }

    // The record of call i.
    Record received(std::size_t i = 0) const { return target.record(i); }
};

const Points five = {{0, 0}, {10, 0}, {10, 10}, {5, 15.5}, {0, 10}};
const qvPointTag five_tags[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointOnCurve, qvPointClosedEnd};

}  // namespace

// ---------------------------------------------------------------------------
// Rectangles and ellipses

TEST_F(ScenePort, Identity_sends_a_rectangle_as_an_exact_polygon_with_the_source_header) {
    port.scale_line_width(false);
    Record rect = box_record(qvRectangleKind, 1, 2, 11, 7, 5);
    EXPECT_TRUE(port.draw_shape(*rect));

    ASSERT_EQ(target.calls.size(), 1u);
    Record r = received();
    EXPECT_EQ(r->kind, qvExactPolygonKind);
    EXPECT_EQ(exact_points(*r), (Points{{1, 2}, {1, 7}, {11, 7}, {11, 2}}));
    EXPECT_EQ(r->shape_handle, 7);
    EXPECT_EQ(r->user_handle, 8);
    EXPECT_EQ(r->proxy_class_id, rect->proxy_class_id);
    EXPECT_EQ(r->attribute_handle, 5);
    EXPECT_EQ(r->bbox(), qvMathRectOf<double>(1, 2, 11, 7));
    // The palette was set once, by the test, and never switched.
    EXPECT_EQ(target.palettes, std::vector<qvPalette*>{&scene_palette});
}

TEST_F(ScenePort, A_rotated_rectangle_still_arrives_as_four_points_turned) {
    port.scale_line_width(false);
    port.mapping(qvRotation(90));
    port.draw_shape(*box_record(qvRectangleKind, 1, 2, 11, 7));
    const Points got = exact_points(*received());
    const Points want = {{-2, 1}, {-7, 1}, {-7, 11}, {-2, 11}};
    ASSERT_EQ(got.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, 1e-12) << i;
        EXPECT_NEAR(got[i].y, want[i].y, 1e-12) << i;
    }
}

TEST_F(ScenePort, An_ellipse_arrives_as_a_closed_curve_of_thirteen_points) {
    port.scale_line_width(false);
    EXPECT_TRUE(port.draw_shape(*box_record(qvEllipseKind, 0, 0, 4, 2)));
    Record r = received();
    EXPECT_EQ(r->kind, qvExactBezierKind);
    const Points p = exact_points(*r);
    ASSERT_EQ(p.size(), 13u);
    const Points first = {{4, 1}, {4, 1.55228474983}, {3.10456949966, 2}, {2, 2}};
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_NEAR(p[i].x, first[i].x, 1e-9) << i;
        EXPECT_NEAR(p[i].y, first[i].y, 1e-9) << i;
    }
    EXPECT_EQ(p.front(), p.back());
    EXPECT_EQ(exact_tags(*r), (std::vector<int>{1, 2, 2, 1, 2, 2, 1, 2, 2, 1, 2, 2, 4}));

    // All 13, counter-clockwise from the right, on a box off the origin
    // that is wider (8) than high (3), so each inset (dx across, dy up)
    // and each side is told apart.
    port.draw_shape(*box_record(qvEllipseKind, 1, 2, 9, 5));
    const double dx = 8 * 0.223857625085, dy = 0.223857625085 * 3;
    const Points want = {{9, 3.5},     {9, 5 - dy}, {9 - dx, 5}, {5, 5},      {1 + dx, 5},
                         {1, 5 - dy},  {1, 3.5},    {1, 2 + dy}, {1 + dx, 2}, {5, 2},
                         {9 - dx, 2},  {9, 2 + dy}, {9, 3.5}};
    EXPECT_EQ(exact_points(*received(1)), want);
}

// ---------------------------------------------------------------------------
// Line widths

TEST_F(ScenePort, A_line_width_follows_the_mapping_in_the_private_palette_only) {
    qvAttributeProxy attribute(scene_palette, 0);
    attribute.line_width(1.5);
    const long handle = attribute.attribute_handle();
    port.mapping(qvScaling(2, 8));
    EXPECT_TRUE(port.draw_shape(*box_record(qvRectangleKind, 0, 0, 1, 1, handle)));

    ASSERT_EQ(target.calls.size(), 1u);
    auto const& call = target.calls[0];
    EXPECT_EQ(call.line_width, 6.0);
    ASSERT_NE(call.palette, nullptr);
    EXPECT_NE(call.palette, &scene_palette);
    EXPECT_NE(received()->attribute_handle, 0);
    // Afterwards: the target's palette is back, the scene's attribute is as
    // it was, no temporary is alive and the driver was told.
    EXPECT_EQ(target.palette(), &scene_palette);
    EXPECT_EQ(static_cast<double>(attribute.line_width()), 1.5);
    EXPECT_EQ(attribute_count(call.palette), 0);
    EXPECT_EQ(target.driver.drops, std::vector<std::string>{"drop " + std::to_string(received()->attribute_handle)});
    EXPECT_EQ(target.driver.drop_palettes, std::vector<qvPalette*>{call.palette});
}

TEST_F(ScenePort, A_raising_target_leaves_the_palettes_as_they_were) {
    qvAttributeProxy attribute(scene_palette, 0);
    attribute.line_width(1.5);
    port.mapping(qvScaling(2, 8));
    target.fail_on = 1;
    target.failure = shape_test::RecordingFlavorPort::Failure::raise;
    EXPECT_THROW(port.draw_shape(*box_record(qvRectangleKind, 0, 0, 1, 1, attribute.attribute_handle())),
                 qvErrorFrom<shape_test::RecordingFlavorPort>);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].line_width, 6.0);
    EXPECT_EQ(target.palette(), &scene_palette);
    EXPECT_EQ(static_cast<double>(attribute.line_width()), 1.5);
    EXPECT_EQ(attribute_count(target.calls[0].palette), 0);
    EXPECT_EQ(target.driver.drops.size(), 1u);

    // The port is usable again.
    EXPECT_TRUE(port.draw_shape(*box_record(qvRectangleKind, 0, 0, 1, 1, attribute.attribute_handle())));
}

TEST_F(ScenePort, An_unknown_attribute_handle_raises_and_changes_nothing) {
    EXPECT_THROW(port.draw_shape(*box_record(qvRectangleKind, 0, 0, 1, 1, 99)), qvError);
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(target.palette(), &scene_palette);
    // Without scaling the record passes with its handle, for the target to judge.
    port.scale_line_width(false);
    EXPECT_TRUE(port.draw_shape(*box_record(qvRectangleKind, 0, 0, 1, 1, 99)));
    EXPECT_TRUE(target.driver.drops.empty());
}

// ---------------------------------------------------------------------------
// Refused records

TEST_F(ScenePort, Kinds_it_does_not_draw_and_malformed_records_give_false_without_a_call) {
    for (long kind : {-3L, -17L, -8L, 0L, 5L}) {
        Record r(qvNewShapeRecord(256));   // room for any fixed part its kind has
        r->kind = static_cast<std::int32_t>(kind);
        r->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(kind));
        EXPECT_FALSE(port.draw_shape(*r)) << kind;
    }
    qvSimplePolygon polyline;
    polyline->insert(0, 5, five.data());
    Record negative = copied(polyline, qvExactPolylineKind);
    const_cast<qvPointSetData&>(data_of<qvPointSetData>(*negative)).count = -1;
    EXPECT_FALSE(port.draw_shape(*negative));
    Record past = copied(polyline, qvExactPolylineKind);
    const_cast<qvPointSetData&>(data_of<qvPointSetData>(*past)).offset = 200;
    EXPECT_FALSE(port.draw_shape(*past));
    Record too_many = copied(polyline, qvExactPolylineKind);
    const_cast<qvPointSetData&>(data_of<qvPointSetData>(*too_many)).count = 6;
    EXPECT_FALSE(port.draw_shape(*too_many));
    Record short_header = box_record(qvRectangleKind, 0, 0, 1, 1);
    short_header->size = 40;
    EXPECT_FALSE(port.draw_shape(*short_header));

    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(target.palettes.size(), 1u);
}

// ---------------------------------------------------------------------------
// Point sets and curves

TEST_F(ScenePort, A_compact_polygon_arrives_compact_in_the_box_of_its_mapped_points) {
    port.scale_line_width(false);
    port.mapping(qvTransformation(2, 0, 0, 3, 100, -50));
    qvSimpleCompactPolygon polygon;
    polygon->insert(0, 5, five.data());
    ASSERT_TRUE(port.draw_shape(*copied(polygon, qvCompactPolygonKind)));
    Record r = received();
    EXPECT_EQ(r->kind, qvCompactPolygonKind);
    EXPECT_EQ(r->bbox(), qvMathRectOf<double>(100, -50, 120, -3.5));
    EXPECT_EQ(data_of<qvCompactPointSetData>(*r).count, 5);

    // A compact polyline keeps its own kind.
    ASSERT_TRUE(port.draw_shape(*copied(polygon, qvCompactPolylineKind)));
    EXPECT_EQ(received(1)->kind, qvCompactPolylineKind);
}

TEST_F(ScenePort, Exact_point_sets_keep_their_kind_and_get_the_box_of_their_points) {
    port.scale_line_width(false);
    port.mapping(qvTransformation(1, 0, 0, 1, 0.5, 0));
    qvSimplePolygon line;
    line->insert(0, 5, five.data());
    ASSERT_TRUE(port.draw_shape(*copied(line, qvExactPolylineKind)));
    Record r = received();
    EXPECT_EQ(r->kind, qvExactPolylineKind);
    EXPECT_EQ(exact_points(*r), (Points{{0.5, 0}, {10.5, 0}, {10.5, 10}, {5.5, 15.5}, {0.5, 10}}));
    EXPECT_EQ(r->bbox(), qvMathRectOf<double>(0.5, 0, 10.5, 15.5));

    // A shorter record after a longer one carries only its own points.
    qvSimplePolygon two;
    two->insert(0, 2, five.data());
    ASSERT_TRUE(port.draw_shape(*copied(two, qvExactPolygonKind)));
    EXPECT_EQ(exact_points(*received(1)), (Points{{0.5, 0}, {10.5, 0}}));
}

TEST_F(ScenePort, Curves_keep_their_tags_in_both_forms) {
    port.scale_line_width(false);
    port.mapping(qvRotation(30));
    qvSimpleBezier exact;
    exact->insert(0, 5, five.data(), five_tags);
    ASSERT_TRUE(port.draw_shape(*copied(exact, qvExactBezierKind)));
    EXPECT_EQ(exact_tags(*received(0)), (std::vector<int>{1, 2, 2, 1, 4}));

    qvSimpleCompactBezier compact;
    compact->insert(0, 5, five.data(), five_tags);
    ASSERT_TRUE(port.draw_shape(*copied(compact, qvCompactBezierKind)));
    Record r = received(1);
    EXPECT_EQ(r->kind, qvCompactBezierKind);
    auto const& d = data_of<qvCompactBezierData>(*r);
    ASSERT_EQ(d.count, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(d.nodes()[i].tag, five_tags[i]) << i;
}

TEST_F(ScenePort, The_identity_mapping_again_gives_unscaled_output) {
    port.scale_line_width(false);
    port.mapping(qvScaling(3, 3));
    port.draw_shape(*box_record(qvRectangleKind, 1, 2, 11, 7));
    port.mapping(qvTransformation());
    port.draw_shape(*box_record(qvRectangleKind, 1, 2, 11, 7));
    EXPECT_EQ(exact_points(*received(0)), (Points{{3, 6}, {3, 21}, {33, 21}, {33, 6}}));
    EXPECT_EQ(exact_points(*received(1)), (Points{{1, 2}, {1, 7}, {11, 7}, {11, 2}}));
}

// A non-finite mapping used to hand the driver infinite and NaN points;
// then the temporary shapes refused them by raising "Coordinate is not
// finite or out of range", which ended a redraw at the first record. Such
// a record is now not drawn (false), and the port is left as it was.
TEST_F(ScenePort, Non_finite_mappings_reach_no_driver) {
    const double inf = std::numeric_limits<double>::infinity();
    port.mapping(qvTransformation(inf, 0, 0, std::numeric_limits<double>::quiet_NaN(), 0, 0));
    qvSimpleCompactPolygon compact;
    compact->insert(0, 5, five.data());
    qvSimpleBezier curve;
    curve->insert(0, 5, five.data(), five_tags);
    const Record records[] = {box_record(qvRectangleKind, 1, 2, 11, 7), box_record(qvEllipseKind, 1, 2, 11, 7),
                              copied(compact, qvCompactPolygonKind), copied(curve, qvExactBezierKind)};
    for (Record const& record : records) EXPECT_FALSE(port.draw_shape(*record)) << record->kind;
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(target.palettes, std::vector<qvPalette*>{&scene_palette});

    // A finite scale that takes the points past the float range: the
    // compact form keeps floats and cannot take them, the exact one can.
    const double scale = std::ldexp(1.0, 127);   // 1.7e38, exact
    port.mapping(qvScaling(scale, scale));
    qvSimplePolygon exact;
    exact->insert(0, 5, five.data());
    EXPECT_FALSE(port.draw_shape(*copied(compact, qvCompactPolygonKind)));
    EXPECT_TRUE(port.draw_shape(*copied(exact, qvExactPolygonKind)));
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(exact_points(*received())[3], (qvCrdOf<double>{5 * scale, 15.5 * scale}));

    // Larger still, the exact points hold, but a line width scaled past
    // the double range is no number the attribute takes: only that record
    // is skipped, a hairline under the same mapping is drawn.
    const double huge = std::ldexp(1.0, 1023);
    port.mapping(qvScaling(huge, huge));
    const Points unit = {{0, 0}, {1, 0}, {0.5, 1}};
    qvSimplePolygon small;
    small->insert(0, 3, unit.data());
    qvAttributeProxy wide(scene_palette, 0);
    wide.line_width(4.0);
    EXPECT_FALSE(port.draw_shape(*copied(small, qvExactPolygonKind, wide.attribute_handle())));
    EXPECT_EQ(target.calls.size(), 1u);
    EXPECT_TRUE(port.draw_shape(*copied(small, qvExactPolygonKind)));
    ASSERT_EQ(target.calls.size(), 2u);
    EXPECT_EQ(target.calls[1].line_width, 0.0);
}

// Regression: past a scale of about 1e154 the squares of the width formula
// overflowed; the width came out infinite (NaN for a hairline) and every
// record was skipped although its points mapped well.
TEST_F(ScenePort, A_line_width_follows_a_mapping_far_past_the_squares_range) {
    qvAttributeProxy attribute(scene_palette, 0);
    attribute.line_width(1.5);
    qvSimplePolygon exact;
    exact->insert(0, 5, five.data());
    // Powers of two: 1.5 x sqrt(2^600 x 2^602) is exact.
    port.mapping(qvScaling(std::ldexp(1.0, 600), std::ldexp(1.0, 602)));
    EXPECT_TRUE(port.draw_shape(*copied(exact, qvExactPolygonKind, attribute.attribute_handle())));
    EXPECT_TRUE(port.draw_shape(*copied(exact, qvExactPolygonKind)));   // a hairline
    ASSERT_EQ(target.calls.size(), 2u);
    EXPECT_EQ(target.calls[0].line_width, std::ldexp(1.5, 601));
    EXPECT_EQ(target.calls[1].line_width, 0.0);
    EXPECT_EQ(exact_points(*received(0))[3], (qvCrdOf<double>{std::ldexp(5.0, 600), std::ldexp(15.5, 602)}));

    // Turned and scaled unevenly, rows of lengths 25 x 2^700 and 25 x 2^500:
    // 1.5 x 25 x 2^600. Far below, where the squares underflowed to a width
    // of 0, the same rows at 2^-700 and 2^-500 give 1.5 x 25 x 2^-600.
    for (const int e : {700, -500}) {
        const double x = std::ldexp(1.0, e), y = std::ldexp(1.0, e > 0 ? 500 : -700);
        port.mapping(qvTransformation(15 * x, -20 * x, 20 * y, 15 * y, 0, 0));
        EXPECT_TRUE(port.draw_shape(*copied(exact, qvExactPolygonKind, attribute.attribute_handle())));
    }
    // A square that is subnormal keeps too few bits: a row of length
    // (1 + 2^-40) x 2^-520 lost its 2^-40 and gave 1.5 x 2^-260.
    port.mapping(qvTransformation(std::ldexp(1 + std::ldexp(1.0, -40), -520), 0, 0, 1, 0, 0));
    EXPECT_TRUE(port.draw_shape(*copied(exact, qvExactPolygonKind, attribute.attribute_handle())));
    ASSERT_EQ(target.calls.size(), 5u);
    EXPECT_EQ(target.calls[2].line_width, std::ldexp(37.5, 600));
    EXPECT_EQ(target.calls[3].line_width, std::ldexp(37.5, -600));
    EXPECT_EQ(target.calls[4].line_width, std::ldexp(1.5 * (1 + std::ldexp(1.0, -41)), -260));
    EXPECT_EQ(static_cast<double>(attribute.line_width()), 1.5);
}

// A redraw through the port of a scene of every kind, under a mapping that
// carries every point past the float range: the kinds kept in floats
// (rectangle corners, compact points, text and image anchors) cannot be
// mapped and are skipped; every other record is still drawn, in order.
TEST(ScenePortRedraw, Skips_the_records_it_cannot_map_and_draws_every_other) {
    qvEveryKindScene every;
    const qvMathRectOf<double> everywhere(-1e6, -1e6, 1e6, 1e6);
    shape_test::RecordingFlavorPort collected;
    every.scene().render(collected, -1, everywhere, false);
    // (Its markers have no style: they draw nothing under any mapping.)
    const std::vector<int> exact_kinds = {qvEllipseKind, qvExactPolylineKind, qvExactPolygonKind,
                                          qvExactBezierKind};
    std::vector<long> want;
    for (std::size_t i = 0; i < collected.calls.size(); ++i) {
        const Record r = collected.record(i);
        if (std::count(exact_kinds.begin(), exact_kinds.end(), r->kind) != 0) want.push_back(r->shape_handle);
    }
    ASSERT_EQ(want.size(), exact_kinds.size());

    shape_test::RecordingFlavorPort target;
    qvViewTScenePort port(target);
    port.mapping(qvTransformation(1e38, 0, 0, 1e38, 4e38, 4e38));
    every.scene().render(port, -1, everywhere, false);
    std::vector<long> drawn;
    for (std::size_t i = 0; i < target.calls.size(); ++i) drawn.push_back(target.record(i)->shape_handle);
    EXPECT_EQ(drawn, want);

    // Under a NaN no record maps, and the redraw still ends normally.
    target.calls.clear();
    port.mapping(qvTransformation(1, 0, 0, std::numeric_limits<double>::quiet_NaN(), 0, 0));
    every.scene().render(port, -1, everywhere, false);
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(target.palette(), &every.scene().palette());

    // Far past the range of the width formula's squares (about 1e154),
    // the exact kinds and their hairlines are drawn, within the draw's
    // shared copies; they used to be skipped, every one.
    port.mapping(qvScaling(1e200, 1e200));
    every.scene().render(port, -1, everywhere, false);
    drawn.clear();
    for (std::size_t i = 0; i < target.calls.size(); ++i) {
        drawn.push_back(target.record(i)->shape_handle);
        EXPECT_EQ(target.calls[i].line_width, 0.0) << i;
    }
    EXPECT_EQ(drawn, want);
}

// ---------------------------------------------------------------------------
// The matrix

TEST_F(ScenePort, The_mapping_acts_in_device_space_and_follows_only_the_port_own_setters) {
    port.scale_line_width(false);
    port.mapping(qvTransformation(1, 0, 0, 1, 4, 0));
    // Before the target's transformation is given through the port, M is
    // the mapping alone.
    port.draw_shape(*box_record(qvRectangleKind, 1, 1, 2, 2));
    EXPECT_EQ(exact_points(*received(0))[0], (qvCrdOf<double>{5, 1}));

    // Device (12, 2) moves to (16, 2), which is model (3, 1).
    port.transformation(qvRestrictedTransformation(2, 2, 10, 0));
    EXPECT_EQ(target.transformation(), qvRestrictedTransformation(2, 2, 10, 0));
    port.draw_shape(*box_record(qvRectangleKind, 1, 1, 2, 2));
    EXPECT_EQ(exact_points(*received(1))[0], (qvCrdOf<double>{3, 1}));

    // A change made on the target behind the port keeps the old M.
    target.transformation(qvRestrictedTransformation(1, 1, 0, 0));
    port.draw_shape(*box_record(qvRectangleKind, 1, 1, 2, 2));
    EXPECT_EQ(exact_points(*received(2))[0], (qvCrdOf<double>{3, 1}));
}

// ---------------------------------------------------------------------------
// Re-entry

TEST_F(ScenePort, A_target_calling_back_is_refused_and_the_outer_record_is_drawn) {
    port.mapping(qvScaling(2, 2));
    std::string message;
    target.on_draw = [&](qvShapeBase const& record) {
        try {
            port.draw_shape(record);
        } catch (qvErrorFrom<qvViewTScenePort> const& e) {
            message = static_cast<char const*>(e);
        }
    };
    EXPECT_TRUE(port.draw_shape(*box_record(qvRectangleKind, 1, 2, 11, 7)));
    EXPECT_EQ(message, "Scene port cannot be re-entered");
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(exact_points(*received()), (Points{{2, 4}, {2, 14}, {22, 14}, {22, 4}}));
    EXPECT_EQ(target.palette(), &scene_palette);

    // After the outer draw the port takes records again.
    target.on_draw = nullptr;
    EXPECT_TRUE(port.draw_shape(*box_record(qvRectangleKind, 1, 2, 11, 7)));
}
