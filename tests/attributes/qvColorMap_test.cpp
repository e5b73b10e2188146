#include <orvane/attributes/qvColorCube.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/attributes/qvColorRamp.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qvAttributeStreams.hpp"
#include "qvFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

using attribute_test::Input;
using attribute_test::v000;
using qv_file_test::raises;
using stream_test::bytes;

namespace {

const char* const too_many = "The number of colors cannot be greater then 256.";

qvColorMapEntry entry(int r, int g, int b, int index) {
    return qvColorMapEntry(qvBitmapColor(r, g, b), static_cast<unsigned char>(index));
}

std::vector<qvColorMapEntry> entries_of(qvColorMapReference const& map) {
    return std::vector<qvColorMapEntry>(map.data(), map.data() + map.size());
}

std::string saved(qvColorMap const& map) {
    return attribute_test::written(v000, [&](qvOutputStream& os) { map.save(os); });
}

// A non-simple map of two entries indexed 5 and 9.
qvColorMap gapped_map() {
    const qvColorMapEntry two[] = {entry(10, 20, 30, 9), entry(40, 50, 60, 5)};
    return qvColorMap(two, 2, false);
}

}  // namespace

// ---- lookup by index ----------------------------------------------------------

TEST(qvColorMapReference, Simple_map_asserts_an_index_at_or_beyond_its_size) {
    qvColorMap map(3);
    EXPECT_EQ(&map[2], map.data() + 2);
    try {
        (void)map[3];
        FAIL() << "no assertion";
    } catch (qvAssertionError const& error) {
        EXPECT_STREQ(static_cast<char const*>(error), "i < _size");
    }
}

TEST(qvColorMapReference, Non_simple_map_finds_entries_by_index_byte_or_raises) {
    qvColorMap map = gapped_map();
    EXPECT_EQ(map[9], entry(10, 20, 30, 9));
    EXPECT_EQ(map[5], entry(40, 50, 60, 5));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMapReference>>([&] { (void)map[7]; },
                                                         "Wrong colormap index specified"));
}

// ---- construction and filling ---------------------------------------------------

TEST(qvColorMapConstruction, Counts_from_0_to_256_work_and_others_raise_the_256_message) {
    const qvColorMap full(256);
    EXPECT_EQ(full.size(), 256);
    EXPECT_TRUE(full.simple());
    EXPECT_EQ(full[255], entry(0, 0, 0, 255));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>([] { qvColorMap m(257); }, too_many));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>([] { qvColorMap m(-1); }, too_many));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>(
        [] { qvColorMap m(static_cast<qvColorMapEntry const*>(nullptr), 300, true); }, too_many));
}

TEST(qvColorMapConstructionDeathTest, Without_throwing_a_refused_count_aborts_with_its_message) {
    EXPECT_DEATH(
        {
            qvError::no_throw(true);
            qvColorMap m(257);
        },
        "Unexpected Orvane error: The number of colors cannot be greater then 256\\.");
}

TEST(qvColorMapConstruction,
     Entry_arrays_are_renumbered_when_simple_and_sorted_by_index_otherwise) {
    const qvColorMapEntry three[] = {entry(1, 1, 1, 7), entry(2, 2, 2, 3), entry(3, 3, 3, 5)};
    const qvColorMap simple(three, 3, true);
    EXPECT_EQ(entries_of(simple),
              (std::vector{entry(1, 1, 1, 0), entry(2, 2, 2, 1), entry(3, 3, 3, 2)}));
    const qvColorMap sorted(three, 3, false);
    EXPECT_FALSE(sorted.simple());
    EXPECT_EQ(entries_of(sorted),
              (std::vector{entry(2, 2, 2, 3), entry(3, 3, 3, 5), entry(1, 1, 1, 7)}));
}

TEST(qvColorMapConstruction, Colour_arrays_keep_their_order_and_are_simple_only_without_indices) {
    const qvRgbColor rgb[] = {qvRgbColor(0.999, 0.5, 0.0), qvRgbColor(1.0, 1.0, 1.0)};
    const unsigned char indices[] = {9, 2};
    const qvColorMap indexed(rgb, 2, indices);
    EXPECT_FALSE(indexed.simple());
    EXPECT_EQ(entries_of(indexed), (std::vector{entry(254, 127, 0, 9), entry(255, 255, 255, 2)}));
    const qvBitmapColor bytes3[] = {qvBitmapColor(1, 2, 3), qvBitmapColor(4, 5, 6)};
    const qvColorMap identity(bytes3, 2, nullptr);
    EXPECT_TRUE(identity.simple());
    EXPECT_EQ(entries_of(identity), (std::vector{entry(1, 2, 3, 0), entry(4, 5, 6, 1)}));
}

