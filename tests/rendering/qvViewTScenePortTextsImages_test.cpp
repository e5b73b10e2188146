// The scene port's texts and images over a recording port: direction,
// mirror and aperture, font sizes and extents, the image vectors and the
// resampled restricted image, and the port's transformation and palette put
// back on every exit.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimpleRestrictedImage.hpp>
#include <orvane/shapes/qvSimpleRestrictedText.hpp>
#include <orvane/shapes/qvSimpleScaledImage.hpp>
#include <orvane/shapes/qvSimpleScaledText.hpp>

#include "qvBitmapTransformReference.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using Record = std::unique_ptr<qvShapeBase>;
using P = qvCrdOf<double>;

// The record of a stand-alone shape, stamped as a scene's of `kind`.
template <class Shape>
Record texts_images_record(Shape& shape, long kind, long attribute = 0) {
    Record r = shape_test::scene_record(*shape->record(), kind, attribute);
    r->shape_handle = 7;
    return r;
}

template <class Text>
void fill_text(Text& t, double angle, double aperture, unsigned alignment) {
    t->text("Orvane");
    t->anchor(P(10, 20));
    t->angle(angle);
    t->aperture(aperture);
    t->alignment(alignment);
    t->extent(qvExtent{60, 2, 8});
}

Record restricted_text(double angle, double aperture, unsigned alignment, long attribute = 0) {
    qvSimpleRestrictedText t;
    fill_text(t, angle, aperture, alignment);
    return texts_images_record(t, qvRestrictedTextKind, attribute);
}

Record scaled_text(double angle, double aperture, unsigned alignment) {
    qvSimpleScaledText t;
    fill_text(t, angle, aperture, alignment);
    t->height(10);
    return texts_images_record(t, qvScaledTextKind);
}

