// The render buffer against the raster host's log: only changes reach the
// draw object, copies by bounding box or rectangle by rectangle, saved
// state, the draw object's life, copies of the render buffer.

#include "qvFileTestSupport.hpp"
#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using qv_file_test::raises;
using Rect = qvMathRectOf<double>;
using Log = std::vector<std::string>;

// A 100 x 80 window, a render buffer over it clipped to the window, and
// the log from here on.
struct Redraw : qvRasterTestWindow {
    Redraw() { driver->clear_log(); }
    Log log() const { return driver->log(); }
};

// Counts of a counted object, read without changing them.
int count_of(qvRefBase const& counted) {
    const int n = counted.bump() - 1;
    counted.dec();
    return n;
}

// A buffer whose draw object offers no flavour port.
class PortlessDraw : public qvDrawObject {
public:
    explicit PortlessDraw(qvVBufObject& vbuf) : vbuf_(vbuf) {}
    qvVBufObject& vbuf() const override { return vbuf_; }
    void brush_origin(qvCrdOf<double> const&) override {}
    qvCrdOf<double> brush_origin() override { return {}; }
    using qvDrawObject::clip;
    void clip(qvBaseRegion const& region) override { clip_ = region; }
    qvBaseRegion const& clip() const override { return clip_; }
    bool copy(qvVBufObject const&, Rect const&, Rect const&) override { return true; }

private:
    qvVBufObject& vbuf_;
    qvRegion clip_;
};

class PortlessBuffer : public qvVBufObject {
public:
    int type() const override { return 0; }
    long width() const override { return 1; }
    long height() const override { return 1; }
    unsigned info() const override { return 0; }
    qvDriverObject& driver() const override { return *driver_; }
    double h_dpi() const override { return 1; }
    double v_dpi() const override { return 1; }
    long zero_point_x() const override { return 0; }
    long zero_point_y() const override { return 0; }
    unsigned axes() const override { return 0; }
    qvISafePtr<qvDrawObject> new_draw() override { return qvISafePtr<qvDrawObject>(new PortlessDraw(*this)); }
    bool scroll(long, long, Rect const*) override { return false; }

private:
    qvISafePtr<qvRasterDriver> driver_ = qvRasterDriver::create();
};

}  // namespace

// ---------------------------------------------------------------------------
// Settings reach the draw object only when they change

TEST(qvViewVBuf, Enforcing_unchanged_settings_again_calls_nothing) {
    Redraw r;
    qvViewVBuf vbuf = r.vbuf();
    vbuf.set_clipping(Rect(10, 10, 50, 50));
    vbuf.origin({3, 4});
    vbuf.enforce_settings();
    EXPECT_EQ(r.log(), (Log{"new_draw", "clip (10 10 50 50)", "brush_origin 3 4"}));
    vbuf.enforce_settings();
    EXPECT_EQ(r.log().size(), 3u);

    // A move along one axis alone, as a vertical scroll gives, is a change.
    vbuf.origin({3, 6});
    vbuf.enforce_settings();
    EXPECT_EQ(r.log().size(), 4u);
    EXPECT_EQ(r.log().back(), "brush_origin 3 6");

    // A NaN origin never compares equal: it is handed on every time.
    vbuf.origin({std::numeric_limits<double>::quiet_NaN(), 0});
    vbuf.enforce_settings();
    vbuf.enforce_settings();
    EXPECT_EQ(r.log().size(), 6u);
}

TEST(qvViewVBuf, Push_and_pop_restore_clipping_and_origin_but_leave_the_draw_object_alone) {
    Redraw r;
    qvViewVBuf vbuf = r.vbuf();
    vbuf.enforce_settings();
    vbuf.push();
    vbuf.mul_clipping(Rect(20, 20, 40, 40));
    vbuf.origin({5, 5});
    vbuf.enforce_settings();
    vbuf.pop();
    EXPECT_EQ(vbuf.clipping(), Rect(0, 0, 100, 80));
    EXPECT_EQ(vbuf.origin(), (qvCrdOf<double>{0, 0}));
    EXPECT_EQ(vbuf.draw()->clip(), Rect(20, 20, 40, 40));
    vbuf.enforce_settings();
    EXPECT_EQ(vbuf.draw()->clip(), Rect(0, 0, 100, 80));
    EXPECT_EQ(r.log(), (Log{"new_draw", "clip (20 20 40 40)", "brush_origin 5 5", "clip (0 0 100 80)",
                            "brush_origin 0 0"}));
    EXPECT_TRUE(raises<qvAssertionError>([&] { vbuf.pop(); }, "!stack.empty()"));
}

