// The union of many rectangles in one sweep against the plainest sweep that
// can be written: rectangles inserted into and removed from a sorted list
// one at a time, the whole list merged at every key, a row written where the
// merge differs from the last row. The grid's strips must agree with it bit
// for bit (so also in which of +0 and -0 an interval end keeps), on inputs
// that share edges: strips stacked without gaps, bands of repeated
// rectangles, duplicates, touching and nested rectangles, rectangles holding
// no area, and keys where many rectangles open and close at once.

#include <orvane/geometry/qvIRGrid.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "qvRegionTestSupport.hpp"

namespace {

struct ReferenceRow {
    double key;
    std::vector<qvIRInterval> strip;
};

// Keys compare by value: which of several edges at one key names the row is
// the sort's business, not the sweep's.
std::vector<ReferenceRow> reference_union(qvTestRects const& rects) {
    struct Edge {
        double y;
        std::size_t id;
        bool opens;
    };
    struct Open {
        double x1, x2;
        std::size_t id;
        bool operator<(Open const& o) const { return x1 < o.x1 || (x1 == o.x1 && id < o.id); }
    };
    std::vector<Edge> edges;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        qvTestRect const& r = rects[i];
        if (!(r.x1 < r.x2 && r.y1 < r.y2)) continue;
        edges.push_back({r.y1, i, true});
        edges.push_back({r.y2, i, false});
    }
    std::stable_sort(edges.begin(), edges.end(), [](Edge const& a, Edge const& b) { return a.y < b.y; });
    std::vector<ReferenceRow> rows;
    std::vector<Open> open;
    for (std::size_t e = 0; e < edges.size();) {
        const double key = edges[e].y;
        for (; e < edges.size() && edges[e].y == key; ++e) {
            qvTestRect const& r = rects[edges[e].id];
            const Open item{r.x1, r.x2, edges[e].id};
            const auto at = std::lower_bound(open.begin(), open.end(), item);
            if (edges[e].opens)
                open.insert(at, item);
            else
                open.erase(at);
        }
        std::vector<qvIRInterval> strip;
        for (Open const& o : open) {
            if (!strip.empty() && o.x1 <= strip.back().end)
                strip.back().end = std::max(strip.back().end, o.x2);   // the first of equal ends stays
            else
                strip.push_back({o.x1, o.x2});
        }
        if (rows.empty() || rows.back().strip != strip) rows.push_back({key, strip});
    }
    return rows;
}

bool same_bits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// Empty when the grid is the reference, else where they first part.
std::string difference(qvIRGrid const& grid, std::vector<ReferenceRow> const& expected) {
    if (grid.row_count() != expected.size())
        return "rows " + std::to_string(grid.row_count()) + " instead of " + std::to_string(expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const qvIRRow row = grid.row(i);
        if (!(row.key == expected[i].key)) return "key of row " + std::to_string(i);
        if (row.strip.size() != expected[i].strip.size()) return "strip size of row " + std::to_string(i);
        for (std::size_t j = 0; j < row.strip.size(); ++j)
            if (!same_bits(row.strip[j].start, expected[i].strip[j].start) ||
                !same_bits(row.strip[j].end, expected[i].strip[j].end))
                return "interval " + std::to_string(j) + " of row " + std::to_string(i);
    }
    return {};
}

std::string swept_difference(qvTestRects const& rects) {
    qvIRGrid grid;
    grid.assign_union(rects);
    return difference(grid, reference_union(rects));
}

// Coordinates on a small lattice so that edges meet often; zero of either
// sign, and now and then a rectangle holding no area.
double lattice(std::mt19937& rng, int extent) {
    const int v = std::uniform_int_distribution<int>(-2, extent)(rng);
    if (v == 0) return std::uniform_int_distribution<int>(0, 1)(rng) ? -0.0 : 0.0;
    return v;
}

qvTestRect lattice_rect(std::mt19937& rng, int extent, int most_height) {
    const double x = lattice(rng, extent), y = lattice(rng, extent);
    const int w = std::uniform_int_distribution<int>(-1, extent / 2 + 1)(rng);
    const int h = std::uniform_int_distribution<int>(-1, most_height)(rng);
    const double x2 = w == 0 && x == 0 ? -0.0 : x + w;
    return qvRawRect(x, y, x2, y + h);
}

