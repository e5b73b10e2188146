// Stand-alone point sets and Bezier curves: the same layers on a private
// record, which grows but never shrinks and carries no proxy class; the
// compact frame, the exact header box (kept only by the exact Bezier), and
// the failures raised as the stand-alone base's.

#include <orvane/shapes/qvSimpleBezier.hpp>
#include <orvane/shapes/qvSimpleCompactBezier.hpp>
#include <orvane/shapes/qvSimpleCompactPolyMarker.hpp>
#include <orvane/shapes/qvSimpleCompactPolygon.hpp>
#include <orvane/shapes/qvSimpleCompactPolyline.hpp>
#include <orvane/shapes/qvSimplePolyMarker.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>
#include <orvane/shapes/qvSimplePolyline.hpp>

#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using palette_test::expect_raises;
using Points = std::vector<qvCrdOf<double>>;
using shape_test::raw;

template <class S>
Points points_of(S& shape) {
    Points out;
    for (int i = 0; i < shape->size(); ++i)
        out.push_back(shape->point(i));
    return out;
}

char const* const uninitialized = "Attempt to query uninitialized shape";
const qvCrdOf<double> three[] = {{0, 0}, {8, 2}, {2, 6}};

}  // namespace

TEST(qvSimplePointSet, Each_kind_stamps_its_code_and_no_proxy_class) {
    auto kind_of = [](auto shape) {
        shape->insert(0, 3, three);
        EXPECT_EQ(shape->record()->proxy_class_id, 0);
        return shape->record()->kind;
    };
    EXPECT_EQ(kind_of(qvSimpleCompactPolyMarker()), -4);
    EXPECT_EQ(kind_of(qvSimpleCompactPolyline()), -5);
    EXPECT_EQ(kind_of(qvSimpleCompactPolygon()), -6);
    EXPECT_EQ(kind_of(qvSimpleCompactBezier()), -7);
    EXPECT_EQ(kind_of(qvSimplePolyMarker()), -13);
    EXPECT_EQ(kind_of(qvSimplePolyline()), -14);
    EXPECT_EQ(kind_of(qvSimplePolygon()), -15);
    EXPECT_EQ(kind_of(qvSimpleBezier()), -16);
}

TEST(qvSimplePointSet, Without_a_record_reads_fail_and_a_point_set_makes_an_empty_record_first) {
    qvSimpleCompactPolygon compact;
    qvSimplePolygon exact;
    EXPECT_EQ(compact->size(), 0);
    EXPECT_EQ(compact->bbox(), raw(1, 1, 0, 0));
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { compact->point(0); }, uninitialized);
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { exact->point(0); }, uninitialized);
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { exact->bbox(); }, uninitialized);
    EXPECT_EQ(compact->record(), nullptr);

    expect_raises<qvAssertionError>([&] { compact->point(0, qvCrdOf<double>(1, 1)); },
                                    "index >= 0 && index < lock->data.size");
    ASSERT_NE(compact->record(), nullptr);
    EXPECT_EQ(compact->record()->size, 48);
    EXPECT_EQ(compact->record()->kind, -6);
    expect_raises<qvAssertionError>([&] { exact->remove(0, 1); }, "n_from >= 0 && n_from + n <= lock->data.size");
    EXPECT_EQ(exact->record()->size, 48);
    EXPECT_EQ(exact->bbox(), raw(0, 0, 0, 0));

    const qvCrdOf<double> p(1, 1);
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { exact->insert(0, 0x7FFFFFF0, &p); },
                                                       "Limitation: shape size exceeds maximum allowed for a record");
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { compact->insert(0, 0x7FFFFFF0, &p); },
                                                       "Limitation: shape size exceeds maximum allowed for a record");
}

TEST(qvSimplePointSet, The_record_keeps_its_largest_size_and_the_count_governs_the_points) {
    qvSimpleCompactPolyline compact;
    compact->insert(0, 3, three);
    EXPECT_EQ(compact->record()->size, 60);
    compact->remove(0, 2);
    EXPECT_EQ(compact->record()->size, 60);
    EXPECT_EQ(compact->size(), 1);
    EXPECT_NEAR(compact->point(0).x, 2.0, 8.0 / 65535);
    EXPECT_EQ(compact->point(0).y, 6.0);

    qvSimplePolyline exact;
    exact->insert(0, 3, three);
    exact->remove(1, 1);
    EXPECT_EQ(exact->record()->size, 96);
    EXPECT_EQ(points_of(exact), (Points{{0, 0}, {2, 6}}));
    exact->insert(1, 2, nullptr);
    EXPECT_EQ(points_of(exact), (Points{{0, 0}, {0, 0}, {0, 0}, {2, 6}}));
    EXPECT_EQ(exact->record()->size, 112);
}

TEST(qvSimplePointSet, The_compact_frame_is_kept_and_the_exact_header_box_is_left_alone) {
    qvSimpleCompactPolygon compact;
    compact->insert(0, 3, three);
    EXPECT_EQ(compact->bbox(), raw(0, 0, 8, 6));
    compact->rectangle(raw(0, 0, 16, 12));
    EXPECT_EQ(compact->point(1).x, 16.0);
    EXPECT_EQ(compact->bbox(), raw(0, 0, 16, 12));

    qvSimplePolygon exact;
    exact->insert(0, 3, three);
    EXPECT_EQ(exact->record()->bbox(), raw(1, 1, 0, 0));
    EXPECT_EQ(exact->bbox(), raw(0, 0, 8, 6));
    exact->point(0, qvCrdOf<double>(-1, -1));
    EXPECT_EQ(exact->bbox(), raw(-1, -1, 8, 6));
    EXPECT_EQ(exact->record()->bbox(), raw(1, 1, 0, 0));
}

TEST(qvSimpleBezier, Stand_alone_curves_keep_tags_and_the_exact_one_its_box) {
    const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointOpenEnd};
    qvSimpleBezier exact;
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { exact->tag(0); }, uninitialized);
    using ExactTagLayer = qvGenericBezierProxy<qvBezierData, qvAbsoluteNodeSetProxy<qvSimpleBezierProxyBase, qvBezierData>>;
    expect_raises<qvErrorFrom<ExactTagLayer>>([&] { exact->tag(0, qvPointControl); },
                                              "Cannot set a tag for the point that doesn't exist");
    EXPECT_EQ(exact->record()->kind, -16);
    EXPECT_EQ(exact->record()->size, 48);
    exact->insert(0, 3, three, tags);
    EXPECT_EQ(exact->tag(1), qvPointControl);
    EXPECT_EQ(exact->record()->bbox(), raw(0, 0, 8, 6));
    exact->remove(0, 3);
    EXPECT_EQ(exact->record()->bbox(), raw(0, 0, 0, 0));
    EXPECT_EQ(exact->record()->size, 48 + 3 * 24);

    qvSimpleCompactBezier compact;
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { compact->bbox(); }, uninitialized);
    compact->insert(0, 3, three, tags);
    compact->close_segment();
    EXPECT_EQ(compact->size(), 3);
    EXPECT_EQ(compact->tag(2), qvPointClosedEnd);
    EXPECT_EQ(compact->bbox(), raw(0, 0, 8, 6));
    EXPECT_EQ(compact->record()->size, 48 + 3 * 8);
}
