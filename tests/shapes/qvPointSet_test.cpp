// Polygons, polylines and poly-markers in a scene, compact and exact: the
// records they write (byte for byte where a golden value pins the
// arithmetic), the frame of the compact form, the exact form's header box,
// the neighbourhood reports, the failures and bad arguments that leave a
// record as it was, records laid out by other writers, and random edits
// against a plain list of points.

#include <orvane/shapes/qvExactPolyMarker.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvPolyline.hpp>

#include <orvane/shapes/qvBezierDataAccess.hpp>

#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeReportTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
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

// Every point the proxy reads back.
template <class P>
Points points_of(P& proxy) {
    Points out;
    for (int i = 0; i < proxy.size(); ++i)
        out.push_back(proxy.point(i));
    return out;
}

// The tight box of a list of points.
qvMathRectOf<double> box_of(Points const& points) {
    qvMathRectOf<double> box(0, 0, 0, 0);
    bool started = false;
    for (auto const& p : points)
        qvGenericNodeSetProxyBase::expand_bbox(p, box, started);
    return box;
}

char const* const insert_position = "!lock && n_from == 0 || n_from >= 0 && n_from <= lock->data.size";
char const* const remove_range = "n_from >= 0 && n_from + n <= lock->data.size";
char const* const index_range = "index >= 0 && index < lock->data.size";
char const* const uninitialized = "Attempt to query uninitialized shape";
char const* const too_large = "Limitation: shape size exceeds maximum allowed for a record";

// A scene of two layers whose rectangle reports are recorded.
class PointSetScene : public shape_test::ReportingSceneTest {
protected:
    PointSetScene() : ReportingSceneTest(2) {}
};

}  // namespace

// ---------------------------------------------------------------------------
// The compact frame

TEST(qvPolygon, An_insert_quantises_against_the_frame_of_the_new_points_widened_to_1_by_1) {
    RecordingScene scene;
    qvPolygon polygon(scene);
    const qvCrdOf<double> two[] = {{0, 0}, {0.5, 0}};
    polygon->insert(0, 2, two);
    qvShapeBase const* record = polygon->record();
    EXPECT_EQ(record->size, 56);
    EXPECT_EQ(record->bbox(), raw(0, 0, 100.5, 100));
    EXPECT_EQ(bytes_hex(record, 48, 8), "00 00 00 00 46 01 00 00");   // x fraction 326
    EXPECT_EQ(polygon->point(1), qvCrdOf<double>(100.5 * 326 / 65535.0, 0));

    const qvCrdOf<double> unit[] = {{0, 0}, {1, 1}};
    qvPolygon square(scene, 2, unit);
    EXPECT_EQ(square->rectangle(), raw(0, 0, 1, 1));   // exactly 1 wide is wide enough
    EXPECT_EQ(bytes_hex(square->record(), 48, 8), "00 00 00 00 FF FF FF FF");

    // A point inside keeps the frame; one outside grows it and re-quantises
    // every stored word (the corners read back exactly).
    square->insert(1, qvCrdOf<double>(0.5, 0.5));
    EXPECT_EQ(square->rectangle(), raw(0, 0, 1, 1));
    EXPECT_EQ(bytes_hex(square->record(), 48, 12), "00 00 00 00 FF 7F FF 7F FF FF FF FF");
    square->push_back(qvCrdOf<double>(-3, 4));
    EXPECT_EQ(square->rectangle(), raw(-3, 0, 1, 4));
    EXPECT_EQ(square->point(3), qvCrdOf<double>(-3, 4));
    EXPECT_NEAR(square->point(0).x, 0.0, 4.0 / 65535);
    EXPECT_NEAR(square->point(2).x, 1.0, 4.0 / 65535);
    EXPECT_NEAR(square->point(1).y, 0.5, 4.0 / 65535);
    EXPECT_EQ(square->record()->size, 48 + 4 * 4);
}

