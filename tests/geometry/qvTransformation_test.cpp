// General and restricted transformations and the makers that produce them
// (scaling, translation, rotation, aperture, rectangle to rectangle,
// mapping); the unfused-arithmetic canary.

#include <orvane/geometry/qvAperture.hpp>
#include <orvane/geometry/qvMappingTransformation.hpp>
#include <orvane/geometry/qvRectToRectTransformation.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/geometry/qvTranslation.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <limits>

using T = qvTransformation;
using P = qvCrdOf<double>;
using R = qvMathRectOf<double>;
using M = qvMappingTransformation;
using RT = qvRestrictedTransformation;
using D4 = std::array<double, 4>;
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(qvTransformation, Products_apply_the_right_operand_first_and_compare_exactly) {
    EXPECT_EQ(T(qvTranslation(10, 0) * qvScaling(2)) * P(1, 1), P(12, 2));
    EXPECT_EQ(T(qvScaling(2) * qvTranslation(10, 0)) * P(1, 1), P(22, 2));
    const T a(1, 2, 3, 4, 5, 6), b(7, 8, 9, 10, 11, 12);
    EXPECT_EQ(coefficients(a * b), (qvC6{25, 28, 57, 64, 40, 87}));
    T t = a;
    EXPECT_EQ(t = t * t, a * a);
    EXPECT_TRUE(a != T(1, 2, 3.0000000000000004, 4, 5, 6));
}

TEST(qvTransformation, Library_arithmetic_is_not_fused) {
    // (1 + 2^-30)^2 needs 61 bits: a*b + c with c == -(a*b) rounded is 0
    // unfused and +-2^-60 fused.
    constexpr double one_plus = 1 + 1.0 / (1 << 30);
    const T t(one_plus, -one_plus, 0, 1, 0, 0), u(one_plus, 0, one_plus, 1, 0, 0);
    EXPECT_EQ((t * u).m0(), 0.0);
    EXPECT_EQ((t * P(one_plus, one_plus)).x, 0.0);
    EXPECT_EQ((t * T(1, 0, 0, 1, one_plus, one_plus)).m4(), 0.0);  // t0*u4 + t1*u5 + t4
}

TEST(qvTransformation, Scale_offset_ignores_m1_m2_and_float_points_round_once_from_double) {
    EXPECT_EQ(T(2, 100, -100, 3, 5, 7).apply_scale_offset({1, 1}), P(7, 10));
    const float big = 3e38f;  // 2 * big overflows in float, not in double
    const qvCrdOf<float> p = T(2, 0, 0, 1, -double{big}, 0.1) * qvCrdOf<float>(big, 2.5f);
    EXPECT_EQ(p, qvCrdOf<float>(big, static_cast<float>(2.5 + 0.1)));
}

TEST(qvInvertGeneral, Singular_gives_the_identity_and_random_inverses_undo_their_transformation) {
    const T singular(1, 2, 2, 4, 5, 6);
    EXPECT_FALSE(qvCanBeInverted(singular));
    EXPECT_EQ(qvInvert(singular), T::identity());
    EXPECT_FALSE(qvCanBeInverted(T(1e-200, 0, 0, 1e-200, 0, 0)));  // det underflows to 0
    std::mt19937 rng(20240607);
    for (int round = 0; round < 2000; ++round) {
        const T t = random_invertible<T>(rng);
        ASSERT_TRUE(near_identity(qvInvert(t) * t, 1e-12)) << "round " << round;
    }
}

TEST(qvRTComponent, Maps_composes_and_inverts_one_axis_with_IEEE_results_for_scale_zero) {
    const qvRTComponent c(2, 3), d = c * qvRTComponent(4, 1), z = qvRTComponent(0, 2).invert();
    EXPECT_EQ((std::array<double, 2>{d.scale, d.offset}), (std::array<double, 2>{8, 5}));  // (4, 1) first
    EXPECT_EQ((std::array<double, 2>{z.scale, z.offset}), (std::array<double, 2>{inf, -inf}));
}

TEST(qvRestrictedTransformation, Holds_zero_cross_terms_and_converts_from_a_translation) {
    RT r(2, 3, 4, 5);  // x scale, y scale, x offset, y offset
    EXPECT_EQ(coefficients(r), (qvC6{2, 0, 0, 3, 4, 5}));
    r.set_y(qvRTComponent(-1, 10));
    EXPECT_EQ(coefficients(r), (qvC6{2, 0, 0, -1, 4, 10}));
    EXPECT_EQ(coefficients(RT(qvTranslation(qvCrdOf<double>(3, -4)))), (qvC6{1, 0, 0, 1, 3, -4}));
}

TEST(qvRestrictedTransformation, Products_equal_the_general_product_and_keep_infinite_offsets) {
    std::mt19937 rng(77);
    for (int round = 0; round < 300; ++round) {
        const RT t = random_invertible<RT>(rng), u = random_invertible<RT>(rng);
        const qvTransformation general = qvTransformation(t) * qvTransformation(u);
        ASSERT_EQ(coefficients(t * u), coefficients(general)) << "round " << round;
        ASSERT_EQ(coefficients(t * qvTransformation(u)), coefficients(general));
    }
    const RT t(2, 3, inf, 0), u(1, 1, 5, -inf);  // no 0 * inf through cross terms
    EXPECT_EQ(coefficients(t * u), (qvC6{2, 0, 0, 3, inf, -inf}));
}

