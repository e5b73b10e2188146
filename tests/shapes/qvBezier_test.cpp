// Bezier curves, compact and exact: the tagged records byte for byte, tags
// travelling with their points, the tag operations and their failures, the
// composite operations, the frame of the compact form and the box of the
// exact one, identities and interactions. (Records written and read back
// through a memory scene: tests/scenes/qvMemoryScenePointSets_test.cpp.)

#include <orvane/shapes/qvBezier.hpp>
#include <orvane/shapes/qvExactBezier.hpp>
#include <orvane/shapes/qvPolygon.hpp>

#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;
using shape_test::RecordingScene;
using shape_test::at;
using shape_test::bytes_hex;
using shape_test::raw;
using Boxes = std::vector<qvMathRectOf<double>>;
using Points = std::vector<qvCrdOf<double>>;
using Tags = std::vector<int>;

// The tag layers of the two in-scene kinds, whose errors the tag operations raise.
using CompactTagLayer = qvGenericBezierProxy<
    qvCompactBezierData, qvRelativeNodeSetProxy<qvGenericRectangleProxy<qvRelativeBezierProxyBase>, qvCompactBezierData>>;
using ExactTagLayer =
    qvGenericBezierProxy<qvBezierData, qvAbsoluteNodeSetProxy<qvAbsoluteBezierProxyBase, qvBezierData>>;

char const* const no_tag_to_read = "Cannot read a tag from the point that doesn't exist";
char const* const no_tag_to_set = "Cannot set a tag for the point that doesn't exist";
char const* const uninitialized = "Attempt to query uninitialized shape";

Tags tags_of(qvBezierDataAccess& curve) {
    Tags out;
    for (int i = 0; i < curve.size(); ++i)
        out.push_back(curve.tag(i));
    return out;
}

Points points_of(qvPointSetDataAccess& curve) {
    Points out;
    for (int i = 0; i < curve.size(); ++i)
        out.push_back(curve.point(i));
    return out;
}

const qvCrdOf<double> four[] = {{0, 0}, {1, 3}, {3, 3}, {4, 0}};
const qvPointTag cubic[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointOpenEnd};

}  // namespace

// ---------------------------------------------------------------------------
// Records and tags

TEST(qvBezier, Records_hold_each_point_with_its_tag_and_zero_padding) {
    RecordingScene scene;
    const qvCrdOf<double> two[] = {{1, 2}, {3, 4}};
    const qvExactBezier exact(scene, 2, two);
    qvShapeBase const* e = exact->record();
    EXPECT_EQ(e->size, 96);
    EXPECT_EQ(e->kind, -16);
    EXPECT_EQ(e->proxy_class_id, 12);
    EXPECT_EQ(at<std::int32_t>(e, 40), 2);
    EXPECT_EQ(at<std::int16_t>(e, 44), 4);
    EXPECT_EQ(at<double>(e, 48), 1.0);
    EXPECT_EQ(at<double>(e, 80), 4.0);
    EXPECT_EQ(bytes_hex(e, 64, 8), "01 00 00 00 00 00 00 00");
    EXPECT_EQ(bytes_hex(e, 88, 8), "01 00 00 00 00 00 00 00");
    EXPECT_EQ(e->bbox(), raw(1, 2, 3, 4));

    const qvBezier compact(scene, 2, two);
    qvShapeBase const* c = compact->record();
    EXPECT_EQ(c->size, 64);
    EXPECT_EQ(c->kind, -7);
    EXPECT_EQ(c->proxy_class_id, 4);
    EXPECT_EQ(bytes_hex(c, 48, 16), "00 00 00 00 01 00 00 00 FF FF FF FF 01 00 00 00");
    EXPECT_EQ(c->bbox(), raw(1, 2, 3, 4));
}