TEST(qvPolygon, Removing_every_point_leaves_a_zero_box_at_the_centre_and_the_next_frame_starts_afresh) {
    RecordingScene scene;
    const qvCrdOf<double> three[] = {{0, 0}, {10, 20}, {4, 5}};
    qvPolygon polygon(scene, 3, three);
    EXPECT_EQ(polygon->rectangle(), raw(0, 0, 10, 20));
    polygon->remove(0, 3);
    qvShapeBase const* record = polygon->record();
    EXPECT_EQ(polygon->size(), 0);
    EXPECT_EQ(record->size, 48);
    EXPECT_EQ(record->bbox(), raw(5, 10, 5, 10));
    EXPECT_EQ(at<std::int16_t>(record, 44), 0);   // no points: offset 0

    const qvCrdOf<double> far[] = {{100, 100}, {101, 102}};
    polygon->insert(0, 2, far);
    EXPECT_EQ(polygon->rectangle(), raw(100, 100, 101, 102));
    EXPECT_EQ(at<std::int16_t>(polygon->record(), 44), 4);

    // A remaining run narrower than 1 is widened again.
    const qvCrdOf<double> run[] = {{0, 0}, {10, 10}, {0.25, 0.5}};
    qvPolygon narrow(scene, 3, run);
    narrow->remove(1, 1);
    const qvMathRectOf<double> frame = narrow->rectangle();
    EXPECT_EQ(frame.x1, 0.0);
    EXPECT_GE(frame.x2 - frame.x1, 100.0);
    EXPECT_GE(frame.y2 - frame.y1, 100.0);
    EXPECT_NEAR(narrow->point(1).x, 0.25, 2 * 101.0 / 65535);
    EXPECT_NEAR(narrow->point(1).y, 0.5, 2 * 101.0 / 65535);
}

TEST(qvPolygon, Moving_a_vertex_inward_shrinks_the_frame_to_the_points_then_the_frame_rule) {
    RecordingScene scene;
    const qvCrdOf<double> corners[] = {{0, 0}, {20, 10}};
    qvPolygon polygon(scene, 2, corners);
    polygon->point(1, qvCrdOf<double>(5, 5));
    EXPECT_EQ(polygon->rectangle(), raw(0, 0, 5, 5));
    EXPECT_EQ(points_of(*polygon), (Points{{0, 0}, {5, 5}}));
    polygon->point(1, qvCrdOf<double>(0.5, 0.25));
    EXPECT_EQ(polygon->rectangle(), raw(0, 0, 100.5, 100.25));
    // remove(0, 0) keeps every point but rebuilds the frame tightly: point
    // 0 now reads (-50, -50), point 1 about 1.25 further.
    polygon->rectangle(raw(-50, -50, 200, 200));
    polygon->remove(0, 0);
    EXPECT_EQ(polygon->size(), 2);
    EXPECT_EQ(polygon->rectangle().x1, -50.0);
    EXPECT_LT(polygon->rectangle().x2, 52.0);
    EXPECT_EQ(polygon->point(0), qvCrdOf<double>(-50, -50));
}

TEST(qvPolygon, Edits_that_keep_the_frame_leave_the_other_words_as_they_are) {
    // In the frame (-3, -3, 5, 5) word 1 reads back as -3 + 8 / 65535 and
    // quantises again to 0: re-quantising against an unchanged frame would
    // move point 2 one step at every edit of another point.
    RecordingScene scene;
    const qvCrdOf<double> three[] = {{-3, -3}, {5, 5}, {-3 + 1.5 * 8 / 65535, -3 + 1.5 * 8 / 65535}};
    qvPolygon polygon(scene, 3, three);
    EXPECT_EQ(bytes_hex(polygon->record(), 56, 4), "01 00 01 00");
    polygon->point(1, qvCrdOf<double>(5, 5));
    polygon->insert(0, qvCrdOf<double>(1, 1));
    polygon->remove(0, 1);
    EXPECT_EQ(polygon->rectangle(), raw(-3, -3, 5, 5));
    EXPECT_EQ(bytes_hex(polygon->record(), 56, 4), "01 00 01 00");
    // A new frame re-quantises every word.
    polygon->point(1, qvCrdOf<double>(6, 6));
    EXPECT_EQ(polygon->rectangle(), raw(-3, -3, 6, 6));
    EXPECT_EQ(bytes_hex(polygon->record(), 52, 4), "FF FF FF FF");
    EXPECT_NE(bytes_hex(polygon->record(), 56, 4), "01 00 01 00");
}

