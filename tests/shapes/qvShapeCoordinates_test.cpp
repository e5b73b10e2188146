// The coordinate gate of every shape setter: NaN, both infinities and
// values beyond the float range are refused before anything changes, the
// float range itself is accepted. Compact point sets used to take such a
// point into a NaN frame that turned every point into NaN for good
// (qvPolygon::point with 1e300 did it without any manipulator).

#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvScaledText.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvSimpleCompactPolygon.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>

#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;
using palette_test::expect_raises;
using shape_test::RecordingScene;
using shape_test::raw;
using shape_test::record_hex;

const char* const out_of_range = "Coordinate is not finite or out of range";
const double bad_values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), 1e40, 1e300};

template <class F>
void expect_refused(F&& f) {
    expect_raises<qvErrorFrom<qvShapeCoordinates>>(std::forward<F>(f), out_of_range);
}

}  // namespace

TEST(qvShapeCoordinates, Rectangles_and_ellipses_keep_their_record_on_every_bad_value) {
    RecordingScene scene;
    qvRectangle rectangle(scene, raw(1, 2, 30, 4));
    qvEllipse ellipse(scene, raw(-5, 0, 5, 20));
    const std::string r = record_hex(rectangle->record()), e = record_hex(ellipse->record());
    for (const double v : bad_values) {
        expect_refused([&] { rectangle->rectangle(raw(1, 2, v, 4)); });
        expect_refused([&] { rectangle->rectangle(raw(1, v, 30, 4)); });
        expect_refused([&] { ellipse->center(Pt(v, 1)); });
        expect_refused([&] { ellipse->center(Pt(1, v)); });
        expect_refused([&] { ellipse->x_radius(v); });
        expect_refused([&] { ellipse->y_radius(v); });
        EXPECT_EQ(record_hex(rectangle->record()), r) << v;
        EXPECT_EQ(record_hex(ellipse->record()), e) << v;
    }
    // Both sides of the bound: FLT_MAX is stored, the next double up is not.
    rectangle->rectangle(raw(-FLT_MAX, 2, FLT_MAX, 4));
    EXPECT_EQ(rectangle->rectangle().x2, static_cast<double>(FLT_MAX));
    expect_refused([&] { rectangle->rectangle(raw(1, 2, std::nextafter(static_cast<double>(FLT_MAX), 1e300), 4)); });
}

TEST(qvShapeCoordinates, A_compact_polygon_keeps_a_finite_frame_and_every_point) {
    RecordingScene scene;
    const Pt three[] = {{10, 5}, {70, 5}, {40, 25}};
    qvPolygon polygon(scene, 3, three);
    const std::string before = record_hex(polygon->record());
    for (const double v : bad_values) {
        expect_refused([&] { polygon->point(1, Pt(v, 20)); });
        expect_refused([&] { polygon->point(1, Pt(20, v)); });
        expect_refused([&] { polygon->push_back(Pt(v, v)); });
        const Pt mixed[] = {{1, 1}, {v, 2}};
        expect_refused([&] { polygon->insert(1, 2, mixed); });
        expect_refused([&] { polygon->rectangle(raw(0, 0, v, 10)); });
        EXPECT_EQ(record_hex(polygon->record()), before) << v;
    }
    const Box frame = polygon->bbox();
    EXPECT_TRUE(std::isfinite(frame.x1) && std::isfinite(frame.x2) && std::isfinite(frame.y1) &&
                std::isfinite(frame.y2));
    EXPECT_EQ(polygon->point(1), (Pt{70, 5}));
}

TEST(qvShapeCoordinates, Exact_points_in_a_scene_stay_in_float_range_stand_alone_ones_only_finite) {
    RecordingScene scene;
    const Pt two[] = {{1, 2}, {3, 4}};
    qvExactPolygon in_scene(scene, 2, two);
    qvSimplePolygon alone;
    alone->insert(0, 2, two);
    qvSimpleCompactPolygon compact_alone;
    compact_alone->insert(0, 2, two);
    const std::string a = record_hex(in_scene->record()), b = record_hex(alone->record()),
                      c = record_hex(compact_alone->record());
    for (const double v : bad_values) {
        expect_refused([&] { in_scene->point(0, Pt(v, 0)); });
        expect_refused([&] { in_scene->push_back(Pt(0, v)); });
        expect_refused([&] { compact_alone->point(0, Pt(v, 0)); });
        if (std::isfinite(v))
            continue;
        expect_refused([&] { alone->point(0, Pt(v, 0)); });
        expect_refused([&] { alone->push_back(Pt(0, v)); });
    }
    EXPECT_EQ(record_hex(in_scene->record()), a);
    EXPECT_EQ(record_hex(alone->record()), b);
    EXPECT_EQ(record_hex(compact_alone->record()), c);
    // A stand-alone exact set keeps no box: any finite double is its own.
    alone->point(1, Pt(1e300, -1e300));
    EXPECT_EQ(alone->point(1), (Pt{1e300, -1e300}));
}

TEST(qvShapeCoordinates, Text_and_image_anchors_are_refused_alike) {
    RecordingScene scene;
    qvScaledText text(scene, Pt(1, 2), "label", 3.0, nullptr);
    qvRestrictedImage image(scene);
    image->anchor(Pt(4, 5));
    const std::string t = record_hex(text->record()), i = record_hex(image->record());
    for (const double v : bad_values) {
        expect_refused([&] { text->anchor(Pt(v, 0)); });
        expect_refused([&] { image->anchor(Pt(0, v)); });
    }
    EXPECT_EQ(record_hex(text->record()), t);
    EXPECT_EQ(record_hex(image->record()), i);
}

// A setter that makes the record of a new shape checks first: a refused
// image anchor or ellipse radius used to leave a fresh record in the scene.
TEST(qvShapeCoordinates, A_refused_first_value_leaves_no_record_behind) {
    for (const double v : bad_values) {
        RecordingScene scene;
        qvRestrictedImage image(scene);
        qvEllipse ellipse(scene);
        expect_refused([&] { image->anchor(Pt(v, 2)); });
        expect_refused([&] { ellipse->x_radius(v); });
        expect_refused([&] { ellipse->y_radius(-v); });
        EXPECT_TRUE(scene.records.empty()) << v;
    }
}
