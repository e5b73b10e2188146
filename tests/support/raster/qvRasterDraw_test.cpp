// The raster host's pixel rules: clip edges, the every-kind scene drawn in
// parts equal to drawn whole, bad records and coordinates.

#include "qvEveryKindScene.hpp"
#include "qvRasterCanvas.hpp"
#include "qvRasterDraw.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterVBuf.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/interaction/qvGadgetPalette.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimpleBezier.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using Rect = qvMathRectOf<double>;
const qvRgbaQuad magenta(255, 0, 255, 255);

// A driver with a window, its window buffer and a draw object on it.
struct Surface {
    qvISafePtr<qvRasterDriver> driver;
    qvISafePtr<qvVBufObject> buffer;
    qvISafePtr<qvDrawObject> draw;
    qvFlavorPort* port;

    explicit Surface(long width = 40, long height = 30, qvRasterSettings settings = {}) {
        settings.window_width = width;
        settings.window_height = height;
        driver = qvRasterDriver::create(settings);
        buffer = driver->new_master_vbuf();
        draw = buffer->new_draw();
        port = qvQueryInterface<qvFlavorPort>(draw.get());
    }
};

// A palette with one attribute: pen and brush style 2, the given colours.
struct Styled {
    qvStandardPalette palette;
    qvAttributeProxy attributes{palette, 0};
    Styled(qvRgbColor fill, qvRgbColor line) {
        attributes.fill_style(qvFillStyle{2});
        attributes.fill_color(fill);
        attributes.line_style(qvLineStyle{2});
        attributes.line_color(line);
    }
    long handle() const { return attributes.attribute_handle(); }
};

qvShape<qvRectangleData> rectangle(Rect const& box, long attribute) {
    qvShape<qvRectangleData> r(qvRectangleKind);
    r.size = static_cast<std::int32_t>(sizeof r);
    r.box = qvMathRectOf<float>(static_cast<float>(box.x1), static_cast<float>(box.y1), static_cast<float>(box.x2),
                                static_cast<float>(box.y2));
    r.attribute_handle = static_cast<std::int32_t>(attribute);
    return r;
}

// An exact polyline record of the points.
std::unique_ptr<qvShapeBase> polyline(std::vector<qvCrdOf<double>> const& points, long attribute) {
    const int n = static_cast<int>(points.size());
    std::unique_ptr<qvShapeBase> r(qvNewShapeRecord(qvFixedRecordSize(qvExactPolylineKind) + 16 * n));
    r->kind = qvExactPolylineKind;
    r->attribute_handle = static_cast<std::int32_t>(attribute);
    r->box = qvMathRectOf<float>(0, 0, 1, 1);
    auto& d = *reinterpret_cast<qvPointSetData*>(reinterpret_cast<char*>(r.get()) + 40);
    d.count = n;
    qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
    for (int i = 0; i < n; ++i)
        d.nodes()[i] = points[static_cast<std::size_t>(i)];
    return r;
}

std::vector<qvRgbaQuad> picture(qvRasterDriver const& driver) {
    std::vector<qvRgbaQuad> all;
    for (long y = 0; y < driver.settings().window_height; ++y)
        for (long x = 0; x < driver.settings().window_width; ++x)
            all.push_back(driver.pixel(x, y));
    return all;
}

}  // namespace

// ---------------------------------------------------------------------------
// Pixel rules

TEST(qvRasterDraw, A_clipped_fill_stops_exactly_at_each_clip_edge) {
    Surface s;
    Styled style(qvRgbColor(0.0, 0.5, 1.0), qvRgbColor(0, 0, 0));
    style.attributes.line_style(qvLineStyle{0});
    s.port->palette(&style.palette);
    s.draw->clip(Rect(10, 5, 20, 15));
    ASSERT_TRUE(s.port->draw_shape(rectangle(Rect(0, 0, 40, 30), style.handle())));

    const qvRgbaQuad blue(0, 128, 255, 255);   // round(127.5) = 128
    EXPECT_EQ(s.driver->pixel(10, 10), blue);      // inner side of the left edge
    EXPECT_EQ(s.driver->pixel(9, 10), magenta);    // outer side
    EXPECT_EQ(s.driver->pixel(19, 10), blue);      // x2 is open
    EXPECT_EQ(s.driver->pixel(20, 10), magenta);
    EXPECT_EQ(s.driver->pixel(15, 5), blue);
    EXPECT_EQ(s.driver->pixel(15, 4), magenta);
    EXPECT_EQ(s.driver->pixel(15, 14), blue);
    EXPECT_EQ(s.driver->pixel(15, 15), magenta);
}

