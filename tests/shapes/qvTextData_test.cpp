// Text geometry: the four box vectors of every alignment, the aperture and
// the angle; the symmetric bounding box; and a text prepared for a device
// (scale, size, box vectors and glyph transformation, and the refusals).

#include <orvane/geometry/qvAperture.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/shapes/qvTextAlignment.hpp>
#include <orvane/shapes/qvTextData.hpp>
#include <orvane/shapes/qvTransformedTextData.hpp>

#include "qvGeometryValuesTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

using Crd = qvCrdOf<double>;
using shape_test::raw;

struct Vectors {
    Crd p0, p1, p2, p3;
};

Vectors vectors_of(qvTextData const& d, qvExtent const& e) {
    Vectors v;
    d.compute_vectors(e, v.p0, v.p1, v.p2, v.p3);
    return v;
}

Vectors vectors_of(unsigned alignment, qvExtent const& e, double angle = 0, double aperture = 90) {
    qvTextData d;
    d.alignment = static_cast<std::int32_t>(alignment);
    d.angle = angle;
    d.aperture = aperture;
    return vectors_of(d, e);
}

// A text of three bytes with extent e at anchor (0, 0); the bytes are never
// read by the geometry.
void measured(qvTextData& d, qvExtent const& e, unsigned alignment = 0) {
    d.length = 3;
    d.extent = e;
    d.alignment = static_cast<std::int32_t>(alignment);
}

}  // namespace

// ---------------------------------------------------------------------------
// Box vectors

TEST(qvTextData, Box_vectors_place_the_anchor_by_the_alignment) {
    const qvExtent e{10, 2, 8};
    const Vectors left_baseline = vectors_of(0, e);
    EXPECT_EQ(left_baseline.p0, Crd(0, 0));
    EXPECT_EQ(left_baseline.p1, Crd(10, 0));
    EXPECT_EQ(left_baseline.p2, Crd(0, 8));
    EXPECT_EQ(left_baseline.p3, Crd(0, -2));

    const Vectors centred = vectors_of(15, e);
    EXPECT_EQ(centred.p0, Crd(-5, 0));
    EXPECT_EQ(centred.p1, Crd(5, 0));
    EXPECT_EQ(centred.p2, Crd(0, 5));
    EXPECT_EQ(centred.p3, Crd(0, -5));

    const Vectors right_top = vectors_of(9, e);
    EXPECT_EQ(right_top.p0, Crd(-10, 0));
    EXPECT_EQ(right_top.p1, Crd(0, 0));
    EXPECT_EQ(right_top.p2, Crd(0, 0));
    EXPECT_EQ(right_top.p3, Crd(0, -10));
}

// Against an oracle per field: the baseline side always spans the width and
// the vertical side the full height, and the anchor sits where the fields
// say; bit 4 and the bits above change nothing.
TEST(qvTextData, Every_alignment_word_keeps_the_box_size_and_puts_the_anchor_where_its_fields_say) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> size(0.25, 100);
    for (unsigned word = 0; word < 64; ++word) {
        const qvExtent e{size(rng), size(rng), size(rng)};
        const Vectors v = vectors_of(word, e);
        SCOPED_TRACE(word);
        EXPECT_DOUBLE_EQ(v.p1.x - v.p0.x, e.width);
        EXPECT_DOUBLE_EQ(v.p2.y - v.p3.y, e.ascent + e.descent);
        EXPECT_TRUE(v.p0.y == 0 && v.p1.y == 0 && v.p2.x == 0 && v.p3.x == 0);
        switch (qvTextAlignment::horizontal(word)) {
        case qvTextAlignment::end: EXPECT_EQ(v.p1.x, 0.0); break;
        case qvTextAlignment::horizontal_centre: EXPECT_EQ(v.p0.x, -v.p1.x); break;
        default: EXPECT_EQ(v.p0.x, 0.0); break;
        }
        switch (qvTextAlignment::vertical(word)) {
        case qvTextAlignment::top: EXPECT_EQ(v.p2.y, 0.0); break;
        case qvTextAlignment::bottom: EXPECT_EQ(v.p3.y, 0.0); break;
        case qvTextAlignment::vertical_centre: EXPECT_EQ(v.p2.y, -v.p3.y); break;
        default: EXPECT_EQ(v.p2.y, e.ascent); break;
        }
        const Vectors plain = vectors_of(word & 15, e);
        EXPECT_TRUE(v.p0 == plain.p0 && v.p1 == plain.p1 && v.p2 == plain.p2 && v.p3 == plain.p3);
    }
}

