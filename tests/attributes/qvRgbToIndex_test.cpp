#include <orvane/attributes/qvColorCube.hpp>
#include <orvane/attributes/qvIndexToIndex.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "qvFileTestSupport.hpp"

using qv_file_test::raises;

namespace {

qvColorMapEntry entry(int r, int g, int b, int index) {
    return qvColorMapEntry(qvBitmapColor(r, g, b), static_cast<unsigned char>(index));
}

// The nearest entry to (r, g, b) as the lookup promises it: smallest squared
// distance, the first of equal ones in position order.
int nearest_by_brute_force(std::vector<qvColorMapEntry> const& map, int r, int g, int b) {
    long best = -1;
    int index = 255;
    for (auto const& e : map) {
        const long d = long{e.red() - r} * (e.red() - r) + long{e.green() - g} * (e.green() - g) +
                       long{e.blue() - b} * (e.blue() - b);
        if (best < 0 || d < best) best = d, index = e.index();
    }
    return index;
}

}  // namespace

// ---- cells ---------------------------------------------------------------------

TEST(qvRgbToIndexCells, Use_4_bits_of_red_and_green_and_3_of_blue) {
    EXPECT_EQ(qvRgbToIndex::index(255, 255, 255), 2047);
    EXPECT_EQ(qvRgbToIndex::index(0, 0, 0), 0);
    EXPECT_EQ(qvRgbToIndex::index(16, 0, 0), 128);
}

TEST(qvRgbToIndexCells, Out_of_range_components_still_name_a_cell) {
    EXPECT_EQ(qvRgbToIndex::index(256 + 16, -1, 0), qvRgbToIndex::index(16, 255, 0));
}

// ---- building --------------------------------------------------------------------

TEST(qvRgbToIndexBuild, Over_the_cube_finds_the_cube_corners) {
    const qvRgbToIndex table{qvColorCube()};
    EXPECT_EQ(table(255, 0, 0), 180);
    EXPECT_EQ(table(qvBitmapColor(255, 255, 255)), 215);
    EXPECT_EQ(table(0, 0, 0), 0);
    EXPECT_EQ(table.colormap().size(), 216);
}

TEST(qvRgbToIndexBuild, Every_cell_holds_the_entry_nearest_its_centre) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20; ++round) {
        std::vector<qvColorMapEntry> map;
        const int count = 1 + round * 12;
        for (int i = 0; i < count; ++i) map.push_back(entry(byte(rng), byte(rng), byte(rng), i));
        const qvRgbToIndex table(qvColorMapReference(count, true, map.data()));
        for (int r = 8; r < 256; r += 16)
            for (int g = 8; g < 256; g += 16)
                for (int b = 16; b < 256; b += 32) {
                    const int cell = qvRgbToIndex::index(r, g, b);
                    if (cell == 0 || cell == 2047) continue;   // black and white rule below
                    ASSERT_EQ(table(r, g, b), nearest_by_brute_force(map, r, g, b))
                        << "round " << round << " cell " << cell;
                }
    }
}

TEST(qvRgbToIndexBuild, Exact_black_and_white_entries_own_the_corner_cells) {
    // Entry 0 sits on the centre of cell 0, yet the exact black entry takes
    // the cell; of two exact whites the later one wins.
    std::vector<qvColorMapEntry> map{entry(8, 8, 16, 0), entry(0, 0, 0, 1), entry(255, 255, 255, 2),
                                     entry(255, 255, 255, 3)};
    const qvRgbToIndex table(qvColorMapReference(4, true, map.data()));
    EXPECT_EQ(table(0, 0, 0), 1);
    EXPECT_EQ(table(255, 255, 255), 3);
}

TEST(qvRgbToIndexBuild, Empty_map_gives_255_everywhere) {
    const qvRgbToIndex table{qvColorMap()};
    for (int cell = 0; cell < 2048; ++cell)
        ASSERT_EQ(table((cell >> 7) << 4, ((cell >> 3) & 15) << 4, (cell & 7) << 5), 255) << cell;
}

TEST(qvRgbToIndexBuild, Works_for_a_map_indexed_with_gaps) {
    std::vector<qvColorMapEntry> map{entry(250, 250, 250, 9), entry(5, 5, 5, 5)};
    const qvRgbToIndex table(qvColorMapReference(2, false, map.data()));
    EXPECT_EQ(table(240, 240, 240), 9);
    EXPECT_EQ(table(20, 20, 20), 5);
    EXPECT_EQ(table.colormap()[9], entry(250, 250, 250, 9));
}

TEST(qvRgbToIndexBuild, Refuses_more_than_256_entries_keeping_the_old_table) {
    qvRgbToIndex table{qvColorCube()};
    std::vector<qvColorMapEntry> many(257);
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>(
        [&] { table.initialize(qvColorMapReference(257, true, many.data())); },
        "The number of colors cannot be greater then 256."));
    EXPECT_EQ(table(255, 0, 0), 180);
    EXPECT_EQ(table.colormap().size(), 216);
}

TEST(qvRgbToIndexBuild, Replace_changes_only_the_cells_it_names) {
    const qvRgbToIndex before{qvColorCube()};
    qvRgbToIndex table = before;
    std::vector<qvColorMapEntry> extra{entry(100, 100, 100, 7)};
    table.replace(qvColorMapReference(1, true, extra.data()));
    const int named = qvRgbToIndex::index(100, 100, 100);
    for (int cell = 0; cell < 2048; ++cell) {
        const int r = (cell >> 7) << 4, g = ((cell >> 3) & 15) << 4, b = (cell & 7) << 5;
        ASSERT_EQ(table(r, g, b), cell == named ? 7 : before(r, g, b)) << cell;
    }
    EXPECT_EQ(table.colormap().size(), 216);
}

// ---- index to index ---------------------------------------------------------------

TEST(qvIndexToIndex, Translates_a_simple_source_into_the_nearest_target_indices) {
    const qvRgbToIndex cube{qvColorCube()};
    std::vector<qvColorMapEntry> source{entry(250, 5, 5, 0), entry(0, 0, 0, 1)};
    const qvIndexToIndex map(qvColorMapReference(2, true, source.data()), &cube);
    EXPECT_EQ(map(0), 180);
    EXPECT_EQ(map(1), 0);
    EXPECT_EQ(map(2), 2);   // beyond the source: itself
    EXPECT_EQ(map(255), 255);
}

TEST(qvIndexToIndex, Is_inactive_without_a_simple_non_empty_source_and_a_filled_target) {
    const qvRgbToIndex cube{qvColorCube()}, empty;
    std::vector<qvColorMapEntry> source{entry(250, 5, 5, 0)};
    const qvColorMapReference simple(1, true, source.data()), indexed(1, false, source.data());
    const qvIndexToIndex cases[] = {qvIndexToIndex(), qvIndexToIndex(indexed, &cube),
                                    qvIndexToIndex(qvColorMapReference(), &cube),
                                    qvIndexToIndex(simple, nullptr),
                                    qvIndexToIndex(simple, &empty)};
    for (qvIndexToIndex const& map : cases) {
        EXPECT_EQ(map(0), 0);
        EXPECT_EQ(map(77), 77);
    }
}