TEST(qvRasterDraw, Device_points_are_pixels_of_the_buffer_placed_at_its_offset) {
    qvRasterSettings settings;
    settings.window_offset = qvCrdOf<long>{100, 200};
    Surface s(20, 20, settings);
    Styled style(qvRgbColor(1, 1, 1), qvRgbColor(0, 0, 0));
    style.attributes.line_style(qvLineStyle{0});
    s.port->palette(&style.palette);
    // A fill of the pixel centred at device (103.5, 204.5) only.
    ASSERT_TRUE(s.port->draw_shape(rectangle(Rect(103, 204, 104, 205), style.handle())));
    EXPECT_EQ(s.driver->pixel(3, 4), qvRgbaQuad(255, 255, 255, 255));
    EXPECT_EQ(s.driver->pixel(2, 4), magenta);
    EXPECT_EQ(s.driver->pixel(3, 5), magenta);
    auto* offset = qvQueryInterface<qvVBufOffset>(s.buffer.get());
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(offset->x_offset(), 100);
}

TEST(qvRasterDraw, A_line_is_one_pixel_per_step_from_end_pixel_to_end_pixel) {
    Surface s;
    Styled style(qvRgbColor(0, 0, 0), qvRgbColor(1, 0, 0));
    style.attributes.fill_style(qvFillStyle{0});
    s.port->palette(&style.palette);
    ASSERT_TRUE(s.port->draw_shape(*polyline({{2.5, 3.5}, {12.5, 8.5}}, style.handle())));
    const qvRgbaQuad red(255, 0, 0, 255);
    int written = 0;
    for (long y = 0; y < 30; ++y)
        for (long x = 0; x < 40; ++x)
            written += s.driver->pixel(x, y) == red ? 1 : 0;
    EXPECT_EQ(written, 11);
    EXPECT_EQ(s.driver->pixel(2, 3), red);
    EXPECT_EQ(s.driver->pixel(12, 8), red);
}