// Strips [x1, x2] x [y, y + h) one above the other, some with another
// interval (so that a key changes the strip), in any order.
qvTestRects stacked_strips(std::mt19937& rng, int count) {
    std::uniform_int_distribution<int> pick(0, 9), height(1, 3);
    qvTestRects rects;
    double y = lattice(rng, 4);
    for (int i = 0; i < count; ++i) {
        const double h = height(rng);
        rects.push_back(qvRawRect(pick(rng) == 0 ? -0.0 : 0.0, y, 10, y + h));
        if (pick(rng) < 2) rects.push_back(qvRawRect(pick(rng) + 5, y, 20, y + h));
        if (pick(rng) == 0) rects.push_back(rects[rects.size() - 1]);   // a duplicate
        y += pick(rng) == 0 ? h - 1 : h;                                 // now and then an overlap
    }
    const int order = pick(rng) % 3;
    if (order == 1) std::reverse(rects.begin(), rects.end());
    if (order == 2) std::shuffle(rects.begin(), rects.end(), rng);
    return rects;
}

// The grid of the rectangles' union, as print shows it.
std::string printed_union(qvTestRects const& rects) {
    qvIRGrid grid;
    grid.assign_union(rects);
    std::ostringstream os;
    grid.print(os);
    return os.str();
}

}  // namespace

TEST(qvIRGridUnionSweep, Agrees_bit_for_bit_with_the_plain_sweep_on_small_lattices) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 3000; ++round) {
        qvTestRects rects;
        const int extent = 3 + round % 12;
        for (int i = 0; i < round % 48; ++i) rects.push_back(lattice_rect(rng, extent, 1 + round % 5));
        ASSERT_EQ(swept_difference(rects), "") << "round " << round;
    }
}

TEST(qvIRGridUnionSweep, Agrees_with_the_plain_sweep_on_stacked_and_repeated_strips) {
    std::mt19937 rng(4711);
    for (int round = 0; round < 1500; ++round) {
        const qvTestRects rects = stacked_strips(rng, 1 + round % 60);
        ASSERT_EQ(swept_difference(rects), "") << "round " << round;
    }
}

// Long open lists, and keys where enough rectangles open and close that
// they are sorted and merged into the list rather than entered one by one.
TEST(qvIRGridUnionSweep, Agrees_with_the_plain_sweep_where_many_rectangles_are_open) {
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        qvTestRects rects;
        const int extent = 40 + round % 200;
        for (int i = 0; i < 100 + round; ++i) rects.push_back(lattice_rect(rng, extent, extent / 2));
        ASSERT_EQ(swept_difference(rects), "") << "round " << round;
    }
}

TEST(qvIRGridUnionSweep, Adjacent_strips_of_one_width_make_one_band) {
    qvTestRects rects;
    for (int i = 999; i >= 0; --i) rects.push_back(qvRawRect(-2, i - 2, 1002, i + 3));
    qvIRGrid grid;
    grid.assign_union(rects);
    ASSERT_EQ(grid.row_count(), 2u);
    EXPECT_EQ(grid.row(0).key, -2);
    EXPECT_EQ(grid.row(1).key, 1002);
    ASSERT_EQ(grid.row(0).strip.size(), 1u);
    EXPECT_EQ(grid.row(0).strip[0], (qvIRInterval{-2, 1002}));
}

// A strip that opens where an equal one closes leaves the band as it is,
// yet the open list still changes: a later key that merges the strip must
// see the new rectangle, not the old one.
TEST(qvIRGridUnionSweep, A_strip_taking_over_from_an_equal_one_is_the_one_that_stays_open) {
    const qvTestRects rects = {qvRawRect(0, 0, 10, 1), qvRawRect(0, 1, 10, 5), qvRawRect(20, 2, 30, 3),
                               qvRawRect(0.0, 4, 5, 6)};
    ASSERT_EQ(swept_difference(rects), "");
    EXPECT_EQ(printed_union(rects), "0: 0:10 \n2: 0:10 20:30 \n3: 0:10 \n5: 0:5 \n6: STRIP IS EMPTY\n");
}

// A rectangle starting at -0 takes over from an equal one starting at +0,
// which writes no row; the next row is merged from the list as it is then,
// so its first interval starts at -0.
TEST(qvIRGridUnionSweep, A_rectangle_taking_over_at_minus_zero_shows_its_sign_in_the_next_row) {
    qvTestRects rects = {qvRawRect(0.0, 0, 1, 2), qvRawRect(-0.0, 2, 1, 4), qvRawRect(3, 0, 4, 4),
                         qvRawRect(20, 3, 21, 4)};
    for (int i = 0; i < 30; ++i) rects.push_back(qvRawRect(10, 0, 11, 4));   // a long open list
    ASSERT_EQ(swept_difference(rects), "");
    EXPECT_EQ(printed_union(rects), "0: 0:1 3:4 10:11 \n3: -0:1 3:4 10:11 20:21 \n4: STRIP IS EMPTY\n");
}
