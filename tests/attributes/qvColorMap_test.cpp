// Colour maps, the cube and ramps, merging, the stream form, and the
// lookup from colours (2048 cells) and from another map's indices.

#include <orvane/attributes/qvColorCube.hpp>
#include <orvane/attributes/qvColorRamp.hpp>
#include <orvane/attributes/qvIndexToIndex.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>

#include "qvAttributeStreams.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>
#include <vector>

using namespace attribute_test;
using stream_test::bytes;
using Entries = std::vector<qvColorMapEntry>;

namespace {

const char* const too_many = "The number of colors cannot be greater then 256.";
using MapError = qvErrorFrom<qvColorMap>;

qvColorMapEntry entry(int r, int g, int b, int index) {
    return qvColorMapEntry(qvBitmapColor(r, g, b), static_cast<unsigned char>(index));
}
Entries entries_of(qvColorMapReference const& map) { return Entries(map.data(), map.data() + map.size()); }
qvColorMapReference reference(Entries& entries, bool simple = true) {
    return qvColorMapReference(static_cast<int>(entries.size()), simple, entries.data());
}
std::string saved(qvColorMap const& map) {
    return written(v000, [&](qvOutputStream& os) { map.save(os); });
}
qvColorMap gapped_map() {  // non-simple, indexed 9 and 5
    const qvColorMapEntry two[] = {entry(10, 20, 30, 9), entry(40, 50, 60, 5)};
    return qvColorMap(two, 2, false);
}

// The oracle of the lookup: smallest squared distance, the first of equal ones.
int nearest_by_brute_force(Entries const& map, int r, int g, int b) {
    long best = -1;
    int index = 255;
    for (auto const& e : map) {
        const long d = long{e.red() - r} * (e.red() - r) + long{e.green() - g} * (e.green() - g) +
                       long{e.blue() - b} * (e.blue() - b);
        if (best < 0 || d < best) best = d, index = e.index();
    }
    return index;
}

// The lowest colour of each of the 2048 cells (4 bits of red and green, 3 of blue).
template <class Check>
void for_each_cell(Check&& check) {
    for (int cell = 0; cell < 2048; ++cell)
        check(cell, (cell >> 7) << 4, ((cell >> 3) & 15) << 4, (cell & 7) << 5);
}

}  // namespace

TEST(qvColorMap, Lookup_by_index_byte) {
    EXPECT_EQ(assertion_text([] { (void)qvColorMap(3)[3]; }), "i < _size");
    qvColorMap map = gapped_map();
    EXPECT_EQ(map[5], entry(40, 50, 60, 5));
    EXPECT_EQ(raised<qvErrorFrom<qvColorMapReference>>([&] { (void)map[7]; }), "Wrong colormap index specified");
}

TEST(qvColorMap, Counts_from_0_to_256_work_and_others_raise_the_256_message_before_any_change) {
    EXPECT_EQ(qvColorMap(256)[255], entry(0, 0, 0, 255));
    EXPECT_EQ(raised<MapError>([] { qvColorMap m(-1); }), too_many);
    Entries many(300);
    qvColorMap map = gapped_map();
    EXPECT_EQ(raised<MapError>([&] { map = reference(many); }), too_many);
    EXPECT_EQ(raised<MapError>([&] { map.initialize(reference(many)); }), too_many);
    EXPECT_EQ(entries_of(map), entries_of(gapped_map()));
}

TEST(qvColorMap, Assignment_from_its_own_table_is_safe) {
    qvColorMap map = gapped_map();
    map = qvColorMapReference(map.size(), true, map.data());
    EXPECT_EQ(entries_of(map), (Entries{entry(40, 50, 60, 0), entry(10, 20, 30, 1)}));
}

TEST(qvColorMap, Initialize_from_its_own_table_is_safe) {
    const qvColorMapEntry four[] = {entry(1, 2, 3, 0), entry(4, 5, 6, 1), entry(7, 8, 9, 2), entry(10, 11, 12, 3)};
    qvColorMap map(four, 4, true);
    map.initialize(map.data() + 1, 3, true);
    EXPECT_EQ(entries_of(map), (Entries{entry(4, 5, 6, 0), entry(7, 8, 9, 1), entry(10, 11, 12, 2)}));
    qvColorMap packed(four, 4, true);  // its table read as packed 3-byte colours, which entries would overwrite
    packed.initialize(static_cast<qvBitmapColor const*>(packed.data()), 4, nullptr);
    EXPECT_EQ(entries_of(packed),
              (Entries{entry(1, 2, 3, 0), entry(0, 4, 5, 1), entry(6, 1, 7, 2), entry(8, 9, 2, 3)}));
}

