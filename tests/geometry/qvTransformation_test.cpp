#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/geometry/qvTranslation.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

using C6 = std::array<double, 6>;

namespace {

// 1 + 2^-30: its square needs 61 significant bits, so a fused multiply-add
// keeps a 2^-60 term that the unfused product rounds away.
constexpr double one_plus = 1 + 1.0 / (1 << 30);

}  // namespace

TEST(qvTransformation, Identity_and_default_are_the_unit_matrix) {
    EXPECT_EQ(coefficients(qvTransformation::identity()), (C6{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(&qvTransformation::identity(), &qvTransformation::identity());
    EXPECT_TRUE(qvTransformation().is_identity());
    qvTransformation t(2, 1, 1, 2, 3, 4);
    t.erase();
    EXPECT_EQ(t, qvTransformation::identity());
}

TEST(qvTransformation, Products_apply_the_right_operand_first) {
    const qvTransformation translate_then_scale = qvTranslation(10, 0) * qvScaling(2);
    const qvTransformation scale_then_translate = qvScaling(2) * qvTranslation(10, 0);
    const qvTransformation t(translate_then_scale), s(scale_then_translate);
    EXPECT_EQ(t * qvCrdOf<double>(1, 1), qvCrdOf<double>(12, 2));
    EXPECT_EQ(s * qvCrdOf<double>(1, 1), qvCrdOf<double>(22, 2));
    // The general product, written out.
    const qvTransformation a(1, 2, 3, 4, 5, 6), b(7, 8, 9, 10, 11, 12);
    EXPECT_EQ(coefficients(a * b), (C6{1 * 7 + 2 * 9, 1 * 8 + 2 * 10, 3 * 7 + 4 * 9,
                                       3 * 8 + 4 * 10, 1 * 11 + 2 * 12 + 5, 3 * 11 + 4 * 12 + 6}));
}

TEST(qvTransformation, Squaring_in_place_reads_the_operand_first) {
    qvTransformation t(1, 2, 3, 4, 5, 6);
    const qvTransformation expected = qvTransformation(1, 2, 3, 4, 5, 6) * qvTransformation(1, 2, 3, 4, 5, 6);
    t = t * t;
    EXPECT_EQ(t, expected);
}

TEST(qvTransformation, Library_arithmetic_is_not_fused) {
    // a*b + c*d with c*d == -(a*b) exactly but both products inexact:
    // unfused the sum is 0, fused it is +-2^-60.
    const qvTransformation t(one_plus, -one_plus, 0, 1, 0, 0);
    const qvTransformation u(one_plus, 0, one_plus, 1, 0, 0);
    EXPECT_EQ((t * u).m0(), 0.0);
    EXPECT_EQ((t * qvCrdOf<double>(one_plus, one_plus)).x, 0.0);
    // The offset term t0*u4 + t1*u5 + t4 of the out-of-line product.
    const qvTransformation v(1, 0, 0, 1, one_plus, one_plus);
    EXPECT_EQ((t * v).m4(), 0.0);
}

TEST(qvTransformation, Scale_offset_mapping_ignores_rotation_terms) {
    const qvTransformation t(2, 100, -100, 3, 5, 7);
    EXPECT_EQ(t.apply_scale_offset({1, 1}), qvCrdOf<double>(7, 10));
}

TEST(qvTransformation, Float_points_are_mapped_in_double_and_rounded) {
    // 2 * 3e38 overflows in single precision; in double it comes back into
    // float range after the offset, and is rounded once.
    const float big = 3e38f;
    const qvTransformation t(2, 0, 0, 1, -double{big}, 0.1);
    const qvCrdOf<float> p = t * qvCrdOf<float>(big, 2.5f);
    EXPECT_EQ(p.x, big);
    EXPECT_EQ(p.y, static_cast<float>(2.5 + 0.1));
}

TEST(qvTransformation, Equality_is_exact_over_all_six_values) {
    const qvTransformation a(1, 2, 3, 4, 5, 6);
    EXPECT_TRUE(a == qvTransformation(1, 2, 3, 4, 5, 6));
    EXPECT_TRUE(a != qvTransformation(1, 2, 3.0000000000000004, 4, 5, 6));
    EXPECT_FALSE(qvScaling(2) == qvScaling(2, 2.0000000000000004));
}

TEST(qvTransformation, Translation_serves_as_a_general_transformation) {
    const qvTransformation t = qvTranslation(qvCrdOf<double>(3, -4));
    EXPECT_EQ(coefficients(t), (C6{1, 0, 0, 1, 3, -4}));
    EXPECT_TRUE(qvTranslation(0, 0) == qvTransformation::identity());
}

TEST(qvInvertGeneral, A_singular_transformation_inverts_to_the_identity) {
    const qvTransformation singular(1, 2, 2, 4, 5, 6);
    EXPECT_FALSE(qvCanBeInverted(singular));
    EXPECT_EQ(qvInvert(singular), qvTransformation::identity());
    EXPECT_TRUE(qvCanBeInverted(qvTransformation(1e-150, 0, 0, 1e-150, 0, 0)));
    // The test is exact: a determinant that underflows to 0 counts as singular.
    EXPECT_FALSE(qvCanBeInverted(qvTransformation(1e-200, 0, 0, 1e-200, 0, 0)));
}

TEST(qvInvertGeneral, Inverse_times_transformation_is_the_identity) {
    std::mt19937 rng(20240607);
    for (int round = 0; round < 10000; ++round) {
        const qvTransformation t = random_invertible(rng);
        ASSERT_TRUE(qvCanBeInverted(t));
        ASSERT_TRUE(near_identity(qvInvert(t) * t, 1e-12)) << "round " << round;
    }
}
