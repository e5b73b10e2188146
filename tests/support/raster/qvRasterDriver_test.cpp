// The raster host's driver and buffers: the window's invalidation channel,
// scrolls, copies, failures on request, and saved pictures.

#include "qvRasterDraw.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterVBuf.hpp"

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvGifFile.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using Rect = qvMathRectOf<double>;
const qvRgbaQuad magenta(255, 0, 255, 255);

qvISafePtr<qvRasterDriver> window_driver(long width, long height) {
    qvRasterSettings settings;
    settings.window_width = width;
    settings.window_height = height;
    return qvRasterDriver::create(settings);
}

// Pixel (x, y) of a store set to a colour of its own.
qvRgbaQuad probe_color(long x, long y) {
    return qvRgbaQuad(static_cast<unsigned char>(x * 7), static_cast<unsigned char>(y * 5), 9, 255);
}

void paint_probes(qvRasterVBuf& buffer) {
    qvRasterPixels& pixels = *buffer.pixels();
    for (long y = 0; y < pixels.height(); ++y)
        for (long x = 0; x < pixels.width(); ++x)
            pixels.at(x, y) = probe_color(x, y);
}

bool same_region(qvBaseRegion const& a, qvBaseRegion const& b) { return qvRegion(a) == qvRegion(b); }

}  // namespace

// ---------------------------------------------------------------------------
// The window

TEST(qvRasterDriver, Every_master_buffer_is_the_one_window) {
    auto driver = window_driver(8, 6);
    auto a = driver->new_master_vbuf();
    auto b = driver->new_master_vbuf();
    qvQueryInterface<qvRasterVBuf>(a.get())->pixels()->at(3, 2) = qvRgbaQuad(1, 2, 3, 255);
    EXPECT_EQ(qvQueryInterface<qvRasterVBuf>(b.get())->pixel(3, 2), qvRgbaQuad(1, 2, 3, 255));
    EXPECT_EQ(driver->pixel(3, 2), qvRgbaQuad(1, 2, 3, 255));
    EXPECT_EQ(driver->log(), (std::vector<std::string>{"new_master_vbuf", "new_master_vbuf"}));
    EXPECT_EQ(a->type(), 0);
    EXPECT_EQ(a->info(), 0x2u);
    EXPECT_EQ(qvQueryInterface<qvVBufOffset>(a.get()), nullptr);
}

TEST(qvRasterDriver, The_window_collects_what_is_invalidated_while_its_channel_is_ready) {
    auto driver = window_driver(100, 50);
    auto window = driver->new_master_vbuf();
    auto* channel = qvQueryInterface<qvVBufInvalidate>(window.get());
    ASSERT_NE(channel, nullptr);
    EXPECT_TRUE(channel->callback_ready());
    EXPECT_TRUE(channel->invalidate(Rect(0, 0, 10, 10)));
    driver->force_not_ready(true);
    EXPECT_FALSE(channel->callback_ready());
    EXPECT_FALSE(channel->invalidate(Rect(20, 0, 30, 10)));
    driver->force_not_ready(false);
    channel->open_callback(false);
    EXPECT_FALSE(channel->invalidate(qvRegion(Rect(40, 0, 50, 10))));
    channel->open_callback(true);
    EXPECT_TRUE(same_region(driver->take_invalid(), qvRegion(Rect(0, 0, 10, 10))));
    EXPECT_TRUE(driver->take_invalid().empty());
    EXPECT_TRUE(channel->invalidate());
    EXPECT_TRUE(same_region(driver->take_invalid(), qvRegion(Rect(0, 0, 100, 50))));
    EXPECT_EQ(driver->log().back(), "invalidate all");
    EXPECT_EQ(driver->log()[4], "invalidate rect (20 0 30 10)");
}

