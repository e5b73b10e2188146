#include <orvane/geometry/qvScrollInfo.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using D4 = std::array<double, 4>;

namespace {

const qvWinRectOf<double> area(0, 0, 100, 50);

std::vector<D4> strips(qvScrollInfo const& s) {
    qvMathRectOf<double> out[2];
    const int n = s.invalid(out);
    std::vector<D4> result;
    for (int i = 0; i < n; ++i) result.push_back(values(out[i]));
    return result;
}

}  // namespace

TEST(qvScrollInfo, A_zero_offset_copies_everything_and_exposes_nothing) {
    const qvScrollInfo s(area, {0, 0});
    EXPECT_EQ(s.destination(), area);
    EXPECT_EQ(s.source(), area);
    EXPECT_TRUE(strips(s).empty());
}

TEST(qvScrollInfo, A_horizontal_scroll_exposes_one_vertical_strip) {
    const qvScrollInfo s(area, {10, 0});
    EXPECT_EQ(values(s.destination()), (D4{10, 0, 100, 50}));
    EXPECT_EQ(values(s.source()), (D4{0, 0, 90, 50}));
    EXPECT_EQ(strips(s), (std::vector<D4>{{0, 0, 10, 50}}));
}

TEST(qvScrollInfo, A_diagonal_scroll_exposes_two_strips_that_do_not_overlap) {
    EXPECT_EQ(strips(qvScrollInfo(area, {10, 5})),
              (std::vector<D4>{{0, 0, 10, 50}, {10, 0, 100, 5}}));
    EXPECT_EQ(strips(qvScrollInfo(area, {-10, -5})),
              (std::vector<D4>{{90, 0, 100, 50}, {0, 45, 90, 50}}));
    EXPECT_EQ(strips(qvScrollInfo(area, {0, -5})), (std::vector<D4>{{0, 45, 100, 50}}));
}

TEST(qvScrollInfo, A_scroll_larger_than_the_area_redraws_all_of_it) {
    const qvScrollInfo s(area, {150, 0});
    EXPECT_EQ(values(s.destination()), (D4{100, 0, 150, 50}));
    EXPECT_EQ(values(s.source()), (D4{-50, 0, 0, 50}));
    EXPECT_EQ(strips(s), (std::vector<D4>{{0, 0, 100, 50}}));
}
