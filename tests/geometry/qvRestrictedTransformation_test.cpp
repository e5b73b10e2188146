#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>

using C6 = std::array<double, 6>;

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();
}

TEST(qvRTComponent, Maps_composes_and_inverts_one_axis) {
    const qvRTComponent c(2, 3);
    EXPECT_EQ(c * 5.0, 13);
    const qvRTComponent d = c * qvRTComponent(4, 1);  // (4, 1) first
    EXPECT_EQ(d.scale, 8);
    EXPECT_EQ(d.offset, 5);
    const qvRTComponent i = ~c;
    EXPECT_EQ(i.scale, 0.5);
    EXPECT_EQ(i.offset, -1.5);
    EXPECT_TRUE(qvRTComponent::identity().is_identity());
    EXPECT_TRUE(qvRTComponent(1, 7).is_scroll());
    EXPECT_FALSE(qvRTComponent(1, 7).is_identity());
}

TEST(qvRTComponent, Inverting_a_zero_scale_gives_IEEE_values) {
    const qvRTComponent i = qvRTComponent(0, 2).invert();
    EXPECT_EQ(i.scale, inf);
    EXPECT_EQ(i.offset, -inf);
}

TEST(qvRestrictedTransformation, Holds_the_general_layout_with_zero_cross_terms) {
    const qvRestrictedTransformation r(2, 3, 4, 5);  // x scale, y scale, x offset, y offset
    EXPECT_EQ(coefficients(r), (C6{2, 0, 0, 3, 4, 5}));
    EXPECT_EQ(r.get_x().offset, 4);
    EXPECT_EQ(r.get_y().scale, 3);
    EXPECT_EQ(coefficients(qvRestrictedTransformation(qvRTComponent(6, 7), qvRTComponent(8, 9))),
              (C6{6, 0, 0, 8, 7, 9}));
}

TEST(qvRestrictedTransformation, Components_set_and_erase_one_axis_at_a_time) {
    qvRestrictedTransformation r(2, 3, 4, 5);
    r.set_y(qvRTComponent(-1, 10));
    EXPECT_EQ(coefficients(r), (C6{2, 0, 0, -1, 4, 10}));
    r.erase_x();
    EXPECT_EQ(coefficients(r), (C6{1, 0, 0, -1, 0, 10}));
    EXPECT_FALSE(r.is_scroll());
    r.erase_y();
    EXPECT_TRUE(r.is_identity());
    EXPECT_TRUE(r == qvRestrictedTransformation::identity());
}

TEST(qvRestrictedTransformation, Restricted_product_equals_the_general_product) {
    std::mt19937 rng(77);
    for (int round = 0; round < 1000; ++round) {
        const auto t = random_invertible_restricted(rng), u = random_invertible_restricted(rng);
        const qvTransformation general = qvTransformation(t) * qvTransformation(u);
        ASSERT_EQ(coefficients(t * u), coefficients(general)) << "round " << round;
        ASSERT_EQ(coefficients(t * qvTransformation(u)), coefficients(general));
    }
}

TEST(qvRestrictedTransformation, Infinite_offsets_do_not_become_NaN_in_products) {
    const qvRestrictedTransformation t(2, 3, inf, 0);
    const qvRestrictedTransformation u(1, 1, 5, -inf);
    EXPECT_EQ(coefficients(t * u), (C6{2, 0, 0, 3, inf, -inf}));
    EXPECT_EQ(coefficients(u * t), (C6{2, 0, 0, 3, inf, -inf}));
}

TEST(qvInvertRestricted, Inverts_per_axis_and_reports_zero_scales) {
    const qvRestrictedTransformation r(2, -4, 6, 8);
    EXPECT_EQ(coefficients(qvInvert(r)), (C6{0.5, 0, 0, -0.25, -3, 2}));
    EXPECT_TRUE(qvCanBeInverted(r));
    EXPECT_FALSE(qvCanBeInverted(qvRestrictedTransformation(0, 1, 0, 0)));
    EXPECT_FALSE(qvCanBeInverted(qvRestrictedTransformation(1, 0, 0, 0)));
}

TEST(qvInvertRestricted, Inverse_times_transformation_is_the_identity) {
    std::mt19937 rng(20240608);
    for (int round = 0; round < 10000; ++round) {
        const auto t = random_invertible_restricted(rng);
        ASSERT_TRUE(near_identity(qvInvert(t) * t, 1e-12)) << "round " << round;
    }
}

TEST(qvTransformRect, Maps_both_corners_and_orders_the_result) {
    const qvMathRectOf<double> r(0, 0, 10, 5);
    EXPECT_EQ(values(qvTransformRect(r, qvScaling(-1, 1))),
              (std::array<double, 4>{-10, 0, 0, 5}));
    EXPECT_EQ(values(qvTransformRect(r, qvRestrictedTransformation(2, -1, 1, 100))),
              (std::array<double, 4>{1, 95, 21, 100}));
}

TEST(qvTransformRect, Infinite_coordinates_stay_infinite) {
    const qvMathRectOf<double> all(-inf, -inf, inf, inf);
    EXPECT_EQ(values(qvTransformRect(all, qvRestrictedTransformation(2, 3, 1, 1))),
              (std::array<double, 4>{-inf, -inf, inf, inf}));
}

TEST(qvTranslation, Serves_as_a_restricted_transformation) {
    const qvRestrictedTransformation r = qvTranslation(qvCrdOf<double>(3, -4));
    EXPECT_EQ(coefficients(r), (C6{1, 0, 0, 1, 3, -4}));
    EXPECT_EQ(coefficients(qvInvert(qvTranslation(3, -4))), (C6{1, 0, 0, 1, -3, 4}));
}