TEST(qvRasterDriver, Without_a_log_the_window_still_collects_every_kind_of_invalidation) {
    qvRasterSettings settings;
    settings.window_width = 100;
    settings.window_height = 50;
    settings.log = false;
    auto driver = qvRasterDriver::create(settings);
    auto window = driver->new_master_vbuf();
    auto* channel = qvQueryInterface<qvVBufInvalidate>(window.get());
    ASSERT_NE(channel, nullptr);
    EXPECT_TRUE(channel->invalidate(Rect(0, 0, 10, 10)));
    EXPECT_TRUE(channel->invalidate(qvRegion(Rect(20, 0, 30, 10))));
    EXPECT_TRUE(channel->invalidate(qvCrdOf<double>(40.5, 0.5)));
    qvRegion expected(Rect(0, 0, 10, 10));
    expected += Rect(20, 0, 30, 10);
    expected += Rect(40, 0, 41, 1);
    EXPECT_TRUE(same_region(driver->take_invalid(), expected));
    EXPECT_TRUE(driver->log().empty());
}

TEST(qvRasterDriver, A_scroll_moves_pixels_and_exposes_a_strip_into_the_invalid_area) {
    auto driver = window_driver(20, 10);
    auto window = driver->new_master_vbuf();
    auto& raster = *qvQueryInterface<qvRasterVBuf>(window.get());
    paint_probes(raster);
    ASSERT_TRUE(window->scroll(5, 0, nullptr));
    EXPECT_EQ(raster.pixel(12, 3), probe_color(7, 3));
    EXPECT_EQ(raster.pixel(5, 9), probe_color(0, 9));
    EXPECT_EQ(raster.pixel(4, 3), magenta);
    EXPECT_TRUE(same_region(driver->take_invalid(), qvRegion(Rect(0, 0, 5, 10))));

    // Within an area, upwards: the strip at the area's bottom is exposed.
    paint_probes(raster);
    const Rect area(2, 2, 8, 8);
    ASSERT_TRUE(window->scroll(0, -2, &area));
    EXPECT_EQ(raster.pixel(3, 2), probe_color(3, 4));
    EXPECT_EQ(raster.pixel(3, 6), magenta);
    EXPECT_EQ(raster.pixel(3, 8), probe_color(3, 8));   // outside the area
    EXPECT_TRUE(same_region(driver->take_invalid(), qvRegion(Rect(2, 6, 8, 8))));
    EXPECT_TRUE(window->scroll(1000000, -1000000, nullptr));   // all exposed, nothing else
}

// ---------------------------------------------------------------------------
// Memory buffers and copies

TEST(qvRasterDriver, Memory_buffers_have_their_size_their_type_and_an_offset_when_the_type_says) {
    qvRasterSettings settings;
    settings.buffer_types = {0x2, 0, 0x10};
    auto driver = qvRasterDriver::create(settings);
    EXPECT_EQ(driver->available(), 3);
    auto plain = driver->new_vbuf(1, 6, 4, {});
    auto placed = driver->new_vbuf(2, 6, 4, {});
    EXPECT_EQ(plain->width(), 6);
    EXPECT_EQ(qvQueryInterface<qvVBufOffset>(plain.get()), nullptr);
    auto* offset = qvQueryInterface<qvVBufOffset>(placed.get());
    ASSERT_NE(offset, nullptr);
    offset->x_offset(-3);
    EXPECT_EQ(qvQueryInterface<qvRasterVBuf>(placed.get())->device_rect(), Rect(-3, 0, 3, 4));
    EXPECT_FALSE(driver->new_vbuf(3, 6, 4, {}));
    EXPECT_EQ(driver->log().back(), "new_vbuf 3 6 4");
}

TEST(qvRasterDriver, Copies_take_raster_sources_of_equal_size_cut_by_the_clip) {
    auto driver = window_driver(10, 10);
    auto window = driver->new_master_vbuf();
    auto memory = driver->new_vbuf(1, 10, 10, window);
    paint_probes(*qvQueryInterface<qvRasterVBuf>(memory.get()));
    auto draw = window->new_draw();
    draw->clip(Rect(0, 0, 6, 10));
    EXPECT_TRUE(draw->copy(*memory, Rect(1, 1, 5, 3), Rect(3, 5, 7, 7)));
    EXPECT_EQ(driver->pixel(3, 5), probe_color(1, 1));
    EXPECT_EQ(driver->pixel(5, 6), probe_color(3, 2));
    EXPECT_EQ(driver->pixel(6, 6), magenta);   // outside the clip
    EXPECT_FALSE(draw->copy(*memory, Rect(0, 0, 2, 2), Rect(0, 0, 3, 2)));
    EXPECT_EQ(driver->log().back(), "copy (0 0 2 2) (0 0 3 2)");
}