TEST(qvViewVBuf, The_clipping_operations_set_add_and_intersect) {
    Redraw r;
    qvViewVBuf vbuf = r.vbuf();
    vbuf.set_clipping(Rect(0, 0, 10, 10));
    vbuf.add_clipping(qvRegion(Rect(10, 0, 20, 10)));
    EXPECT_EQ(vbuf.clipping(), Rect(0, 0, 20, 10));
    vbuf.mul_clipping(qvRegion(Rect(5, 0, 50, 5)));
    EXPECT_EQ(vbuf.clipping(), Rect(5, 0, 20, 5));
    vbuf.set_clipping(qvRegion());
    EXPECT_TRUE(vbuf.clipping().empty());
}

// ---------------------------------------------------------------------------
// Copies

TEST(qvViewVBuf, An_empty_copy_succeeds_without_any_call) {
    Redraw r;
    qvViewVBuf vbuf = r.vbuf();
    vbuf.destroy_draw();
    r.driver->clear_log();
    EXPECT_TRUE(vbuf.copy(r.window, qvRegion(), {5, 5}, false));
    EXPECT_TRUE(vbuf.copy(r.window, qvRegion(), {5, 5}, true));
    EXPECT_TRUE(r.log().empty());
}

TEST(qvViewVBuf, A_split_copy_tries_every_rectangle_and_reports_any_failure) {
    Redraw r;
    qvViewVBuf vbuf = r.vbuf();
    qvRegion three(Rect(0, 0, 10, 10));
    three += Rect(20, 20, 30, 30);
    three += Rect(40, 40, 50, 50);
    r.driver->fail_next(qvRasterOp::copy, 1, 1);
    EXPECT_FALSE(vbuf.copy(r.window, three, {1, 2}, true));
    EXPECT_EQ(r.log(), (Log{"new_draw", "copy (0 0 10 10) (1 2 11 12)", "copy (20 20 30 30) (21 22 31 32)",
                            "copy (40 40 50 50) (41 42 51 52)"}));
}

TEST(qvViewVBuf, An_unsplit_copy_of_an_l_shape_copies_its_bounding_box_once) {
    Redraw r;
    qvViewVBuf vbuf = r.vbuf();
    qvRegion shape(Rect(0, 0, 10, 30));
    shape += Rect(10, 20, 30, 30);
    EXPECT_TRUE(vbuf.copy(r.window, shape, {-5, 0}, false));
    EXPECT_EQ(r.log(), (Log{"new_draw", "copy (0 0 30 30) (-5 0 25 30)"}));
}

TEST(qvViewVBuf, Without_a_draw_object_a_copy_fails) {
    Redraw r;
    qvViewVBuf vbuf = r.vbuf();
    vbuf.destroy_draw();
    r.driver->clear_log();
    r.driver->fail_next(qvRasterOp::new_draw, 2);
    EXPECT_FALSE(vbuf.copy(r.window, qvRegion(Rect(0, 0, 1, 1)), {0, 0}, false));
    EXPECT_EQ(vbuf.port(), nullptr);   // asks the buffer again
    vbuf.enforce_settings();           // no draw object: nothing, and none is made
    EXPECT_EQ(r.log(), (Log{"new_draw failed", "new_draw failed"}));
}

// ---------------------------------------------------------------------------
// The draw object's life and copies of the render buffer