TEST(qvBezier, Tags_are_stored_as_given_and_travel_with_their_points) {
    RecordingScene scene;
    const qvExactBezier exact(scene, 4, four, cubic, nullptr);
    EXPECT_EQ(tags_of(*exact), (Tags{1, 2, 2, 3}));
    EXPECT_EQ(exact->record()->bbox(), raw(0, 0, 4, 3));
    EXPECT_EQ(tags_of(*qvExactBezier(scene, 4, four, nullptr, nullptr)), (Tags{1, 1, 1, 1}));

    qvBezier compact(scene, 4, four, cubic, nullptr);
    compact->tag(2, static_cast<qvPointTag>(7));
    EXPECT_EQ(compact->tag(2), 7);
    compact->remove(0, 1);
    EXPECT_EQ(tags_of(*compact), (Tags{2, 7, 3}));
    compact->point(1, qvCrdOf<double>(-5, 9));   // a new frame: every word moves, no tag
    EXPECT_EQ(tags_of(*compact), (Tags{2, 7, 3}));

    qvExactBezier three(scene, 3, four, cubic + 1, nullptr);
    three->tag(0, qvPointOnCurve);
    three->tag(2, qvPointOpenEnd);
    const qvCrdOf<double> two[] = {{7, 7}, {8, 8}};
    three->insert(1, 2, two);
    EXPECT_EQ(tags_of(*three), (Tags{1, 1, 1, 2, 3}));
    const qvPointTag marks[] = {qvPointControl, qvPointClosedEnd};
    three->insert(5, 2, two, marks);
    EXPECT_EQ(tags_of(*three), (Tags{1, 1, 1, 2, 3, 2, 4}));
    EXPECT_EQ(three->point(6), qvCrdOf<double>(8, 8));
    three->point(4, qvCrdOf<double>(0, 0));
    EXPECT_EQ(three->tag(4), 3);
    three->remove(1, 2);
    EXPECT_EQ(tags_of(*three), (Tags{1, 2, 3, 2, 4}));
}

TEST(qvBezier, Inserting_without_points_writes_the_origin_on_the_curve) {
    RecordingScene scene;
    qvExactBezier exact(scene);
    exact->insert(0, 2, nullptr);
    EXPECT_EQ(points_of(*exact), (Points{{0, 0}, {0, 0}}));
    EXPECT_EQ(tags_of(*exact), (Tags{1, 1}));
    EXPECT_EQ(bytes_hex(exact->record(), 48, 24), "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                                  "01 00 00 00 00 00 00 00");
    qvBezier compact(scene);
    compact->insert(0, 1, nullptr, nullptr);
    EXPECT_EQ(bytes_hex(compact->record(), 48, 8), "00 00 00 00 01 00 00 00");
}

// ---------------------------------------------------------------------------
// Tag operations and their failures

TEST(qvBezier, Tag_operations_fail_on_points_that_do_not_exist) {
    RecordingScene scene;
    qvExactBezier exact(scene);
    EXPECT_EQ(exact->size(), 0);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { exact->tag(0); }, uninitialized);
    EXPECT_TRUE(scene.records.empty());
    expect_raises<qvErrorFrom<ExactTagLayer>>([&] { exact->tag(0, qvPointControl); }, no_tag_to_set);
    ASSERT_NE(exact->record(), nullptr);
    EXPECT_EQ(exact->record()->kind, -16);
    EXPECT_EQ(exact->record()->proxy_class_id, 12);
    EXPECT_EQ(exact->record()->size, 48);
    expect_raises<qvErrorFrom<ExactTagLayer>>([&] { exact->tag(0); }, no_tag_to_read);
    expect_raises<qvErrorFrom<ExactTagLayer>>([&] { exact->end_segment(); }, no_tag_to_set);

    qvBezier compact(scene, 4, four, cubic, nullptr);
    const std::string before = shape_test::record_hex(compact->record());
    expect_raises<qvErrorFrom<CompactTagLayer>>([&] { compact->tag(4); }, no_tag_to_read);
    expect_raises<qvErrorFrom<CompactTagLayer>>([&] { compact->tag(-1); }, no_tag_to_read);
    expect_raises<qvErrorFrom<CompactTagLayer>>([&] { compact->tag(4, qvPointOnCurve); }, no_tag_to_set);
    expect_raises<qvAssertionError>([&] { compact->insert(5, 1, four, cubic); },
                                    "!lock && n_from == 0 || n_from >= 0 && n_from <= lock->data.size");
    EXPECT_EQ(shape_test::record_hex(compact->record()), before);

    qvBezier empty(scene);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { empty->bbox(); }, uninitialized);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { empty->tag(0); }, uninitialized);
}

