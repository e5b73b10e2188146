// Arcs and pie slices in a scene: their 56-byte records, angles stored
// exactly and apart from the box, and how little tells the two kinds apart.

#include <orvane/shapes/qvArc.hpp>
#include <orvane/shapes/qvPieSlice.hpp>

#include "qvGeometryValuesTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;
using shape_test::RecordingScene;
using shape_test::raw;
using Boxes = std::vector<qvMathRectOf<double>>;

}  // namespace

TEST(qvArc, A_first_angle_makes_a_56_byte_record_with_the_default_first_angle) {
    RecordingScene scene;
    const qvArc arc(scene);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { arc->angle1(); }, "Attempt to query uninitialized shape");
    arc->angle2(90.0);
    EXPECT_EQ(shape_test::record_hex(arc->record()),
              "38 00 00 00 01 00 00 00 00 00 00 00 0F 00 00 00 FD FF FF FF 00 00 00 00 "
              "00 00 80 3F 00 00 80 3F 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 00 00 00 00 00 00 00 80 56 40");
    EXPECT_EQ(arc->angle1(), 0.0);

    const qvArc circle(scene, qvCrdOf<double>(0, 0), -2.0, 30, 60);
    EXPECT_EQ(circle->rectangle(), raw(-2, -2, 2, 2));
    EXPECT_EQ(circle->angle1(), 30.0);
    EXPECT_EQ(circle->angle2(), 60.0);
}

TEST(qvArc, Angles_are_stored_exactly_and_never_touch_the_box) {
    RecordingScene scene;
    qvNotificationLog log;
    qvRecordingReceiver<qvMathRectOf<double>> areas{"rect", log};
    areas.connect(scene.rect_sender());
    const qvArc arc(scene, raw(4, 4, 0, 0), 10, 20);
    EXPECT_EQ(arc->rectangle(), raw(4, 4, 0, 0));
    areas.items.clear();

    arc->span(-45.0, 720.0);
    EXPECT_EQ(arc->angle1(), -45.0);
    EXPECT_EQ(arc->angle2(), 720.0);
    EXPECT_EQ(areas.items, Boxes(4, raw(4, 4, 0, 0)));   // two changes, each reported before and after
    arc->span(0.1, -1e-300);
    EXPECT_EQ(arc->angle1(), 0.1);
    EXPECT_EQ(arc->angle2(), -1e-300);
    arc->span(std::numeric_limits<double>::infinity(), std::nan(""));
    EXPECT_EQ(arc->angle1(), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(arc->angle2()));
    EXPECT_EQ(arc->bbox(), raw(4, 4, 0, 0));
}

TEST(qvPieSlice, A_pie_slice_differs_from_an_arc_built_alike_only_in_handle_id_and_kind) {
    RecordingScene scene;
    const qvArc arc(scene, qvCrdOf<double>(1, 2), 3.0, 4.0, -10, 200);
    const qvPieSlice slice(scene, qvCrdOf<double>(1, 2), 3.0, 4.0, -10, 200);
    std::string expected = shape_test::record_hex(arc->record());
    expected.replace(12, 2, "02");            // shape handle 2
    expected.replace(36, 2, "10");            // proxy class id 16
    expected.replace(48, 11, "EF FF FF FF");  // kind -17
    EXPECT_EQ(shape_test::record_hex(slice->record()), expected);
}