TEST(qvPolygon, Setting_the_rectangle_moves_and_scales_every_point_and_keeps_the_words) {
    RecordingScene scene;
    const qvCrdOf<double> three[] = {{0, 0}, {10, 5}, {5, 10}};
    qvPolygon polygon(scene, 3, three);
    const std::string words = bytes_hex(polygon->record(), 48, 12);
    polygon->rectangle(raw(100, 100, 120, 120));
    EXPECT_EQ(bytes_hex(polygon->record(), 48, 12), words);
    EXPECT_EQ(polygon->point(0), qvCrdOf<double>(100, 100));
    EXPECT_EQ(polygon->point(1).x, 120.0);
    EXPECT_EQ(polygon->bbox(), raw(100, 100, 120, 120));
}

// ---------------------------------------------------------------------------
// Records of the six kinds

TEST(PointSets, The_records_carry_count_offset_and_points_after_the_header) {
    RecordingScene scene;
    const qvCrdOf<double> three[] = {{1, 2}, {3.5, -1}, {2, 7}};
    const qvPolygon compact(scene, 3, three, nullptr);
    qvShapeBase const* c = compact->record();
    EXPECT_EQ(c->size, 60);
    EXPECT_EQ(c->kind, -6);
    EXPECT_EQ(c->proxy_class_id, 6);
    EXPECT_EQ(at<std::int32_t>(c, 40), 3);
    EXPECT_EQ(at<std::int16_t>(c, 44), 4);
    EXPECT_EQ(c->bbox(), raw(1, -1, 3.5, 7));
    EXPECT_EQ(bytes_hex(c, 48, 4), "00 00 FF 5F");   // (1, 2): x 0, y 65535 * 3 / 8 = 24575.6

    const qvExactPolygon exact(scene, 3, three, nullptr);
    qvShapeBase const* e = exact->record();
    EXPECT_EQ(e->size, 96);
    EXPECT_EQ(e->kind, -15);
    EXPECT_EQ(e->proxy_class_id, 14);
    EXPECT_EQ(at<std::int32_t>(e, 40), 3);
    EXPECT_EQ(at<std::int16_t>(e, 44), 4);
    EXPECT_EQ(e->bbox(), raw(1, -1, 3.5, 7));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(at<qvCrdOf<double>>(e, 48 + 16 * i), three[i]);
    EXPECT_EQ(points_of(*exact), Points(three, three + 3));
}

TEST(PointSets, Figures_of_one_form_differ_only_in_handle_kind_and_proxy_class) {
    RecordingScene scene;
    const qvCrdOf<double> points[] = {{0.1, 0.2}, {3, -4}, {1e5, 7}, {-2, 0.5}};
    auto plain = [](qvShapeBase const* r) {
        std::string bytes(reinterpret_cast<char const*>(r), static_cast<std::size_t>(r->size));
        std::memset(&bytes[4], 0, 4);
        std::memset(&bytes[12], 0, 8);
        return bytes;
    };
    const qvPolygon polygon(scene, 4, points);
    const qvPolyline polyline(scene, 4, points);
    const qvPolyMarker marker(scene, 4, points);
    EXPECT_EQ(plain(polyline->record()), plain(polygon->record()));
    EXPECT_EQ(plain(marker->record()), plain(polygon->record()));
    EXPECT_EQ(polyline->record()->kind, -5);
    EXPECT_EQ(polyline->record()->proxy_class_id, 5);
    EXPECT_EQ(marker->record()->kind, -4);
    EXPECT_EQ(marker->record()->proxy_class_id, 3);

    const qvExactPolygon exact_polygon(scene, 4, points);
    const qvExactPolyline exact_polyline(scene, 4, points);
    const qvExactPolyMarker exact_marker(scene, 4, points);
    EXPECT_EQ(plain(exact_polyline->record()), plain(exact_polygon->record()));
    EXPECT_EQ(plain(exact_marker->record()), plain(exact_polygon->record()));
    EXPECT_EQ(exact_polyline->record()->kind, -14);
    EXPECT_EQ(exact_polyline->record()->proxy_class_id, 13);
    EXPECT_EQ(exact_marker->record()->kind, -13);
    EXPECT_EQ(exact_marker->record()->proxy_class_id, 11);
}

