// Cell arithmetic: cells of boxes and rectangles of cells, bit for bit,
// including the trimming that keeps a box a last float bit too wide in its
// cell, and the root cell for boxes that have no cell.

#include <orvane/scenes/qvQuadTreeHandle.hpp>

#include "scenes/qvQuadTreeCells.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

using H = qvQuadTreeHandleData;

const qvMathRectOf<double> hundred(0.0, 0.0, 100.0, 100.0);

qvMathRectOf<float> box(float x1, float y1, float x2, float y2) {
    return qvMathRectOf<float>(qvRectOf<float>(x1, y1, x2, y2));
}

H cell(qvMathRectOf<double> const& base, qvMathRectOf<float> const& r) { return qvCellOf(base, r, 15); }

::testing::AssertionResult same_bits(qvMathRectOf<float> const& a, qvMathRectOf<float> const& b) {
    for (auto [u, v] : {std::pair{a.x1, b.x1}, {a.y1, b.y1}, {a.x2, b.x2}, {a.y2, b.y2}})
        if (std::bit_cast<std::uint32_t>(u) != std::bit_cast<std::uint32_t>(v))
            return ::testing::AssertionFailure()
                   << "(" << a.x1 << ", " << a.y1 << ", " << a.x2 << ", " << a.y2 << ") vs (" << b.x1 << ", " << b.y1
                   << ", " << b.x2 << ", " << b.y2 << ")";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(qvQuadTreeCells, A_box_gets_the_smallest_cell_that_holds_it) {
    // Level-15 numbers 3,276 … 6,553 share their top two bits: column 0 of level 2.
    EXPECT_EQ(cell(hundred, box(10, 10, 20, 20)), (H{-3, -3, 2}));
    EXPECT_EQ(cell(hundred, box(0, 0, 100, 100)), (H{0, 0, 0}));
    EXPECT_EQ(cell(hundred, box(40, 40, 60, 60)), (H{0, 0, 0}));
    EXPECT_EQ(cell(hundred, box(40, 10, 60, 20)), (H{0, 0, 0}));
    EXPECT_EQ(cell(hundred, box(60, 10, 70, 20)), (H{1, -3, 2}));
    EXPECT_EQ(cell(hundred, box(10, 60, 20, 70)), (H{-3, 1, 2}));
    // A box ending on a cell edge stays out of the next cell.
    EXPECT_EQ(cell(hundred, box(0, 0, 50, 50)), (H{-1, -1, 1}));
    EXPECT_EQ(cell(hundred, box(50, 50, 75, 75)), (H{1, 1, 2}));
}

TEST(qvQuadTreeCells, Points_lie_in_level_15_cells_and_the_far_corner_is_pulled_back) {
    EXPECT_EQ(cell(hundred, box(100, 100, 100, 100)), (H{32767, 32767, 15}));
    EXPECT_EQ(cell(hundred, box(0, 0, 0, 0)), (H{-32767, -32767, 15}));
    EXPECT_EQ(cell(hundred, box(30, 70, 30, 70)), (H{-13107, 13107, 15}));
    // A point on a cell edge is no box of cells at that level (its last
    // number is one below its first): it rises to the cell it lies inside.
    EXPECT_EQ(cell(hundred, box(25, 75, 25, 75)), (H{-1, 1, 1}));
    EXPECT_EQ(cell(hundred, box(50, 50, 50, 50)), (H{0, 0, 0}));
}

TEST(qvQuadTreeCells, Trimming_keeps_a_box_one_float_step_too_wide_in_its_cell) {
    const qvMathRectOf<double> unit(0.0, 0.0, 1.0, 1.0);
    const float above_half = std::bit_cast<float>(0x3F000001u);
    EXPECT_EQ(cell(unit, box(0.25f, 0.25f, above_half, above_half)), (H{-1, -1, 2}));
    // Without the trim the last cell number would be 16,384 and the box
    // would straddle the centre: the root.
    EXPECT_EQ(std::ceil(above_half * 32768.0f - 1.0f), 16384.0f);
    EXPECT_EQ(qvTrimmed(above_half), 0.5f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(qvTrimmed(-1.0000001f)), 0xBF800000u);
}

TEST(qvQuadTreeCells, Boxes_outside_the_base_or_with_a_NaN_get_the_root) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(cell(hundred, box(nan, 10, 20, 20)), (H{0, 0, 0}));
    EXPECT_EQ(cell(hundred, box(10, 10, 20, nan)), (H{0, 0, 0}));
    EXPECT_EQ(cell(hundred, box(200, 200, 300, 300)), (H{0, 0, 0}));
    EXPECT_EQ(cell(hundred, box(-300, -300, -200, -200)), (H{0, 0, 0}));
    // Inverted across the base: the clipped corners lie outside it.
    EXPECT_EQ(cell(hundred, box(150, 50, -50, 60)), (H{0, 0, 0}));
    // Partly outside: the part inside decides.
    EXPECT_EQ(cell(hundred, box(90, 90, 150, 150)), (H{7, 7, 3}));
    EXPECT_EQ(cell(hundred, box(-10, 10, 20, 20)), (H{-3, -3, 2}));
}

