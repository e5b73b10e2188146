// Markers that follow the scale through a target whose device box nobody
// has set yet: a port drawn on by hand, as a transformed buffer's port is
// when a host renders a scene into it directly. The ratio of the target's
// two empty boxes was NaN, and the first marker raised as a wild point out
// of the port's temporary shape, ending the render.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvTVBuf.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>

#include "qvRasterCanvas.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterVBuf.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Points = std::vector<qvCrdOf<double>>;

}  // namespace

TEST(qvScenePortMarkerScale, An_empty_device_box_scales_markers_by_the_target_inverse) {
    qvStandardPalette palette;
    qvAttributeProxy attribute(palette, 0);
    attribute.marker_style(qvMarkerStyle{6});
    attribute.marker_size(qvMarkerSize(4));
    shape_test::RecordingFlavorPort target;
    target.palette(&palette);
    qvViewTScenePort port(target);
    port.scale_line_width(false);
    // Model to device: 2 across, 4 up; no device box.
    port.transformation(qvRestrictedTransformation(2, 4, 0, 0));

    qvSimplePolygon shape;
    const qvCrdOf<double> at{10, 10};
    shape->insert(0, 1, &at);
    auto record = shape_test::scene_record(*shape->record(), qvExactPolyMarkerKind, attribute.attribute_handle());
    ASSERT_TRUE(port.draw_shape(*record));
    ASSERT_EQ(target.calls.size(), 1u);
    // Four device units are 2 model units across and 1 up.
    EXPECT_EQ(shape_test::exact_points(*target.record(0)), (Points{{8, 9}, {8, 11}, {12, 11}, {12, 9}}));
}

TEST(qvScenePortMarkerScale, Markers_reach_the_real_buffer_of_a_transformed_buffer_drawn_on_by_hand) {
    qvMemoryScene scene;
    qvAttributeProxy attribute(scene, 0);
    attribute.marker_style(qvMarkerStyle{6});
    attribute.marker_size(qvMarkerSize(3));
    attribute.fill_style(qvFillStyle{2});
    attribute.fill_color(qvRgbColor(0.0f, 0.6f, 1.0f));
    const qvCrdOf<double> points[] = {{10, 10}, {70, 30}};
    qvPolyMarker(scene, 2, points, &attribute);

    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create();
    const qvISafePtr<qvVBufObject> real = driver->new_vbuf(1, 200, 100, qvISafePtr<qvVBufObject>());
    qvTVBuf tv(*real);
    tv->transformation(qvTransformation(0.5, 0, 0, 0.5, 100, 50));
    {
        const qvISafePtr<qvDrawObject> draw = tv->new_draw();
        qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
        port.palette(&scene.palette());
        port.transformation(qvRestrictedTransformation(2, 2, 0, 0));
        ASSERT_NO_THROW(scene.render(port, -1, qvMathRectOf<double>(0, 0, 100, 100), false));
    }
    EXPECT_EQ(driver->draw_count(), 2);
    qvRasterVBuf const& pixels = *qvQueryInterface<qvRasterVBuf>(real.get());
    // (10, 10) lands on (110, 60) with a half-extent of 3 device units of
    // the virtual buffer, 1.5 pixels of the real one: the square
    // (108.5, 58.5)-(111.5, 61.5) covers the pixel centres 108 to 110.
    // (70, 30) lands on (170, 80).
    const qvRgbaQuad blue(0, qvRasterChannel(0.6f), 255, 255);
    const qvRgbaQuad clear{255, 0, 255, 255};
    EXPECT_EQ(pixels.pixel(110, 60), blue);
    EXPECT_EQ(pixels.pixel(108, 58), blue);
    EXPECT_EQ(pixels.pixel(111, 60), clear);
    EXPECT_EQ(pixels.pixel(110, 57), clear);
    EXPECT_EQ(pixels.pixel(170, 80), blue);
}