TEST(PointSets, Records_find_their_proxy_classes_and_typed_handles_take_only_their_kind) {
    RecordingScene scene;
    const qvCrdOf<double> points[] = {{0, 0}, {1, 2}};
    std::vector<long> handles;
    {
        const std::vector<qvGraphic> made = {qvPolyMarker(scene, 2, points),    qvPolyline(scene, 2, points),
                                             qvPolygon(scene, 2, points),       qvExactPolyMarker(scene, 2, points),
                                             qvExactPolyline(scene, 2, points), qvExactPolygon(scene, 2, points)};
        for (qvGraphic const& g : made)
            handles.push_back(qvQueryInterface<qvSingleShapeProxyInterface>(g.get())->shape_handle());
    }
    EXPECT_EQ(scene.entries(), 0u);
    EXPECT_EQ(qvPolyMarker(scene, handles[0])->point(1), qvCrdOf<double>(1, 2));
    EXPECT_TRUE(qvPolyline(scene, handles[1]));
    EXPECT_TRUE(qvPolygon(scene, handles[2]));
    EXPECT_EQ(qvExactPolyMarker(scene, handles[3])->point(1), qvCrdOf<double>(1, 2));
    EXPECT_TRUE(qvExactPolyline(scene, handles[4]));
    EXPECT_TRUE(qvExactPolygon(scene, handles[5]));

    const qvGraphic compact = qvPolygon(scene, handles[2]);
    EXPECT_FALSE(qvExactPolygon(compact));
    EXPECT_FALSE(qvPolyline(compact));
    EXPECT_EQ(qvPolygon(compact).get(), qvPolygon(scene, handles[2]).get());
    EXPECT_FALSE(qvPolygon(qvGraphic(qvExactPolygon(scene, handles[5]))));
    EXPECT_FALSE(qvPolyMarker(qvGraphic(qvPolyline(scene, handles[1]))));
}

TEST(PointSets, Identities_and_interactions_name_only_offered_interfaces) {
    RecordingScene scene;
    const qvCrdOf<double> points[] = {{0, 0}, {1, 2}};
    const qvGraphic compact = qvPolyline(scene, 2, points);
    const qvGraphic exact = qvExactPolyline(scene, 2, points);
    for (qvGraphic const& g : {compact, exact, qvGraphic(qvPolygon(scene)), qvGraphic(qvExactPolyMarker(scene))})
        EXPECT_TRUE(shape_test::interactions_are_offered(*g));

    auto* const c = static_cast<qvPolylineProxy*>(compact.get()->query_interface(qvInterfaceIdentity<qvPolylineProxy>()));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(compact->query_interface(qvInterfaceIdentity<qvPointSetDataAccess>()), static_cast<qvPointSetDataAccess*>(c));
    EXPECT_EQ(compact->query_interface(qvInterfaceIdentity<qvRectangleDataAccess>()), static_cast<qvRectangleDataAccess*>(c));
    EXPECT_NE(compact->query_interface(qvInterfaceIdentity<qvQueryBboxDataAccess>()), nullptr);
    EXPECT_EQ(compact->query_interface(qvInterfaceIdentity<qvBezierDataAccess>()), nullptr);
    EXPECT_EQ(compact->query_interface(qvInterfaceIdentity<qvPolygonProxy>()), nullptr);

    EXPECT_NE(exact->query_interface(qvInterfaceIdentity<qvPointSetDataAccess>()), nullptr);
    EXPECT_NE(exact->query_interface(qvInterfaceIdentity<qvQueryBboxDataAccess>()), nullptr);
    EXPECT_EQ(exact->query_interface(qvInterfaceIdentity<qvRectangleDataAccess>()), nullptr);

    static const qvInterfaceInfo unknown;
    auto const* const rectangle = &qvInterfaceIdentity<qvRectangleDataAccess>();
    auto const* const point_set = &qvInterfaceIdentity<qvPointSetDataAccess>();
    EXPECT_EQ(compact->query_interaction(qvInterfaceIdentity<qvMoveInteraction>()), rectangle);
    EXPECT_EQ(compact->query_interaction(qvInterfaceIdentity<qvScaleInteraction>()), rectangle);
    EXPECT_EQ(compact->query_interaction(qvInterfaceIdentity<qvRotateInteraction>()), point_set);
    EXPECT_EQ(compact->query_interaction(qvInterfaceIdentity<qvExtendedScaleInteraction>()), point_set);
    EXPECT_EQ(compact->query_interaction(unknown), point_set);
    for (qvInterfaceInfo const* i : {&qvInterfaceIdentity<qvMoveInteraction>(), &qvInterfaceIdentity<qvScaleInteraction>(),
                                     &qvInterfaceIdentity<qvRotateInteraction>(), &unknown})
        EXPECT_EQ(exact->query_interaction(*i), point_set);
}