TEST(qvBezier, The_constructors_refuse_a_null_array_and_make_nothing) {
    RecordingScene scene;
    expect_raises<qvErrorFrom<qvBezier>>([&] { qvBezier(scene, 3, nullptr, nullptr, nullptr); },
                                         "Cannot insert points through NULL pointer");
    expect_raises<qvErrorFrom<qvExactBezier>>([&] { qvExactBezier(scene, 1, nullptr, cubic, nullptr); },
                                              "Cannot insert points through NULL pointer");
    const qvBezier none(scene, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(none->size(), 0);
    EXPECT_TRUE(scene.records.empty());
    EXPECT_EQ(scene.entries(), 0u);
}

TEST(qvBezier, Pieces_and_segment_ends_are_built_from_the_tag_operations) {
    RecordingScene scene;
    qvExactBezier curve(scene);
    curve->push_back(qvCrdOf<double>(0, 0));
    curve->push_back(qvCrdOf<double>(10, 0));
    curve->insert_bezier(1, qvCrdOf<double>(5, 5), qvCrdOf<double>(8, 1));
    EXPECT_EQ(points_of(*curve), (Points{{0, 0}, {5, 5}, {8, 1}, {10, 0}}));
    EXPECT_EQ(tags_of(*curve), (Tags{1, 2, 1, 1}));
    curve->insert_bezier(4, qvCrdOf<double>(12, 4), qvCrdOf<double>(14, -4), qvCrdOf<double>(16, 0));
    EXPECT_EQ(tags_of(*curve), (Tags{1, 2, 1, 1, 2, 2, 1}));
    curve->end_segment();
    EXPECT_EQ(tags_of(*curve), (Tags{1, 2, 1, 1, 2, 2, 3}));

    const qvPointTag open[] = {qvPointOnCurve, qvPointControl, qvPointControl};
    qvExactBezier ends_on_control(scene, 3, four, open, nullptr);
    ends_on_control->close_segment();
    EXPECT_EQ(tags_of(*ends_on_control), (Tags{1, 2, 2, 4}));
    EXPECT_EQ(ends_on_control->point(3), four[0]);

    const qvPointTag closed[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointOnCurve};
    qvBezier ends_on_curve(scene, 4, four, closed, nullptr);
    ends_on_curve->close_segment();
    EXPECT_EQ(tags_of(*ends_on_curve), (Tags{1, 2, 2, 4}));
    EXPECT_EQ(ends_on_curve->size(), 4);
}

// ---------------------------------------------------------------------------
// Frames and boxes

TEST(qvBezier, A_compact_curve_moves_and_scales_with_its_frame_control_points_included) {
    RecordingScene scene;
    qvBezier curve(scene, 4, four, cubic, nullptr);
    EXPECT_EQ(curve->rectangle(), raw(0, 0, 4, 3));
    // A point below the frame's lower corner moves every word, no tag.
    const std::string words = bytes_hex(curve->record(), 48, 32);
    curve->push_back(qvCrdOf<double>(-4, -3));
    const std::string grown = bytes_hex(curve->record(), 48, 32);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(grown.substr(24 * i, 11), words.substr(24 * i, 11)) << i;
        EXPECT_EQ(grown.substr(24 * i + 12, 11), words.substr(24 * i + 12, 11)) << i;
    }
    EXPECT_EQ(curve->rectangle(), raw(-4, -3, 4, 3));

    const Points before = points_of(*curve);
    curve->rectangle(raw(-8, -6, 8, 6));
    const Points after = points_of(*curve);
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i] * 2.0) << i;
    EXPECT_EQ(curve->bbox(), raw(-8, -6, 8, 6));
}

TEST(qvBezier, An_exact_box_holds_far_control_points_and_is_zero_once_empty) {
    RecordingScene scene;
    const qvCrdOf<double> far[] = {{0, 0}, {-50, 100}, {60, -70}, {10, 0}};
    qvExactBezier curve(scene, 4, far, cubic, nullptr);
    EXPECT_EQ(curve->bbox(), raw(-50, -70, 60, 100));
    EXPECT_EQ(curve->record()->bbox(), raw(-50, -70, 60, 100));
    curve->point(1, qvCrdOf<double>(1, 1));
    EXPECT_EQ(curve->record()->bbox(), raw(0, -70, 60, 1));
    curve->remove(0, 4);
    EXPECT_EQ(curve->size(), 0);
    EXPECT_EQ(curve->record()->bbox(), raw(0, 0, 0, 0));
    EXPECT_EQ(curve->bbox(), raw(0, 0, 0, 0));
    EXPECT_EQ(at<std::int16_t>(curve->record(), 44), 0);
}

