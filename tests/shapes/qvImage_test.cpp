// Restricted and scaled images in a scene and stand-alone: the record a
// bitmap shapes (sizes, offsets, zeroed parts), what it refuses before
// anything changes, the copy of a bitmap whose rows or layout do not match
// the standard ones, the extent for a view, the boxes kept in the header
// with one report pair, identities and interactions, and images of a memory
// scene found again through their proxy classes.

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvScaledImage.hpp>
#include <orvane/shapes/qvSimpleRestrictedImage.hpp>
#include <orvane/shapes/qvSimpleScaledImage.hpp>

#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;
using shape_test::RecordingScene;
using Boxes = std::vector<qvMathRectOf<double>>;
using ShapeError = qvErrorFrom<qvSingleShapeProxyBase>;
using SizeError = qvErrorFrom<qvBitmapHeader>;
using RestrictedColourError = qvErrorFrom<qvGenericImageProxy<qvRestrictedImageProxyBase, qvRestrictedImageData>>;
using ScaledColourError = qvErrorFrom<qvGenericImageProxy<qvScaledImageProxyBase, qvScaledImageData>>;
using DegenerateError = qvErrorFrom<qvGenericRestrictedImageProxy<qvSimpleRestrictedImageProxyBase>>;
using SceneDegenerateError = qvErrorFrom<qvGenericRestrictedImageProxy<qvRestrictedImageProxyBase>>;

char const* const bad_colours = "The number of colors must be between 0 and 256";
char const* const bad_size = "Invalid bitmap size";
char const* const uninitialized = "Attempt to query uninitialized shape";

qvMathRectOf<double> raw(double x1, double y1, double x2, double y2) {
    return qvMathRectOf<double>(qvRectOf<double>(x1, y1, x2, y2));
}

template <class T>
T at(qvShapeBase const* record, int offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<char const*>(record) + offset, sizeof value);
    return value;
}

std::string bytes(void const* p, std::size_t n) { return std::string(static_cast<char const*>(p), n); }

// A bitmap of our own storage: a header, numbered pixels and colours.
struct TestBitmap {
    TestBitmap(qvBitmapLayout layout, int w, int h, int colours) : header(layout, w, h) {
        header.color_count = colours;
        fill(static_cast<std::size_t>(header.image_size), static_cast<std::size_t>(colours));
    }
    // A header as given, whatever its rows: pixel bytes as it describes them.
    explicit TestBitmap(qvBitmapHeader const& given) : header(given) {
        const std::int64_t n = given.row_bytes == 0 ? given.image_size : std::int64_t{given.row_bytes} * given.height;
        fill(static_cast<std::size_t>(n), static_cast<std::size_t>(given.color_count));
    }
    void fill(std::size_t pixel_count, std::size_t colour_count) {
        pixels.resize(pixel_count);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<unsigned char>(i * 7 + 1);
        colours.resize(colour_count);
        for (std::size_t i = 0; i < colours.size(); ++i)
            colours[i] = qvColorMapEntry(qvBitmapColor(static_cast<unsigned char>(i), 2, 3),
                                         static_cast<unsigned char>(255 - i));
    }
    qvBitmapReference ref() {
        return qvBitmapReference(&header, pixels.empty() ? nullptr : pixels.data(),
                                 colours.empty() ? nullptr : colours.data());
    }

    qvBitmapHeader header;
    std::vector<unsigned char> pixels;
    std::vector<qvColorMapEntry> colours;
};

// The reference's three parts equal the bitmap's.
void expect_same_bitmap(qvBitmapReference const& got, TestBitmap& want) {
    ASSERT_EQ(bytes(got.header(), 48), bytes(&want.header, 48));
    ASSERT_EQ(got.size(), static_cast<long>(want.pixels.size()));
    if (!want.pixels.empty()) {
        EXPECT_EQ(bytes(got.data(), want.pixels.size()), bytes(want.pixels.data(), want.pixels.size()));
    }
    if (!want.colours.empty()) {
        EXPECT_EQ(bytes(got.colormap().data(), 4 * want.colours.size()),
                  bytes(want.colours.data(), 4 * want.colours.size()));
    }
}