TEST(qvTextData, The_aperture_shears_the_vertical_vectors_and_the_angle_turns_all_four) {
    const qvExtent e{10, 2, 8};
    const Vectors sheared = vectors_of(0, e, 0, 60);
    EXPECT_EQ(sheared.p0, Crd(0, 0));
    EXPECT_EQ(sheared.p1, Crd(10, 0));
    EXPECT_EQ(sheared.p2, qvAperture(60) * Crd(0, 8));
    EXPECT_EQ(sheared.p3, qvAperture(60) * Crd(0, -2));
    EXPECT_GT(sheared.p2.x, 0.0);

    // The baseline points up; cos(90 degrees) is not exactly 0 in double.
    const Vectors up = vectors_of(0, e, 90);
    EXPECT_EQ(up.p1, qvRotation(90) * Crd(10, 0));
    EXPECT_NEAR(up.p1.x, 0.0, 1e-14);
    EXPECT_EQ(up.p1.y, 10.0);

    const Vectors both = vectors_of(12, e, 30, 60);
    EXPECT_EQ(both.p0, qvRotation(30) * Crd(-5, 0));
    EXPECT_EQ(both.p2, qvRotation(30) * (qvAperture(60) * Crd(0, 8)));
}

// ---------------------------------------------------------------------------
// Bounding box

TEST(qvTextData, The_bounding_box_is_symmetric_about_the_anchor) {
    qvTextData d;
    measured(d, qvExtent{10, 1, 3});
    d.anchor = Crd(100, 200);
    EXPECT_EQ(d.bbox(), raw(90, 197, 110, 203));

    // A box wholly right of and above its anchor still reaches as far left and down.
    d.alignment = 2;
    EXPECT_EQ(d.bbox(), raw(90, 196, 110, 204));

    // Turned a quarter: the baseline runs up, the ascent to the left.
    d.alignment = 0;
    d.angle = 90;
    const qvMathRectOf<double> turned = d.bbox();
    EXPECT_NEAR(turned.x1, 97, 1e-12);
    EXPECT_NEAR(turned.y2, 210, 1e-12);
    EXPECT_EQ(turned.x1 + turned.x2, 200.0);
    EXPECT_EQ(turned.y1 + turned.y2, 400.0);
}

TEST(qvTextData, A_not_a_number_extent_reaches_the_box) {
    qvTextData d;
    measured(d, qvExtent{std::nan(""), 1, 3});
    const qvMathRectOf<double> box = d.bbox();
    EXPECT_TRUE(std::isnan(box.x1) && std::isnan(box.x2));
    EXPECT_EQ(box.y1, -3.0);
    EXPECT_EQ(box.y2, 3.0);
}

// ---------------------------------------------------------------------------
// Prepared for a device

TEST(qvTransformedTextData, A_new_one_is_176_bytes_not_valid_with_the_identity) {
    const qvTransformedTextData t;
    EXPECT_EQ(sizeof t, 176u);
    EXPECT_FALSE(t.valid);
    EXPECT_EQ(t.scale, 1.0);
    EXPECT_EQ(t.transformation, qvTransformation(1, 0, 0, 1, 0, 0));
    unsigned char bytes[176];
    std::memcpy(bytes, &t, sizeof bytes);
    const double identity[6] = {1, 0, 0, 1, 0, 0};
    EXPECT_EQ(std::memcmp(bytes + 128, identity, sizeof identity), 0);
}

TEST(qvTransformedTextData, A_restricted_text_is_shrunk_to_a_smaller_font_size_never_grown) {
    qvTextData d;
    measured(d, qvExtent{20, 2, 6});
    d.anchor = Crd(1, 1);
    const qvTransformation t = qvScaling(2, 3) * qvTransformation(1, 0, 0, 1, 5, 5);   // device ascent 6 x 2
    const qvTransformedTextData at10 = d.get_transformed_text_data(t, 10, false);
    ASSERT_TRUE(at10.valid);
    EXPECT_EQ(at10.scale, 10.0 / 12.0);
    EXPECT_EQ(at10.size, 10.0);
    EXPECT_EQ(at10.stretch, 1.0);
    EXPECT_EQ(at10.anchor, Crd(12, 18));
    EXPECT_DOUBLE_EQ(at10.p1.x, 40.0 * 10.0 / 12.0);
    EXPECT_DOUBLE_EQ(at10.p2.y, 12.0 * 10.0 / 12.0);
    EXPECT_DOUBLE_EQ(at10.width, 40.0 * 10.0 / 12.0);
    EXPECT_DOUBLE_EQ(at10.height, 16.0 * 10.0 / 12.0);

    const qvTransformedTextData at12 = d.get_transformed_text_data(t, 12, false);
    ASSERT_TRUE(at12.valid);
    EXPECT_EQ(at12.scale, 1.0);
    EXPECT_EQ(at12.p1, Crd(40, 0));

    EXPECT_FALSE(d.get_transformed_text_data(t, 14, false).valid);
    EXPECT_FALSE(d.get_transformed_text_data(t, std::nan(""), false).valid);
}