TEST(qvViewVBuf, The_draw_object_is_made_at_construction_and_again_after_destroy_draw) {
    Redraw r;
    qvViewVBuf vbuf = r.vbuf();
    qvFlavorPort* const first = vbuf.port();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(&first->draw(), vbuf.draw().get());
    vbuf.destroy_draw();
    qvFlavorPort* const second = vbuf.port();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(r.log(), (Log{"new_draw", "new_draw"}));
    EXPECT_EQ(vbuf.vbuf().get(), r.window.get());
}

TEST(qvViewVBuf, A_draw_object_without_a_port_gives_no_port) {
    qvISafePtr<qvVBufObject> buffer(new PortlessBuffer);
    qvViewVBuf vbuf(buffer, qvRegion(), {0, 0});
    EXPECT_TRUE(vbuf.draw());
    EXPECT_EQ(vbuf.port(), nullptr);
}

TEST(qvViewVBuf, A_null_buffer_is_refused) {
    EXPECT_TRUE(raises<qvAssertionError>(
        [] { qvViewVBuf vbuf(qvISafePtr<qvVBufObject>(), qvRegion(), {0, 0}); }, "pvbuf"));
}

TEST(qvViewVBuf, A_copy_shares_buffer_and_draw_object_and_keeps_its_own_state) {
    Redraw r;
    qvViewVBuf original = r.vbuf();
    const int buffer_count = count_of(*r.window);
    qvDrawObject* const draw = original.draw().get();
    const int draw_count = count_of(*draw);
    original.push();
    {
        qvViewVBuf copy(original);
        EXPECT_EQ(count_of(*r.window), buffer_count + 1);
        EXPECT_EQ(count_of(*draw), draw_count + 1);
        EXPECT_EQ(copy.draw().get(), draw);
        EXPECT_EQ(copy.port(), original.port());
        copy.set_clipping(Rect(1, 1, 2, 2));
        copy.pop();
        EXPECT_EQ(copy.clipping(), Rect(0, 0, 100, 80));
        copy.set_clipping(Rect(1, 1, 2, 2));
        EXPECT_TRUE(raises<qvAssertionError>([&] { copy.pop(); }, "!stack.empty()"));
        EXPECT_EQ(original.clipping(), Rect(0, 0, 100, 80));
    }
    EXPECT_EQ(count_of(*r.window), buffer_count);
    original.pop();   // its own entry is still there
    EXPECT_EQ(r.log(), (Log{"new_draw"}));
}

// ---------------------------------------------------------------------------
// A layer drawing through the render buffer

TEST(qvViewVBuf, A_data_layer_draws_its_pending_area_inside_the_clipping_and_restores_the_state) {
    Redraw r;
    qvStandardPalette palette;
    qvAttributeProxy attributes(palette, 0);
    attributes.fill_style(qvFillStyle{2});
    attributes.fill_color(qvRgbColor(0.0, 0.0, 1.0));
    qvTestDataLayer layer;
    layer.palette = &palette;
    layer.attribute = attributes.attribute_handle();
    qvGridRegion repair(Rect(10, 10, 30, 30));
    layer.prepare(repair, false);

    qvViewVBuf vbuf = r.vbuf();
    vbuf.set_clipping(Rect(20, 0, 100, 80));
    vbuf.origin({7, 7});
    EXPECT_TRUE(layer.render(vbuf, {2, 3}));
    ASSERT_EQ(layer.rendered.size(), 1u);
    EXPECT_EQ(layer.rendered[0], Rect(10, 10, 30, 30));
    EXPECT_EQ(layer.origins[0], (qvCrdOf<double>{2, 3}));
    const qvRgbaQuad blue(0, 0, 255, 255), magenta(255, 0, 255, 255);
    EXPECT_EQ(r.driver->pixel(20, 10), blue);
    EXPECT_EQ(r.driver->pixel(29, 29), blue);
    EXPECT_EQ(r.driver->pixel(19, 15), magenta);
    EXPECT_EQ(r.driver->pixel(25, 30), magenta);
    EXPECT_EQ(vbuf.clipping(), Rect(20, 0, 100, 80));
    EXPECT_EQ(vbuf.origin(), (qvCrdOf<double>{7, 7}));
}