class Images : public ::testing::Test {
protected:
    void SetUp() override { areas.connect(scene.rect_sender()); }
    void forget_reports() {
        areas.items.clear();
        areas.flags.clear();
    }

    RecordingScene scene;
    qvNotificationLog log;
    qvRecordingReceiver<qvMathRectOf<double>> areas{"rect", log};
};

}  // namespace

// ---------------------------------------------------------------------------
// Records

TEST_F(Images, An_indexed_bitmap_with_256_colours_makes_a_1176_byte_record) {
    TestBitmap b(qvIndexedBitmap, 8, 2, 256);
    qvRestrictedImage image(scene, qvCrdOf<double>(1, 2), b.ref(), 15, nullptr);
    qvShapeBase const* const r = image->record();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->size, 1176);
    EXPECT_EQ(r->kind, -11);
    EXPECT_EQ(r->proxy_class_id, 9);
    EXPECT_EQ(at<std::int16_t>(r, 106), 30);     // colours from 136
    EXPECT_EQ(at<std::int16_t>(r, 104), 1056);   // pixels from 1160
    EXPECT_EQ(at<std::int32_t>(r, 48), 8);       // row bytes
    EXPECT_EQ(at<std::int32_t>(r, 64), 256);     // colour count
    EXPECT_EQ(bytes(reinterpret_cast<char const*>(r) + 136, 1024), bytes(b.colours.data(), 1024));
    EXPECT_EQ(bytes(reinterpret_cast<char const*>(r) + 1160, 16), bytes(b.pixels.data(), 16));
    EXPECT_EQ(at<std::int32_t>(r, 108), 0);
    EXPECT_EQ(at<std::int32_t>(r, 112), 15);
    EXPECT_EQ(at<std::int32_t>(r, 116), 0);
    EXPECT_EQ(image->anchor(), qvCrdOf<double>(1, 2));
    expect_same_bitmap(image->bitmap(), b);
}

TEST_F(Images, Parts_follow_the_fixed_part_and_empty_ones_take_no_room) {
    qvRestrictedImage image(scene);
    image->bitmap(qvRgbaBitmap, 2, 2, 0);   // no colours: pixels right after the fixed part
    EXPECT_EQ(image->record()->size, 152);
    EXPECT_EQ(at<std::int16_t>(image->record(), 104), 32);
    EXPECT_EQ(at<std::int16_t>(image->record(), 106), 0);
    image->bitmap(qvIndexedBitmap, 0, 0, 0);
    EXPECT_EQ(image->record()->size, 136);
    image->bitmap(qvIndexedBitmap, 3, 1, 3);   // 12 colour bytes and 4 pixel bytes, each rounded to 8
    EXPECT_EQ(image->record()->size, 136 + 16 + 8);
    EXPECT_EQ(at<std::int16_t>(image->record(), 106), 30);
    EXPECT_EQ(at<std::int16_t>(image->record(), 104), 152 - 104);
    // A freshly shaped bitmap is zero after the fixed part, whatever was there.
    const std::string zeros(24, '\0');
    EXPECT_EQ(bytes(reinterpret_cast<char const*>(image->record()) + 136, 24), zeros);
    EXPECT_EQ(image->bitmap().colormap().size(), 3);

    qvScaledImage scaled(scene);
    TestBitmap b(qvRgbaBitmap, 2, 2, 0);
    scaled->bitmap(b.ref());
    EXPECT_EQ(scaled->record()->size, 160);
    EXPECT_EQ(scaled->record()->kind, -12);
    EXPECT_EQ(scaled->record()->proxy_class_id, 10);
    EXPECT_EQ(at<std::int16_t>(scaled->record(), 104), 40);   // pixels at 144
    expect_same_bitmap(scaled->bitmap(), b);
}

