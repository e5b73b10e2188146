#include <orvane/geometry/qvScrollInfo.hpp>

#include "qvGeometryValuesTestSupport.hpp"

#include <gtest/gtest.h>

#include <vector>

using D4 = std::array<double, 4>;

TEST(qvScrollInfo, Source_destination_and_exposed_strips_of_each_scroll) {
    const qvWinRectOf<double> area(0, 0, 100, 50);
    const struct { qvCrdOf<double> offset; D4 dst, src; std::vector<D4> strips; } rows[] = {
        {{0, 0}, {0, 0, 100, 50}, {0, 0, 100, 50}, {}},
        {{10, 5}, {10, 5, 100, 50}, {0, 0, 90, 45}, {{0, 0, 10, 50}, {10, 0, 100, 5}}},
        {{-10, -5}, {0, 0, 90, 45}, {10, 5, 100, 50}, {{90, 0, 100, 50}, {0, 45, 90, 50}}},
        {{150, 0}, {100, 0, 150, 50}, {-50, 0, 0, 50}, {{0, 0, 100, 50}}},  // all redrawn
    };
    for (auto const& row : rows) {
        SCOPED_TRACE(testing::Message() << row.offset.x << "," << row.offset.y);
        const qvScrollInfo s(area, row.offset);
        EXPECT_EQ(values(s.destination()), row.dst);
        EXPECT_EQ(values(s.source()), row.src);
        qvMathRectOf<double> out[2];
        std::vector<D4> strips;
        for (int i = 0, n = s.invalid(out); i < n; ++i) strips.push_back(values(out[i]));
        EXPECT_EQ(strips, row.strips);
    }
}
