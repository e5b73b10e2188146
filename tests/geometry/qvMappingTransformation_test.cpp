#include <orvane/geometry/qvMappingTransformation.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using C6 = std::array<double, 6>;

namespace {
const qvMathRectOf<double> model(0, 0, 100, 50);
}

TEST(qvMappingTransformation, Point_form_maps_one_point_onto_another) {
    const qvMappingTransformation t(qvCrdOf<double>(1, 2), qvCrdOf<double>(10, 10), 3, true);
    EXPECT_EQ(coefficients(t), (C6{3, 0, 0, -3, 7, 16}));
    EXPECT_EQ(qvTransformation(t) * qvCrdOf<double>(1, 2), qvCrdOf<double>(10, 10));
}

TEST(qvMappingTransformation, Fit_takes_the_smaller_scale_and_fill_the_larger) {
    const qvMappingTransformation fit(model, 200, 200, false, 0, true);
    EXPECT_EQ(fit.m0(), 2);
    EXPECT_EQ(fit.m3(), 2);
    EXPECT_EQ(qvTransformation(fit) * qvCrdOf<double>(50, 25), qvCrdOf<double>(0, 0));
    const qvMappingTransformation fill(model, 200, 200, false, 0, false);
    EXPECT_EQ(fill.m0(), 4);
}

TEST(qvMappingTransformation, Align_picks_the_anchor_and_flip_negates_y) {
    EXPECT_EQ(coefficients(qvMappingTransformation(model, 200, 200, true, 9, true)),
              (C6{2, 0, 0, -2, -200, 100}));
    // 4 | 2: left and bottom edge.
    EXPECT_EQ(coefficients(qvMappingTransformation(model, 200, 200, false, 6, true)),
              (C6{2, 0, 0, 2, 0, 0}));
}

TEST(qvMappingTransformation, Rectangle_onto_rectangle_matches_flipped_edges) {
    const qvMappingTransformation t(qvMathRectOf<double>(0, 0, 10, 10),
                                    qvMathRectOf<double>(100, 100, 300, 200), true, 1, true);
    EXPECT_EQ(coefficients(t), (C6{10, 0, 0, -10, 150, 200}));
    // align 2 with flip: src bottom onto dst y2; x by the left edges (4).
    const qvMappingTransformation u(qvMathRectOf<double>(0, 0, 10, 10),
                                    qvMathRectOf<double>(100, 100, 300, 200), true, 6, false);
    EXPECT_EQ(coefficients(u), (C6{20, 0, 0, -20, 100, 200}));
}

TEST(qvMappingTransformation, Empty_or_NaN_extents_raise) {
    const char* const message = "Rectangles that define mapping should not be empty";
    const qvMathRectOf<double> flat(0, 0, 0, 50), real(0, 0, 10, 10);
    try {
        qvMappingTransformation t(flat, 200, 200, false, 0, true);
        FAIL() << "no error raised";
    } catch (qvErrorFrom<qvMappingTransformation> const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), message);
    }
    EXPECT_THROW(qvMappingTransformation(real, 0, 200, false, 0, true), qvError);
    EXPECT_THROW(qvMappingTransformation(real, 200, -1, false, 0, true), qvError);
    EXPECT_THROW(qvMappingTransformation(real, std::nan(""), 200, false, 0, true), qvError);
    EXPECT_THROW(qvMappingTransformation(qvMathRectOf<double>(std::nan(""), 0, 1, 1), 200, 200,
                                         false, 0, true),
                 qvError);
    EXPECT_THROW(qvMappingTransformation(real, flat, false, 0, true), qvError);
    EXPECT_THROW(qvMappingTransformation(flat, real, false, 0, true), qvError);
    // The empty marker is inverted: negative sizes.
    EXPECT_THROW(qvMappingTransformation(qvMathRectOf<double>::make_empty(), real, false, 0, true),
                 qvError);
}

TEST(qvMappingTransformationDeathTest, Aborts_with_the_message_when_no_throw_is_set) {
    EXPECT_DEATH(
        {
            qvError::no_throw(true);
            qvMappingTransformation(model, 0, 0, false, 0, true);
        },
        "Unexpected Orvane error: Rectangles that define mapping should not be empty");
}
