#include <orvane/attributes/qvBitmapHeader.hpp>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "qvFileTestSupport.hpp"

using qv_file_test::raises;

namespace {

bool invalid_size(qvBitmapLayout const& layout, int width, int height) {
    return raises<qvErrorFrom<qvBitmapHeader>>([&] { qvBitmapHeader h(layout, width, height); },
                                               "Invalid bitmap size");
}

bool padding_is_zero(qvBitmapHeader const& h) {
    unsigned char bytes[48];
    std::memcpy(bytes, &h, 48);
    return bytes[45] == 0 && bytes[46] == 0 && bytes[47] == 0;
}

}  // namespace

TEST(qvBitmapLayout, Standard_types_carry_their_pixel_sizes_and_others_are_invalid) {
    const qvBitmapLayout mono(qvMonochromeBitmap), indexed(qvIndexedBitmap), rgba(qvRgbaBitmap);
    EXPECT_EQ(mono.type, 1);
    EXPECT_EQ(mono.pixel_size, -8);
    EXPECT_EQ(indexed.pixel_size, 1);
    EXPECT_EQ(rgba.pixel_size, 4);
    const qvBitmapLayout odd(static_cast<qvStandardBitmapType>(7));
    EXPECT_EQ(odd.type, -1);
    EXPECT_EQ(odd.pixel_size, 0);
    EXPECT_EQ(qvBitmapLayout().type, -1);
}

TEST(qvBitmapHeader, Default_header_is_empty_simple_and_72_dpi) {
    const qvBitmapHeader h;
    EXPECT_EQ(h.type, -1);
    EXPECT_EQ(h.pixel_size, 0);
    EXPECT_EQ(h.row_bytes, 0);
    EXPECT_EQ(h.image_size, 0);
    EXPECT_EQ(h.colormap_simple, 1);
    EXPECT_EQ(h.dpi_x, 72);
    EXPECT_EQ(h.dpi_y, 72);
    EXPECT_EQ(h.transparent, 0);
    EXPECT_TRUE(padding_is_zero(h));
}

TEST(qvBitmapHeader, Rows_are_padded_to_4_bytes_even_when_empty) {
    const qvBitmapHeader rgba(qvRgbaBitmap, 3, 2);
    EXPECT_EQ(rgba.row_bytes, 12);
    EXPECT_EQ(rgba.image_size, 24);
    EXPECT_EQ(qvBitmapHeader(qvMonochromeBitmap, 10, 1).row_bytes, 4);
    EXPECT_EQ(qvBitmapHeader(qvMonochromeBitmap, 33, 1).row_bytes, 8);
    const qvBitmapHeader empty_rows(qvIndexedBitmap, 0, 5);
    EXPECT_EQ(empty_rows.row_bytes, 4);
    EXPECT_EQ(empty_rows.image_size, 20);
    EXPECT_EQ(qvBitmapHeader(qvIndexedBitmap, 5, 1).row_bytes, 8);
    const qvBitmapHeader none(qvBitmapLayout(), 10, 10);
    EXPECT_EQ(none.row_bytes, 0);
    EXPECT_EQ(none.image_size, 0);
    EXPECT_EQ(none.width, 10);
    EXPECT_TRUE(padding_is_zero(rgba));
}

TEST(qvBitmapHeader, Refuses_negative_and_oversized_images_without_overflow) {
    EXPECT_TRUE(invalid_size(qvRgbaBitmap, -1, 1));
    EXPECT_TRUE(invalid_size(qvRgbaBitmap, 1, -1));
    EXPECT_TRUE(invalid_size(qvRgbaBitmap, 50000, 50000));
    EXPECT_TRUE(invalid_size(qvBitmapLayout(1, INT_MAX), INT_MAX, INT_MAX));
    EXPECT_EQ(qvBitmapHeader(qvBitmapLayout(1, INT_MIN), INT_MAX, 1).row_bytes,
              4);   // no negation overflow
    EXPECT_TRUE(invalid_size(qvRgbaBitmap, INT_MAX, 0));   // the row alone is too long
    // The largest image that fits: 4-byte rows, 0x7FFFFFFF / 4 of them.
    const qvBitmapHeader largest(qvIndexedBitmap, 4, 0x7FFFFFFF / 4);
    EXPECT_EQ(largest.image_size, 0x7FFFFFFC);
    EXPECT_TRUE(invalid_size(qvIndexedBitmap, 8, 0x7FFFFFFF / 4));
}
