// Frames of whole pixels (with the 1e-9 tolerance of frames from doubles),
// the RGBA quad, and query_frame: the destination rectangle a source frame
// covers, with its refusals of NaN and of results beyond int.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/rendering/qvBitmapFrame.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>
#include <orvane/rendering/qvRgbaQuad.hpp>

#include "qvAttributeStreams.hpp"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

using attribute_test::raised;
using I4 = std::array<int, 4>;

namespace {

I4 edges(qvBitmapFrame const& f) { return {f.left(), f.top(), f.right(), f.bottom()}; }

I4 from_doubles(double x1, double y1, double x2, double y2) {
    qvMathRectOf<double> r;
    r.x1 = x1, r.y1 = y1, r.x2 = x2, r.y2 = y2;   // as given, not reordered
    return edges(qvBitmapFrame(r));
}

std::string refusal_from_doubles(double x1, double y1, double x2, double y2) {
    return raised<qvErrorFrom<qvBitmapTransformation>>([&] { from_doubles(x1, y1, x2, y2); });
}

I4 query(qvTransformation const& t, I4 f) {
    return edges(qvBitmapTransformation(t, false).query_frame(qvBitmapFrame(f[0], f[1], f[2], f[3])));
}

std::string query_refusal(qvTransformation const& t, I4 f) {
    return raised<qvErrorFrom<qvBitmapTransformation>>([&] { query(t, f); });
}

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(qvRgbaQuad, Is_blue_green_red_alpha_in_memory_and_compares_all_four_bytes) {
    const qvRgbaQuad q(1, 2, 3, 4);   // red, green, blue, alpha
    unsigned char bytes[4];
    std::memcpy(bytes, &q, 4);
    EXPECT_EQ((std::array<int, 4>{bytes[0], bytes[1], bytes[2], bytes[3]}), (std::array<int, 4>{3, 2, 1, 4}));
    EXPECT_EQ(q, qvRgbaQuad(1, 2, 3, 4));
    EXPECT_NE(q, qvRgbaQuad(1, 2, 3, 5));
    EXPECT_NE(q, qvRgbaQuad(0, 2, 3, 4));
}

TEST(qvBitmapFrame, Integer_constructors_order_each_axis_except_the_copy_of_a_window_rectangle) {
    EXPECT_EQ(edges(qvBitmapFrame()), (I4{0, 0, 0, 0}));
    EXPECT_EQ(edges(qvBitmapFrame(5, 7, 1, 2)), (I4{1, 2, 5, 7}));
    qvWinRectOf<int> reversed;
    reversed.x1 = 5, reversed.x2 = 1;
    EXPECT_EQ(edges(qvBitmapFrame(reversed)), (I4{5, 0, 1, 0}));
    const qvBitmap bitmap(qvBitmapLayout(qvIndexedBitmap), 6, 3);
    EXPECT_EQ(edges(qvBitmapFrame(bitmap)), (I4{0, 0, 6, 3}));
    EXPECT_EQ(qvBitmapFrame(2, 3, 10, 7).width(), 8);
    EXPECT_EQ(qvBitmapFrame(2, 3, 10, 7).height(), 4);
}

TEST(qvBitmapFrame, From_doubles_rounds_outwards_but_forgives_less_than_1e_9) {
    EXPECT_EQ(from_doubles(1 - 1e-10, 0, 2 + 1e-10, 3), (I4{1, 0, 2, 3}));
    EXPECT_EQ(from_doubles(1 - 1e-8, 0, 2 + 1e-8, 3), (I4{0, 0, 3, 3}));
    EXPECT_EQ(from_doubles(-0.5, -1 - 1e-10, 0.5, -1e-10), (I4{-1, -1, 1, 0}));
    EXPECT_EQ(from_doubles(4.2, 6.9, 1.1, 2.0), (I4{2, 2, 4, 6}));   // each axis ordered after rounding
    EXPECT_EQ(from_doubles(-2147483648.0, 0, 2147483647.0 - 1e-300, 0), (I4{INT_MIN, 0, INT_MAX, 0}));
}

TEST(qvBitmapFrame, From_doubles_refuses_NaN_and_edges_beyond_int) {
    const std::string refused = "Bitmap frame out of range";
    EXPECT_EQ(refusal_from_doubles(not_a_number, 0, 1, 1), refused);
    EXPECT_EQ(refusal_from_doubles(0, 0, 1, not_a_number), refused);
    EXPECT_EQ(refusal_from_doubles(0, 0, std::numeric_limits<double>::infinity(), 1), refused);
    EXPECT_EQ(refusal_from_doubles(-2147483648.5, 0, 1, 1), refused);
    EXPECT_EQ(refusal_from_doubles(0, 0, 2147483647.5, 1), refused);
}

TEST(qvBitmapTransformation, Default_is_the_identity_without_smoothing_and_the_translation_is_dropped) {
    const qvBitmapTransformation plain;
    EXPECT_EQ(plain.coefficients(), qvTransformation());
    EXPECT_FALSE(plain.smooth());
    const qvBitmapTransformation moved(qvTransformation(2, 3, 4, 5, 6, 7), true);
    EXPECT_EQ(moved.coefficients(), qvTransformation(2, 3, 4, 5, 0, 0));
    EXPECT_TRUE(moved.smooth());
}

TEST(qvBitmapTransformation, Query_frame_measures_from_the_image_of_the_left_bottom_corner) {
    EXPECT_EQ(query(qvTransformation(), {2, 3, 10, 7}), (I4{0, -4, 8, 0}));
    EXPECT_EQ(query(qvTransformation(1, 0, 0, -1, 0, 0), {0, 0, 5, 4}), (I4{0, 1, 5, 5}));
    EXPECT_EQ(query(qvTransformation(2, 0, 0, 2, 0, 0), {0, 0, 4, 1}), (I4{0, -2, 8, 0}));
    for (I4 f : {I4{0, 0, 0, 0}, I4{-3, 5, 4, 9}, I4{1, 1, 2, 2}})
        EXPECT_EQ(query(qvTransformation(), f), (I4{0, f[1] - f[3], f[2] - f[0], 0}));
    // Turns and mirrors: the frame keeps the source's size, one row lower when a3 <= 0.
    EXPECT_EQ(query(qvTransformation(-1, 0, 0, 1, 0, 0), {0, 0, 4, 3}), (I4{-4, -3, 0, 0}));
    EXPECT_EQ(query(qvTransformation(-1, 0, 0, -1, 0, 0), {0, 0, 4, 3}), (I4{-4, 1, 0, 4}));
    EXPECT_EQ(query(qvTransformation(0, -1, 1, 0, 0, 0), {0, 0, 4, 3}), (I4{-3, -3, 0, 1}));
    EXPECT_EQ(query(qvTransformation(0, 1, -1, 0, 0, 0), {0, 0, 4, 3}), (I4{0, 1, 3, 5}));
    // Edges of the image between pixels, and shears read transposed (a2 moves x with y).
    EXPECT_EQ(query(qvTransformation(0.5, 0, 0, 0.5, 0, 0), {0, 0, 3, 3}), (I4{0, -1, 2, 0}));
    EXPECT_EQ(query(qvTransformation(1, 0, 1, 1, 0, 0), {0, 0, 2, 2}), (I4{-2, -2, 2, 0}));
    EXPECT_EQ(query(qvTransformation(1, 1, 0, 1, 0, 0), {0, 0, 2, 2}), (I4{0, -2, 2, 2}));
    const I4 turned = query(qvRotation(30), {0, 0, 64, 64});
    // 64 (cos 30 + sin 30) = 87.4 rounded out to 88, and one more because the
    // corner's image 64 sin 30 is a hair below 32 (ceil and floor differ).
    EXPECT_EQ(turned[2] - turned[0], 89);
}

TEST(qvBitmapTransformation, Query_frame_refuses_NaN_infinite_and_huge_results) {
    const std::string refused = "Bitmap frame out of range";
    EXPECT_EQ(query_refusal(qvTransformation(not_a_number, 0, 0, 1, 0, 0), {0, 0, 4, 4}), refused);
    EXPECT_EQ(query_refusal(qvTransformation(1, 0, 0, not_a_number, 0, 0), {0, 0, 4, 4}), refused);
    // NaN only at one corner: 0 x infinity.
    EXPECT_EQ(query_refusal(qvTransformation(std::numeric_limits<double>::infinity(), 0, 0, 1, 0, 0),
                            {0, 0, 4, 4}),
              refused);
    EXPECT_EQ(query_refusal(qvTransformation(1e300, 0, 0, 1, 0, 0), {0, 0, 4, 4}), refused);
    EXPECT_EQ(query_refusal(qvTransformation(1e9, 0, 0, 1, 0, 0), {0, 0, 4, 4}), refused);
    // Each edge fits, their difference does not.
    EXPECT_EQ(query_refusal(qvTransformation(), {-2000000000, 0, 2000000000, 1}), refused);
    EXPECT_EQ(query(qvTransformation(), {-1000000000, 0, 1000000000, 1}), (I4{0, -1, 2000000000, 0}));
    // Mirrored (a3 < 0, so one row lower), with a shear that puts the
    // lowest corner 2^31 + 1 below the image of the left-bottom corner:
    // the top edge lands exactly on INT_MIN; one more below is refused.
    // Every corner's own image stays within int.
    const double two_31 = 2147483648.0;
    EXPECT_EQ(query(qvTransformation(1, -(two_31 + 1), 0, -1, 0, 0), {0, -1, 1, -1}), (I4{0, INT_MIN, 1, 1}));
    EXPECT_EQ(query_refusal(qvTransformation(1, -(two_31 + 2), 0, -1, 0, 0), {0, -2, 1, -2}), refused);
}