// ---------------------------------------------------------------------------
// Reports and the exact header box

TEST_F(PointSetScene, Setting_a_point_reports_its_ring_neighbourhood_before_and_after) {
    const qvCrdOf<double> five[] = {{0, 0}, {10, 0}, {10, 10}, {5, 15}, {0, 10}};
    qvExactPolygon exact(scene, 5, five);
    forget_reports();
    exact->point(0, qvCrdOf<double>(-5, -5));
    EXPECT_EQ(areas.items, (Boxes{raw(0, 0, 10, 10), raw(-5, -5, 10, 10)}));
    EXPECT_EQ(areas.flags, (std::vector<int>{0, 0}));
    EXPECT_EQ(exact->record()->bbox(), raw(-5, -5, 10, 15));

    qvPolygon compact(scene, 5, five);
    forget_reports();
    const Points before = points_of(*compact);
    compact->point(0, qvCrdOf<double>(-5, -5));
    const Points after = points_of(*compact);
    EXPECT_EQ(areas.items, (Boxes{box_of({before[4], before[0], before[1]}), box_of({after[4], after[0], after[1]})}));

    // On layer 1 the reports carry the layer.
    scene.shape_layer(compact->shape_handle(), 1);
    forget_reports();
    compact->remove(2, 2);   // points 1 to 4 before the removal
    EXPECT_EQ(areas.items, (Boxes{box_of({after[1], after[2], after[3], after[4]})}));
    EXPECT_EQ(areas.flags, std::vector<int>{1});
}

TEST_F(PointSetScene, An_insert_reports_the_new_points_and_their_neighbours_once) {
    const qvCrdOf<double> two[] = {{0, 0}, {1, 1}};
    const qvCrdOf<double> three[] = {{5, 5}, {-2, 3}, {4, -4}};
    qvExactPolyline line(scene);
    line->insert(0, 2, two);
    // The first insert's silent guard opened without a record: no layer.
    EXPECT_EQ(areas.items, (Boxes{raw(0, 0, 1, 1)}));
    EXPECT_EQ(areas.flags, std::vector<int>{-1});
    forget_reports();
    line->insert(0, 3, three);
    EXPECT_EQ(areas.items, (Boxes{raw(-2, -4, 5, 5)}));
    EXPECT_EQ(areas.flags, std::vector<int>{0});
    line->push_back(qvCrdOf<double>(9, 9));   // the new point, point 4 and point 0
    EXPECT_EQ(areas.items.back(), raw(1, 1, 9, 9));
}

TEST_F(PointSetScene, Without_notification_nothing_is_sent_and_the_exact_box_still_follows) {
    const qvCrdOf<double> three[] = {{0, 0}, {4, 2}, {1, 8}};
    qvExactPolyMarker marker(scene, 3, three);
    qvPolyMarker compact(scene, 3, three);
    scene.update_notification(false, true);
    forget_reports();
    marker->point(1, qvCrdOf<double>(-4, 2));
    EXPECT_EQ(marker->record()->bbox(), raw(-4, 0, 1, 8));
    marker->push_front(qvCrdOf<double>(0, -9));
    EXPECT_EQ(marker->record()->bbox(), raw(-4, -9, 1, 8));
    compact->point(1, qvCrdOf<double>(-4, 2));
    compact->remove(0, 1);
    marker->remove(0, 4);
    EXPECT_EQ(marker->record()->bbox(), raw(0, 0, 0, 0));
    EXPECT_EQ(marker->bbox(), raw(0, 0, 0, 0));
    EXPECT_TRUE(areas.items.empty());
    EXPECT_TRUE(log.empty());
}