TEST(qvColorMapConstruction, Copies_own_their_entries) {
    qvColorMap map = gapped_map();
    const qvColorMap copy(map);
    map.data()[0] = entry(0, 0, 0, 0);
    EXPECT_NE(copy.data(), map.data());
    EXPECT_EQ(copy.data()[0], entry(40, 50, 60, 5));
    qvColorMap assigned;
    assigned = copy;
    EXPECT_EQ(assigned.data()[0], entry(40, 50, 60, 5));
    EXPECT_EQ(assigned.data(), &assigned[5]);
}

TEST(qvColorMapConstruction, Reference_forms_rebuild_and_may_name_the_map_itself) {
    const qvColorMapEntry two[] = {entry(1, 1, 1, 8), entry(2, 2, 2, 4)};
    qvColorMap map(qvColorMapReference(2, false, const_cast<qvColorMapEntry*>(two)));
    EXPECT_EQ(entries_of(map), (std::vector{entry(2, 2, 2, 4), entry(1, 1, 1, 8)}));
    map = qvColorMapReference(map.size(), true, map.data());
    EXPECT_EQ(entries_of(map), (std::vector{entry(2, 2, 2, 0), entry(1, 1, 1, 1)}));
    map.initialize(qvColorMapReference());   // an empty reference changes nothing
    EXPECT_EQ(map.size(), 2);
}

TEST(qvColorMapConstruction, References_beyond_256_entries_are_refused_before_any_change) {
    std::vector<qvColorMapEntry> many(300);
    const qvColorMapReference big(300, true, many.data());
    qvColorMap map = gapped_map();
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>([&] { qvColorMap m(big); }, too_many));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>([&] { map = big; }, too_many));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>([&] { map.initialize(big); }, too_many));
    EXPECT_EQ(entries_of(map), entries_of(gapped_map()));
}

// ---- cube and ramp --------------------------------------------------------------

TEST(qvColorCube, Walks_blue_fastest_in_steps_of_51) {
    const qvColorCube cube;
    ASSERT_EQ(cube.size(), 216);
    EXPECT_EQ(cube[1], entry(0, 0, 51, 1));
    EXPECT_EQ(cube[180], entry(255, 0, 0, 180));
    EXPECT_EQ(cube[215], entry(255, 255, 255, 215));
}

TEST(qvColorRamp, Runs_from_the_second_colour_to_the_first) {
    const qvRgbColor white(1.0, 1.0, 1.0), black(0.0, 0.0, 0.0);
    const qvColorRamp two(2, white, black);
    EXPECT_EQ(entries_of(two), (std::vector{entry(0, 0, 0, 0), entry(255, 255, 255, 1)}));
    const qvColorRamp grey(256, white, black);
    for (int k = 0; k < 256; ++k)
        ASSERT_EQ(grey[static_cast<unsigned char>(k)], entry(k, k, k, k)) << k;
}

TEST(qvColorRamp, Needs_2_to_256_colours) {
    const qvRgbColor c;
    EXPECT_TRUE(raises<qvErrorFrom<qvColorRamp>>([&] { qvColorRamp r(1, c, c); },
                                                 "Color ramp should have at least 2 colors"));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorRamp>>([&] { qvColorRamp r(-5, c, c); },
                                                 "Color ramp should have at least 2 colors"));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>([&] { qvColorRamp r(257, c, c); }, too_many));
}

// ---- merge ------------------------------------------------------------------------

namespace {

struct MergeCase {
    qvColorMap target{2};
    std::vector<qvColorMapEntry> source{entry(0, 0, 0, 0), entry(255, 0, 0, 1),
                                        entry(250, 250, 250, 2)};
    MergeCase() { target.data()[1] = entry(255, 255, 255, 1); }
    qvColorMapReference source_ref() { return qvColorMapReference(3, true, source.data()); }
    std::vector<int> source_indices() const {
        std::vector<int> out;
        for (auto const& e : source) out.push_back(e.index());
        return out;
    }
};

}  // namespace

