// The transformed buffer over the raster test host and the dump driver:
// the mapped area and size, the added width taken and given back, the one
// port and its retargeting, mapped clips and brush origins put back, mapped
// invalidations and scrolls, the counted handle, and lifetimes in either
// order.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvTFlavorPort.hpp>
#include <orvane/rendering/qvTVBuf.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

#include "qvAttributeStreams.hpp"
#include "qvEveryKindScene.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterVBuf.hpp"
#include "qvRecordingDumpUser.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace {

using Rect = qvMathRectOf<double>;

qvRasterSettings tvbuf_settings() {
    qvRasterSettings s;
    s.window_width = 640;
    s.window_height = 480;
    s.pixels = false;
    return s;
}

struct TVBuf : ::testing::Test {
    qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(tvbuf_settings());
    qvISafePtr<qvVBufObject> window = driver->new_master_vbuf();

    // The log lines that start with `prefix`.
    std::vector<std::string> logged(std::string const& prefix) const {
        std::vector<std::string> out;
        for (auto const& line : driver->log())
            if (line.rfind(prefix, 0) == 0) out.push_back(line);
        return out;
    }
};

void expect_area(qvTVBufObject const& b, double x1, double y1, double x2, double y2) {
    EXPECT_EQ(b.bbox().x1, x1);
    EXPECT_EQ(b.bbox().y1, y1);
    EXPECT_EQ(b.bbox().x2, x2);
    EXPECT_EQ(b.bbox().y2, y2);
}

}  // namespace

// ---------------------------------------------------------------------------
// Area and size

TEST_F(TVBuf, The_area_is_the_real_extent_seen_through_the_inverse_and_width_is_its_right_edge) {
    qvTVBuf tv(*window);
    expect_area(*tv, 0, 0, 640, 480);
    EXPECT_EQ(tv->width(), 640);
    EXPECT_EQ(tv->height(), 480);

    tv->transformation(qvScaling(2));
    expect_area(*tv, 0, 0, 320, 240);
    EXPECT_EQ(tv->width(), 320);

    tv->transformation(qvTranslation(100, 50));
    expect_area(*tv, -100, -50, 540, 430);
    EXPECT_EQ(tv->width(), 540);
    EXPECT_EQ(tv->height(), 430);

    // A quarter turn: (x, y) -> (-y, x); the area is its normalised box.
    tv->transformation(qvTransformation(0, -1, 1, 0, 0, 0));
    expect_area(*tv, 0, -640, 480, 0);

    // The stored box takes no part.
    tv->bbox(Rect(1, 2, 3, 4));
    expect_area(*tv, 0, -640, 480, 0);

    // 30 degrees: seen through the inverse, (x, y) -> (x c + y s, y c - x s),
    // each side of the area comes from a different corner of the window.
    const double c = std::sqrt(3.0) / 2, s = 0.5;
    tv->transformation(qvTransformation(c, -s, s, c, 0, 0));
    const Rect turned = tv->bbox();
    EXPECT_NEAR(turned.x1, 0, 1e-9);                  // (0, 0)
    EXPECT_NEAR(turned.y1, -640 * s, 1e-9);           // (640, 0)
    EXPECT_NEAR(turned.x2, 640 * c + 480 * s, 1e-9);  // (640, 480)
    EXPECT_NEAR(turned.y2, 480 * c, 1e-9);            // (0, 480)
    EXPECT_EQ(tv->width(), 794);
    EXPECT_EQ(tv->height(), 415);

    // A shear, x' = x + y / 2, leaves y alone and leans the area left.
    tv->transformation(qvTransformation(1, 0.5, 0, 1, 0, 0));
    expect_area(*tv, -240, 0, 640, 480);
}

TEST_F(TVBuf, Non_finite_coefficients_give_a_non_finite_area_and_a_defined_width) {
    qvTVBuf tv(*window);
    tv->transformation(qvTransformation(std::numeric_limits<double>::quiet_NaN(), 0, 0, 1, 0, 0));
    EXPECT_TRUE(std::isnan(tv->bbox().x2));
    EXPECT_EQ(tv->width(), INT_MIN);
    tv->transformation(qvTransformation(0, 0, 0, 0, 0, 0));   // no inverse: the identity
    expect_area(*tv, 0, 0, 640, 480);
}