TEST(qvRasterDraw, The_every_kind_scene_drawn_in_four_clipped_quarters_equals_it_drawn_whole) {
    qvEveryKindScene every;
    auto draw_scene = [&](std::vector<Rect> const& parts) {
        Surface s(400, 300);
        s.port->palette(&every.scene().palette());
        s.port->transformation(qvRestrictedTransformation(2, 2, 10, 10));
        for (Rect const& part : parts) {
            s.draw->clip(part);
            every.scene().render(*s.port, -1, qvMathRectOf<double>(-1e6, -1e6, 1e6, 1e6), false);
        }
        return std::make_pair(picture(*s.driver), s.driver);
    };
    auto [whole, whole_driver] = draw_scene({Rect(0, 0, 400, 300)});
    auto [quarters, quarters_driver] =
        draw_scene({Rect(0, 0, 187, 151), Rect(187, 0, 400, 151), Rect(0, 151, 187, 300), Rect(187, 151, 400, 300)});
    ASSERT_EQ(whole.size(), quarters.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
        ASSERT_EQ(whole[i], quarters[i]) << "pixel " << i % 400 << ", " << i / 400;

    // Every kind was drawn, and drew something of its own colour.
    for (const int kind : qvEveryKindScene::kinds())
        EXPECT_EQ(whole_driver->draw_count(kind), 1) << kind;
    EXPECT_EQ(quarters_driver->draw_count(), 4 * 14);
    std::size_t changed = 0;
    for (qvRgbaQuad const& p : whole)
        changed += p == magenta ? 0 : 1;
    EXPECT_GT(changed, 10000u);
}

TEST(qvRasterDraw, Shapes_take_their_fill_and_pen_colours_from_their_attributes) {
    qvEveryKindScene every;
    Surface s(200, 140);
    s.port->palette(&every.scene().palette());
    every.scene().render(*s.port, -1, qvEveryKindScene::area(), false);
    auto bytes = [](qvRgbColor const& c) {
        return qvRgbaQuad(qvRasterChannel(c.red()), qvRasterChannel(c.green()), qvRasterChannel(c.blue()), 255);
    };
    // The rectangle spans (4, 4, 40, 28): inside its fill, its right edge
    // (x2 = 40, pixel 40) and bottom edge its pen.
    EXPECT_EQ(s.driver->pixel(20, 15), bytes(every.fill_color(qvRectangleKind)));
    EXPECT_EQ(s.driver->pixel(40, 15), bytes(every.line_color(qvRectangleKind)));
    EXPECT_EQ(s.driver->pixel(20, 28), bytes(every.line_color(qvRectangleKind)));
    EXPECT_EQ(s.driver->pixel(41, 15), magenta);
    // Markers are 3 x 3 squares of the fill colour about each point.
    const qvRgbaQuad marker = bytes(every.fill_color(qvExactPolyMarkerKind));
    for (long dy = -1; dy <= 1; ++dy)
        for (long dx = -1; dx <= 1; ++dx)
            EXPECT_EQ(s.driver->pixel(139 + 12 + dx, 4 + 20 + dy), marker);
    EXPECT_EQ(s.driver->pixel(139 + 14, 4 + 20), magenta);
    EXPECT_NE(every.attribute(qvRectangleKind), every.attribute(qvEllipseKind));
}

TEST(qvRasterDraw, A_handle_of_the_gadget_style_is_a_grey_square_though_its_fill_style_is_0) {
    // Regression: the style's brush (fill style 0) bakes empty, and the
    // edit manipulators' handles drew nothing at all.
    Surface s;
    qvStandardPalette palette;
    qvGadgetPalette gadgets(&palette);
    gadgets.initialize();
    qvAttributeProxy handle(palette, 0);
    ASSERT_TRUE(handle.connect_attribute("HandleBar"));
    s.port->palette(&palette);
    auto marks = polyline({{10, 12}, {30, 7}}, handle.attribute_handle());
    marks->kind = qvExactPolyMarkerKind;
    ASSERT_TRUE(s.port->draw_shape(*marks));
    const qvRgbaQuad grey(qvRasterChannel(0.25), qvRasterChannel(0.25), qvRasterChannel(0.25), 255);
    EXPECT_EQ(s.driver->pixel(10, 12), grey);
    EXPECT_EQ(s.driver->pixel(11, 13), grey);
    EXPECT_EQ(s.driver->pixel(30, 7), grey);
    EXPECT_EQ(s.driver->pixel(12, 12), magenta);
    EXPECT_EQ(s.driver->pixel(20, 10), magenta);
}

TEST(qvRasterDraw, An_open_s_curve_is_drawn_through_its_bends_not_along_its_chord) {
    // Regression: the example's open Bezier came out as its chord, because
    // its midpoint lies on the chord and the flattening judged it flat.
    Surface s(120, 90);
    Styled style(qvRgbColor(0, 0, 0), qvRgbColor(1, 0, 0));
    style.attributes.fill_style(qvFillStyle{0});
    s.port->palette(&style.palette);
    s.port->transformation(qvRestrictedTransformation(2, 2, 10, 10));
    const qvCrdOf<double> curve[] = {{0, 20}, {10, -10}, {26, 34}, {36, 4}};
    const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointOpenEnd};
    qvSimpleBezier bezier;
    bezier->insert(0, 4, curve, tags);
    bezier->record()->kind = qvExactBezierKind;
    bezier->record()->attribute_handle = static_cast<std::int32_t>(style.handle());
    ASSERT_TRUE(s.port->draw_shape(*bezier->record()));

    const qvRgbaQuad red(255, 0, 0, 255);
    // Whether the pen touched the 3 x 3 pixels about device (x, y).
    auto inked = [&](double x, double y) {
        for (long dy = -1; dy <= 1; ++dy)
            for (long dx = -1; dx <= 1; ++dx)
                if (s.driver->pixel(static_cast<long>(x) + dx, static_cast<long>(y) + dy) == red)
                    return true;
        return false;
    };
    // The curve at t = 1/4, 1/2 and 3/4, in device units: (2 x + 10, 2 y + 10).
    EXPECT_TRUE(inked(26.875, 28.125));
    EXPECT_TRUE(inked(46, 34));
    EXPECT_TRUE(inked(65.125, 39.875));
    // The chord at the same abscissae, 14 device units from the curve.
    EXPECT_FALSE(inked(26.875, 42.5));
    EXPECT_FALSE(inked(65.125, 25.5));
}

