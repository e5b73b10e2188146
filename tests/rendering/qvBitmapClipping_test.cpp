// Bitmap clipping: the geometry of both clippings (clip rectangles, device
// rectangle, placing transformations), what clip() and mask() hand out
// (types, colour maps, transparency, sharing), misses and touching edges,
// and the size limit of the resampling clipping.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvBitmapClipping.hpp>
#include <orvane/rendering/qvBitmapClippingT.hpp>

#include "qvAttributeStreams.hpp"
#include "qvBitmapTransformReference.hpp"
#include "qvImageFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace transform_reference;
using attribute_test::raised;

namespace {

using Rect = qvMathRectOf<double>;

// w x h RGBA pixels, each its own value: red x, green y.
qvBitmap clipping_numbered(int w, int h) {
    qvBitmap b(qvBitmapLayout(qvRgbaBitmap), w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) set(b, x, y, quad(static_cast<unsigned>(x * 10), static_cast<unsigned>(y * 10), 7));
    return b;
}

qvRegion region_of(double x1, double y1, double x2, double y2) { return qvRegion(Rect(x1, y1, x2, y2)); }

void expect_rect(Rect const& r, double x1, double y1, double x2, double y2) {
    EXPECT_EQ(r.x1, x1);
    EXPECT_EQ(r.y1, y1);
    EXPECT_EQ(r.x2, x2);
    EXPECT_EQ(r.y2, y2);
}

}  // namespace

// ---------------------------------------------------------------------------
// qvBitmapClippingT

TEST(qvBitmapClippingT, Under_the_identity_resamples_with_a_flip_and_places_the_frame_one_row_up) {
    const qvBitmap src = clipping_numbered(4, 3);
    qvBitmapClippingT c(src, qvTransformation(), qvRgbaBitmap, false, true);
    EXPECT_EQ(c.resampling().coefficients(), qvTransformation(1, 0, 0, -1, 0, 0));
    EXPECT_EQ(c.resampling().query_frame(qvBitmapFrame(0, 0, 4, 3)), qvBitmapFrame(0, 1, 4, 4));
    expect_rect(c.device_rectangle(), 0, 1, 4, 4);

    // D is that frame moved by t^-1(0, 0).
    qvBitmapClippingT moved(src, qvTransformation(qvTranslation(-5, 2)), qvRgbaBitmap, false, true);
    expect_rect(moved.device_rectangle(), 5, -1, 9, 2);
}

TEST(qvBitmapClippingT, A_region_covering_D_gives_the_whole_bitmap_its_mask_and_the_corner_translation) {
    const qvBitmap src = clipping_numbered(4, 3);
    qvBitmapClippingT c(src, qvTransformation(qvTranslation(-5, 2)), qvRgbaBitmap, false, true);
    c.set_region(region_of(-100, -100, 100, 100));
    ASSERT_FALSE(c.empty());
    expect_rect(c.clip_rectangle(), 5, -1, 9, 2);
    EXPECT_EQ(c.clip_to_device(), qvTransformation(1, 0, 0, 1, 5, -1));
    const qvBitmap out = c.clip(), mask = c.mask();
    ASSERT_EQ(out.width(), 4);
    ASSERT_EQ(out.height(), 3);
    // The first output row is the lowest device y: the source's bottom row.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(get(out, x, y), get(src, x, 2 - y)) << x << "," << y;
    ASSERT_EQ(mask.type(), qvMonochromeBitmap);
    EXPECT_EQ(mask.width(), 4);
    EXPECT_EQ(get(mask, 0, 0), 1u);
}

TEST(qvBitmapClippingT, A_region_that_only_touches_D_or_is_empty_misses) {
    const qvBitmap src = clipping_numbered(4, 3);
    qvBitmapClippingT c(src, qvTransformation(), qvRgbaBitmap, false, true);
    for (qvRegion const& r : {region_of(4, 0, 9, 9), region_of(-3, 0, 0, 9), region_of(0, 4, 4, 8),
                              region_of(0, -2, 4, 1), qvRegion()}) {
        c.set_region(r);
        EXPECT_TRUE(c.empty());
        EXPECT_EQ(c.clip().width(), 0);
        EXPECT_EQ(c.clip().header()->type, qvBitmap().header()->type);
        EXPECT_EQ(c.mask().width(), 0);
        EXPECT_EQ(c.clip_to_device(), qvTransformation());
    }
    // set_region() alone is (0, 0, 0, 0): not empty.
    c.set_region();
    EXPECT_FALSE(c.empty());
}