TEST_F(TVBuf, The_drivers_added_width_is_zero_while_the_buffer_holds_it) {
    auto other_driver = qvRasterDriver::create(tvbuf_settings());
    other_driver->added_width(5);
    auto other = other_driver->new_master_vbuf();
    {
        qvTVBuf tv(*window);
        EXPECT_EQ(driver->added_width(), 0);
        tv->vbuf(*other);
        EXPECT_EQ(driver->added_width(), 2);
        EXPECT_EQ(other_driver->added_width(), 0);
    }
    EXPECT_EQ(other_driver->added_width(), 5);
}

TEST_F(TVBuf, Copies_of_the_handle_share_one_buffer_which_the_last_release_deletes) {
    qvIWeakPtr<qvTVBufObject> watch;
    {
        qvTVBuf a(*window);
        watch = a;
        {
            const qvTVBuf b = a;
            EXPECT_EQ(b.get(), a.get());
        }
        EXPECT_NE(watch.get(), nullptr);
        EXPECT_EQ(driver->added_width(), 0);
    }
    EXPECT_EQ(watch.get(), nullptr);
    EXPECT_EQ(driver->added_width(), 2);
}

// ---------------------------------------------------------------------------
// The port

TEST_F(TVBuf, Every_new_draw_gives_the_same_port_which_takes_up_a_new_transformation) {
    qvTVBuf tv(*window);
    const auto first = tv->new_draw();
    ASSERT_NE(qvQueryInterface<qvFlavorPort>(first.get()), nullptr);
    auto* port = static_cast<qvTFlavorPort*>(first.get());
    EXPECT_EQ(&port->draw(), first.get());
    EXPECT_EQ(&first->vbuf(), static_cast<qvVBufObject*>(tv.get()));

    tv->transformation(qvScaling(2));
    EXPECT_EQ(port->mapping(), qvTransformation());   // not before the next new_draw
    const auto second = tv->new_draw();
    EXPECT_EQ(second.get(), first.get());
    EXPECT_EQ(port->mapping(), qvTransformation(qvScaling(2)));
    // The raster host makes a draw object per new_draw: the port follows.
    EXPECT_EQ(logged("new_draw").size(), 2u);
}

TEST_F(TVBuf, A_real_buffer_without_a_draw_object_fails_the_assertion_and_keeps_nothing) {
    qvTVBuf tv(*window);
    driver->fail_next(qvRasterOp::new_draw, 1);
    EXPECT_EQ(attribute_test::assertion_text([&] { tv->new_draw(); }), "_fp != 0");
    EXPECT_NE(tv->new_draw().get(), nullptr);
}

TEST_F(TVBuf, Clips_reach_the_real_draw_object_as_mapped_boxes_and_are_put_back_with_the_brush_origin) {
    qvISafePtr<qvDrawObject> real;
    qvRegion before;
    qvCrdOf<double> brush_before;
    {
        qvTVBuf tv(*window);
        tv->transformation(qvTransformation(0, -1, 1, 0, 0, 0));
        const auto draw = tv->new_draw();
        real = qvISafePtr<qvDrawObject>(&static_cast<qvTFlavorPort*>(draw.get())->port().draw());
        before = qvRegion(real->clip());
        brush_before = real->brush_origin();

        qvRegion two(Rect(0, 0, 10, 5));
        two += Rect(20, 0, 30, 5);
        draw->clip(two);
        EXPECT_TRUE(draw->clip() == two);
        qvRegion expected(Rect(-5, 0, 0, 10));
        expected += Rect(-5, 20, 0, 30);
        EXPECT_TRUE(real->clip() == expected) << qvRasterText(real->clip());
        EXPECT_EQ(real->clip().bbox(), Rect(-5, 0, 0, 30));
        EXPECT_FALSE(real->clip().simple());

        draw->brush_origin(qvCrdOf<double>(1, 2));
        EXPECT_EQ(draw->brush_origin(), qvCrdOf<double>(1, 2));
        EXPECT_EQ(real->brush_origin(), qvCrdOf<double>(-2, 1));
    }
    EXPECT_TRUE(real->clip() == before) << qvRasterText(real->clip());
    EXPECT_EQ(real->brush_origin(), brush_before);
}