TEST(qvBezier, Edits_report_the_whole_box_before_and_after_through_one_guard) {
    RecordingScene scene;
    qvNotificationLog log;
    qvRecordingReceiver<qvMathRectOf<double>> areas{"rect", log};
    areas.connect(scene.rect_sender());
    qvExactBezier exact(scene, 4, four, cubic, nullptr);
    qvBezier compact(scene, 4, four, cubic, nullptr);
    areas.items.clear();

    exact->point(3, qvCrdOf<double>(9, 0));
    EXPECT_EQ(areas.items, (Boxes{raw(0, 0, 4, 3), raw(0, 0, 9, 3)}));
    areas.items.clear();
    exact->insert(0, 1, four, cubic);
    EXPECT_EQ(areas.items, (Boxes{raw(0, 0, 9, 3), raw(0, 0, 9, 3)}));
    areas.items.clear();
    compact->push_back(qvCrdOf<double>(-4, -3));
    EXPECT_EQ(areas.items, (Boxes{raw(0, 0, 4, 3), raw(-4, -3, 4, 3)}));
    areas.items.clear();
    compact->tag(0, qvPointClosedEnd);
    EXPECT_EQ(areas.items, (Boxes{raw(-4, -3, 4, 3), raw(-4, -3, 4, 3)}));
}

// ---------------------------------------------------------------------------
// Identities, interactions, conversions

TEST(qvBezier, Each_form_offers_its_interfaces_and_names_only_those_for_interactions) {
    RecordingScene scene;
    const qvGraphic compact = qvBezier(scene, 4, four, cubic, nullptr);
    const qvGraphic exact = qvExactBezier(scene, 4, four, cubic, nullptr);
    for (qvGraphic const& g : {compact, exact}) {
        EXPECT_TRUE(shape_test::interactions_are_offered(*g));
        EXPECT_NE(g->query_interface(qvInterfaceIdentity<qvBezierDataAccess>()), nullptr);
        EXPECT_NE(g->query_interface(qvInterfaceIdentity<qvPointSetDataAccess>()), nullptr);
    }
    EXPECT_NE(compact->query_interface(qvInterfaceIdentity<qvRectangleDataAccess>()), nullptr);
    EXPECT_NE(compact->query_interface(qvInterfaceIdentity<qvQueryBboxDataAccess>()), nullptr);
    EXPECT_EQ(exact->query_interface(qvInterfaceIdentity<qvRectangleDataAccess>()), nullptr);
    EXPECT_EQ(exact->query_interface(qvInterfaceIdentity<qvQueryBboxDataAccess>()), nullptr);
    EXPECT_EQ(qvExactBezier(exact)->bbox(), raw(0, 0, 4, 3));

    static const qvInterfaceInfo unknown;
    auto const* const rectangle = &qvInterfaceIdentity<qvRectangleDataAccess>();
    auto const* const point_set = &qvInterfaceIdentity<qvPointSetDataAccess>();
    auto const* const bezier = &qvInterfaceIdentity<qvBezierDataAccess>();
    auto answers = [&](qvGraphic const& g) {
        return std::vector<qvInterfaceInfo const*>{
            g->query_interaction(qvInterfaceIdentity<qvMoveInteraction>()),
            g->query_interaction(qvInterfaceIdentity<qvScaleInteraction>()),
            g->query_interaction(qvInterfaceIdentity<qvRotateInteraction>()),
            g->query_interaction(qvInterfaceIdentity<qvExtendedScaleInteraction>()), g->query_interaction(unknown)};
    };
    EXPECT_EQ(answers(compact), (std::vector<qvInterfaceInfo const*>{rectangle, rectangle, point_set, bezier, bezier}));
    EXPECT_EQ(answers(exact), (std::vector<qvInterfaceInfo const*>{point_set, point_set, bezier, bezier, bezier}));

    EXPECT_FALSE(qvBezier(exact));
    EXPECT_FALSE(qvExactBezier(compact));
    EXPECT_FALSE(qvPolygon(compact));
    EXPECT_TRUE(qvBezier(compact));
}
