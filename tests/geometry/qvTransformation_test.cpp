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

TEST(qvTransformation, Identity_products_and_exact_equality) {
    EXPECT_EQ(coefficients(T::identity()), (qvC6{1, 0, 0, 1, 0, 0}));
    T e(2, 1, 1, 2, 3, 4);
    EXPECT_TRUE(T().is_identity() && (e.erase(), e) == T::identity());
    // The right operand applies first.
    EXPECT_EQ(T(qvTranslation(10, 0) * qvScaling(2)) * P(1, 1), P(12, 2));
    EXPECT_EQ(T(qvScaling(2) * qvTranslation(10, 0)) * P(1, 1), P(22, 2));
    const T a(1, 2, 3, 4, 5, 6), b(7, 8, 9, 10, 11, 12);
    EXPECT_EQ(coefficients(a * b), (qvC6{25, 28, 57, 64, 40, 87}));
    T t = a;
    EXPECT_EQ(t = t * t, a * a);
    EXPECT_TRUE(a != T(1, 2, 3.0000000000000004, 4, 5, 6));
    EXPECT_FALSE(qvScaling(2) == qvScaling(2, 2.0000000000000004));
    EXPECT_EQ(coefficients(T(qvTranslation(P(3, -4)))), (qvC6{1, 0, 0, 1, 3, -4}));
    EXPECT_TRUE(qvTranslation(0, 0) == T::identity());
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
    EXPECT_TRUE(!qvCanBeInverted(singular) && qvInvert(singular) == T::identity());
    EXPECT_TRUE(qvCanBeInverted(T(1e-150, 0, 0, 1e-150, 0, 0)));
    EXPECT_FALSE(qvCanBeInverted(T(1e-200, 0, 0, 1e-200, 0, 0)));  // det underflows to 0
    std::mt19937 rng(20240607);
    for (int round = 0; round < 10000; ++round) {
        const T t = random_invertible<T>(rng);
        ASSERT_TRUE(qvCanBeInverted(t));
        ASSERT_TRUE(near_identity(qvInvert(t) * t, 1e-12)) << "round " << round;
    }
}

TEST(qvRTComponent, Maps_composes_and_inverts_one_axis_with_IEEE_results_for_scale_zero) {
    const qvRTComponent c(2, 3), d = c * qvRTComponent(4, 1), i = ~c, z = qvRTComponent(0, 2).invert();
    EXPECT_EQ(c * 5.0, 13);
    EXPECT_EQ((D4{d.scale, d.offset, i.scale, i.offset}), (D4{8, 5, 0.5, -1.5}));  // (4, 1) first
    EXPECT_TRUE(z.scale == inf && z.offset == -inf);
    EXPECT_TRUE(qvRTComponent::identity().is_identity() && qvRTComponent(1, 7).is_scroll());
    EXPECT_FALSE(qvRTComponent(1, 7).is_identity());
}

TEST(qvRestrictedTransformation, Holds_zero_cross_terms_and_edits_one_axis_at_a_time) {
    RT r(2, 3, 4, 5);  // x scale, y scale, x offset, y offset
    EXPECT_EQ(coefficients(r), (qvC6{2, 0, 0, 3, 4, 5}));
    EXPECT_EQ(coefficients(RT(qvRTComponent(6, 7), qvRTComponent(8, 9))), (qvC6{6, 0, 0, 8, 7, 9}));
    EXPECT_EQ((r.set_y(qvRTComponent(-1, 10)), coefficients(r)), (qvC6{2, 0, 0, -1, 4, 10}));
    EXPECT_EQ((r.erase_x(), coefficients(r)), (qvC6{1, 0, 0, -1, 0, 10}));
    EXPECT_FALSE(r.is_scroll());
    r.erase_y();
    EXPECT_TRUE(r.is_identity() && r == RT::identity());
    EXPECT_EQ(coefficients(RT(qvTranslation(qvCrdOf<double>(3, -4)))), (qvC6{1, 0, 0, 1, 3, -4}));
}

TEST(qvRestrictedTransformation, Products_equal_the_general_product_and_keep_infinite_offsets) {
    std::mt19937 rng(77);
    for (int round = 0; round < 1000; ++round) {
        const RT t = random_invertible<RT>(rng), u = random_invertible<RT>(rng);
        const qvTransformation general = qvTransformation(t) * qvTransformation(u);
        ASSERT_EQ(coefficients(t * u), coefficients(general)) << "round " << round;
        ASSERT_EQ(coefficients(t * qvTransformation(u)), coefficients(general));
    }
    const RT t(2, 3, inf, 0), u(1, 1, 5, -inf);  // no 0 * inf through cross terms
    EXPECT_EQ(coefficients(t * u), (qvC6{2, 0, 0, 3, inf, -inf}));
    EXPECT_EQ(coefficients(u * t), (qvC6{2, 0, 0, 3, inf, -inf}));
}

