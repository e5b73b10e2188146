// List regions: order and pieces are observable, so the tests pin exact
// enumerations; a property test checks the set against a cell bitmap. Also
// the text form of points, rectangles and regions.

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
    EXPECT_EQ(qvTextOf(qvListRegion(qvTestRect(0, 0, 10, 5))), "{region (0,0,10,5):\n\t(0,0,10,5)\n}");
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

TEST(qvListRegion, Difference_and_intersection_to_nothing_leave_the_empty_box) {
    qvListRegion minus_itself(qvTestRect(0, 0, 10, 10)), touching(qvTestRect(0, 0, 10, 10));
    minus_itself -= qvTestRect(0, 0, 10, 10);
    touching *= qvTestRect(10, 0, 20, 10);
    for (qvListRegion const* r : {&minus_itself, &touching}) {
        EXPECT_TRUE(r->empty());
        EXPECT_EQ(r->bbox(), qvTestRect::make_empty());
    }
}

TEST(qvListRegion, Void_input_is_ignored_by_add_and_subtract_and_empties_on_intersect_but_points_are_kept) {
    qvListRegion region(qvTestRect(0, 0, 10, 10));
    region += qvRawRect(5, 5, 1, 1);
    region += qvTestRect(0, 0, kNaN, 20);
    region += qvCrdOf<double>(kNaN, 1);
    region -= qvTestRect(kNaN, 0, 5, 5);
    EXPECT_EQ(qvRectsOf(region), (Rects{{0, 0, 10, 10}}));
    for (qvTestRect const& r : {qvRawRect(5, 5, 1, 1), qvTestRect(0, 0, 10, kNaN)})
        EXPECT_EQ((qvListRegion(region) *= r).bbox(), qvTestRect::make_empty());
    qvListRegion point;
    point += qvCrdOf<double>(2, 3);
    EXPECT_FALSE(point.empty());
    EXPECT_TRUE(point.simple());
    EXPECT_EQ(point.bbox(), qvTestRect(2, 3, 2, 3));
}

TEST(qvListRegion, Containment_and_equality_compare_point_sets) {
    const qvListRegion empty, square(qvTestRect(0, 0, 10, 10)), halves = list_of({{0, 0, 5, 10}, {5, 0, 10, 10}});
    const qvListRegion a = list_of({{0, 0, 6, 10}, {4, 0, 10, 10}}), b = list_of({{0, 0, 10, 3}, {0, 3, 10, 10}});
    const qvTestRect inverted = qvRawRect(5, 5, 1, 1), whole(0, 0, 10, 10);
    EXPECT_EQ((std::vector<bool>{empty < qvTestRect(0, 0, 1, 1), empty < inverted, empty < square, square > inverted,
                                 empty == qvTestRect::make_empty(), empty == inverted, square == halves,
                                 halves == whole, a < b, b < a, a == b}),
              std::vector<bool>(11, true));
    EXPECT_EQ((std::vector<bool>{square < empty, square < inverted, empty == qvTestRect(0, 0, 0, 0), holed() == whole}),
              std::vector<bool>(4, false));
}

TEST(qvListRegion, Translation_reorders_corners_keeps_the_order_and_drops_NaN_images) {
    qvListRegion region = list_of({{0, 0, 2, 1}, {5, 0, 6, 3}}), empty;
    qvListRegion infinite = list_of({{0, 0, kInf, 1}, {1, 1, 2, 2}});
    region.translate(qvRestrictedTransformation(-1, 1, 10, 0));
    empty.translate(qvRestrictedTransformation(2, 2, 5, 5));
    infinite.translate(qvRestrictedTransformation(0, 1, 0, 0));  // 0 * inf
    EXPECT_EQ(qvRectsOf(region), (Rects{{4, 0, 5, 3}, {8, 0, 10, 1}}));
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(qvRectsOf(infinite), (Rects{{0, 1, 0, 2}}));
    EXPECT_EQ(infinite.bbox(), qvTestRect(0, 1, 0, 2));
}

TEST(qvListRegion, Operations_with_itself_its_handle_or_its_box_are_well_defined) {
    qvListRegion region;
    EXPECT_EQ(region.query_interface(qvListRegionIdentity()), static_cast<void*>(&region));
    EXPECT_EQ(region.query_interface(qvGridRegionIdentity()), nullptr);
    EXPECT_EQ(region.query_interface(qvRectRegionIdentity()), nullptr);
    qvListRegion r = holed(), s = holed(), inner = list_of({A, B});
    qvBaseRegion& base = r;
    qvListRegion const& same = r;
    r += same;  // list-to-list forms
    r *= same;
    r = same;
    base += base;  // virtual forms
    base *= base;
    base = static_cast<qvBaseRegion const&>(same);
    EXPECT_EQ(qvTextOf(r), holed_text);
    qvListRegion const& also_s = s;
    s -= also_s;
    base -= static_cast<qvBaseRegion const&>(same);
    EXPECT_TRUE(s.empty());
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

TEST(qvListRegionProperty, Set_and_box_agree_with_a_cell_bitmap_and_the_generic_road) {
    std::mt19937 rng(20240611);  // fixed seed: failures reproduce
    for (int round = 0; round < 200; ++round) {
        qvListRegion list;
        qvTestVectorRegion generic;
        qvCellOracle oracle;
        for (int step = 0; step < 12; ++step) {
            SCOPED_TRACE(testing::Message() << "round " << round << " step " << step);
            const int op = int(rng() % 3);
            if (rng() % 3 != 0) {
                const qvTestRect r = qvRandomLatticeRect(rng, 12);
                qvApplyOp(list, op, r);
                qvApplyOp(generic, op, r);
                oracle.apply(op, r);
            } else {  // list-to-list forms, the generic road, and a foreign operand
                qvListRegion other, by_foreign(list);
                for (int i = 1 + int(rng() % 4); i > 0; --i) other.add(qvRandomLatticeRect(rng, 12));
                qvApplyOp(list, op, other);
                qvApplyOp(generic, op, static_cast<qvBaseRegion const&>(other));
                qvApplyOp(by_foreign, op, qvTestVectorRegion(qvRectsOf(other)));
                oracle.apply(op, qvCellOracle::of(other));
                ASSERT_EQ(qvCellOracle::of(by_foreign), oracle);
            }
            ASSERT_EQ(qvCellOracle::of(list), oracle);
            ASSERT_EQ(qvCellOracle::of(generic), oracle);
            ASSERT_EQ(list.bbox(), qvTestVectorRegion(qvRectsOf(list)).bbox());  // the union of its rectangles
        }
        ASSERT_TRUE(list == generic) << "round " << round;
    }
}
