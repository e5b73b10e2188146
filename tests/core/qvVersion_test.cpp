#include <orvane/core/qvVersion.hpp>

#include <gtest/gtest.h>

TEST(qvVersion, Packs_major_minor_build_with_minor_and_build_masked) {
    EXPECT_EQ(qvVersion(3, 4, 1).version_value(), 0x03040001);
    EXPECT_EQ(qvVersion(1, 0x1FF, 0x12345).version_value(), 0x01FF2345);
    const qvVersion v(1, 0x1FF, 0x12345);
    EXPECT_EQ(v.version_major(), 1);
    EXPECT_EQ(v.version_minor(), 0xFF);
    EXPECT_EQ(v.version_build(), 0x2345);
}

TEST(qvVersion, Major_of_128_or_more_is_negative_and_sorts_first) {
    const qvVersion high(0x81, 0, 0);
    EXPECT_LT(high.version_value(), 0);
    EXPECT_EQ(high.version_major(), 129);
    EXPECT_TRUE(high < qvVersion(1, 0, 0));
    EXPECT_FALSE(qvVersion(1, 0, 0) < high);
    EXPECT_EQ(qvVersion(0xFF, 0xFF, 0xFFFF).version_value(), -1);
}

TEST(qvVersion, Zero_is_no_version_and_the_default_is_3_4_1) {
    EXPECT_FALSE(qvVersion().valid());
    EXPECT_TRUE(qvVersion(1).valid());
    EXPECT_EQ(qvVersion::default_version().version_value(), 0x03040001);
    EXPECT_EQ(&qvVersion::default_version(), &qvVersion::default_version());
}