TEST(qvColorMap, Every_way_of_giving_a_count_refuses_one_below_0_before_any_change) {
    const qvColorMapEntry entries[] = {entry(1, 2, 3, 0)};
    const qvRgbColor rgb[] = {qvRgbColor(1, 0, 0)};
    const qvBitmapColor colors[] = {qvBitmapColor(1, 2, 3)};
    qvColorMap map = gapped_map();
    const qvColorMapReference negative(-1, true, map.data());
    const std::function<void()> calls[] = {[&] { map.initialize(-1); },
                                           [&] { map.initialize(entries, -1, true); },
                                           [&] { map.initialize(rgb, -1, nullptr); },
                                           [&] { map.initialize(colors, -1, nullptr); },
                                           [&] { map.initialize(negative); },
                                           [&] { map = negative; },
                                           [&] { qvColorMap m(entries, -1, true); },
                                           [&] { map.merge(negative); }};
    for (auto const& call : calls) EXPECT_EQ(raised<MapError>(call), too_many) << &call - calls;
    EXPECT_EQ(entries_of(map), entries_of(gapped_map()));
}

TEST(qvColorMapDeathTest, Without_throwing_a_refused_count_aborts_with_its_message) {
    EXPECT_DEATH(
        {
            qvError::no_throw(true);
            qvColorMap m(257);
        },
        "Unexpected Orvane error: The number of colors cannot be greater then 256\\.");
}

TEST(qvColorMap, Entries_are_renumbered_when_simple_and_sorted_by_index_otherwise) {
    const qvColorMapEntry three[] = {entry(1, 1, 1, 7), entry(2, 2, 2, 3), entry(3, 3, 3, 5)};
    EXPECT_EQ(entries_of(qvColorMap(three, 3, true)),
              (Entries{entry(1, 1, 1, 0), entry(2, 2, 2, 1), entry(3, 3, 3, 2)}));
    EXPECT_EQ(entries_of(qvColorMap(three, 3, false)),
              (Entries{entry(2, 2, 2, 3), entry(3, 3, 3, 5), entry(1, 1, 1, 7)}));
    // Colour arrays keep their order and their indices.
    const qvRgbColor rgb[] = {qvRgbColor(0.999, 0.5, 0.0), qvRgbColor(1.0, 1.0, 1.0)};
    const unsigned char indices[] = {9, 2};
    EXPECT_EQ(entries_of(qvColorMap(rgb, 2, indices)), (Entries{entry(254, 127, 0, 9), entry(255, 255, 255, 2)}));
}

TEST(qvColorMap, Cube_and_ramps) {
    const qvColorCube cube;  // blue fastest, in steps of 51
    ASSERT_EQ(cube.size(), 216);
    EXPECT_EQ(cube[1], entry(0, 0, 51, 1));
    const qvRgbColor white(1.0, 1.0, 1.0), black(0.0, 0.0, 0.0);
    const qvColorRamp grey(256, white, black);
    for (int k = 0; k < 256; ++k) ASSERT_EQ(grey[static_cast<unsigned char>(k)], entry(k, k, k, k)) << k;
    for (int n : {1, -5})
        EXPECT_EQ(raised<qvErrorFrom<qvColorRamp>>([&] { qvColorRamp r(n, white, black); }),
                  "Color ramp should have at least 2 colors") << n;
}

TEST(qvColorMapMerge, Adds_the_farthest_colours_first_and_renumbers_the_other_map) {
    // This map black (0), white (1); the other black, red, (250, 250, 250).
    for (auto [max, added, other] : {std::tuple{3, Entries{entry(255, 0, 0, 2)}, std::vector{0, 2, 1}},
                                     {256, Entries{entry(250, 250, 250, 2), entry(255, 0, 0, 3)}, {0, 3, 2}}}) {
        qvColorMap target(2);
        target.data()[1] = entry(255, 255, 255, 1);
        Entries source{entry(0, 0, 0, 0), entry(255, 0, 0, 1), entry(250, 250, 250, 2)};
        target.merge(reference(source), max);
        added.insert(added.begin(), {entry(0, 0, 0, 0), entry(255, 255, 255, 1)});
        EXPECT_EQ(entries_of(target), added) << max;
        EXPECT_EQ((std::vector<int>{source[0].index(), source[1].index(), source[2].index()}), other);
    }
    // A gapped map gives new entries its free index values; green lies nearer
    // to the old entries, so red is the farthest and comes last.
    qvColorMap target = gapped_map();
    Entries source{entry(200, 0, 0, 0), entry(0, 200, 0, 1)};
    target.merge(reference(source));
    EXPECT_EQ(entries_of(target),
              (Entries{entry(0, 200, 0, 0), entry(200, 0, 0, 1), entry(40, 50, 60, 5), entry(10, 20, 30, 9)}));
    EXPECT_EQ((std::pair<int, int>(source[0].index(), source[1].index())), std::pair(1, 0));
}

TEST(qvColorMapMerge, Refuses_bad_limits_and_unknown_indices_leaving_both_maps) {
    qvColorMap target(2);
    Entries source{entry(9, 9, 9, 0), entry(255, 0, 0, 1), entry(250, 250, 250, 2)};
    EXPECT_EQ(raised<MapError>([&] { target.merge(reference(source), 257); }),
              "The number of colors cannot be greater then 256");
    EXPECT_EQ(raised<MapError>([&] { target.merge(reference(source), 1); }),
              "merge() cannot be used to compress a colormap");
    EXPECT_EQ(raised<qvErrorFrom<qvColorMapReference>>([&] { target.merge(gapped_map()); }),
              "Wrong colormap index specified");
    EXPECT_EQ(target.size(), 2);
    EXPECT_EQ(source[1].index(), 1);
}