TEST_F(Images, A_new_record_holds_the_default_header_and_zero_unused_fields) {
    qvRestrictedImage image(scene);
    image->anchor(qvCrdOf<double>(0, 0));
    qvShapeBase const* r = image->record();
    EXPECT_EQ(r->size, 136);
    EXPECT_EQ(at<std::int32_t>(r, 40), -1);   // type
    EXPECT_EQ(at<std::int32_t>(r, 68), 1);    // simple colour map
    EXPECT_EQ(at<std::int32_t>(r, 72), 72);
    EXPECT_EQ(at<std::int32_t>(r, 76), 72);
    EXPECT_EQ(at<std::int32_t>(r, 104), 0);   // both offsets
    EXPECT_EQ(at<std::int32_t>(r, 108), 0);
    EXPECT_EQ(image->alignment(), 6);
    EXPECT_EQ(at<std::int32_t>(r, 116), 0);
    EXPECT_EQ(image->x_resolution(), 0.0);
    EXPECT_EQ(image->y_resolution(), 0.0);
    EXPECT_EQ(image->bitmap().data(), nullptr);

    qvScaledImage scaled(scene);
    scaled->anchor(qvCrdOf<double>(3, 4));
    EXPECT_EQ(scaled->record()->size, 144);
    EXPECT_EQ(scaled->record()->kind, -12);
    EXPECT_EQ(scaled->x_vector(), qvCrdOf<double>(0, 0));
    EXPECT_EQ(scaled->y_vector(), qvCrdOf<double>(0, 0));
    EXPECT_EQ(scaled->bbox(), raw(3, 4, 3, 4));
}

TEST_F(Images, Without_a_record_only_bitmap_and_box_answer) {
    qvRestrictedImage image(scene);
    EXPECT_EQ(image->bitmap().data(), nullptr);
    EXPECT_EQ(image->bitmap().type(), -1);
    EXPECT_EQ(image->bbox(), raw(1, 1, 0, 0));
    expect_raises<ShapeError>([&] { image->anchor(); }, uninitialized);
    expect_raises<ShapeError>([&] { image->alignment(); }, uninitialized);
    expect_raises<ShapeError>([&] { image->x_resolution(); }, uninitialized);
    qvScaledImage scaled(scene);
    EXPECT_EQ(scaled->bbox(), raw(1, 1, 0, 0));
    expect_raises<ShapeError>([&] { scaled->x_vector(); }, uninitialized);
    EXPECT_TRUE(scene.records.empty());

    RecordingScene frozen(1, true);
    qvRestrictedImage refused(frozen);
    TestBitmap b(qvRgbaBitmap, 1, 1, 0);
    expect_raises<ShapeError>([&] { refused->bitmap(b.ref()); }, "Attempt to modify a read-only scene");
    expect_raises<ShapeError>([&] { refused->resolution(1, 1); }, "Attempt to modify a read-only scene");
    EXPECT_TRUE(frozen.records.empty());
}

// ---------------------------------------------------------------------------
// Refused bitmaps

TEST_F(Images, Refused_bitmaps_leave_the_record_and_the_scene_as_they_were) {
    TestBitmap b(qvIndexedBitmap, 4, 4, 2);
    qvRestrictedImage image(scene, qvCrdOf<double>(0, 0), b.ref(), 6, nullptr);
    const std::string before = shape_test::record_hex(image->record());
    scene.take_log();
    forget_reports();

    expect_raises<RestrictedColourError>([&] { image->bitmap(qvIndexedBitmap, 2, 2, -1); }, bad_colours);
    expect_raises<RestrictedColourError>([&] { image->bitmap(qvIndexedBitmap, 2, 2, 257); }, bad_colours);
    expect_raises<SizeError>([&] { image->bitmap(qvIndexedBitmap, -1, 2, 0); }, bad_size);
    expect_raises<SizeError>([&] { image->bitmap(qvRgbaBitmap, 50000, 50000, 0); }, bad_size);
    TestBitmap many(qvIndexedBitmap, 1, 1, 0);
    many.header.color_count = 257;
    expect_raises<RestrictedColourError>([&] { image->bitmap(many.ref()); }, bad_colours);
    many.header.color_count = 0;
    many.header.width = -1;
    expect_raises<SizeError>([&] { image->bitmap(many.ref()); }, bad_size);
    many.header.width = 1;
    many.header.row_bytes = -4;
    expect_raises<SizeError>([&] { image->bitmap(many.ref()); }, bad_size);

    EXPECT_EQ(shape_test::record_hex(image->record()), before);
    EXPECT_TRUE(scene.take_log().empty());
    EXPECT_TRUE(areas.items.empty());

    qvScaledImage scaled(scene);
    expect_raises<ScaledColourError>([&] { scaled->bitmap(qvRgbaBitmap, 1, 1, 300); }, bad_colours);
    EXPECT_EQ(scaled->record(), nullptr);
    EXPECT_TRUE(scene.take_log().empty());
}

