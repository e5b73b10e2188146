// The dump driver: its fixed answers, the draw object's life, and what each
// kind of record hands the sink, compared as transcripts.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvBitmapLayout.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include "qvRecordingDumpUser.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using Record = std::unique_ptr<qvShapeBase>;

Record make(long kind, int extra) {
    Record r(qvNewShapeRecord(qvFixedRecordSize(kind) + extra));
    r->kind = static_cast<std::int32_t>(kind);
    r->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(kind));
    r->box = qvMathRectOf<float>(0, 0, 200, 100);
    return r;
}

template <class D>
D& data(Record const& r) {
    return *reinterpret_cast<D*>(reinterpret_cast<char*>(r.get()) + 40);
}

Record compact(long kind, std::vector<qvCrdOf<std::uint16_t>> const& uv) {
    const int n = static_cast<int>(uv.size());
    Record r = make(kind, 4 * n);
    auto& d = data<qvCompactPointSetData>(r);
    d.count = n;
    if (n > 0) qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
    for (int i = 0; i < n; ++i) d.nodes()[i] = uv[static_cast<std::size_t>(i)];
    return r;
}

Record exact(long kind, std::vector<qvCrdOf<double>> const& xy) {
    const int n = static_cast<int>(xy.size());
    Record r = make(kind, 16 * n);
    auto& d = data<qvPointSetData>(r);
    d.count = n;
    if (n > 0) qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
    for (int i = 0; i < n; ++i) d.nodes()[i] = xy[static_cast<std::size_t>(i)];
    return r;
}

Record compact_bezier() {
    Record r = make(qvCompactBezierKind, 2 * 8);
    auto& d = data<qvCompactBezierData>(r);
    d.count = 2;
    qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
    d.nodes()[0] = {{0, 0}, qvPointOnCurve};
    d.nodes()[1] = {{65535, 65535}, qvPointOpenEnd};
    return r;
}

Record exact_bezier() {
    Record r = make(qvExactBezierKind, 2 * 24);
    auto& d = data<qvBezierData>(r);
    d.count = 2;
    qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
    d.nodes()[0] = {{0.25, 1}, qvPointControl, 0};
    d.nodes()[1] = {{3, 4}, qvPointClosedEnd, 0};
    return r;
}

Record text(long kind, char const* chars) {
    const int length = static_cast<int>(std::strlen(chars));
    Record r = make(kind, length + 1);
    auto& d = *::new (reinterpret_cast<char*>(r.get()) + 40) qvTextData();
    d.anchor = {3, 4};
    d.angle = 30;
    d.height = 2.5;
    d.stretch = 0.5f;
    d.length = static_cast<std::int16_t>(length);
    qvSelfRelative::point(d.text_offset, reinterpret_cast<char*>(&d) + sizeof(qvTextData));
    std::memcpy(d.text(), chars, static_cast<std::size_t>(length) + 1);
    return r;
}

Record restricted_image() {
    Record r = make(qvRestrictedImageKind, 8 + 8);
    auto& d = *::new (reinterpret_cast<char*>(r.get()) + 40) qvRestrictedImageData();
    d.image.header = qvBitmapHeader(qvBitmapLayout(qvIndexedBitmap), 3, 2);
    d.image.header.color_count = 2;
    d.image.anchor = {1, 2};
    d.image.place_parts(reinterpret_cast<char*>(r.get()) + 136);
    return r;
}

Record scaled_image() {
    Record r = make(qvScaledImageKind, 16);
    auto& d = *::new (reinterpret_cast<char*>(r.get()) + 40) qvScaledImageData();
    d.image.header = qvBitmapHeader(qvBitmapLayout(qvRgbaBitmap), 2, 2);
    d.image.anchor = {5, 6};
    d.x_vector = {4, 0};
    d.y_vector = {0, 4};
    d.image.place_parts(reinterpret_cast<char*>(r.get()) + 144);
    return r;
}

struct Dump {
    qvRecordingDumpUser user;
    qvStandardPalette palette;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&user, 0, 0, 100, 50);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    Dump() { port.palette(&palette); }
};

std::string names(std::vector<std::string> const& lines) {
    std::string out;
    for (auto const& l : lines) out += (out.empty() ? "" : " ") + l.substr(0, l.find(' '));
    return out;
}

}  // namespace

