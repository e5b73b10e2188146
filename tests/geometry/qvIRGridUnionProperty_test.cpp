// Building a grid from many rectangles in one sweep against adding them one
// by one, the road every invalidation used to take: the same canonical
// grid, so the same rows and strips, for rectangles that touch, nest,
// repeat, hold no area or reach to infinity. Also a grid region collected
// from a long list region (several sweeps, then united) against the same.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvIRGrid.hpp>
#include <orvane/geometry/qvListRegion.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include "qvRegionTestSupport.hpp"

namespace {

qvTestRects random_rects(std::mt19937& rng, int n, int extent) {
    std::uniform_int_distribution<int> at(-3, extent), side(-1, 5), rare(0, 60);
    const double inf = std::numeric_limits<double>::infinity();
    qvTestRects rects;
    for (int i = 0; i < n; ++i) {
        const double x = at(rng), y = at(rng);
        qvTestRect r = qvRawRect(x, y, x + side(rng), y + side(rng));   // some inverted or flat
        if (rare(rng) == 0) r.x2 = inf;
        if (rare(rng) == 0) r.y1 = -inf;
        if (rare(rng) == 0) r.y2 = std::numeric_limits<double>::quiet_NaN();
        rects.push_back(r);
    }
    return rects;
}

std::string text_of(qvIRGrid const& grid) {
    std::ostringstream os;
    grid.print(os);
    return os.str();
}

TEST(qvIRGridProperty, One_sweep_over_many_rectangles_gives_the_grid_of_adding_them_one_by_one) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 2000; ++round) {
        const qvTestRects rects = random_rects(rng, round % 40, 4 + round % 17);
        qvIRGrid one_by_one;
        for (qvTestRect const& r : rects) one_by_one.add(r);
        qvIRGrid swept;
        swept.add(qvTestRect(100, 100, 101, 101));   // replaced, not kept
        swept.assign_union(rects);
        ASSERT_EQ(text_of(swept), text_of(one_by_one)) << "round " << round;
        ASSERT_TRUE(swept == one_by_one) << "round " << round;
    }
}

// Rectangles in order of their lower edge, upwards or downwards, take the
// merge instead of the sort; equal keys, flat and inverted rectangles and
// rectangles whose upper edges are out of order must still come out right.
TEST(qvIRGridProperty, Rectangles_already_in_order_give_the_grid_of_adding_them_one_by_one) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 2000; ++round) {
        qvTestRects rects = random_rects(rng, round % 40, 4 + round % 17);
        std::stable_sort(rects.begin(), rects.end(), [](qvTestRect const& a, qvTestRect const& b) {
            return a.y1 < b.y1;   // NaN and infinite edges fall where they fall
        });
        if (round % 2 == 1) std::reverse(rects.begin(), rects.end());
        qvIRGrid one_by_one;
        for (qvTestRect const& r : rects) one_by_one.add(r);
        qvIRGrid swept;
        swept.assign_union(rects);
        ASSERT_EQ(text_of(swept), text_of(one_by_one)) << "round " << round;
    }
}

TEST(qvGridRegionProperty, Collecting_a_long_list_region_gives_the_grid_of_adding_its_rectangles) {
    std::mt19937 rng(31);
    for (int round = 0; round < 6; ++round) {
        qvListRegion list;
        for (qvTestRect const& r : random_rects(rng, 9000, 400)) list.add(r);
        const qvGridRegion collected(list);
        qvGridRegion expected;
        for (qvTestRect const& r : qvRectsOf(list)) expected.add(r);
        ASSERT_TRUE(collected == expected) << "round " << round;
    }
}

}  // namespace
