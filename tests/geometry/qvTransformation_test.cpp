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
#include <string>

using T = qvTransformation;
using P = qvCrdOf<double>;
using R = qvMathRectOf<double>;
using M = qvMappingTransformation;
using RT = qvRestrictedTransformation;
using D4 = std::array<double, 4>;
constexpr double inf = std::numeric_limits<double>::infinity();

template <class Maker>
std::string error_text(Maker make) {
    try {
        make();
    } catch (qvError const& e) {
        return static_cast<char const*>(e);
    }
    return "no error raised";
}

TEST(qvTransformation, Products_apply_the_right_operand_first) {
    EXPECT_EQ(T(qvTranslation(10, 0) * qvScaling(2)) * P(1, 1), P(12, 2));
    EXPECT_EQ(coefficients(T(1, 2, 3, 4, 5, 6) * T(7, 8, 9, 10, 11, 12)), (qvC6{25, 28, 57, 64, 40, 87}));
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

TEST(qvTransformation, Float_points_round_once_from_double) {
    const float big = 3e38f;  // 2 * big overflows in float, not in double
    const qvCrdOf<float> p = T(2, 0, 0, 1, -double{big}, 0.1) * qvCrdOf<float>(big, 2.5f);
    EXPECT_EQ(p, qvCrdOf<float>(big, static_cast<float>(2.5 + 0.1)));
}

TEST(qvInvert, Singular_gives_the_identity_zero_scales_are_singular_and_random_inverses_undo) {
    const T singular(1, 2, 2, 4, 5, 6);
    EXPECT_FALSE(qvCanBeInverted(singular));
    EXPECT_EQ(qvInvert(singular), T::identity());
    EXPECT_FALSE(qvCanBeInverted(T(1e-200, 0, 0, 1e-200, 0, 0)));  // det underflows to 0
    EXPECT_FALSE(qvCanBeInverted(RT(1, 0, 0, 0)));
    EXPECT_EQ(coefficients(qvInvert(RT(2, -4, 6, 8))), (qvC6{0.5, 0, 0, -0.25, -3, 2}));
    std::mt19937 rng(20240607);
    for (int round = 0; round < 300; ++round) {
        const T t = random_invertible<T>(rng);
        const RT r = random_invertible<RT>(rng);
        ASSERT_TRUE(near_identity(qvInvert(t) * t, 1e-12)) << "round " << round;
        ASSERT_TRUE(near_identity(qvInvert(r) * r, 1e-12)) << "round " << round;
    }
}

TEST(qvRTComponent, Inverting_scale_zero_gives_IEEE_infinities) {
    const qvRTComponent z = qvRTComponent(0, 2).invert();
    EXPECT_EQ((std::array<double, 2>{z.scale, z.offset}), (std::array<double, 2>{inf, -inf}));
}

TEST(qvRestrictedTransformation, Products_equal_the_general_product_and_keep_infinite_offsets) {
    std::mt19937 rng(77);
    for (int round = 0; round < 100; ++round) {
        const RT t = random_invertible<RT>(rng), u = random_invertible<RT>(rng);
        const qvTransformation general = qvTransformation(t) * qvTransformation(u);
        ASSERT_EQ(coefficients(t * u), coefficients(general)) << "round " << round;
        ASSERT_EQ(coefficients(t * qvTransformation(u)), coefficients(general));
    }
    const RT t(2, 3, inf, 0), u(1, 1, 5, -inf);  // no 0 * inf through cross terms
    EXPECT_EQ(coefficients(t * u), (qvC6{2, 0, 0, 3, inf, -inf}));
}

TEST(qvTransformRect, Maps_both_corners_and_orders_the_result) {
    EXPECT_EQ(values(qvTransformRect(R(0, 0, 10, 5), qvScaling(-1, 1))), (D4{-10, 0, 0, 5}));
    EXPECT_EQ(values(qvTransformRect(R(0, 0, 10, 5), RT(2, -1, 1, 100))), (D4{1, 95, 21, 100}));
}

TEST(qvRotationAndAperture, Pin_ninety_degrees_and_the_aperture_cosine) {
    EXPECT_LE((qvRotation(90) * P(1, 0)).distance({0, 1}), 1e-12);
    EXPECT_LE((qvAperture(45) * P(0, 1)).distance({1, 1}), 1e-12);
    EXPECT_NEAR(qvApertureCos(qvAperture(60)), 0.5, 1e-12);
    EXPECT_TRUE(std::isnan(qvApertureCos(T(0, 0, 0, 1, 0, 0))));  // unguarded
}

TEST(qvRectToRectTransformation, Maps_corner_onto_corner_and_raises_for_one_zero_size_only) {
    EXPECT_EQ(coefficients(qvRectToRectTransformation(R(1, 2, 3, 6), R(10, 20, 20, 22))), (qvC6{5, 0, 0, 0.5, 5, 19}));
    EXPECT_EQ(coefficients(qvRectToRectTransformation(R(0, 0, 0, 10), R(5, 0, 5, 20))), (qvC6{1, 0, 0, 2, 5, 0}));
    EXPECT_EQ(error_text([] { qvRectToRectTransformation(R(0, 0, 0, 10), R(0, 0, 4, 20)); }),
              "Degenerate rectangles cannot define transformation");
}

TEST(qvMappingTransformation, Fit_align_and_flip_give_the_pinned_coefficients) {
    const R model(0, 0, 100, 50);
    const struct { M m; qvC6 expected; } rows[] = {
        {M(P(1, 2), P(10, 10), 3, true), {3, 0, 0, -3, 7, 16}},
        {M(model, 200, 200, false, 0, true), {2, 0, 0, 2, -100, -50}},  // fit: the smaller scale
        {M(model, 200, 200, false, 0, false), {4, 0, 0, 4, -200, -100}},
        {M(model, 200, 200, true, 9, true), {2, 0, 0, -2, -200, 100}},
        {M(R(0, 0, 10, 10), R(100, 100, 300, 200), true, 1, true), {10, 0, 0, -10, 150, 200}},
    };
    for (auto const& row : rows) EXPECT_EQ(coefficients(row.m), row.expected);
}

TEST(qvMappingTransformation, Empty_negative_or_NaN_extents_raise) {
    const R flat(0, 0, 0, 50), real(0, 0, 10, 10);
    EXPECT_EQ(error_text([&] { M(flat, 200, 200, false, 0, true); }),
              "Rectangles that define mapping should not be empty");
    EXPECT_THROW(M(real, 200, -1, false, 0, true), qvError);
    EXPECT_THROW(M(real, std::nan(""), 200, false, 0, true), qvError);
    EXPECT_THROW(M(R::make_empty(), real, false, 0, true), qvError);  // inverted: negative size
}

TEST(qvTransformationMakersDeathTest, Errors_abort_with_the_message_when_no_throw_is_set) {
    const auto degenerate = [] {
        qvError::no_throw(true);
        qvRectToRectTransformation(R(0, 0, 0, 10), R(0, 0, 4, 20));
    };
    EXPECT_DEATH(degenerate(), "Unexpected Orvane error: Degenerate rectangles cannot define transformation");
}