// A receiver raising at the report that follows a change used to leave the
// exact header box where it was, so the scene placed the record by a box
// its points had left.
TEST_F(PointSetScene, A_receiver_raising_after_an_insert_or_a_point_set_finds_the_exact_box_stored) {
    const qvCrdOf<double> three[] = {{0, 0}, {4, 2}, {1, 8}};
    const qvCrdOf<double> far{-7, 30};
    qvExactPolygon polygon(scene, 3, three);
    const auto refuse = [] { qvRaise(qvErrorFrom<PointSetScene>("Receiver refuses the report")); };

    areas.on_next_event(refuse);   // an insert's one report comes after the change
    expect_raises<qvErrorFrom<PointSetScene>>([&] { polygon->insert(1, 1, &far); }, "Receiver refuses the report");
    EXPECT_EQ(polygon->size(), 4);
    EXPECT_EQ(polygon->record()->bbox(), raw(-7, 0, 4, 30));

    areas.on_next_event([&] { areas.on_next_event(refuse); });   // a point set's second report
    expect_raises<qvErrorFrom<PointSetScene>>([&] { polygon->point(1, qvCrdOf<double>(9, -3)); },
                                              "Receiver refuses the report");
    EXPECT_EQ(polygon->point(1), qvCrdOf<double>(9, -3));
    EXPECT_EQ(polygon->record()->bbox(), raw(0, -3, 9, 8));
}

TEST_F(PointSetScene, The_exact_header_box_is_the_float_rounded_tight_box) {
    const qvCrdOf<double> points[] = {{0.1, 3e38}, {-0.3, 2}};
    qvExactPolygon polygon(scene, 2, points);
    const qvMathRectOf<double> box = polygon->record()->bbox();
    EXPECT_EQ(box.x1, static_cast<double>(-0.3f));
    EXPECT_EQ(box.x2, static_cast<double>(0.1f));
    EXPECT_EQ(box.y2, static_cast<double>(3e38f));
    EXPECT_EQ(polygon->bbox(), raw(-0.3, 2, 0.1, 3e38));
}

// ---------------------------------------------------------------------------
// Failures

TEST_F(PointSetScene, Operations_without_a_record_fail_as_specified_and_create_only_what_they_must) {
    qvPolygon compact(scene);
    qvExactPolygon exact(scene);
    const qvCrdOf<double> p(1, 1);
    for (qvPointSetDataAccess* s : {static_cast<qvPointSetDataAccess*>(&*compact), static_cast<qvPointSetDataAccess*>(&*exact)}) {
        EXPECT_EQ(s->size(), 0);
        expect_raises<qvAssertionError>([&] { s->insert(0, 0, &p); }, "n >= 1");
        expect_raises<qvAssertionError>([&] { s->insert(1, 1, &p); }, insert_position);
        expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { s->point(0); }, uninitialized);
        // With notification on the neighbourhood box is asked for first.
        expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { s->point(0, p); }, uninitialized);
        expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { s->remove(0, 0); }, uninitialized);
    }
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { compact->bbox(); }, uninitialized);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { exact->bbox(); }, uninitialized);
    EXPECT_TRUE(scene.records.empty());
    EXPECT_TRUE(areas.items.empty());

    // Without notification the empty record is made, then the index fails.
    scene.update_notification(false, true);
    expect_raises<qvAssertionError>([&] { compact->point(0, p); }, index_range);
    expect_raises<qvAssertionError>([&] { exact->point(0, p); }, index_range);
    ASSERT_EQ(scene.records.size(), 2u);
    EXPECT_EQ(compact->record()->size, 48);
    EXPECT_EQ(compact->record()->kind, -6);
    EXPECT_EQ(exact->record()->proxy_class_id, 14);
    EXPECT_EQ(at<std::int32_t>(exact->record(), 40), 0);
    EXPECT_EQ(exact->bbox(), raw(0, 0, 0, 0));
}

TEST_F(PointSetScene, The_point_constructors_refuse_a_null_array_and_make_nothing) {
    expect_raises<qvErrorFrom<qvPolyMarker>>([&] { qvPolyMarker(scene, 2, nullptr, nullptr); },
                                             "Cannot insert points through NULL pointer");
    expect_raises<qvErrorFrom<qvExactPolygon>>([&] { qvExactPolygon(scene, 1, nullptr); },
                                               "Cannot insert points through NULL pointer");
    EXPECT_TRUE(scene.records.empty());
    EXPECT_EQ(scene.entries(), 0u);

    const qvPolyline empty(scene, 0, nullptr, nullptr);
    EXPECT_EQ(empty->size(), 0);
    EXPECT_EQ(empty->record(), nullptr);
    EXPECT_EQ(qvExactPolyline(scene, -3, nullptr)->size(), 0);
    EXPECT_TRUE(scene.records.empty());
}