TEST(qvInvertRestricted, Inverts_per_axis_reports_zero_scales_and_undoes_random_transformations) {
    EXPECT_EQ(coefficients(qvInvert(RT(2, -4, 6, 8))), (qvC6{0.5, 0, 0, -0.25, -3, 2}));
    EXPECT_FALSE(qvCanBeInverted(RT(0, 1, 0, 0)));
    EXPECT_FALSE(qvCanBeInverted(RT(1, 0, 0, 0)));
    std::mt19937 rng(20240608);
    for (int round = 0; round < 2000; ++round) {
        const RT t = random_invertible<RT>(rng);
        ASSERT_TRUE(near_identity(qvInvert(t) * t, 1e-12)) << "round " << round;
    }
}

TEST(qvTransformRect, Maps_both_corners_and_orders_the_result) {
    EXPECT_EQ(values(qvTransformRect(R(0, 0, 10, 5), qvScaling(-1, 1))), (D4{-10, 0, 0, 5}));
    EXPECT_EQ(values(qvTransformRect(R(0, 0, 10, 5), RT(2, -1, 1, 100))), (D4{1, 95, 21, 100}));
}

TEST(qvRotationAndAperture, Pin_ninety_degrees_and_the_aperture_cosine) {
    EXPECT_LE((qvRotation(90) * P(1, 0)).distance({0, 1}), 1e-12);
    EXPECT_EQ(qvAperture(90), T::identity());
    EXPECT_LE((qvAperture(45) * P(0, 1)).distance({1, 1}), 1e-12);
    EXPECT_NEAR(qvApertureCos(qvAperture(60)), 0.5, 1e-12);
    EXPECT_TRUE(std::isnan(qvApertureCos(T(0, 0, 0, 1, 0, 0))));  // unguarded
}

TEST(qvRectToRectTransformation, Maps_corner_onto_corner_and_raises_for_one_zero_size_only) {
    EXPECT_EQ(coefficients(qvRectToRectTransformation(R(1, 2, 3, 6), R(10, 20, 20, 22))), (qvC6{5, 0, 0, 0.5, 5, 19}));
    EXPECT_EQ(coefficients(qvRectToRectTransformation(R(0, 0, 0, 10), R(5, 0, 5, 20))), (qvC6{1, 0, 0, 2, 5, 0}));
    try {
        qvRectToRectTransformation(R(0, 0, 0, 10), R(0, 0, 4, 20));
        FAIL() << "no error raised";
    } catch (qvErrorFrom<qvRectToRectTransformation> const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "Degenerate rectangles cannot define transformation");
    }
    EXPECT_THROW(qvRectToRectTransformation(R(0, 3, 1, 3), R(0, 0, 1, 1)), qvError);  // y alone
}

TEST(qvMappingTransformation, Fit_align_and_flip_give_the_pinned_coefficients) {
    const R model(0, 0, 100, 50);
    EXPECT_EQ(qvTransformation(M(model, 200, 200, false, 0, true)) * P(50, 25), P(0, 0));
    const struct { M m; qvC6 expected; } rows[] = {
        {M(P(1, 2), P(10, 10), 3, true), {3, 0, 0, -3, 7, 16}},
        {M(model, 200, 200, false, 0, true), {2, 0, 0, 2, -100, -50}},  // fit: the smaller scale
        {M(model, 200, 200, false, 0, false), {4, 0, 0, 4, -200, -100}},
        {M(model, 200, 200, true, 9, true), {2, 0, 0, -2, -200, 100}},
        {M(model, 200, 200, false, 6, true), {2, 0, 0, 2, 0, 0}},  // 4 | 2: left and bottom
        {M(R(0, 0, 10, 10), R(100, 100, 300, 200), true, 1, true), {10, 0, 0, -10, 150, 200}},
    };
    for (auto const& row : rows) EXPECT_EQ(coefficients(row.m), row.expected);
}

TEST(qvMappingTransformation, Empty_negative_or_NaN_extents_raise) {
    const R flat(0, 0, 0, 50), real(0, 0, 10, 10);
    try {
        M(flat, 200, 200, false, 0, true);
        FAIL() << "no error raised";
    } catch (qvErrorFrom<M> const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "Rectangles that define mapping should not be empty");
    }
    EXPECT_THROW(M(real, 200, -1, false, 0, true), qvError);
    EXPECT_THROW(M(real, std::nan(""), 200, false, 0, true), qvError);
    EXPECT_THROW(M(flat, real, false, 0, true), qvError);
    EXPECT_THROW(M(R::make_empty(), real, false, 0, true), qvError);  // inverted: negative size
}

TEST(qvTransformationMakersDeathTest, Errors_abort_with_the_message_when_no_throw_is_set) {
    const auto degenerate = [] {
        qvError::no_throw(true);
        qvRectToRectTransformation(R(0, 0, 0, 10), R(0, 0, 4, 20));
    };
    const auto unmappable = [] {
        qvError::no_throw(true);
        M(R(0, 0, 100, 50), 0, 0, false, 0, true);
    };
    EXPECT_DEATH(degenerate(), "Unexpected Orvane error: Degenerate rectangles cannot define transformation");
    EXPECT_DEATH(unmappable(), "Unexpected Orvane error: Rectangles that define mapping should not be empty");
}
