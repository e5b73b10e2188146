// The swept intersection of two list regions against the double loop it
// replaced: for every rectangle b of the other region and every rectangle a
// of ours, a ∩ b goes to the front when the two overlap. Same rectangles,
// same order, on small lattices where edges touch, coincide and collapse.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>

#include <gtest/gtest.h>

#include <limits>
#include <list>
#include <random>

#include "qvRegionTestSupport.hpp"

namespace {

qvTestRects double_loop(qvTestRects const& ours, qvTestRects const& others) {
    std::list<qvTestRect> result;
    for (qvTestRect const& b : others)
        for (qvTestRect const& a : ours)
            if (qvRectsOverlap(a, b)) result.push_front(a * b);
    return qvTestRects(result.begin(), result.end());
}

// Up to `most` rectangles on a 0..12 lattice, some of them lines or points,
// a few reaching to infinity.
qvListRegion random_list(std::mt19937& rng, int most) {
    std::uniform_int_distribution<int> at(0, 12), side(0, 6), count(0, most), rare(0, 40);
    const double inf = std::numeric_limits<double>::infinity();
    qvListRegion region;
    for (int n = count(rng); n > 0; --n) {
        const double x = at(rng), y = at(rng);
        qvTestRect r(x, y, x + side(rng), y + side(rng));
        if (rare(rng) == 0) r.x1 = -inf;
        if (rare(rng) == 0) r.y2 = inf;
        region.add(r);
    }
    return region;
}

TEST(qvListRegionProperty, Intersecting_two_list_regions_matches_the_double_loop_rect_for_rect) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 3000; ++round) {
        // Both roads: up to a thousand pairs take the plain double loop,
        // more take the grid of cells.
        const int most = round % 3 == 0 ? 150 : 30;
        qvListRegion ours = random_list(rng, most);
        const qvListRegion others = random_list(rng, most);
        const qvTestRects before = qvRectsOf(ours), with = qvRectsOf(others);
        ours *= others;
        if (with.size() < 2 || before.empty()) continue;  // rectangle form or nothing to do
        ASSERT_EQ(qvRectsOf(ours), double_loop(before, with)) << "round " << round;
    }
}

// A foreign region is read through its enumeration, in that order.
TEST(qvListRegionProperty, Intersecting_with_a_grid_region_matches_the_double_loop_over_its_rectangles) {
    std::mt19937 rng(77);
    for (int round = 0; round < 1000; ++round) {
        qvListRegion ours = random_list(rng, round % 3 == 0 ? 150 : 20);
        const qvGridRegion others(random_list(rng, 20));
        const qvTestRects before = qvRectsOf(ours), with = qvRectsOf(others);
        ours *= static_cast<qvBaseRegion const&>(others);
        if (with.size() < 2 || before.empty()) continue;
        ASSERT_EQ(qvRectsOf(ours), double_loop(before, with)) << "round " << round;
    }
}

}  // namespace