TEST_F(PointSetScene, Bad_ranges_fail_the_assertions_and_change_nothing) {
    const qvCrdOf<double> three[] = {{0, 0}, {4, 2}, {1, 8}};
    const qvCrdOf<double> p(1, 1);
    auto check = [&](auto& shape) {
        qvPointSetDataAccess* const s = &*shape;
        const std::string before = shape_test::record_hex(shape->record());
        expect_raises<qvAssertionError>([&] { s->remove(0, -1); }, remove_range);
        expect_raises<qvAssertionError>([&] { s->remove(1, 0x7FFFFFFF); }, remove_range);
        expect_raises<qvAssertionError>([&] { s->remove(-1, 1); }, remove_range);
        expect_raises<qvAssertionError>([&] { s->insert(0x7FFFFFFF, 1, &p); }, insert_position);
        expect_raises<qvAssertionError>([&] { s->insert(-1, 1, &p); }, insert_position);
        expect_raises<qvAssertionError>([&] { s->point(3); }, index_range);
        expect_raises<qvAssertionError>([&] { s->point(-1, p); }, index_range);
        // A record beyond 2^31 - 1 bytes is refused before a point is read
        // (the array holds one point: ASan reports any read past it).
        expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { s->insert(0, 0x7FFFFFF0, &p); }, too_large);
        expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { s->insert(3, 0x7FFFFFFF, &p); }, too_large);
        EXPECT_EQ(shape_test::record_hex(shape->record()), before);
    };
    qvPolygon compact(scene, 3, three);
    qvExactPolygon exact(scene, 3, three);
    check(compact);
    check(exact);
    EXPECT_EQ(points_of(*exact), Points(three, three + 3));
}

TEST_F(PointSetScene, Not_a_number_infinite_and_out_of_float_coordinates_are_refused) {
    // They used to quantise to 0 inside a NaN frame, which no later edit
    // could repair.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const qvCrdOf<double> odd[] = {{1, 1}, {nan, inf}, {-inf, 2}};
    expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { qvPolygon(scene, 3, odd); },
                                                   "Coordinate is not finite or out of range");
    qvPolygon polygon(scene, 1, odd);
    const std::string before = shape_test::record_hex(polygon->record());
    expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { polygon->point(0, qvCrdOf<double>(1e308, -1e308)); },
                                                   "Coordinate is not finite or out of range");
    expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { polygon->push_back(qvCrdOf<double>(nan, nan)); },
                                                   "Coordinate is not finite or out of range");
    EXPECT_EQ(shape_test::record_hex(polygon->record()), before);
}

TEST(PointSets, A_read_only_scene_refuses_every_edit_and_the_constructor_makes_no_shape) {
    RecordingScene scene(1, true);
    const qvCrdOf<double> two[] = {{0, 0}, {1, 1}};
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { qvPolygon(scene, 2, two); },
                                                       "Attempt to modify a read-only scene");
    qvExactPolygon exact(scene);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { exact->remove(0, 0); },
                                                       "Attempt to modify a read-only scene");
    EXPECT_TRUE(scene.records.empty());
}

// ---------------------------------------------------------------------------
// Records from other writers