TEST_F(TVBuf, A_retargeted_port_gives_the_old_target_back_its_clip_and_brush_origin) {
    qvISafePtr<qvDrawObject> second;
    qvRegion second_clip;
    {
        qvTVBuf tv(*window);
        tv->transformation(qvScaling(2));
        const auto draw = tv->new_draw();
        auto* port = static_cast<qvTFlavorPort*>(draw.get());
        const qvISafePtr<qvDrawObject> first(&port->port().draw());
        const qvRegion first_clip(first->clip());
        draw->clip(Rect(0, 0, 5, 5));
        draw->brush_origin(qvCrdOf<double>(3, 3));
        EXPECT_EQ(first->brush_origin(), qvCrdOf<double>(6, 6));

        tv->new_draw();   // the raster host hands out a new draw object
        second = qvISafePtr<qvDrawObject>(&port->port().draw());
        ASSERT_NE(second.get(), first.get());
        EXPECT_TRUE(first->clip() == first_clip);
        EXPECT_EQ(first->brush_origin(), qvCrdOf<double>(0, 0));

        second_clip = qvRegion(second->clip());
        draw->clip(Rect(1, 1, 2, 2));
        draw->brush_origin(qvCrdOf<double>(4, 4));
        EXPECT_EQ(second->brush_origin(), qvCrdOf<double>(8, 8));
    }
    EXPECT_TRUE(second->clip() == second_clip);
    EXPECT_EQ(second->brush_origin(), qvCrdOf<double>(0, 0));
}

TEST_F(TVBuf, The_port_outlives_its_buffer_and_then_names_the_real_one) {
    qvISafePtr<qvDrawObject> draw;
    {
        qvTVBuf tv(*window);
        draw = tv->new_draw();
    }
    EXPECT_EQ(&draw->vbuf(), window.get());
    EXPECT_EQ(driver->added_width(), 2);
}

// ---------------------------------------------------------------------------
// Invalidation and scrolling

TEST_F(TVBuf, Invalidations_reach_the_listener_mapped_in_every_form) {
    qvTVBuf tv(*window);
    EXPECT_EQ(tv->vbuf_invalidate(), qvQueryInterface<qvVBufInvalidate>(window.get()));
    EXPECT_EQ(qvQueryInterface<qvVBufInvalidate>(tv.get()), static_cast<qvVBufInvalidate*>(tv.get()));
    tv->transformation(qvScaling(2));
    tv->open_callback(true);
    driver->clear_log();
    EXPECT_TRUE(tv->callback_ready());
    EXPECT_TRUE(tv->invalidate(qvCrdOf<double>(3, 4)));
    EXPECT_TRUE(tv->invalidate(Rect(1, 1, 2, 3)));
    qvRegion two(Rect(0, 0, 1, 1));
    two += Rect(5, 5, 6, 7);
    EXPECT_TRUE(tv->invalidate(two));
    EXPECT_TRUE(tv->invalidate());
    EXPECT_EQ(logged("invalidate"),
              (std::vector<std::string>{"invalidate rect (6 8 8 10)", "invalidate rect (2 2 4 6)",
                                        "invalidate region (0 0 2 2)+(10 10 12 14)", "invalidate all"}));
}

TEST_F(TVBuf, Closed_or_without_a_listener_every_invalidation_is_dropped) {
    qvTVBuf tv(*window);
    EXPECT_FALSE(tv->callback_ready());   // closed at the start
    tv->open_callback(true);
    tv->open_callback(false);
    EXPECT_EQ(logged("open_callback"), (std::vector<std::string>{"open_callback 1", "open_callback 0"}));
    for (int round = 0; round < 2; ++round) {
        driver->clear_log();
        EXPECT_FALSE(tv->invalidate(qvCrdOf<double>(3, 4)));
        EXPECT_FALSE(tv->invalidate(Rect(1, 1, 2, 3)));
        EXPECT_FALSE(tv->invalidate(qvRegion(Rect(1, 1, 2, 3))));
        EXPECT_FALSE(tv->invalidate());
        EXPECT_TRUE(logged("invalidate").empty());
        tv->open_callback(true);
        tv->vbuf_invalidate(nullptr);
    }
}