// A record beyond int32 bytes would wrap its size field.
TEST_F(Images, A_bitmap_whose_record_exceeds_int32_is_refused_by_the_size_limit) {
    qvBitmapHeader h;
    h.row_bytes = 0;
    h.image_size = 0x7FFFFFF0;   // fits the header, not the record
    qvRestrictedImage image(scene);
    qvBitmapReference huge(&h, nullptr, nullptr);
    expect_raises<ShapeError>([&] { image->bitmap(huge); },
                              "Limitation: shape size exceeds maximum allowed for a record");
    EXPECT_EQ(image->record(), nullptr);
}

// The record used to be shaped from the standard rows and overrun by the copy.
TEST_F(Images, A_bitmap_with_wide_rows_or_no_pixel_layout_is_held_whole) {
    qvBitmapHeader wide(qvIndexedBitmap, 3, 5);
    wide.row_bytes = 12;   // standard would be 4
    wide.image_size = 60;
    TestBitmap w(wide);
    qvRestrictedImage image(scene);
    image->bitmap(w.ref());
    EXPECT_EQ(image->record()->size, 136 + 64);
    expect_same_bitmap(image->bitmap(), w);

    qvBitmapHeader opaque;   // layout (-1, 0): the image size says how many bytes
    opaque.width = 10;
    opaque.height = 10;
    opaque.image_size = 37;
    TestBitmap o(opaque);
    qvSimpleScaledImage alone;
    alone->bitmap(o.ref());
    EXPECT_EQ(alone->record()->size, 144 + 40);
    expect_same_bitmap(alone->bitmap(), o);
}

// Reshaping moves the record: a bitmap read from it must be taken out first.
TEST_F(Images, A_bitmap_copied_from_its_own_record_survives_the_resize) {
    TestBitmap b(qvIndexedBitmap, 5, 3, 4);
    qvRestrictedImage image(scene, qvCrdOf<double>(0, 0), b.ref(), 6, nullptr);
    image->bitmap(image->bitmap());
    expect_same_bitmap(image->bitmap(), b);
    qvSimpleRestrictedImage alone;
    alone->bitmap(b.ref());
    alone->bitmap(alone->bitmap());
    expect_same_bitmap(alone->bitmap(), b);
}

// ---------------------------------------------------------------------------
// Extent and boxes

TEST_F(Images, The_extent_keeps_the_printed_size_at_any_scale) {
    qvSimpleRestrictedImage image;
    image->bitmap(qvRgbaBitmap, 144, 36, 0);
    qvRestrictedTransformation identity(1, 1, 0, 0);
    image->adjust_extent(&identity);
    EXPECT_EQ(image->x_resolution(), 144.0);
    EXPECT_EQ(image->y_resolution(), 36.0);
    for (double sx : {2.0, -2.0}) {
        qvRestrictedTransformation t(sx, 4, 7, 7);
        image->adjust_extent(&t);
        EXPECT_EQ(image->x_resolution(), 72.0);
        EXPECT_EQ(image->y_resolution(), 9.0);
    }
    image->adjust_extent(nullptr);
    EXPECT_EQ(image->x_resolution(), 144.0);

    for (qvRestrictedTransformation t : {qvRestrictedTransformation(0, 1, 0, 0), qvRestrictedTransformation(1, 0, 0, 0)}) {
        image->resolution(5, 6);
        expect_raises<DegenerateError>([&] { image->adjust_extent(&t); }, "Degenerate transformation matrix");
        EXPECT_EQ(image->x_resolution(), 5.0);
        EXPECT_EQ(image->y_resolution(), 6.0);
    }

    // A header without a resolution counts as 72 dpi, not as a division by 0.
    qvBitmapHeader h(qvRgbaBitmap, 144, 36);
    h.dpi_x = 0;
    h.dpi_y = 144;
    image->bitmap(qvBitmapReference(&h, nullptr, nullptr));
    image->adjust_extent(nullptr);
    EXPECT_EQ(image->x_resolution(), 144.0);
    EXPECT_EQ(image->y_resolution(), 18.0);
}