TEST(qvBitmapClippingT, A_part_is_cut_to_whole_pixels_and_a_second_region_leaves_the_first_clip_alone) {
    const qvBitmap src = clipping_numbered(4, 3);
    qvBitmapClippingT c(src, qvTransformation(), qvRgbaBitmap, false, false);
    c.set_region(region_of(2.5, 1.2, 3.5, 2.1));   // widened to (2, 1)-(4, 3)
    expect_rect(c.clip_rectangle(), 2, 1, 4, 3);
    const qvBitmap first = c.clip();
    ASSERT_EQ(first.width(), 2);
    ASSERT_EQ(first.height(), 2);
    // Device y 1..3 is the two lowest rows of D: source rows 2 and 1.
    EXPECT_EQ(get(first, 0, 0), get(src, 2, 2));
    EXPECT_EQ(get(first, 1, 1), get(src, 3, 1));
    EXPECT_EQ(c.mask().width(), 0);   // no mask asked for

    c.set_region(region_of(0, 1, 4, 4));
    EXPECT_EQ(c.clip().width(), 4);
    EXPECT_EQ(first.width(), 2);
    EXPECT_EQ(get(first, 0, 0), get(src, 2, 2));
}

TEST(qvBitmapClippingT, Copies_the_colour_map_and_transparency_to_an_indexed_output) {
    qvBitmap src(qvBitmapLayout(qvIndexedBitmap), 2, 2);
    qvColorMapEntry entries[2] = {entry(10, 20, 30, 0), entry(40, 50, 60, 1)};
    src.colormap(qvColorMapReference(2, true, entries));
    set(src, 1, 0, 1);
    src.transparent_index(1);
    qvBitmapClippingT c(src, qvScaling(0.5), qvIndexedBitmap, false, true);   // doubles the bitmap
    c.set_region(region_of(-10, -10, 10, 10));
    const qvBitmap out = c.clip();
    ASSERT_EQ(out.width(), 4);
    EXPECT_EQ(out.colormap().size(), 2);
    EXPECT_TRUE(out.transparent());
    EXPECT_EQ(out.transparent_index(), 1);
    // Source row 0 becomes output rows 2 and 3.
    EXPECT_EQ(get(out, 2, 3), 1u);
    EXPECT_EQ(get(out, 3, 2), 1u);
    EXPECT_EQ(get(out, 2, 0), 0u);
    EXPECT_EQ(get(out, 1, 3), 0u);
}

TEST(qvBitmapClippingT, Refuses_an_oversized_frame_before_allocating_and_keeps_its_result) {
    const qvBitmap src = clipping_numbered(4, 4);
    qvBitmapClippingT c(src, qvScaling(1.0 / 4096), qvRgbaBitmap, false, true);   // 16384 x 16384
    expect_rect(c.device_rectangle(), 0, 1, 16384, 16385);
    c.set_region(region_of(0, 1, 2, 3));
    ASSERT_FALSE(c.empty());
    const qvBitmap small = c.clip();
    EXPECT_EQ(raised<qvErrorFrom<qvBitmapClippingT>>([&] { c.set_region(region_of(-1e9, -1e9, 1e9, 1e9)); }),
              "Clipped bitmap is too large");
    EXPECT_TRUE(c.clip() == small);
    EXPECT_TRUE(qvBitmapClippingT::size_allowed(8192, 8192));
    EXPECT_FALSE(qvBitmapClippingT::size_allowed(8193, 8192));
    EXPECT_FALSE(qvBitmapClippingT::size_allowed((1 << 20) + 1, 1));
    EXPECT_FALSE(qvBitmapClippingT::size_allowed(std::nan(""), 1));
}

// ---------------------------------------------------------------------------
// qvBitmapClipping

TEST(qvBitmapClipping, A_region_covering_the_bitmap_gives_it_converted_with_its_map_and_transparency) {
    qvBitmap src(qvBitmapLayout(qvIndexedBitmap), 3, 2);
    qvColorMapEntry entries[2] = {entry(255, 0, 0, 0), entry(0, 0, 255, 1)};
    src.colormap(qvColorMapReference(2, true, entries));
    set(src, 2, 1, 1);
    src.transparent_index(1);
    qvBitmapClipping c(src, qvTransformation(), qvRgbaBitmap);
    c.set_region(region_of(-5, -5, 50, 50));
    expect_rect(c.clip_rectangle(), 0, 0, 3, 2);
    const qvBitmap out = c.clip();
    ASSERT_EQ(out.type(), qvRgbaBitmap);
    ASSERT_EQ(out.width(), 3);
    ASSERT_EQ(out.height(), 2);
    EXPECT_EQ(out.colormap().size(), 2);
    EXPECT_EQ(get(out, 2, 1), quad(0, 0, 255));
    EXPECT_EQ(get(out, 0, 0), quad(255, 0, 0));
    EXPECT_TRUE(out.transparent());
    EXPECT_EQ(out.transparent_rgb(), qvBitmapColor(entries[1].color()));
}