TEST(qvInvertRestricted, Inverts_per_axis_reports_zero_scales_and_undoes_random_transformations) {
    EXPECT_EQ(coefficients(qvInvert(RT(2, -4, 6, 8))), (qvC6{0.5, 0, 0, -0.25, -3, 2}));
    EXPECT_EQ(coefficients(qvInvert(qvTranslation(3, -4))), (qvC6{1, 0, 0, 1, -3, 4}));
    EXPECT_TRUE(qvCanBeInverted(RT(2, -4, 6, 8)));
    EXPECT_FALSE(qvCanBeInverted(RT(0, 1, 0, 0)) || qvCanBeInverted(RT(1, 0, 0, 0)));
    std::mt19937 rng(20240608);
    for (int round = 0; round < 10000; ++round) {
        const RT t = random_invertible<RT>(rng);
        ASSERT_TRUE(near_identity(qvInvert(t) * t, 1e-12)) << "round " << round;
    }
}

TEST(qvTransformRect, Maps_both_corners_and_orders_the_result) {
    EXPECT_EQ(values(qvTransformRect(R(0, 0, 10, 5), qvScaling(-1, 1))), (D4{-10, 0, 0, 5}));
    EXPECT_EQ(values(qvTransformRect(R(0, 0, 10, 5), RT(2, -1, 1, 100))), (D4{1, 95, 21, 100}));
    EXPECT_EQ(values(qvTransformRect(R(-inf, -inf, inf, inf), RT(2, 3, 1, 1))), (D4{-inf, -inf, inf, inf}));
}

TEST(qvRotation, Ninety_degrees_turns_x_toward_y) {
    const P p = qvRotation(90) * P(1, 0), q = qvRotation(90) * P(0, 1);
    EXPECT_LE(p.distance({0, 1}), 1e-12);
    EXPECT_LE(q.distance({-1, 0}), 1e-12);
}

TEST(qvAperture, Ninety_is_exactly_the_identity_and_forty_five_leans_y_onto_the_diagonal) {
    EXPECT_EQ(qvAperture(90), T::identity());
    EXPECT_EQ(qvAperture(0), T::identity());
    const P p = qvAperture(45) * P(0, 1);
    EXPECT_NEAR(p.x, 1, 1e-12);
    EXPECT_EQ(p.y, 1);
    EXPECT_EQ(qvAperture(45) * P(1, 0), P(1, 0));
    EXPECT_EQ(qvApertureCos(T::identity()), 0);
    EXPECT_NEAR(qvApertureCos(qvAperture(60)), 0.5, 1e-12);
    EXPECT_NEAR(qvApertureCos(qvRotation(33) * qvAperture(60)), 0.5, 1e-12);
    EXPECT_EQ(qvApertureCos(qvScaling(2, -3)), 0);
    EXPECT_TRUE(std::isnan(qvApertureCos(T(0, 0, 0, 1, 0, 0))));  // unguarded
}

TEST(qvRectToRectTransformation, Maps_corner_onto_corner_and_raises_for_one_zero_size_only) {
    const qvRectToRectTransformation t(R(1, 2, 3, 6), R(10, 20, 20, 22));
    EXPECT_EQ(coefficients(t), (qvC6{5, 0, 0, 0.5, 5, 19}));
    EXPECT_EQ(qvTransformRect(R(1, 2, 3, 6), t), R(10, 20, 20, 22));
    EXPECT_EQ(coefficients(qvRectToRectTransformation(R(0, 0, 0, 10), R(5, 0, 5, 20))),
              (qvC6{1, 0, 0, 2, 5, 0}));
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
        {M(R(0, 0, 10, 10), R(100, 100, 300, 200), true, 6, false), {20, 0, 0, -20, 100, 200}},
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
    EXPECT_THROW(M(real, 0, 200, false, 0, true), qvError);
    EXPECT_THROW(M(real, 200, -1, false, 0, true), qvError);
    EXPECT_THROW(M(real, std::nan(""), 200, false, 0, true), qvError);
    EXPECT_THROW(M(R(std::nan(""), 0, 1, 1), 200, 200, false, 0, true), qvError);
    EXPECT_THROW(M(real, flat, false, 0, true), qvError);
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