TEST(qvDumpDriver, Fixed_answers_of_driver_and_buffer) {
    qvRecordingDumpUser user;
    auto driver = qvDumpDriverObject::create(&user, 10.5, 20, 110.9, 70.2);
    auto buffer = driver->new_master_vbuf();
    EXPECT_EQ(buffer->width(), 100);
    EXPECT_EQ(buffer->height(), 50);
    EXPECT_EQ(driver->available(), 0);
    EXPECT_EQ(driver->new_vbuf(0, 10, 10, buffer).get(), nullptr);
    EXPECT_EQ(driver->added_width(), 5);
    EXPECT_TRUE(driver->initialized());
    EXPECT_EQ(buffer->info(), 6u);
    EXPECT_EQ(buffer->type(), -1);
    EXPECT_FALSE(buffer->scroll(1, 1, nullptr));
    EXPECT_FALSE(buffer->new_draw()->copy(*buffer, {0, 0, 1, 1}, {0, 0, 1, 1}));
    EXPECT_EQ(&buffer->driver(), driver.get());

    auto* face = qvQueryInterface<qvDumpDriverUserInterface>(driver.get());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->user(nullptr), nullptr);
    EXPECT_FALSE(driver->initialized());
    qvDriverObject* plain = driver.get();
    EXPECT_EQ(qvQueryInterface<qvDumpDriverObject>(plain), driver.get());
    EXPECT_EQ(qvQueryInterface<qvFlavorPort>(plain), nullptr);
}

TEST(qvDumpDriver, An_area_that_is_not_finite_is_zero_by_zero) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf}) {
        for (int k = 0; k < 4; ++k) {
            double c[4] = {0, 0, 10, 10};
            c[k] = bad;
            auto buffer = qvDumpDriverObject::create(nullptr, c[0], c[1], c[2], c[3])->new_master_vbuf();
            EXPECT_EQ(buffer->width(), 0) << "coordinate " << k << " = " << bad;
            EXPECT_EQ(buffer->height(), 0) << "coordinate " << k << " = " << bad;
        }
    }
}

TEST(qvDumpDriver, A_new_draw_object_after_the_last_handle_starts_afresh) {
    Dump d;
    qvStandardPalette palette;
    d.port.transformation(qvRestrictedTransformation(2, 2, 0, 0));
    d.draw->clip(qvMathRectOf<double>(1, 1, 2, 2));
    EXPECT_EQ(d.buffer->new_draw().get(), d.draw.get());   // the live one
    d.draw = qvISafePtr<qvDrawObject>();
    auto fresh = d.buffer->new_draw();
    auto& port = *qvQueryInterface<qvFlavorPort>(fresh.get());
    EXPECT_TRUE(fresh->clip() == qvMathRectOf<double>(0, 0, 100, 50));
    EXPECT_TRUE(port.transformation().is_identity());
    EXPECT_EQ(port.palette(), nullptr);
    EXPECT_EQ(&fresh->vbuf(), d.buffer.get());
}

TEST(qvDumpDriver, Transformation_and_clip_reach_the_sink_and_the_model_box_follows) {
    Dump d;
    d.port.device_bbox(qvMathRectOf<double>(0, 0, 100, 50));
    EXPECT_EQ(d.port.model_bbox(), qvMathRectOf<double>(0, 0, 100, 50));
    const qvRestrictedTransformation t(2, -4, 10, 20);
    d.port.transformation(t);
    EXPECT_EQ(d.port.inverse_transformation(), qvInvert(t));
    EXPECT_EQ(d.port.model_bbox(), qvTransformRect(qvMathRectOf<double>(0, 0, 100, 50), qvInvert(t)));
    // A second, different device box under the same transformation.
    d.port.device_bbox(qvMathRectOf<double>(30, 10, 70, 45));
    EXPECT_EQ(d.port.model_bbox(), qvMathRectOf<double>(10, -6.25, 30, 2.5));
    d.draw->clip(qvMathRectOf<double>(1, 2, 3, 4));
    EXPECT_EQ(d.user.lines, (std::vector<std::string>{"transformation 2 -4 10 20", "clip (1,2,3,4)"}));
    EXPECT_EQ(d.draw->clip_box(), qvMathRectOf<double>(1, 2, 3, 4));
}

