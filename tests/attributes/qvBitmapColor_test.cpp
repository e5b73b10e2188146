#include <orvane/attributes/qvBitmapColor.hpp>

#include <gtest/gtest.h>

#include <limits>

TEST(qvBitmapColor, From_rgb_truncates_value_times_255) {
    const qvBitmapColor c(qvRgbColor(0.999, 0.5, 0.0));
    EXPECT_EQ(c, qvBitmapColor(254, 127, 0));
    EXPECT_EQ(qvBitmapColor(qvRgbColor(1, 1, 1)), qvBitmapColor(255, 255, 255));
}

TEST(qvBitmapColor, Integers_keep_their_low_byte) {
    const qvBitmapColor c(256 + 7, -1, 128);
    EXPECT_EQ(c.red(), 7);
    EXPECT_EQ(c.green(), 255);
    EXPECT_EQ(c.blue(), 128);
}

TEST(qvBitmapColor, To_rgb_divides_by_255_with_alpha_1) {
    const qvRgbColor c = qvBitmapColor(255, 0, 51);
    EXPECT_EQ(c, qvRgbColor(1.0f, 0.0f, 51 / 255.0f, 1.0f));
}

TEST(qvColorFloatToByte, Byte_to_float_and_back_is_the_identity) {
    for (int k = 0; k < 256; ++k) {
        const auto byte = static_cast<unsigned char>(k);
        EXPECT_EQ(qvColorFloatToByte(qvColorByteToFloat(byte)), byte) << k;
    }
}

TEST(qvColorFloatToByte, NaN_and_huge_values_give_0) {
    // These used to be undefined float-to-int conversions; UBSan must stay quiet.
    EXPECT_EQ(qvColorFloatToByte(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(qvColorFloatToByte(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(qvColorFloatToByte(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(qvColorFloatToByte(1e30f), 0);
    const qvBitmapColor c(qvRgbColor::unchecked(std::numeric_limits<float>::quiet_NaN(), 0.5f, 1e30f, 1));
    EXPECT_EQ(c, qvBitmapColor(0, 127, 0));
}

TEST(qvColorFloatToByte, In_range_values_beyond_one_keep_the_low_byte) {
    EXPECT_EQ(qvColorFloatToByte(2.0f), 510 & 0xFF);
}