TEST(qvRasterDriver, Failures_on_request_come_after_the_calls_that_succeed) {
    auto driver = window_driver(10, 10);
    auto window = driver->new_master_vbuf();
    driver->fail_next(qvRasterOp::new_vbuf_null, 1);
    EXPECT_FALSE(driver->new_vbuf(1, 4, 4, window));
    EXPECT_TRUE(driver->new_vbuf(1, 4, 4, window));
    driver->fail_next(qvRasterOp::new_vbuf_empty, 1);
    auto empty = driver->new_vbuf(1, 4, 4, window);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->width(), 0);
    driver->fail_next(qvRasterOp::new_draw, 1);
    EXPECT_FALSE(window->new_draw());
    auto draw = window->new_draw();
    ASSERT_TRUE(draw);
    driver->fail_next(qvRasterOp::copy, 1, 1);
    EXPECT_TRUE(draw->copy(*window, Rect(0, 0, 1, 1), Rect(1, 1, 2, 2)));
    EXPECT_FALSE(draw->copy(*window, Rect(0, 0, 1, 1), Rect(1, 1, 2, 2)));
    EXPECT_TRUE(draw->copy(*window, Rect(0, 0, 1, 1), Rect(1, 1, 2, 2)));
    driver->fail_next(qvRasterOp::scroll, 1);
    EXPECT_FALSE(window->scroll(1, 0, nullptr));
    EXPECT_TRUE(window->scroll(1, 0, nullptr));
}

TEST(qvRasterDriver, Optional_driver_faces_are_offered_only_when_set) {
    auto plain = qvRasterDriver::create();
    EXPECT_EQ(qvQueryInterface<qvDriverAttributeCache>(plain.get()), nullptr);
    EXPECT_EQ(qvQueryInterface<qvDriverBitmapVBuf>(plain.get()), nullptr);
    qvRasterSettings settings;
    settings.attribute_cache = true;
    settings.image_types = {3};
    auto driver = qvRasterDriver::create(settings);
    auto* cache = qvQueryInterface<qvDriverAttributeCache>(driver.get());
    ASSERT_NE(cache, nullptr);
    cache->drop(nullptr, 7);
    EXPECT_EQ(driver->log().back(), "drop 7");
    auto* bitmaps = qvQueryInterface<qvDriverBitmapVBuf>(driver.get());
    ASSERT_NE(bitmaps, nullptr);
    EXPECT_FALSE(bitmaps->supports(1));
    EXPECT_FALSE(bitmaps->new_bitmap_vbuf(1, 4, 4, qvColorMapReference()));
    EXPECT_EQ(bitmaps->new_bitmap_vbuf(3, 4, 5, qvColorMapReference())->height(), 5);
}

// ---------------------------------------------------------------------------
// Saved pictures

TEST(qvRasterDriver, A_saved_bmp_reads_back_to_the_same_pixels) {
    auto driver = window_driver(7, 5);   // odd width: row padding
    auto window = driver->new_master_vbuf();
    paint_probes(*qvQueryInterface<qvRasterVBuf>(window.get()));
    char const* const path = "raster_driver_test_picture.bmp";
    ASSERT_TRUE(driver->save_bmp(path));
    qvBitmap read;
    {
        std::filebuf file;
        ASSERT_NE(file.open(path, std::ios::in | std::ios::binary), nullptr);
        qvInputStream in(&file);
        qvLoadFromBmp(in, read);
    }
    std::remove(path);
    ASSERT_EQ(read.width(), 7);
    ASSERT_EQ(read.height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            unsigned char const* p = read.pixel(x, y);
            const qvRgbaQuad want = probe_color(x, y);
            ASSERT_EQ(qvRgbaQuad(p[2], p[1], p[0], 255), want) << x << ", " << y;
        }
    char const* const gif = "raster_driver_test_picture.gif";
    EXPECT_TRUE(driver->save_gif(gif));
    qvBitmap from_gif;
    {
        std::filebuf file;
        ASSERT_NE(file.open(gif, std::ios::in | std::ios::binary), nullptr);
        qvInputStream in(&file);
        EXPECT_TRUE(qvLoadFromGif(in, from_gif, 1));
    }
    std::remove(gif);
    EXPECT_EQ(from_gif.width(), 7);
}
