// List regions: order and pieces are observable, so the tests pin exact
// enumerations (the set itself is checked against a cell bitmap in
// qvGridRegionProperty). Also the text form of points, rectangles and regions.

#include <orvane/geometry/qvGeometryStreaming.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegionIdentities.hpp>

#include <gtest/gtest.h>

#include <limits>

#include "qvRegionTestSupport.hpp"

namespace {

using Rects = qvTestRects;
const qvTestRect A(0, 0, 2, 2), B(3, 0, 5, 2), C(6, 0, 8, 2);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

qvListRegion list_of(Rects const& rects) {
    qvListRegion region;
    for (qvTestRect const& r : rects) region.add(r);
    return region;
}

qvListRegion holed() {
    qvListRegion region(qvTestRect(0, 0, 10, 10));
    region -= qvTestRect(4, 4, 6, 6);
    return region;
}
const std::string holed_text = "{region (0,0,10,10):\n\t(6,0,10,10)\n\t(0,0,4,10)\n\t(0,0,10,4)\n\t(0,6,10,10)\n}";

}  // namespace

TEST(qvGeometryStreaming, Points_rectangles_and_regions_print_in_the_streams_number_format) {
    EXPECT_EQ(qvTextOf(qvCrdOf<double>(2, 3)), "(2,3)");
    EXPECT_EQ(qvTextOf(qvListRegion()), "{region is empty}");
    EXPECT_EQ(qvTextOf(holed()), holed_text);  // the difference's pieces, in order, and its box
}

TEST(qvListRegion, Add_skips_what_the_three_newest_contain_and_unions_keep_the_pinned_order) {
    EXPECT_EQ(qvRectsOf(list_of({{0, 0, 10, 10}, {2, 2, 3, 3}})), (Rects{{0, 0, 10, 10}}));
    const qvListRegion five = list_of({{0, 0, 10, 10}, {20, 0, 21, 1}, {30, 0, 31, 1}, {40, 0, 41, 1}, {2, 2, 3, 3}});
    EXPECT_EQ(qvRectsOf(five).size(), 5u);
    EXPECT_EQ(qvRectsOf(list_of({A, B, C})), (Rects{C, B, A}));  // newest first
    qvListRegion c = list_of({C});
    c += list_of({B, A});  // a list's rectangles go in front, reversed
    EXPECT_EQ(qvRectsOf(c), (Rects{B, A, C}));
    EXPECT_EQ(c.bbox(), qvTestRect(0, 0, 8, 2));
}

TEST(qvListRegion, Void_input_is_ignored_by_add_and_subtract_and_empties_on_intersect_but_points_are_kept) {
    qvListRegion region(qvTestRect(0, 0, 10, 10));
    region += qvRawRect(5, 5, 1, 1);
    region += qvTestRect(0, 0, kNaN, 20);
    region -= qvTestRect(kNaN, 0, 5, 5);
    EXPECT_EQ(qvRectsOf(region), (Rects{{0, 0, 10, 10}}));
    EXPECT_EQ((qvListRegion(region) *= qvRawRect(5, 5, 1, 1)).bbox(), qvTestRect::make_empty());
    qvListRegion point;
    point += qvCrdOf<double>(2, 3);
    EXPECT_EQ(point.bbox(), qvTestRect(2, 3, 2, 3));
}

TEST(qvListRegion, Containment_and_equality_compare_point_sets) {
    // Empty and void cases are the generic region's; these are overlapping pieces.
    const qvListRegion a = list_of({{0, 0, 6, 10}, {4, 0, 10, 10}}), b = list_of({{0, 0, 10, 3}, {0, 3, 10, 10}});
    EXPECT_EQ((std::vector<bool>{a < b, b < a, a == b, a == qvTestRect(0, 0, 10, 10)}), std::vector<bool>(4, true));
    EXPECT_FALSE(holed() == qvTestRect(0, 0, 10, 10));
}

TEST(qvListRegion, Translation_reorders_corners_keeps_the_order_and_drops_NaN_images) {
    qvListRegion region = list_of({{0, 0, 2, 1}, {5, 0, 6, 3}});
    qvListRegion infinite = list_of({{0, 0, kInf, 1}, {1, 1, 2, 2}});
    region.translate(qvRestrictedTransformation(-1, 1, 10, 0));
    infinite.translate(qvRestrictedTransformation(0, 1, 0, 0));  // 0 * inf
    EXPECT_EQ(qvRectsOf(region), (Rects{{4, 0, 5, 3}, {8, 0, 10, 1}}));
    EXPECT_EQ(qvRectsOf(infinite), (Rects{{0, 1, 0, 2}}));
    EXPECT_EQ(infinite.bbox(), qvTestRect(0, 1, 0, 2));
}

TEST(qvListRegion, Operations_with_itself_its_handle_or_its_box_are_well_defined) {
    qvListRegion region;
    EXPECT_EQ(region.query_interface(qvListRegionIdentity()), static_cast<void*>(&region));
    EXPECT_EQ(region.query_interface(qvGridRegionIdentity()), nullptr);
    // Self steps through the base interface are in qvGridRegionProperty.
    qvListRegion r = holed(), inner = list_of({A, B});
    qvListRegion const& same = r;
    r += same;  // list-to-list forms
    r = same;
    EXPECT_EQ(qvTextOf(r), holed_text);
    r -= same;
    EXPECT_TRUE(r.empty());
    const qvTestHandle through(inner);  // leads back to inner through query_interface
    inner += through;
    EXPECT_EQ(qvRectsOf(inner), (Rects{B, A}));
    inner -= through;
    EXPECT_TRUE(inner.empty());
    qvListRegion boxed = list_of({{0, 0, 2, 2}, {3, 3, 5, 5}});
    EXPECT_EQ(qvRectsOf(boxed.intersect(boxed.bbox())), (Rects{{0, 0, 2, 2}, {3, 3, 5, 5}}));
    EXPECT_TRUE((boxed -= boxed.bbox()).empty());
}