// A transparent index names a colour only below the map's size: the index
// equal to the size, as a GIF or a caller may give it, names none (reading
// the entry there read past the colours), the one below it names its entry.
TEST(qvBitmapClipping, A_transparent_index_read_from_a_file_names_a_colour_only_below_the_map_size) {
    const qvBitmap source = image_test::indexed_bitmap(3, 2, {0, 1, 0, 1, 1, 0}, 2);
    for (unsigned char index : {2, 1}) {
        qvBitmap with_index = source;
        with_index.transparent_index(index);
        // The writer's table has 256 entries; this file's keeps two.
        std::string gif = image_test::save_gif(with_index);
        ASSERT_EQ(static_cast<unsigned char>(gif[10]), 0xF7);
        gif[10] = static_cast<char>(0xF0);
        gif.erase(13 + 6, 768 - 6);
        qvBitmap from_gif;
        ASSERT_TRUE(image_test::load_gif(gif, from_gif));
        qvBitmap from_bmp;
        image_test::load_bmp(image_test::save_bmp(source), from_bmp);
        from_bmp.transparent_index(index);
        for (qvBitmap const* read : {&from_gif, &from_bmp}) {
            ASSERT_EQ(read->colormap().size(), 2);
            ASSERT_EQ(read->transparent_index(), index);
            qvBitmapClipping c(*read, qvTransformation(), qvRgbaBitmap);
            c.set_region(region_of(-5, -5, 50, 50));
            const qvBitmap out = c.clip();
            ASSERT_EQ(out.type(), qvRgbaBitmap);
            EXPECT_EQ(out.transparent(), index < 2) << int(index);
            if (index < 2) {
                EXPECT_EQ(out.transparent_rgb(), qvBitmapColor(1, 254, 3));
            }
        }
    }
}

TEST(qvBitmapClipping, Cuts_the_mapped_box_in_bitmap_pixels_and_places_it_by_the_inverse) {
    const qvBitmap src = clipping_numbered(4, 4);
    // Device to bitmap: halve, move by (1, 0).
    const qvTransformation t(0.5, 0, 0, 0.5, 1, 0);
    qvBitmapClipping c(src, t, qvRgbaBitmap);
    c.set_region(region_of(0, 2, 4, 6));   // bitmap (1, 1)-(3, 3)
    expect_rect(c.clip_rectangle(), 1, 1, 3, 3);
    const qvBitmap out = c.clip();
    ASSERT_EQ(out.width(), 2);
    // Bitmap y 1..3 is rows 1 and 2.
    EXPECT_EQ(get(out, 0, 0), get(src, 1, 1));
    EXPECT_EQ(get(out, 1, 1), get(src, 2, 2));
    EXPECT_EQ(c.clip_to_device(), qvInvert(t) * qvTransformation(qvTranslation(1, 1)));
    EXPECT_EQ(c.clip_to_device() * qvCrdOf<double>(0, 0), qvCrdOf<double>(0, 2));
}

// The clip rectangle is the box of all four mapped corners of the region's
// box: at 30 degrees each side comes from a different corner.
TEST(qvBitmapClipping, Takes_the_box_of_the_region_turned_or_sheared_into_the_bitmap) {
    const qvBitmap src = clipping_numbered(64, 64);
    const double c = std::sqrt(3.0) / 2, s = 0.5;
    // Device to bitmap: turn by 30 degrees, then move by (20, 5).
    qvBitmapClipping turned(src, qvTransformation(c, -s, s, c, 20, 5), qvRgbaBitmap);
    turned.set_region(region_of(10, 10, 30, 20));
    const Rect r = turned.clip_rectangle();
    EXPECT_NEAR(r.x1, 20 + 10 * c - 20 * s, 1e-12);   // corner (10, 20)
    EXPECT_NEAR(r.y1, 5 + 10 * s + 10 * c, 1e-12);    // corner (10, 10)
    EXPECT_NEAR(r.x2, 20 + 30 * c - 10 * s, 1e-12);   // corner (30, 10)
    EXPECT_NEAR(r.y2, 5 + 30 * s + 20 * c, 1e-12);    // corner (30, 20)

    // x' = x + y / 2 leans the box: its left from (10, 10), its right from
    // (30, 20); y' = y + x / 2 likewise for the bottom and top.
    qvBitmapClipping leaning(src, qvTransformation(1, 0.5, 0, 1, 0, 0), qvRgbaBitmap);
    leaning.set_region(region_of(10, 10, 30, 20));
    expect_rect(leaning.clip_rectangle(), 15, 10, 40, 20);
    qvBitmapClipping rising(src, qvTransformation(1, 0, 0.5, 1, 0, 0), qvRgbaBitmap);
    rising.set_region(region_of(10, 10, 30, 20));
    expect_rect(rising.clip_rectangle(), 10, 15, 30, 35);
}

TEST(qvBitmapClipping, A_miss_keeps_the_zero_rectangle_which_is_not_empty_and_clips_to_size_zero) {
    const qvBitmap src = clipping_numbered(4, 4);
    qvBitmapClipping c(src, qvTransformation());
    for (qvRegion const& r : {region_of(10, 10, 20, 20), region_of(4, 0, 8, 4), qvRegion()}) {
        c.set_region(r);
        expect_rect(c.clip_rectangle(), 0, 0, 0, 0);
        EXPECT_FALSE(c.empty());
        const qvBitmap out = c.clip();
        EXPECT_EQ(out.width(), 0);
        EXPECT_EQ(out.height(), 0);
        EXPECT_EQ(out.type(), qvRgbaBitmap);
    }
}
