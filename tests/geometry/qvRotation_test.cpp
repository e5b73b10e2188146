#include <orvane/geometry/qvRotation.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(qvRotation, Ninety_degrees_turns_x_toward_y) {
    const qvCrdOf<double> p = qvRotation(90) * qvCrdOf<double>(1, 0);
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);
    const qvCrdOf<double> q = qvRotation(90) * qvCrdOf<double>(0, 1);
    EXPECT_NEAR(q.x, -1, 1e-12);
    EXPECT_NEAR(q.y, 0, 1e-12);
}
