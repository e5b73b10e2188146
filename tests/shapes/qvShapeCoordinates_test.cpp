// The coordinate gate of every shape setter: NaN, both infinities and
// values beyond the float range are refused before anything changes, the
// float range itself is accepted. Compact point sets used to take such a
// point into a NaN frame that turned every point into NaN for good
// (qvPolygon::point with 1e300 did it without any manipulator).

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledImage.hpp>
#include <orvane/shapes/qvScaledText.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvSimpleCompactPolygon.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>
#include <orvane/shapes/qvSimpleScaledImage.hpp>
#include <orvane/shapes/qvSimpleScaledText.hpp>

#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <utility>
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
    // A radius in range on its own may still push an edge past the range:
    // the right and bottom edges here, the left and top ones below.
    ellipse->center(Pt(3e38, -3e38));
    const std::string far = record_hex(ellipse->record());
    expect_refused([&] { ellipse->x_radius(1e38); });
    expect_refused([&] { ellipse->y_radius(-1e38); });
    EXPECT_EQ(record_hex(ellipse->record()), far);
    qvEllipse other(scene, Pt(-3e38, 3e38), 5, 10);
    const std::string far_other = record_hex(other->record());
    expect_refused([&] { other->x_radius(-1e38); });
    expect_refused([&] { other->y_radius(1e38); });
    EXPECT_EQ(record_hex(other->record()), far_other);
    ellipse->x_radius(1e37);
    EXPECT_EQ(ellipse->bbox().x2, static_cast<double>(3e38f + 1e37f));
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

// Every number a text or an image keeps for its box passes the same gate as
// the anchor: a NaN height used to stay in the record, and every later
// height scaled the extent by NaN.
TEST(qvShapeCoordinates, Text_and_image_values_are_refused_alike_in_a_scene_and_alone) {
    RecordingScene scene;
    qvScaledText scaled_text(scene, Pt(1, 2), "label", 3.0, nullptr);
    scaled_text->extent(qvExtent{10, 2, 8});
    qvRestrictedText text(scene, Pt(1, 2), "label", nullptr, nullptr);
    qvSimpleScaledText alone_text;
    alone_text->extent(qvExtent{10, 2, 8});
    qvRestrictedImage image(scene);
    image->anchor(Pt(4, 5));
    image->bitmap(qvIndexedBitmap, 30, 20, 2);
    image->resolution(3, 2);
    qvScaledImage scaled_image(scene);
    scaled_image->vectors(Pt(3, 0.5), Pt(-1, 2));
    qvSimpleScaledImage alone_image;
    alone_image->vectors(Pt(3, 0.5), Pt(-1, 2));
    const auto records = [&] {
        return std::vector<std::string>{record_hex(scaled_text->record()), record_hex(text->record()),
                                        record_hex(alone_text->record()),  record_hex(image->record()),
                                        record_hex(scaled_image->record()), record_hex(alone_image->record())};
    };
    const std::vector<std::string> before = records();
    const std::size_t reports = scene.log.size();
    for (const double v : bad_values) {
        qvRestrictedTransformation bad_scale(v, 1, 0, 0);
        const std::pair<char const*, std::function<void()>> setters[] = {
            {"anchor", [&] { scaled_text->anchor(Pt(v, 0)); }},
            {"angle", [&] { scaled_text->angle(v); }},
            {"aperture", [&] { scaled_text->aperture(v); }},
            {"width", [&] { scaled_text->extent(qvExtent{v, 2, 8}); }},
            {"descent", [&] { text->extent(qvExtent{10, v, 8}); }},
            {"ascent", [&] { alone_text->extent(qvExtent{10, 2, v}); }},
            {"height", [&] { scaled_text->height(v); }},
            {"height alone", [&] { alone_text->height(-v); }},
            {"image anchor", [&] { image->anchor(Pt(0, v)); }},
            {"x resolution", [&] { image->resolution(v, 2); }},
            {"y resolution", [&] { image->resolution(3, -v); }},
            {"x vector", [&] { scaled_image->x_vector(Pt(v, 0)); }},
            {"y vector", [&] { scaled_image->y_vector(Pt(0, v)); }},
            {"second vector", [&] { scaled_image->vectors(Pt(1, 1), Pt(v, 1)); }},
            {"vector alone", [&] { alone_image->y_vector(Pt(1, -v)); }},
            // The scene's layer checks these first; alone, only the text's own do.
            {"angle alone", [&] { alone_text->angle(v); }},
            {"aperture alone", [&] { alone_text->aperture(-v); }},
        };
        for (auto const& [name, set] : setters) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(v));
            expect_refused(set);
        }
        if (!std::isfinite(v)) {   // 1e40 as a scale gives a valid (tiny) resolution
            // An infinite y scale alone would give a y resolution of 0.
            qvRestrictedTransformation bad_y_scale(2, v, 0, 0);
            expect_refused([&] { image->adjust_extent(&bad_scale); });
            expect_refused([&] { image->adjust_extent(&bad_y_scale); });
            expect_refused([&] { text->adjust_extent(&bad_scale); });
            expect_refused([&] { text->adjust_extent(&bad_y_scale); });
        }
        if (std::isinf(v))       // NaN and negative stretches have their own error
            expect_refused([&] { scaled_text->stretch(static_cast<float>(std::fabs(v))); });
    }
    // Values in range that scale a stored one past it.
    qvRestrictedTransformation tiny(1e-300, 1, 0, 0);
    expect_refused([&] { image->adjust_extent(&tiny); });
    expect_refused([&] { text->adjust_extent(&tiny); });
    expect_refused([&] { scaled_text->height(3e38); });   // width 10 x 1e38
    expect_refused([&] { scaled_text->stretch(1e38f); });
    EXPECT_EQ(records(), before);
    EXPECT_EQ(scene.log.size(), reports);

    // And the values still work after every refusal.
    scaled_text->height(6);
    EXPECT_EQ(scaled_text->extent(), (qvExtent{20, 4, 16}));
    image->resolution(-5, 7);
    EXPECT_EQ(image->bbox(), raw(-1, -2, 9, 12));
}