TEST_F(Images, A_restricted_box_is_half_an_extent_only_where_centred) {
    qvSimpleRestrictedImage image;
    image->resolution(-10, 4);   // stored as absolute values
    EXPECT_EQ(image->x_resolution(), 10.0);
    image->alignment(15);
    EXPECT_EQ(image->bbox(), raw(-5, -2, 5, 2));
    image->alignment(0);
    EXPECT_EQ(image->bbox(), raw(-10, -4, 10, 4));
    image->alignment(6);
    EXPECT_EQ(image->bbox(), raw(-10, -4, 10, 4));
    image->alignment(12 | 2);
    EXPECT_EQ(image->bbox(), raw(-5, -4, 5, 4));
    image->anchor(qvCrdOf<double>(3, 1));
    image->resolution(0, 0);
    EXPECT_EQ(image->bbox(), raw(3, 1, 3, 1));
    image->resolution(-3, 4);
    EXPECT_EQ(image->x_resolution(), 3.0);
    EXPECT_EQ(image->y_resolution(), 4.0);
}

TEST_F(Images, A_scaled_box_holds_the_four_corners) {
    qvSimpleScaledImage image;
    image->anchor(qvCrdOf<double>(10, 20));
    image->vectors(qvCrdOf<double>(4, 0), qvCrdOf<double>(0, 3));
    EXPECT_EQ(image->bbox(), raw(10, 20, 14, 23));
    image->anchor(qvCrdOf<double>(0, 0));
    image->x_vector(qvCrdOf<double>(4, 1));
    image->y_vector(qvCrdOf<double>(-1, 3));
    EXPECT_EQ(image->bbox(), raw(-1, 0, 4, 4));
    image->vectors(qvCrdOf<double>(-4, 0), qvCrdOf<double>(0, -3));
    EXPECT_EQ(image->bbox(), raw(-4, -3, 0, 0));
}

TEST_F(Images, Box_changes_reach_the_header_with_one_report_pair) {
    TestBitmap b(qvRgbaBitmap, 2, 2, 0);
    qvRestrictedImage image(scene, qvCrdOf<double>(0, 0), b.ref(), 15, nullptr);
    image->resolution(10, 4);
    forget_reports();
    image->anchor(qvCrdOf<double>(5, 5));
    EXPECT_EQ(image->record()->bbox(), raw(0, 3, 10, 7));
    EXPECT_EQ(areas.items, (Boxes{raw(-5, -2, 5, 2), raw(0, 3, 10, 7)}));

    forget_reports();
    image->alignment(0);
    qvRestrictedTransformation half(0.5, 0.5, 0, 0);
    image->adjust_extent(&half);
    EXPECT_EQ(image->record()->bbox(), raw(1, 1, 9, 9));
    EXPECT_EQ(areas.items.size(), 4u);
    forget_reports();
    qvRestrictedTransformation flat(1, 0, 0, 0);
    expect_raises<SceneDegenerateError>([&] { image->adjust_extent(&flat); }, "Degenerate transformation matrix");
    EXPECT_TRUE(areas.items.empty());

    // Shaping alone keeps the header box.
    forget_reports();
    image->bitmap(qvRgbaBitmap, 50, 50, 0);
    EXPECT_EQ(image->record()->bbox(), raw(1, 1, 9, 9));

    qvScaledImage scaled(scene, qvCrdOf<double>(1, 1), b.ref(), qvCrdOf<double>(1, 0), qvCrdOf<double>(0, 1),
                         nullptr);
    EXPECT_EQ(scaled->record()->bbox(), raw(1, 1, 2, 2));
    forget_reports();
    scaled->vectors(qvCrdOf<double>(2, 0), qvCrdOf<double>(0, 2));
    EXPECT_EQ(areas.items, (Boxes{raw(1, 1, 2, 2), raw(1, 1, 3, 3)}));
    EXPECT_EQ(scaled->record()->bbox(), raw(1, 1, 3, 3));
}