TEST(qvColorMapStream, Count_flag_entries_and_bad_input_leaving_the_map) {
    EXPECT_EQ(saved(gapped_map()), bytes("02 00 00 00  00 00 00 00  28 32 3C 05  0A 14 1E 09"));
    Input in(v000, bytes("02 00 00 00  00 00 00 00  0A 14 1E 09  28 32 3C 05"));
    qvColorMap map;
    map.load(in.stream());
    EXPECT_EQ(entries_of(map), (Entries{entry(10, 20, 30, 9), entry(40, 50, 60, 5)}));  // stored order

    const std::string full = saved(gapped_map());
    std::vector<std::pair<std::string, char const*>> cases = {
        {bytes("FF FF FF FF  01 00 00 00"), too_many}};
    for (std::size_t n = 0; n < full.size(); ++n)
        cases.emplace_back(full.substr(0, n), "Incomplete data on input");
    for (auto const& [body, message] : cases) {
        qvColorMap kept = gapped_map();
        Input bad(v000, body);
        EXPECT_EQ(raised<qvError>([&] { kept.load(bad.stream()); }), message) << body.size();
        EXPECT_EQ(saved(kept), full);
    }
}

TEST(qvRgbToIndex, Cells_the_cube_and_an_empty_map) {
    EXPECT_EQ(qvRgbToIndex::index(255, 255, 255), 2047);
    EXPECT_EQ(qvRgbToIndex::index(256 + 16, -1, 0), qvRgbToIndex::index(16, 255, 0));  // masked to bytes
    const qvRgbToIndex table{qvColorCube()};
    EXPECT_EQ(table(qvBitmapColor(255, 0, 0)), 180);
    const qvRgbToIndex empty{qvColorMap()};
    for_each_cell([&](int cell, int r, int g, int b) { ASSERT_EQ(empty(r, g, b), 255) << cell; });
}

TEST(qvRgbToIndex, Every_cell_holds_the_entry_nearest_its_centre) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 8; ++round) {
        Entries map;
        for (int i = 0; i < 1 + round * 30; ++i) map.push_back(entry(byte(rng), byte(rng), byte(rng), i));
        const qvRgbToIndex table(reference(map));
        for_each_cell([&](int cell, int r, int g, int b) {
            if (cell == 0 || cell == 2047) return;  // black and white rule below
            ASSERT_EQ(table(r + 8, g + 8, b + 16), nearest_by_brute_force(map, r + 8, g + 8, b + 16))
                << "round " << round << " cell " << cell;
        });
    }
    // Exact black and white own the corner cells, although entry 0 sits on
    // the centre of cell 0; of two exact whites the later one wins.
    Entries corners{entry(8, 8, 16, 0), entry(0, 0, 0, 1), entry(255, 255, 255, 2), entry(255, 255, 255, 3)};
    const qvRgbToIndex table(reference(corners));
    EXPECT_EQ(table(0, 0, 0), 1);
    EXPECT_EQ(table(255, 255, 255), 3);
}

TEST(qvRgbToIndex, Gapped_maps_and_replacements) {
    Entries gapped{entry(250, 250, 250, 9), entry(5, 5, 5, 5)};
    const qvRgbToIndex table(reference(gapped, false));
    EXPECT_EQ(table(20, 20, 20), 5);
    const qvRgbToIndex before{qvColorCube()};
    qvRgbToIndex replaced = before;
    Entries extra{entry(100, 100, 100, 7)};
    replaced.replace(reference(extra));
    const int named = qvRgbToIndex::index(100, 100, 100);
    for_each_cell([&](int cell, int r, int g, int b) {
        ASSERT_EQ(replaced(r, g, b), cell == named ? 7 : before(r, g, b)) << cell;
    });
}

TEST(qvIndexToIndex, Active_only_for_a_simple_non_empty_source_and_a_filled_target) {
    const qvRgbToIndex cube{qvColorCube()}, empty;
    Entries source{entry(250, 5, 5, 0), entry(0, 0, 0, 1)};
    const qvIndexToIndex map(reference(source), &cube);
    EXPECT_EQ(map(0), 180);
    EXPECT_EQ(map(2), 2);  // beyond the source: itself
    const qvColorMapReference simple(1, true, source.data()), indexed(1, false, source.data());
    for (qvIndexToIndex const& inactive : {qvIndexToIndex(), qvIndexToIndex(indexed, &cube),
                                           qvIndexToIndex(qvColorMapReference(), &cube),
                                           qvIndexToIndex(simple, nullptr), qvIndexToIndex(simple, &empty)})
        EXPECT_EQ((std::pair<int, int>(inactive(0), inactive(77))), std::pair(0, 77));
}