// A text read from a stream written before heights were checked may hold a
// NaN height, and any stream a height of 0; a valid height mends it instead
// of being poisoned by it (a 0 scaled the extent by an infinity, and every
// height was refused). A stored stretch of NaN likewise takes a new one.
TEST(qvShapeCoordinates, A_stored_NaN_or_zero_height_or_NaN_stretch_is_replaced_and_the_extent_kept) {
    RecordingScene scene;
    for (const double stored_height : {std::numeric_limits<double>::quiet_NaN(), 0.0, -0.0}) {
        SCOPED_TRACE(stored_height);
        qvScaledText text(scene, Pt(0, 0), "label", 1.0, nullptr);
        qvSimpleScaledText alone;
        const auto mended = [&](auto& t) {
            t->extent(qvExtent{10, 2, 8});
            auto* stored = reinterpret_cast<char*>(const_cast<qvShapeBase*>(t->record()));
            std::memcpy(stored + 112, &stored_height, sizeof stored_height);
            t->height(2);
            EXPECT_EQ(t->height(), 2.0);
            EXPECT_EQ(t->extent(), (qvExtent{10, 2, 8}));
            t->height(4);
            EXPECT_EQ(t->extent(), (qvExtent{20, 4, 16}));
        };
        mended(text);
        mended(alone);
        EXPECT_EQ(text->record()->bbox(), raw(-20, -16, 20, 16));
    }
    qvScaledText text(scene, Pt(0, 0), "label", 1.0, nullptr);
    text->extent(qvExtent{10, 2, 8});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(reinterpret_cast<char*>(const_cast<qvShapeBase*>(text->record())) + 104, &nan, sizeof nan);
    text->stretch(2.0f);
    EXPECT_EQ(text->stretch(), 2.0f);
    EXPECT_EQ(text->extent(), (qvExtent{10, 2, 8}));
    text->stretch(4.0f);
    EXPECT_EQ(text->extent(), (qvExtent{20, 2, 8}));
}

// A setter that makes the record of a new shape checks first: a refused
// image anchor or ellipse radius used to leave a fresh record in the scene.
TEST(qvShapeCoordinates, A_refused_first_value_leaves_no_record_behind) {
    for (const double v : bad_values) {
        RecordingScene scene;
        qvRestrictedImage image(scene);
        qvEllipse ellipse(scene);
        qvScaledImage scaled_image(scene);
        qvScaledText scaled_text(scene);
        qvRestrictedText text(scene);
        expect_refused([&] { image->anchor(Pt(v, 2)); });
        expect_refused([&] { ellipse->x_radius(v); });
        expect_refused([&] { ellipse->y_radius(-v); });
        expect_refused([&] { scaled_image->x_vector(Pt(1, v)); });
        expect_refused([&] { scaled_image->y_vector(Pt(v, 1)); });
        expect_refused([&] { scaled_image->vectors(Pt(v, 1), Pt(1, 1)); });
        expect_refused([&] { scaled_image->vectors(Pt(1, 1), Pt(1, -v)); });
        expect_refused([&] { scaled_text->extent(qvExtent{1, v, 1}); });
        expect_refused([&] { text->extent(qvExtent{v, 1, 1}); });
        // The creating constructors: each used to leave its new shape behind.
        const qvBitmap bits(qvBitmapLayout(qvRgbaBitmap), 2, 3);
        expect_refused([&] { qvScaledImage(scene, Pt(0, 0), bits, Pt(v, 1), Pt(1, 1), nullptr); });
        expect_refused([&] { qvScaledImage(scene, Pt(0, 0), bits, Pt(1, 0), Pt(1, -v), nullptr); });
        expect_refused([&] { qvScaledImage(scene, Pt(v, 0), bits, Pt(1, 0), Pt(0, 1), nullptr); });
        expect_refused([&] { qvScaledText(scene, Pt(0, v), "abc", 2.0, nullptr); });
        expect_refused([&] { qvScaledText(scene, Pt(0, 0), "abc", v, nullptr); });
        expect_refused([&] { qvScaledText(scene, Pt(0, 0), "abc", 2.0, 1.0f, 0u, v, nullptr); });
        expect_refused([&] { qvScaledText(scene, Pt(0, 0), "abc", 2.0, 1.0f, 0u, 0.0, -v, nullptr); });
        expect_refused([&] { qvRestrictedImage(scene, Pt(1, v), bits, 0u, nullptr); });
        expect_refused([&] { qvRestrictedText(scene, Pt(v, 3), "abc", 0u, nullptr, nullptr); });
        expect_refused([&] { qvRestrictedText(scene, Pt(2, 3), "abc", 0u, v, nullptr, nullptr); });
        expect_refused([&] { qvRestrictedText(scene, Pt(2, 3), "abc", 0u, 30.0, -v, nullptr, nullptr); });
        EXPECT_TRUE(scene.records.empty()) << v;
    }
}
