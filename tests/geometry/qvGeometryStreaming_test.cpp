// The text form of points, rectangles and regions.

#include <orvane/geometry/qvGeometryStreaming.hpp>
#include <orvane/geometry/qvListRegion.hpp>

#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <sstream>

#include "qvRegionTestSupport.hpp"

TEST(qvGeometryStreaming, Points_and_rectangles_print_without_spaces) {
    EXPECT_EQ(qvTextOf(qvCrdOf<double>(2, 3)), "(2,3)");
    EXPECT_EQ(qvTextOf(qvTestRect(0, -1.5, 10, 5)), "(0,-1.5,10,5)");
}

TEST(qvGeometryStreaming, Numbers_follow_the_streams_formatting) {
    std::ostringstream os;
    os << std::fixed << std::setprecision(1) << qvCrdOf<double>(1, 2.25);
    EXPECT_EQ(os.str(), "(1.0,2.2)");
    EXPECT_EQ(qvTextOf(qvCrdOf<double>(1e6, std::numeric_limits<double>::infinity())),
              "(1e+06,inf)");
}

TEST(qvGeometryStreaming, Regions_print_their_box_and_rectangles) {
    EXPECT_EQ(qvTextOf(qvListRegion()), "{region is empty}");
    EXPECT_EQ(qvTextOf(qvListRegion(qvTestRect(0, 0, 10, 5))),
              "{region (0,0,10,5):\n\t(0,0,10,5)\n}");
    qvListRegion holed(qvTestRect(0, 0, 10, 10));
    holed -= qvTestRect(4, 4, 6, 6);
    EXPECT_EQ(qvTextOf(holed),
              "{region (0,0,10,10):\n\t(6,0,10,10)\n\t(0,0,4,10)\n\t(0,0,10,4)\n\t(0,6,10,10)\n}");
}

TEST(qvGeometryStreaming, A_region_prints_through_its_interface) {
    const qvTestVectorRegion region({{0, 0, 1, 1}, {2, 0, 3, 1}});
    qvBaseRegion const& base = region;
    EXPECT_EQ(qvTextOf(base), "{region (0,0,3,1):\n\t(0,0,1,1)\n\t(2,0,3,1)\n}");
}