TEST_F(TVBuf, Scrolls_move_real_pixels_only_by_whole_pixels_without_turning) {
    qvTVBuf tv(*window);
    tv->transformation(qvTransformation(2, 0, 0, 2, 7, 0));
    EXPECT_TRUE(tv->scroll(5, -3, nullptr));
    const Rect area(0, 0, 10, 10);
    EXPECT_TRUE(tv->scroll(1, 0, &area));
    EXPECT_EQ(logged("scroll"), (std::vector<std::string>{"scroll 10 -6", "scroll 2 0 (7 0 27 20)"}));

    driver->clear_log();
    tv->transformation(qvScaling(1.5));
    EXPECT_FALSE(tv->scroll(5, -3, nullptr));
    EXPECT_TRUE(tv->scroll(2, 4, nullptr));   // 3 and 6: whole
    tv->transformation(qvTransformation(qvRotation(90)));
    EXPECT_FALSE(tv->scroll(1, 0, nullptr));
    // Turned by 30 degrees or sheared along either axis, pixels cannot be
    // moved as they are, whatever whole numbers the scale terms give.
    const double c = std::sqrt(3.0) / 2;
    for (qvTransformation const& t : {qvTransformation(c, -0.5, 0.5, c, 0, 0), qvTransformation(1, 0.5, 0, 1, 0, 0),
                                      qvTransformation(1, 0, 0.5, 1, 0, 0)}) {
        tv->transformation(t);
        EXPECT_FALSE(tv->scroll(2, 0, nullptr)) << t.m1() << " " << t.m2();
        EXPECT_FALSE(tv->scroll(0, 2, nullptr)) << t.m1() << " " << t.m2();
    }
    tv->transformation(qvTransformation(std::numeric_limits<double>::infinity(), 0, 0, 1, 0, 0));
    EXPECT_FALSE(tv->scroll(1, 0, nullptr));
    EXPECT_EQ(logged("scroll"), (std::vector<std::string>{"scroll 3 6"}));
}

// ---------------------------------------------------------------------------
// Over the dump driver, whose buffer keeps its draw object weakly

namespace {

struct TVBufDump : ::testing::Test {
    qvRecordingDumpUser user;
    qvStandardPalette palette;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&user, 0, 0, 100, 50);

    std::unique_ptr<qvShapeBase> rectangle() const {
        std::unique_ptr<qvShapeBase> r(qvNewShapeRecord(48));
        r->kind = qvRectangleKind;
        r->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(qvRectangleKind));
        r->box = qvMathRectOf<float>(qvRectOf<float>(1, 2, 11, 7));
        return r;
    }

    void draw_through(qvDrawObject& draw) {
        qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(&draw);
        port.palette(&palette);
        static_cast<qvTFlavorPort&>(draw).scale_line_width(false);
        ASSERT_TRUE(port.draw_shape(*rectangle()));
    }
};

}  // namespace

TEST_F(TVBufDump, Buffer_and_port_can_go_in_either_order) {
    for (bool buffer_first : {true, false}) {
        user.lines.clear();
        std::optional<qvTVBuf> tv;
        tv.emplace(*driver->new_master_vbuf());
        (*tv)->transformation(qvTransformation(0.5, 0, 0, 0.5, 10, 5));
        qvISafePtr<qvDrawObject> draw = (*tv)->new_draw();
        draw_through(*draw);
        EXPECT_EQ(user.lines.back(), "polygon 4 (10.5,6)(10.5,8.5)(15.5,8.5)(15.5,6)") << user.lines.back();
        if (buffer_first) {
            tv.reset();
            draw_through(*draw);
            draw = qvISafePtr<qvDrawObject>();
        } else {
            draw = qvISafePtr<qvDrawObject>();
            tv.reset();
        }
    }
}

// ---------------------------------------------------------------------------
// Every kind through the port

TEST(TVBufEveryKind, Texts_and_images_reach_the_real_buffer_placed_by_the_transformation) {
    qvEveryKindScene every;
    qvRasterSettings settings;
    settings.log = false;
    auto driver = qvRasterDriver::create(settings);
    auto real = driver->new_vbuf(1, 400, 300, qvISafePtr<qvVBufObject>());
    qvTVBuf tv(*real);
    tv->transformation(qvTransformation(0.5, 0, 0, 0.5, 100, 50));
    {
        const auto draw = tv->new_draw();
        qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
        port.palette(&every.scene().palette());
        port.transformation(qvRestrictedTransformation(2, 2, 0, 0));
        every.scene().render(port, -1, qvEveryKindScene::area(), false);
    }
    std::string counts;
    for (int kind : qvEveryKindScene::kinds()) counts += " " + std::to_string(kind) + ":" + std::to_string(driver->draw_count(kind));
    for (int kind : {-9, -10, -11, -12}) EXPECT_EQ(driver->draw_count(kind), 1) << counts;
    // Nothing lands outside the model area's image, (100, 50)-(280, 180).
    qvRasterVBuf const& raster = *qvQueryInterface<qvRasterVBuf>(real.get());
    const qvRgbaQuad clear = settings.clear_color;
    for (long y = 0; y < 300; y += 3) {
        for (long x = 0; x < 400; x += 3) {
            if (x < 99 || x > 281 || y < 49 || y > 181) {
                ASSERT_EQ(raster.pixel(x, y), clear) << x << "," << y;
            }
        }
    }
}