// ---------------------------------------------------------------------------
// Refusals and bad input

TEST(qvRasterDraw, Refused_records_and_kinds_answer_false_and_draw_nothing) {
    Surface s;
    Styled style(qvRgbColor(1, 0, 0), qvRgbColor(0, 1, 0));
    auto r = rectangle(Rect(0, 0, 40, 30), style.handle());
    EXPECT_FALSE(s.port->draw_shape(r)) << "no palette";
    s.port->palette(&style.palette);
    for (const int kind : {int{qvArcKind}, int{qvPieSliceKind}, -8, 3, 0}) {
        auto other = r;
        other.kind = kind;
        EXPECT_FALSE(s.port->draw_shape(other)) << kind;
    }
    auto short_record = r;
    short_record.size = 20;
    EXPECT_FALSE(s.port->draw_shape(short_record));
    auto bad_count = polyline({{1, 1}, {2, 2}}, style.handle());
    reinterpret_cast<qvPointSetData*>(reinterpret_cast<char*>(bad_count.get()) + 40)->count = 1000;
    EXPECT_FALSE(s.port->draw_shape(*bad_count));
    EXPECT_EQ(s.driver->draw_count(), 0);
    for (long y = 0; y < 30; ++y)
        for (long x = 0; x < 40; ++x)
            ASSERT_EQ(s.driver->pixel(x, y), magenta);
}

TEST(qvRasterDraw, Nan_and_huge_coordinates_draw_within_the_buffer_or_not_at_all) {
    Surface s(16, 16);
    Styled style(qvRgbColor(0, 0, 1), qvRgbColor(0, 1, 0));
    s.port->palette(&style.palette);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(s.port->draw_shape(*polyline({{nan, 1}, {5, 5}}, style.handle())));
    EXPECT_EQ(s.driver->pixel(5, 5), magenta);
    EXPECT_TRUE(s.port->draw_shape(*polyline({{-1e300, 8.5}, {1e300, 8.5}}, style.handle())));
    for (long x = 0; x < 16; ++x)
        EXPECT_EQ(s.driver->pixel(x, 8), qvRgbaQuad(0, 255, 0, 255)) << x;
    s.port->transformation(qvRestrictedTransformation(1e300, 1e300, 0, 0));
    EXPECT_TRUE(s.port->draw_shape(rectangle(Rect(-1, -1, 1, 1), style.handle())));
    s.port->transformation(qvRestrictedTransformation(nan, 1, 0, 0));
    EXPECT_TRUE(s.port->draw_shape(rectangle(Rect(0, 0, 4, 4), style.handle())));
    EXPECT_EQ(s.driver->pixel(0, 0), qvRgbaQuad(0, 0, 255, 255));   // from the huge one
}

TEST(qvRasterDraw, Buffers_of_no_size_make_no_pixels_and_still_take_records) {
    for (const long side : {0L, -1L}) {
        Surface s(side, 10);
        EXPECT_EQ(s.buffer->width(), side);
        auto* raster = qvQueryInterface<qvRasterVBuf>(s.buffer.get());
        ASSERT_NE(raster, nullptr);
        EXPECT_EQ(raster->pixels(), nullptr);
        Styled style(qvRgbColor(0, 0, 1), qvRgbColor(0, 1, 0));
        s.port->palette(&style.palette);
        EXPECT_TRUE(s.port->draw_shape(rectangle(Rect(0, 0, 5, 5), style.handle())));
        EXPECT_EQ(s.driver->pixel(0, 0), qvRgbaQuad());
        EXPECT_FALSE(s.driver->save_bmp("never_written.bmp"));
    }
}

TEST(qvRasterDraw, Text_metrics_are_length_times_the_font_size) {
    Surface s;
    Styled style(qvRgbColor(0, 0, 1), qvRgbColor(0, 1, 0));
    EXPECT_EQ(s.port->text_metrics(style.handle(), "abc", 3), qvExtent());
    s.port->palette(&style.palette);
    EXPECT_EQ(s.port->text_metrics(style.handle(), "abc", 3), (qvExtent{30.0, 0.0, 10.0}));
}