TEST(qvQuadTreeCells, A_lower_level_limits_the_depth) {
    EXPECT_EQ(qvCellOf(hundred, box(10, 10, 11, 11), 1), (H{-1, -1, 1}));
    EXPECT_EQ(qvCellOf(hundred, box(10, 10, 11, 11), 0), (H{0, 0, 0}));
    EXPECT_EQ(qvCellOf(hundred, box(10, 10, 20, 20), 5), (H{-3, -3, 2}));
}

TEST(qvQuadTreeCells, A_cell_rectangle_is_its_share_of_the_base) {
    EXPECT_TRUE(same_bits(qvCellRect(hundred, {0, 0, 0}), box(0, 0, 100, 100)));
    EXPECT_TRUE(same_bits(qvCellRect(hundred, {1, 1, 1}), box(50, 50, 100, 100)));
    EXPECT_TRUE(same_bits(qvCellRect(hundred, {-3, -3, 2}), box(0, 0, 25, 25)));
    EXPECT_TRUE(same_bits(qvCellRect(hundred, {3, -1, 2}), box(75, 25, 100, 50)));
    const qvMathRectOf<double> offset(-10.0, 20.0, 10.0, 60.0);
    EXPECT_TRUE(same_bits(qvCellRect(offset, {-1, 1, 1}), box(-10, 40, 0, 60)));
}

// A base whose bounds are not exact in float: every quantity is rounded to
// float where it is formed, then the edges are trimmed.
TEST(qvQuadTreeCells, Cell_rectangles_round_at_each_named_step) {
    const qvMathRectOf<double> base(0.1, 0.2, 0.7, 0.9);
    const float x1 = 0.1f, x2 = 0.7f, y1 = 0.2f, y2 = 0.9f;
    const float w = (x2 - x1) / 8.0f, hgt = (y2 - y1) / 8.0f;
    const float cx = (x1 + x2) * 0.5f, cy = (y1 + y2) * 0.5f;
    const float left = w * static_cast<float>(5 - 1) * 0.5f + cx;
    const float bottom = hgt * static_cast<float>(-3 - 1) * 0.5f + cy;
    const qvMathRectOf<float> expected =
        box(qvTrimmed(left), qvTrimmed(bottom), qvTrimmed(left + w), qvTrimmed(bottom + hgt));
    EXPECT_TRUE(same_bits(qvCellRect(base, {5, -3, 3}), expected));
}

// Every box inside the base lies in the rectangle of its cell, and its
// cell is the one the parent's split would hand it down to.
TEST(qvQuadTreeCellsProperty, Grid_boxes_lie_in_their_cells_rectangle) {
    std::mt19937 rng(32);
    const qvMathRectOf<double> base(0.0, 0.0, 1024.0, 1024.0);
    std::uniform_int_distribution<int> coordinate(0, 1024 * 16);
    for (int round = 0; round < 20000; ++round) {
        float a = coordinate(rng) / 16.0f, b = coordinate(rng) / 16.0f;
        float c = coordinate(rng) / 16.0f, d = coordinate(rng) / 16.0f;
        if (a > c) std::swap(a, c);
        if (b > d) std::swap(b, d);
        const H h = cell(base, box(a, b, c, d));
        ASSERT_TRUE(qvIsQuadTreeCell(h));
        const qvMathRectOf<float> r = qvCellRect(base, h);
        ASSERT_TRUE(r.x1 <= a && c <= r.x2 && r.y1 <= b && d <= r.y2) << "round " << round;
        const int column = (h.x + (1 << h.z) - 1) / 2, row = (h.y + (1 << h.z) - 1) / 2;
        for (int level = 0; level < h.z; ++level) {
            const H above = qvCellOf(base, box(a, b, c, d), level);
            const int shift = h.z - level;
            ASSERT_EQ(above, (H{static_cast<std::int16_t>(2 * (column >> shift) + 1 - (1 << level)),
                                static_cast<std::int16_t>(2 * (row >> shift) + 1 - (1 << level)),
                                static_cast<std::int16_t>(level)}))
                << "round " << round;
        }
    }
}
