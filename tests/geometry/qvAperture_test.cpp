#include <orvane/geometry/qvAperture.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(qvAperture, Ninety_degrees_is_exactly_the_identity) {
    EXPECT_EQ(qvAperture(90), qvTransformation::identity());
    EXPECT_EQ(qvAperture(0), qvTransformation::identity());  // sin(0) == 0
}

TEST(qvAperture, Forty_five_degrees_leans_y_onto_the_diagonal) {
    const qvCrdOf<double> p = qvAperture(45) * qvCrdOf<double>(0, 1);
    EXPECT_NEAR(p.x, 1, 1e-12);
    EXPECT_EQ(p.y, 1);
    EXPECT_EQ(qvAperture(45) * qvCrdOf<double>(1, 0), qvCrdOf<double>(1, 0));
}

TEST(qvApertureCos, Is_the_cosine_between_the_transformed_axes) {
    EXPECT_EQ(qvApertureCos(qvTransformation::identity()), 0);
    EXPECT_NEAR(qvApertureCos(qvAperture(60)), 0.5, 1e-12);
    EXPECT_NEAR(qvApertureCos(qvRotation(33) * qvAperture(60)), 0.5, 1e-12);
    EXPECT_EQ(qvApertureCos(qvScaling(2, -3)), 0);
}

TEST(qvApertureCos, A_collapsed_axis_gives_NaN_unguarded) {
    EXPECT_TRUE(std::isnan(qvApertureCos(qvTransformation(0, 0, 0, 1, 0, 0))));
}