TEST(qvColorMapMerge, With_room_for_one_adds_the_farthest_colour) {
    MergeCase c;
    c.target.merge(c.source_ref(), 3);
    EXPECT_EQ(entries_of(c.target),
              (std::vector{entry(0, 0, 0, 0), entry(255, 255, 255, 1), entry(255, 0, 0, 2)}));
    EXPECT_EQ(c.source_indices(), (std::vector{0, 2, 1}));
}

TEST(qvColorMapMerge, With_room_for_all_adds_every_inexact_colour_nearest_first) {
    MergeCase c;
    c.target.merge(c.source_ref());
    EXPECT_EQ(entries_of(c.target), (std::vector{entry(0, 0, 0, 0), entry(255, 255, 255, 1),
                                                 entry(250, 250, 250, 2), entry(255, 0, 0, 3)}));
    EXPECT_EQ(c.source_indices(), (std::vector{0, 3, 2}));
}

TEST(qvColorMapMerge, New_entries_take_the_free_index_values_of_a_gapped_map) {
    qvColorMap target = gapped_map();   // indices 5 and 9
    std::vector<qvColorMapEntry> source{entry(200, 0, 0, 0), entry(0, 200, 0, 1)};
    target.merge(qvColorMapReference(2, true, source.data()));
    // Green lies nearer to the old entries, so red is the farthest and comes last.
    EXPECT_EQ(entries_of(target), (std::vector{entry(0, 200, 0, 0), entry(200, 0, 0, 1),
                                               entry(40, 50, 60, 5), entry(10, 20, 30, 9)}));
    EXPECT_EQ(source[0].index(), 1);
    EXPECT_EQ(source[1].index(), 0);
}

TEST(qvColorMapMerge, Refuses_bad_limits_and_unknown_indices_leaving_both_maps) {
    MergeCase c;
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>([&] { c.target.merge(c.source_ref(), 257); },
                                                "The number of colors cannot be greater then 256"));
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>([&] { c.target.merge(c.source_ref(), 1); },
                                                "merge() cannot be used to compress a colormap"));
    qvColorMap gapped = gapped_map();
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMapReference>>([&] { c.target.merge(gapped); },
                                                         "Wrong colormap index specified"));
    EXPECT_EQ(c.target.size(), 2);
    EXPECT_EQ(c.source_indices(), (std::vector{0, 1, 2}));
}

// ---- stream form -------------------------------------------------------------------

TEST(qvColorMapStream, Writes_count_flag_and_entries) {
    EXPECT_EQ(saved(gapped_map()), bytes("02 00 00 00  00 00 00 00  28 32 3C 05  0A 14 1E 09"));
    EXPECT_EQ(saved(qvColorMap(1)), bytes("01 00 00 00  01 00 00 00  00 00 00 00"));
}

TEST(qvColorMapStream, Reloads_a_non_simple_map_in_stored_order) {
    Input in(v000, bytes("02 00 00 00  00 00 00 00  0A 14 1E 09  28 32 3C 05"));
    qvColorMap map;
    map.load(in.stream());
    EXPECT_FALSE(map.simple());
    EXPECT_EQ(entries_of(map), (std::vector{entry(10, 20, 30, 9), entry(40, 50, 60, 5)}));
    qvColorMap again;
    Input round(v000, saved(map));
    again.load(round.stream());
    EXPECT_EQ(saved(again), saved(map));
}

TEST(qvColorMapStream, Bad_counts_and_short_data_leave_the_map_unchanged) {
    struct Case {
        char const* data;
        char const* message;
    };
    const Case cases[] = {
        {"FF FF FF FF  01 00 00 00", too_many},
        {"01 01 00 00  01 00 00 00", too_many},
        {"02 00", "Incomplete data on input"},
        {"01 00 00 00  01 00", "Incomplete data on input"},
        {"02 00 00 00  01 00 00 00  01 02 03 00  04 05", "Incomplete data on input"},
    };
    for (Case const& c : cases) {
        qvColorMap map = gapped_map();
        Input in(v000, bytes(c.data));
        try {
            map.load(in.stream());
            ADD_FAILURE() << c.data;
        } catch (qvError const& error) {
            EXPECT_STREQ(static_cast<char const*>(error), c.message) << c.data;
        }
        EXPECT_EQ(saved(map), saved(gapped_map())) << c.data;
    }
}