// ---------------------------------------------------------------------------
// Identities, stand-alone copies and scenes

TEST_F(Images, Both_kinds_offer_their_interfaces_and_move_by_their_anchor) {
    qvRestrictedImage image(scene);
    qvScaledImage scaled(scene);
    for (qvGraphic g : {qvGraphic(image), qvGraphic(scaled)}) {
        EXPECT_TRUE(shape_test::interactions_are_offered(*g));
        for (qvInterfaceInfo const* i : {&qvInterfaceIdentity<qvMoveInteraction>(),
                                         &qvInterfaceIdentity<qvExtendedScaleInteraction>(),
                                         &qvInterfaceIdentity<qvRotateInteraction>()})
            EXPECT_EQ(g->query_interaction(*i), &qvInterfaceIdentity<qvAnchorDataAccess>());
        EXPECT_NE(qvQueryInterface<qvImageDataAccess>(g.get()), nullptr);
    }
    EXPECT_NE(qvQueryInterface<qvRestrictedImageDataAccess>(image.get()), nullptr);
    EXPECT_EQ(qvQueryInterface<qvScaledImageDataAccess>(image.get()), nullptr);
    EXPECT_NE(qvQueryInterface<qvScaledImageDataAccess>(scaled.get()), nullptr);
    EXPECT_FALSE(qvRestrictedImage(qvGraphic(scaled)));
    EXPECT_TRUE(qvScaledImage(qvGraphic(scaled)));
}

TEST_F(Images, A_stand_alone_copy_of_a_record_keeps_its_parts) {
    TestBitmap b(qvIndexedBitmap, 8, 2, 256);
    qvRestrictedImage image(scene, qvCrdOf<double>(4, 4), b.ref(), 15, nullptr);
    image->resolution(2, 2);
    qvSimpleRestrictedImage copy(image->record());
    EXPECT_EQ(copy->record()->proxy_class_id, 9);
    expect_same_bitmap(copy->bitmap(), b);
    EXPECT_EQ(copy->bbox(), raw(3, 3, 5, 5));
    qvSimpleRestrictedImage second = copy;   // its own block
    second->bitmap(qvIndexedBitmap, 1, 1, 0);
    expect_same_bitmap(copy->bitmap(), b);
    EXPECT_EQ(copy->record()->kind, -11);
}

TEST(ImagesInMemoryScene, Images_are_found_again_through_their_proxy_classes) {
    qvMemoryScene scene;
    TestBitmap b(qvIndexedBitmap, 8, 2, 256);
    long restricted_handle = 0, scaled_handle = 0;
    {
        qvRestrictedImage image(scene, qvCrdOf<double>(1, 1), b.ref(), 6, nullptr);
        qvScaledImage scaled(scene, qvCrdOf<double>(2, 2), b.ref(), qvCrdOf<double>(4, 0), qvCrdOf<double>(0, 3),
                             nullptr);
        restricted_handle = image->shape_handle();
        scaled_handle = scaled->shape_handle();
    }
    qvRestrictedImage image(scene, restricted_handle);
    qvScaledImage scaled(scene, scaled_handle);
    ASSERT_TRUE(image);
    ASSERT_TRUE(scaled);
    expect_same_bitmap(image->bitmap(), b);
    expect_same_bitmap(scaled->bitmap(), b);
    EXPECT_EQ(scaled->bbox(), raw(2, 2, 6, 5));
    EXPECT_FALSE(qvScaledImage(scene, restricted_handle));
}