// w x h RGBA pixels, red x * 10, green y * 10.
qvBitmap texts_images_bitmap(int w, int h) {
    qvBitmap b(qvBitmapLayout(qvRgbaBitmap), w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            transform_reference::set(b, x, y,
                                     transform_reference::quad(static_cast<unsigned>(x * 10),
                                                               static_cast<unsigned>(y * 10), 1));
    return b;
}

struct ScenePortTexts : ::testing::Test {
    qvStandardPalette scene_palette;
    shape_test::RecordingFlavorPort target;
    qvViewTScenePort port{target};
    ScenePortTexts() {
        target.palette(&scene_palette);
        // Restricted images are resampled only where the target's clip lets
        // them through.
        target.draw().clip(qvMathRectOf<double>(-10000, -10000, 10000, 10000));
        port.scale_line_width(false);
        port.scale_font_size(false);
    }

    template <class Text>
    Text received_text(std::size_t i = 0) const {
        Record r = target.record(i);
        return Text(r.get());
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// Direction, mirror and aperture

TEST_F(ScenePortTexts, Under_the_identity_a_scaled_text_keeps_anchor_and_angle_and_aperture_90_becomes_minus_90) {
    ASSERT_TRUE(port.draw_shape(*scaled_text(30, 90, 4)));
    auto t = received_text<qvSimpleScaledText>();
    EXPECT_EQ(t->record()->kind, qvScaledTextKind);
    EXPECT_EQ(t->anchor(), P(10, 20));
    EXPECT_DOUBLE_EQ(t->angle(), 30);
    EXPECT_DOUBLE_EQ(t->aperture(), -90);
    EXPECT_EQ(t->alignment(), 4u);
    EXPECT_DOUBLE_EQ(t->height(), 10);
}

TEST_F(ScenePortTexts, A_mirror_in_x_swaps_left_and_right_and_turns_the_text_half_round) {
    port.mapping(qvTransformation(-1, 0, 0, 1, 0, 0));
    const unsigned in[] = {4, 8, 0, 12, 4 | 1, 8 | 2};
    const unsigned out[] = {8, 4, 0, 12, 8 | 1, 4 | 2};
    for (unsigned a : in) ASSERT_TRUE(port.draw_shape(*scaled_text(30, 90, a)));
    for (std::size_t i = 0; i < 6; ++i) {
        auto t = received_text<qvSimpleScaledText>(i);
        EXPECT_EQ(t->alignment(), out[i]) << in[i];
        EXPECT_DOUBLE_EQ(t->angle(), -30);
        EXPECT_EQ(t->anchor(), P(-10, 20));
    }
}

TEST_F(ScenePortTexts, A_half_turn_keeps_the_alignment_and_adds_180_degrees) {
    port.mapping(qvTransformation(-1, 0, 0, -1, 0, 0));
    ASSERT_TRUE(port.draw_shape(*scaled_text(30, 90, 4)));
    auto t = received_text<qvSimpleScaledText>();
    EXPECT_EQ(t->alignment(), 4u);
    EXPECT_DOUBLE_EQ(t->angle(), -150);
}

TEST_F(ScenePortTexts, An_aperture_near_0_or_180_stays_a_number) {
    // Regression: the cosine came out a hair past +-1 and acos gave NaN.
    port.mapping(qvTransformation(3, 0, 0, 3, 0, 0));
    for (double aperture : {1e-9, 179.999999999, 0.0, 180.0}) {
        target.calls.clear();
        ASSERT_TRUE(port.draw_shape(*scaled_text(17, aperture, 0)));
        EXPECT_FALSE(std::isnan(received_text<qvSimpleScaledText>()->aperture())) << aperture;
    }
}

TEST_F(ScenePortTexts, A_scaled_text_is_mapped_by_M_and_its_height_follows_the_y_axis) {
    target.transformation(qvRestrictedTransformation(2, 2, 0, 0));
    port.mapping(qvScaling(3));   // M = inv * mapping * T: scale 3, no offset
    ASSERT_TRUE(port.draw_shape(*scaled_text(0, 90, 0)));
    auto t = received_text<qvSimpleScaledText>();
    EXPECT_EQ(t->anchor(), P(30, 60));
    EXPECT_DOUBLE_EQ(t->height(), 30);
    EXPECT_EQ(qvMathRectOf<double>(t->record()->box), t->bbox());
}

// Regression: a mapping that collapses the y axis gave the copy a height of
// 0, which its setter refuses with an assertion.
TEST_F(ScenePortTexts, A_scaled_text_under_a_mapping_that_collapses_its_height_is_not_drawn) {
    port.mapping(qvTransformation(1, 0, 0, 0, 0, 0));
    EXPECT_FALSE(port.draw_shape(*scaled_text(0, 90, 0)));
    EXPECT_TRUE(target.calls.empty());
}

// ---------------------------------------------------------------------------
// Restricted texts: font size, extent, state put back

TEST_F(ScenePortTexts, A_restricted_text_too_small_to_read_is_not_drawn_and_changes_nothing) {
    port.scale_font_size(true);
    target.transformation(qvRestrictedTransformation(1, 1, 3, 4));
    port.mapping(qvScaling(0.05));
    qvAttributeProxy attribute(scene_palette, 0);
    attribute.font_size(0.0f);   // stands for 10: 10 x 0.05 < 1
    EXPECT_FALSE(port.draw_shape(*restricted_text(0, 90, 0, attribute.attribute_handle())));
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(target.palette(), &scene_palette);
    EXPECT_EQ(target.transformation(), qvRestrictedTransformation(1, 1, 3, 4));
}

TEST_F(ScenePortTexts, A_restricted_text_is_sent_in_device_space_with_its_font_scaled_and_measured) {
    port.scale_font_size(true);
    target.transformation(qvRestrictedTransformation(1, 1, 3, 4));
    port.mapping(qvTransformation(2, 0, 0, 2, 5, 0));
    qvAttributeProxy attribute(scene_palette, 0);
    attribute.font_size(12.0f);
    float size_in_call = 0;
    target.on_draw = [&](qvShapeBase const& record) {
        size_in_call = qvAttributeProxy(*target.palette(), record.attribute_handle).font_size();
    };
    ASSERT_TRUE(port.draw_shape(*restricted_text(0, 90, 0, attribute.attribute_handle())));
    EXPECT_EQ(size_in_call, 24.0f);
    EXPECT_EQ(target.calls[0].transformation, qvRestrictedTransformation());
    EXPECT_NE(target.calls[0].palette, &scene_palette);

    auto t = received_text<qvSimpleRestrictedText>();
    // T moves (10, 20) to (13, 24); the mapping doubles and moves by 5.
    EXPECT_EQ(t->anchor(), P(31, 48));
    qvAttributeProxy at24(scene_palette, 0);
    at24.font_size(24.0f);
    qvSimpleRestrictedText measured;
    measured->text("Orvane");
    const qvExtent expected = measured->compute_extent(at24);
    EXPECT_EQ(t->extent().width, expected.width);
    EXPECT_EQ(t->extent().ascent, expected.ascent);

    // Put back, the temporary attribute gone from the cache.
    EXPECT_EQ(target.palette(), &scene_palette);
    EXPECT_EQ(target.transformation(), qvRestrictedTransformation(1, 1, 3, 4));
    EXPECT_EQ(target.driver.drops.size(), 1u);
    EXPECT_EQ(static_cast<float>(attribute.font_size()), 12.0f);
}

TEST_F(ScenePortTexts, With_both_flags_off_a_restricted_text_keeps_its_attribute_and_extent) {
    qvAttributeProxy attribute(scene_palette, 0);
    ASSERT_TRUE(port.draw_shape(*restricted_text(0, 90, 0, attribute.attribute_handle())));
    auto t = received_text<qvSimpleRestrictedText>();
    EXPECT_EQ(t->record()->attribute_handle, attribute.attribute_handle());
    EXPECT_EQ(t->extent().width, 60);
    EXPECT_EQ(t->extent().ascent, 8);
    EXPECT_EQ(target.calls[0].palette, &scene_palette);
}

TEST_F(ScenePortTexts, A_target_that_raises_leaves_transformation_and_palette_as_they_were) {
    port.scale_font_size(true);
    port.scale_line_width(true);
    target.transformation(qvRestrictedTransformation(2, 2, 1, 1));
    qvAttributeProxy attribute(scene_palette, 0);
    attribute.font_size(12.0f);
    target.fail_on = 1;
    target.failure = shape_test::RecordingFlavorPort::Failure::raise;
    EXPECT_THROW(port.draw_shape(*restricted_text(0, 90, 0, attribute.attribute_handle())), qvError);
    EXPECT_EQ(target.palette(), &scene_palette);
    EXPECT_EQ(target.transformation(), qvRestrictedTransformation(2, 2, 1, 1));
    EXPECT_EQ(target.driver.drops.size(), 1u);
    // The port draws on afterwards.
    target.fail_on = 0;
    EXPECT_TRUE(port.draw_shape(*restricted_text(0, 90, 0, attribute.attribute_handle())));
}

TEST_F(ScenePortTexts, Malformed_text_and_image_records_are_refused_without_a_call) {
    Record short_text = restricted_text(0, 90, 0);
    short_text->size = 100;   // shorter than a text record's fixed part
    EXPECT_FALSE(port.draw_shape(*short_text));
    qvSimpleScaledImage image;
    image->bitmap(texts_images_bitmap(4, 4));
    Record cut = texts_images_record(image, qvScaledImageKind);
    cut->size -= 16;          // the pixels run past the record
    EXPECT_FALSE(port.draw_shape(*cut));
    EXPECT_TRUE(target.calls.empty());
}

// ---------------------------------------------------------------------------
// Images

TEST_F(ScenePortTexts, A_scaled_image_gets_its_anchor_and_both_vectors_mapped) {
    const qvBitmap bits = texts_images_bitmap(2, 2);
    qvSimpleScaledImage image;
    image->bitmap(bits);
    image->anchor(P(1, 2));
    image->vectors(P(10, 0), P(0, 5));
    port.mapping(qvScaling(3));
    ASSERT_TRUE(port.draw_shape(*texts_images_record(image, qvScaledImageKind)));
    Record r = target.record(0);
    qvSimpleScaledImage sent(r.get());
    EXPECT_EQ(sent->anchor(), P(3, 6));
    EXPECT_EQ(sent->x_vector(), P(30, 0));
    EXPECT_EQ(sent->y_vector(), P(0, 15));
}

TEST_F(ScenePortTexts, A_restricted_image_is_resampled_in_device_space_with_rows_in_source_order) {
    const qvBitmap bits = texts_images_bitmap(3, 2);
    qvSimpleRestrictedImage image;
    image->bitmap(bits);
    image->anchor(P(4, 5));
    target.transformation(qvRestrictedTransformation(1, 1, 1, 1));
    port.mapping(qvTransformation(2, 0, 0, 2, 10, 20));
    ASSERT_TRUE(port.draw_shape(*texts_images_record(image, qvRestrictedImageKind)));
    EXPECT_EQ(target.calls[0].transformation, qvRestrictedTransformation());
    EXPECT_EQ(target.transformation(), qvRestrictedTransformation(1, 1, 1, 1));

    Record r = target.record(0);
    qvSimpleRestrictedImage sent(r.get());
    EXPECT_EQ(sent->anchor(), P(2 * 5 + 10, 2 * 6 + 20));
    const qvBitmapReference out = sent->bitmap();
    ASSERT_EQ(out.width(), 6);
    ASSERT_EQ(out.height(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(transform_reference::get(out, x, y), transform_reference::get(bits, x / 2, y / 2))
                << x << "," << y;
    // Resolutions for no matrix: 72 x pixels / 72 dpi (the default).
    EXPECT_EQ(sent->x_resolution(), 6);
    // The header box follows the mapped copy, not the source's.
    EXPECT_EQ(qvMathRectOf<double>(r->box), sent->bbox());
}

TEST_F(ScenePortTexts, A_resampled_image_keeps_its_device_size_at_one_pixel_a_device_unit) {
    // Regression: the resampled bitmap came with the default 72 dpi, so an
    // image of 36 dpi was sent at half its size under the identity. It is
    // now resampled at the target's density: each source pixel two pixels.
    qvBitmap bits = texts_images_bitmap(3, 2);
    bits.dpi(36);
    qvSimpleRestrictedImage image;
    image->bitmap(bits);
    ASSERT_TRUE(port.draw_shape(*texts_images_record(image, qvRestrictedImageKind)));
    Record r = target.record(0);
    qvSimpleRestrictedImage sent(r.get());
    const qvBitmapReference out = sent->bitmap();
    EXPECT_EQ(out.dpi_x(), 72);
    ASSERT_EQ(out.width(), 6);
    ASSERT_EQ(out.height(), 4);
    EXPECT_EQ(transform_reference::get(out, 5, 3), transform_reference::get(bits, 2, 1));
    EXPECT_EQ(sent->x_resolution(), 6);
    EXPECT_EQ(sent->y_resolution(), 4);
}

TEST_F(ScenePortTexts, A_restricted_image_beyond_the_clipping_limit_is_not_drawn) {
    const qvBitmap bits = texts_images_bitmap(100, 100);
    qvSimpleRestrictedImage image;
    image->bitmap(bits);
    target.transformation(qvRestrictedTransformation(1, 1, 1, 1));
    for (double scale : {100.0, 1e12}) {
        port.mapping(qvScaling(scale));   // 10,000 pixels a side and far beyond int
        EXPECT_FALSE(port.draw_shape(*texts_images_record(image, qvRestrictedImageKind)));
        EXPECT_TRUE(target.calls.empty());
        EXPECT_EQ(target.transformation(), qvRestrictedTransformation(1, 1, 1, 1));
    }
}

// ---------------------------------------------------------------------------
// Mapped past the float range

// A record whose mapped anchor, corner, height or font size leaves the float
// range is not drawn (false, no call, the port as it was); the record after
// it, mapped the same way, is.
TEST_F(ScenePortTexts, Records_mapped_past_the_float_range_are_skipped_and_the_next_drawn) {
    const double big = std::ldexp(1.0, 125);   // x 10 leaves the float range
    // "skipped", "drawn", or the error that ended the draw (and would end a redraw).
    const auto draw = [&](Record const& record) -> std::string {
        try {
            return port.draw_shape(*record) ? "drawn" : "skipped";
        } catch (qvError const& e) {
            return static_cast<char const*>(e);
        }
    };
    {
        SCOPED_TRACE("restricted image whose anchor the target's transformation takes out");
        const qvBitmap bits = texts_images_bitmap(2, 2);
        qvSimpleRestrictedImage far_image, near_image;
        far_image->bitmap(bits);
        far_image->anchor(P(1e38, 0));   // device 4e38, mapped 2e38
        near_image->bitmap(bits);
        near_image->anchor(P(1e37, 5));   // device 3.1e38, mapped 1.55e38
        port.transformation(qvRestrictedTransformation(1, 1, 3e38, 0));
        port.mapping(qvScaling(0.5));
        target.draw().clip(qvRegion());   // no clipping: the whole image, wherever it lies
        EXPECT_EQ(draw(texts_images_record(far_image, qvRestrictedImageKind)), "skipped");
        EXPECT_TRUE(target.calls.empty());
        EXPECT_EQ(target.transformation(), qvRestrictedTransformation(1, 1, 3e38, 0));
        ASSERT_EQ(draw(texts_images_record(near_image, qvRestrictedImageKind)), "drawn");
        EXPECT_EQ(received_text<qvSimpleRestrictedImage>(0)->anchor().y, 2.5);
        target.calls.clear();
        port.transformation(qvRestrictedTransformation());
    }
    {
        SCOPED_TRACE("restricted text whose scaled font size leaves the range");
        port.scale_font_size(true);
        port.mapping(qvScaling(std::ldexp(1.0, 100)));
        qvAttributeProxy huge_font(scene_palette, 0), font(scene_palette, 0);
        huge_font.font_size(1e9f);   // 1.3e39 once scaled
        font.font_size(12.0f);
        EXPECT_EQ(draw(restricted_text(0, 90, 0, huge_font.attribute_handle())), "skipped");
        EXPECT_TRUE(target.calls.empty());
        ASSERT_EQ(draw(restricted_text(0, 90, 0, font.attribute_handle())), "drawn");
        EXPECT_EQ(received_text<qvSimpleRestrictedText>(0)->anchor(), P(std::ldexp(10.0, 100), std::ldexp(20.0, 100)));
        EXPECT_EQ(target.palette(), &scene_palette);
        target.calls.clear();
        port.scale_font_size(false);
    }
    {
        SCOPED_TRACE("scaled text whose mapped height leaves the range");
        // y scaled by 2^125 and moved back: the anchor (10, 20) lands on (10, 0).
        port.mapping(qvTransformation(1, 0, 0, big, 0, -20 * big));
        qvSimpleScaledText low;
        fill_text(low, 0, 90, 0);
        low->height(1.0 / 16);
        low->extent(qvExtent{1, 0.25, 0.5});
        EXPECT_EQ(draw(scaled_text(0, 90, 0)), "skipped");   // height 10
        // Its height fits, its width 2^10 scaled with it does not.
        qvSimpleScaledText wide;
        fill_text(wide, 0, 90, 0);
        wide->height(1.0 / 16);
        wide->extent(qvExtent{1024, 0.25, 0.5});
        EXPECT_EQ(draw(texts_images_record(wide, qvScaledTextKind)), "skipped");
        EXPECT_TRUE(target.calls.empty());
        ASSERT_EQ(draw(texts_images_record(low, qvScaledTextKind)), "drawn");
        auto t = received_text<qvSimpleScaledText>(0);
        EXPECT_EQ(t->anchor(), P(10, 0));
        EXPECT_EQ(t->height(), std::ldexp(1.0, 121));
        target.calls.clear();
    }
    {
        SCOPED_TRACE("scaled image whose y corner alone leaves the range");
        port.mapping(qvScaling(1, std::ldexp(1.0, 126)));
        const qvBitmap bits = texts_images_bitmap(2, 2);
        qvSimpleScaledImage tall, flat;
        for (qvSimpleScaledImage* image : {&tall, &flat}) (*image)->bitmap(bits);
        tall->anchor(P(1, 2));   // anchor and x corner at y 2^127, y corner at 7 x 2^126
        tall->vectors(P(10, 0), P(0, 5));
        flat->anchor(P(1, 0.25));
        flat->vectors(P(10, 0), P(0, 0.5));
        EXPECT_EQ(draw(texts_images_record(tall, qvScaledImageKind)), "skipped");
        EXPECT_TRUE(target.calls.empty());
        ASSERT_EQ(draw(texts_images_record(flat, qvScaledImageKind)), "drawn");
        Record r = target.record(0);
        qvSimpleScaledImage sent(r.get());
        EXPECT_EQ(sent->anchor(), P(1, std::ldexp(1.0, 124)));
        EXPECT_EQ(sent->y_vector(), P(0, std::ldexp(1.0, 125)));
    }
}

// Regression: a mapping that collapses an axis, or whose squares leave the
// double range, gave the aperture step a NaN cosine; the copy refused it
// with an error that ended the whole redraw at the text.
TEST_F(ScenePortTexts, A_text_whose_mapping_leaves_the_aperture_no_cosine_is_skipped) {
    const double c = std::cos(0.5), s = std::sin(0.5);
    const struct {
        char const* name;
        qvTransformation mapping;
    } mappings[] = {
        {"collapsed", qvScaling(0, 0)},
        {"x collapsed", qvScaling(0, 1)},
        {"tiny", qvScaling(1e-170, 2e-170)},
        {"huge", qvScaling(1e200, 3e200)},
        {"turned and huge", qvTransformation(c * 1e155, -s * 1e155, s * 1e155, c * 1e155, 0, 0)},
    };
    port.scale_font_size(true);
    qvAttributeProxy font(scene_palette, 0);
    font.font_size(12.0f);
    for (auto const& m : mappings) {
        SCOPED_TRACE(m.name);
        port.mapping(m.mapping);
        // At the origin, so that the anchor maps under every mapping.
        qvSimpleRestrictedText restricted;
        qvSimpleScaledText scaled;
        fill_text(restricted, 30, 75, 0);
        fill_text(scaled, 30, 75, 0);
        restricted->anchor(P(0, 0));
        scaled->anchor(P(0, 0));
        scaled->height(10);
        // Drawn where the mapping still gives the copy values it takes (two
        // parallel axes have an aperture), else skipped; never raised.
        std::size_t drawn = 0;
        for (Record const& r : {texts_images_record(restricted, qvRestrictedTextKind, font.attribute_handle()),
                                texts_images_record(scaled, qvScaledTextKind)}) {
            bool sent = false;
            EXPECT_NO_THROW(sent = port.draw_shape(*r));
            drawn += sent ? 1 : 0;
        }
        EXPECT_EQ(target.calls.size(), drawn);
        if (m.mapping == qvScaling(0, 0)) {
            EXPECT_EQ(drawn, 0u);
        }
        target.calls.clear();
        EXPECT_EQ(target.palette(), &scene_palette);
        EXPECT_EQ(target.transformation(), qvRestrictedTransformation());
    }
}