TEST(qvTransformedTextData, An_unmeasured_restricted_text_gets_a_square_of_the_font_size) {
    qvTextData d;
    measured(d, qvExtent{0, 0, 0}, 15);   // alignment not applied to the square
    const qvTransformedTextData square = d.get_transformed_text_data(qvScaling(4), 10, false);
    ASSERT_TRUE(square.valid);
    EXPECT_EQ(square.size, 10.0);
    EXPECT_EQ(square.p0, Crd(0, 0));
    EXPECT_EQ(square.p1, Crd(10, 0));
    EXPECT_EQ(square.p2, Crd(0, 10));
    EXPECT_EQ(square.p3, Crd(0, 0));
    EXPECT_EQ(square.width, 10.0);
    EXPECT_EQ(square.height, 10.0);

    // Along the glyph transformation's axes, signed by the device's.
    d.angle = 30;
    const qvTransformedTextData turned = d.get_transformed_text_data(qvScaling(4, -4), 10, false);
    const Crd along = qvRotation(30) * Crd(10, 0);
    EXPECT_EQ(turned.p1, Crd(along.x, -along.y));
}

TEST(qvTransformedTextData, A_scaled_text_keeps_its_height_stretch_and_glyph_transformation) {
    qvTextData d;
    measured(d, qvExtent{10, 2, 8});
    d.height = 5;
    d.stretch = 1.5f;
    d.angle = 30;
    d.aperture = 60;
    const qvTransformedTextData out = d.get_transformed_text_data(qvScaling(3, 2), 99, true);
    ASSERT_TRUE(out.valid);
    EXPECT_EQ(out.scale, 1.0);
    EXPECT_EQ(out.size, 10.0);   // height x the smaller axis scale
    EXPECT_EQ(out.stretch, 1.5);
    EXPECT_EQ(out.transformation, qvRotation(30) * (qvAperture(60) * qvTransformation(1.5, 0, 0, 1, 0, 0)));
    const Vectors model = vectors_of(d, d.extent);
    EXPECT_EQ(out.p1, model.p1 * 2.0);
    EXPECT_EQ(out.p2, model.p2 * 2.0);
}

TEST(qvTransformedTextData, A_device_with_its_y_axis_down_flips_every_y) {
    qvTextData d;
    measured(d, qvExtent{10, 2, 8}, 15);
    d.angle = 20;
    const qvTransformedTextData up = d.get_transformed_text_data(qvScaling(2, 2), 1, true);
    const qvTransformedTextData down = d.get_transformed_text_data(qvScaling(2, -2), 1, true);
    ASSERT_TRUE(up.valid && down.valid);
    for (auto [a, b] : {std::pair{up.p0, down.p0}, {up.p1, down.p1}, {up.p2, down.p2}, {up.p3, down.p3}}) {
        EXPECT_EQ(b.x, a.x);
        EXPECT_EQ(b.y, -a.y);
    }
    EXPECT_EQ(down.size, up.size);
}

TEST(qvTransformedTextData, An_empty_text_a_zero_stretch_or_a_zero_size_is_refused) {
    const qvTransformation t = qvScaling(2);
    qvTextData empty;
    empty.extent = qvExtent{10, 2, 8};
    EXPECT_FALSE(empty.get_transformed_text_data(t, 10, false).valid);
    EXPECT_FALSE(empty.get_transformed_text_data(t, 10, true).valid);

    qvTextData flat;
    measured(flat, qvExtent{10, 2, 8});
    flat.stretch = 0.0f;
    EXPECT_FALSE(flat.get_transformed_text_data(t, 10, true).valid);

    qvTextData text;
    measured(text, qvExtent{10, 2, 8});
    const qvTransformedTextData zero = text.get_transformed_text_data(t, 0, false);
    EXPECT_FALSE(zero.valid);
    EXPECT_EQ(zero.transformation, qvTransformation());
    EXPECT_FALSE(text.get_transformed_text_data(t, 0, true).valid);
}