TEST(PointSets, Points_kept_further_on_in_a_record_are_moved_forward_before_it_is_resized) {
    // A record may hold its points anywhere after the fixed part (the record
    // check accepts it); resizing it to count points must not cut them off.
    RecordingScene scene;
    qvShapeBase* compact = qvNewShapeRecord(200);
    compact->kind = qvCompactPolygonKind;
    compact->proxy_class_id = 6;
    compact->box = qvMathRectOf<float>(0, 0, 10, 10);
    auto* cd = reinterpret_cast<qvCompactPointSetData*>(reinterpret_cast<char*>(compact) + 40);
    cd->count = 2;
    qvSelfRelative::point(cd->offset, reinterpret_cast<char*>(compact) + 192);
    cd->nodes()[0] = {0, 0};
    cd->nodes()[1] = {65535, 65535};
    const long c = scene.adopt(compact);

    qvShapeBase* exact = qvNewShapeRecord(48 + 8 + 32);
    exact->kind = qvExactPolylineKind;
    exact->proxy_class_id = 13;
    auto* ed = reinterpret_cast<qvPointSetData*>(reinterpret_cast<char*>(exact) + 40);
    ed->count = 2;
    qvSelfRelative::point(ed->offset, reinterpret_cast<char*>(exact) + 56);
    ed->nodes()[0] = {1, 2};
    ed->nodes()[1] = {3, 4};
    const long e = scene.adopt(exact);

    qvPolygon polygon(scene, c);
    polygon->push_back(qvCrdOf<double>(5, 5));
    EXPECT_EQ(polygon->record()->size, 60);
    EXPECT_EQ(polygon->point(0), qvCrdOf<double>(0, 0));
    EXPECT_EQ(polygon->point(1), qvCrdOf<double>(10, 10));
    EXPECT_NEAR(polygon->point(2).x, 5.0, 10.0 / 65535);

    qvExactPolyline polyline(scene, e);
    polyline->remove(0, 1);
    EXPECT_EQ(polyline->record()->size, 64);
    EXPECT_EQ(points_of(*polyline), (Points{{3, 4}}));
    EXPECT_EQ(at<std::int16_t>(polyline->record(), 44), 4);
}

// ---------------------------------------------------------------------------
// Random edits

TEST(PointSets, Random_edits_agree_with_a_list_of_points) {
    // The exact set must equal the list; a compact point may drift by one
    // quantisation step (at most 2100 / 65535 here) each time the words are
    // re-quantised, which every edit does, so its bound grows with its age.
    struct Aged {
        qvCrdOf<double> p;
        int age;
    };
    std::mt19937 rng(20240927);
    std::uniform_real_distribution<double> coordinate(-1000, 1000);
    std::uniform_int_distribution<int> operation(0, 3);
    RecordingScene scene;
    qvExactPolygon exact(scene);
    qvPolygon compact(scene);
    std::vector<Aged> model;
    const double step = 2100.0 / 65535;
    for (int round = 0; round < 400; ++round) {
        const int size = static_cast<int>(model.size());
        const int op = size == 0 ? 0 : operation(rng);
        for (Aged& a : model)
            ++a.age;
        if (op <= 1) {
            const int at_index = std::uniform_int_distribution<int>(0, size)(rng);
            const int n = std::uniform_int_distribution<int>(1, 3)(rng);
            Points added;
            for (int k = 0; k < n; ++k)
                added.emplace_back(coordinate(rng), coordinate(rng));
            exact->insert(at_index, n, added.data());
            compact->insert(at_index, n, added.data());
            for (int k = 0; k < n; ++k)
                model.insert(model.begin() + at_index + k, Aged{added[static_cast<std::size_t>(k)], 0});
        } else if (op == 2) {
            const int from = std::uniform_int_distribution<int>(0, size - 1)(rng);
            const int n = std::uniform_int_distribution<int>(0, size - from)(rng);
            exact->remove(from, n);
            compact->remove(from, n);
            model.erase(model.begin() + from, model.begin() + from + n);
        } else {
            const int i = std::uniform_int_distribution<int>(0, size - 1)(rng);
            const qvCrdOf<double> p(coordinate(rng), coordinate(rng));
            exact->point(i, p);
            compact->point(i, p);
            model[static_cast<std::size_t>(i)] = Aged{p, 0};
        }
        Points expected;
        for (Aged const& a : model)
            expected.push_back(a.p);
        ASSERT_EQ(points_of(*exact), expected) << round;
        ASSERT_EQ(compact->size(), static_cast<int>(model.size())) << round;
        ASSERT_EQ(exact->record()->size, 48 + 16 * static_cast<int>(model.size())) << round;
        ASSERT_EQ(compact->record()->size, 48 + 4 * static_cast<int>(model.size())) << round;
        if (!model.empty()) {
            ASSERT_EQ(exact->record()->box, qvGenericNodeSetProxyBase::to_float(box_of(expected))) << round;
        }
        for (std::size_t j = 0; j < model.size(); ++j) {
            const qvCrdOf<double> got = compact->point(static_cast<int>(j));
            const double bound = (model[j].age + 1) * step;
            ASSERT_NEAR(got.x, model[j].p.x, bound) << round << " " << j;
            ASSERT_NEAR(got.y, model[j].p.y, bound) << round << " " << j;
        }
    }
}
