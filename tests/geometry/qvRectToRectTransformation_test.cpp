#include <orvane/geometry/qvRectToRectTransformation.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <array>

using C6 = std::array<double, 6>;

TEST(qvRectToRectTransformation, Maps_the_first_corner_and_scales_by_size) {
    const qvRectToRectTransformation t(qvMathRectOf<double>(1, 2, 3, 6),
                                       qvMathRectOf<double>(10, 20, 20, 22));
    EXPECT_EQ(coefficients(t), (C6{5, 0, 0, 0.5, 5, 19}));
    EXPECT_EQ(qvTransformRect(qvMathRectOf<double>(1, 2, 3, 6), t),
              qvMathRectOf<double>(10, 20, 20, 22));
}

TEST(qvRectToRectTransformation, Both_sizes_zero_gives_scale_one) {
    const qvRectToRectTransformation t(qvMathRectOf<double>(0, 0, 0, 10),
                                       qvMathRectOf<double>(5, 0, 5, 20));
    EXPECT_EQ(coefficients(t), (C6{1, 0, 0, 2, 5, 0}));
}

TEST(qvRectToRectTransformation, A_zero_source_size_onto_a_real_one_raises) {
    const qvMathRectOf<double> line(0, 0, 0, 10), wide(0, 0, 4, 20);
    EXPECT_THROW(qvRectToRectTransformation(line, wide), qvErrorFrom<qvRectToRectTransformation>);
    try {
        qvRectToRectTransformation t(line, wide);
        FAIL() << "no error raised";
    } catch (qvError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "Degenerate rectangles cannot define transformation");
    }
    // The vertical axis alone is degenerate here.
    EXPECT_THROW(qvRectToRectTransformation(qvMathRectOf<double>(0, 3, 1, 3),
                                            qvMathRectOf<double>(0, 0, 1, 1)),
                 qvError);
}

TEST(qvRectToRectTransformationDeathTest, Aborts_with_the_message_when_no_throw_is_set) {
    EXPECT_DEATH(
        {
            qvError::no_throw(true);
            qvRectToRectTransformation(qvMathRectOf<double>(0, 0, 0, 10),
                                       qvMathRectOf<double>(0, 0, 4, 20));
        },
        "Unexpected Orvane error: Degenerate rectangles cannot define transformation");
}