TEST(qvDumpDriver, Every_kind_hands_the_sink_its_steps_in_order) {
    struct Case {
        Record record;
        char const* steps;
        std::string shape;
    };
    std::vector<Case> cases;
    auto add = [&](Record r, char const* steps, std::string shape) {
        cases.push_back({std::move(r), steps, std::move(shape)});
    };
    add(make(qvRectangleKind, 0), "line fill rectangle", "rectangle (0,0,200,100)");
    add(make(qvEllipseKind, 0), "line fill ellipse", "ellipse (0,0,200,100)");
    add(compact(qvCompactPolyMarkerKind, {{0, 65535}}), "fill line marker polymarker", "polymarker 1 (0,100)");
    add(compact(qvCompactPolylineKind, {{65535, 0}, {0, 0}}), "line polyline", "polyline 2 (200,0)(0,0)");
    add(compact(qvCompactPolygonKind, {{0, 0}}), "fill line polygon", "polygon 1 (0,0)");
    add(compact_bezier(), "fill line bezier", "bezier 2 (0,0)(200,100) tags 1 3");
    add(exact(qvExactPolyMarkerKind, {{0.1, -7}}), "fill line marker polymarker", "polymarker 1 (0.1,-7)");
    add(exact(qvExactPolylineKind, {{0.1, 0.2}, {1e300, -3}}), "line polyline", "polyline 2 (0.1,0.2)(1e+300,-3)");
    add(exact(qvExactPolygonKind, {}), "fill line polygon", "polygon 0 null");
    add(exact_bezier(), "fill line bezier", "bezier 2 (0.25,1)(3,4) tags 2 4");
    add(text(qvRestrictedTextKind, "Orvane"), "fill font restricted_text",
        "restricted_text \"Orvane\" (3,4) angle=30 align=6");
    add(text(qvScaledTextKind, "ab"), "fill font scaled_text",
        "scaled_text \"ab\" (3,4) height=2.5 stretch=0.5 angle=30 align=6");
    add(restricted_image(), "restricted_image", "restricted_image (1,2) align=6 2 3x2 colors=2 pixels");
    add(scaled_image(), "scaled_image", "scaled_image (5,6) (4,0) (0,4) 3 2x2 colors=0 pixels");
    for (auto& c : cases) {
        Dump d;
        SCOPED_TRACE(c.steps);
        EXPECT_TRUE(d.port.draw_shape(*c.record));
        EXPECT_EQ(names(d.user.lines), c.steps);
        ASSERT_FALSE(d.user.lines.empty());
        EXPECT_EQ(d.user.lines.back(), c.shape);
    }
}

TEST(qvDumpDriver, Kinds_it_does_not_draw_and_refused_records_call_nothing) {
    Dump d;
    std::vector<Record> refused;
    refused.push_back(make(qvArcKind, 0));
    refused.push_back(make(qvPieSliceKind, 0));
    for (long kind : {-8L, 0L, 5L}) {
        refused.push_back(make(qvRectangleKind, 0));
        refused.back()->kind = static_cast<std::int32_t>(kind);
        refused.back()->proxy_class_id = 0;
    }
    refused.push_back(compact(qvCompactPolylineKind, {{1, 1}}));
    data<qvCompactPointSetData>(refused.back()).count = -1;
    refused.push_back(compact(qvCompactPolylineKind, {{1, 1}}));
    data<qvCompactPointSetData>(refused.back()).count = 2;   // past the record's end
    refused.push_back(text(qvRestrictedTextKind, "abc"));
    data<qvTextData>(refused.back()).text()[3] = 'x';        // no terminating zero
    refused.push_back(restricted_image());
    data<qvRestrictedImageData>(refused.back()).image.header.color_count = 257;
    for (auto const& r : refused) EXPECT_FALSE(d.port.draw_shape(*r)) << r->kind;
    EXPECT_TRUE(d.user.lines.empty());
}

TEST(qvDumpDriver, No_sink_no_palette_or_an_empty_text_call_nothing) {
    Dump d;
    Record rect = make(qvRectangleKind, 0);
    d.port.palette(nullptr);
    EXPECT_FALSE(d.port.draw_shape(*rect));
    d.port.palette(&d.palette);
    qvQueryInterface<qvDumpDriverUserInterface>(d.driver.get())->user(nullptr);
    EXPECT_FALSE(d.port.draw_shape(*rect));
    qvQueryInterface<qvDumpDriverUserInterface>(d.driver.get())->user(&d.user);
    EXPECT_TRUE(d.port.draw_shape(*text(qvScaledTextKind, "")));
    EXPECT_TRUE(d.user.lines.empty());
}

TEST(qvDumpDriver, Attributes_come_baked_from_the_palette) {
    Dump d;
    qvAttributeProxy pen(d.palette, 0);
    pen.line_color(qvRgbColor(0.0f, 0.5f, 1.0f));
    pen.line_style(qvLineStyle{6});
    pen.line_width(1.5);
    Record shape = compact(qvCompactPolylineKind, {});
    shape->attribute_handle = static_cast<std::int32_t>(pen.attribute_handle());
    EXPECT_TRUE(d.port.draw_shape(*shape));
    EXPECT_EQ(d.user.lines, (std::vector<std::string>{"line rgba(0,0.5,1,1) w=1.5 style=0", "polyline 0 null"}));

    // A handle the palette does not know draws as an empty attribute.
    shape->attribute_handle = 999;
    const std::vector<std::string> known = d.user.lines;
    d.user.lines.clear();
    EXPECT_TRUE(d.port.draw_shape(*shape));
    Dump plain;
    shape->attribute_handle = 0;
    EXPECT_TRUE(plain.port.draw_shape(*shape));
    EXPECT_EQ(d.user.lines, plain.user.lines);
}
