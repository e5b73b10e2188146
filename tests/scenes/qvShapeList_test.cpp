// The shape list: handles that stay with their shape and go stale with it,
// every placement code, moves between lists, the strict float overlap of
// queries, growth in place, and the stream form read all or nothing.

#include <orvane/scenes/qvShapeList.hpp>

#include "scenes/qvShapeNodeTable.hpp"

#include "qvPaletteTestSupport.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;
using scene_test::i32;
using Names = std::vector<long>;

char const* const not_found = "Shape handle not found";

qvShapeBase* record_named(long name, qvMathRectOf<float> box = {0, 0, 1, 1}, int size = 48) {
    qvShapeBase* const record = qvNewShapeRecord(size);
    record->user_handle = static_cast<std::int32_t>(name);
    record->box = box;
    return record;
}

Names names_of(qvIndirectIterator<qvShapeBase> it) {
    Names out;
    for (; it; ++it)
        out.push_back(it->user_handle);
    return out;
}

Names order(qvShapeList& list) { return names_of(list.enumerate()); }

Names found(qvShapeList& list, qvMathRectOf<double> const& area, bool reverse) {
    return names_of(list.query(area, reverse));
}

// A list holding records named 1, 2, 3 ... (A, B, C ...); their handles.
struct Filled {
    explicit Filled(int n, int number = 0) : list(number) {
        for (int i = 1; i <= n; ++i)
            h.push_back(list.create(record_named(i)));
    }
    qvShapeList list;
    std::vector<long> h{0};   // h[1] is the handle of record 1
};

}  // namespace

// ---------------------------------------------------------------------------
// Handles

TEST(qvShapeList, A_new_list_is_empty_and_its_iterators_end_at_once) {
    qvShapeList list(3);
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(list.number(), 3);
    EXPECT_FALSE(list.enumerate());
    EXPECT_FALSE(list.query(scene_test::everywhere, false));
    EXPECT_FALSE(list.query(scene_test::everywhere, true));
}

TEST(qvShapeList, Handles_reach_record_and_list_number_and_go_stale_when_removed) {
    Filled f(3, 7);
    EXPECT_EQ(f.list.size(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_GT(f.h[i], 0);
        EXPECT_EQ(f.list.connect(f.h[i])->user_handle, i);
        EXPECT_EQ(f.list.layer(f.h[i]), 7);
    }
    // create leaves the header's handle to the owner.
    EXPECT_EQ(f.list.connect(f.h[1])->shape_handle, 0);

    std::unique_ptr<qvShapeBase> taken(f.list.connect(f.h[2]));
    f.list.remove(f.h[2]);
    EXPECT_EQ(f.list.connect(f.h[2]), nullptr);
    EXPECT_EQ(f.list.layer(f.h[2]), -1);
    EXPECT_EQ(order(f.list), (Names{1, 3}));
    expect_raises<qvErrorFrom<qvShapeList>>([&] { f.list.remove(f.h[2]); }, not_found);
    for (long stale : {0L, -1L, 1000L, 0x100000000L}) {
        EXPECT_EQ(f.list.connect(stale), nullptr) << stale;
        EXPECT_EQ(f.list.layer(stale), -1) << stale;
    }
}

TEST(qvShapeList, Replace_keeps_handle_and_place_and_frees_nothing) {
    Filled f(3);
    qvShapeBase* const old = f.list.connect(f.h[2]);
    f.list.replace(f.h[2], record_named(20));
    EXPECT_EQ(order(f.list), (Names{1, 20, 3}));
    delete old;   // still the caller's
    EXPECT_EQ(f.list.connect(f.h[2])->user_handle, 20);
}

TEST(qvShapeList, Lists_of_one_table_share_its_handles_and_never_take_each_others) {
    qvShapeNodeTable table;
    qvShapeList a(table, 0), b(table, 1);
    const long x = a.create(record_named(1));
    const long y = b.create(record_named(2));
    b.create(record_named(3));
    EXPECT_NE(x, y);
    EXPECT_EQ(b.connect(x)->user_handle, 1);   // the table answers for every list
    EXPECT_EQ(b.layer(x), 0);
    expect_raises<qvErrorFrom<qvShapeList>>([&] { b.remove(x); }, not_found);
    expect_raises<qvErrorFrom<qvShapeList>>([&] { b.place(y, qvOrderBefore, x); }, not_found);
    expect_raises<qvErrorFrom<qvShapeList>>([&] { b.moveto(x, a); }, not_found);
    EXPECT_EQ(a.size(), 1);
    EXPECT_EQ(order(b), (Names{2, 3}));
}

TEST(qvShapeNodeTable, Slot_zero_is_never_issued_and_freed_slots_come_back) {
    qvShapeNodeTable table;
    qvShapeBase record;
    const std::int32_t first = table.issue(&record, 0, 40);
    const std::int32_t second = table.issue(&record, 0, 40);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    table.release(first);
    EXPECT_FALSE(table.live(first));
    EXPECT_EQ(table.live_count(), 1u);
    EXPECT_EQ(table.issue(&record, 4, 40), first);
    EXPECT_EQ(table.list(first), 4);
    EXPECT_FALSE(table.live(0));
}

TEST(qvShapeNodeTable, Room_for_handles_beyond_32_bits_is_refused_before_allocating) {
    qvShapeNodeTable table;
    expect_raises<qvErrorFrom<long>>([&] { table.reserve(std::size_t{0x7FFFFFFF} + 1); },
                                     "Value does not fit a 32-bit field");
    qvShapeBase record;
    EXPECT_EQ(table.issue(&record, 0, 40), 1);
}

// ---------------------------------------------------------------------------
// Z-order

TEST(qvShapeList, Every_placement_code_from_A_B_C_D) {
    struct Case {
        int moved;
        int code;
        int other;   // 0: none
        Names expected;
    };
    const Case cases[] = {
        {2, 3, 0, {1, 3, 2, 4}},  {3, 4, 0, {1, 3, 2, 4}},  {1, 5, 0, {2, 3, 4, 1}},  {4, 6, 0, {4, 1, 2, 3}},
        {1, 0, 3, {2, 1, 3, 4}},  {1, 2, 3, {2, 1, 3, 4}},  {1, 1, 4, {2, 3, 4, 1}},  {4, 1, 1, {1, 4, 2, 3}},
        {1, 7, 3, {2, 1, 3, 4}},  {1, 7, 0, {2, 3, 4, 1}},  {2, -1, 1, {2, 1, 3, 4}}, {3, 0, 3, {1, 2, 3, 4}},
        {3, 1, 3, {1, 2, 3, 4}},  {4, 5, 0, {1, 2, 3, 4}},  {1, 6, 0, {1, 2, 3, 4}},  {4, 3, 0, {1, 2, 3, 4}},
        {1, 4, 0, {1, 2, 3, 4}},  {2, 1, 1, {1, 2, 3, 4}},  {2, 0, 3, {1, 2, 3, 4}},  {4, 4, 0, {1, 2, 4, 3}},
    };
    for (Case const& c : cases) {
        Filled f(4);
        f.list.place(f.h[c.moved], static_cast<qvOrder>(c.code), c.other != 0 ? f.h[c.other] : 0);
        EXPECT_EQ(order(f.list), c.expected) << "move " << c.moved << " code " << c.code << " other " << c.other;
        EXPECT_EQ(f.list.size(), 4);
        // The handle stays with its record.
        EXPECT_EQ(f.list.connect(f.h[c.moved])->user_handle, c.moved);
    }
}

TEST(qvShapeList, Relative_placement_needs_a_second_handle_only_when_there_are_two_records) {
    Filled one(1);
    one.list.place(one.h[1], qvOrderBefore, 0);
    EXPECT_EQ(order(one.list), (Names{1}));

    Filled two(2);
    for (qvOrder code : {qvOrderBefore, qvOrderAfter, qvOrderBeforeToo})
        expect_raises<qvErrorFrom<qvShapeList>>([&] { two.list.place(two.h[2], code, 0); },
                                                "Relative positioning requires the second handle");
    EXPECT_EQ(order(two.list), (Names{1, 2}));
    expect_raises<qvErrorFrom<qvShapeList>>([&] { two.list.place(two.h[2], qvOrderBefore, 99); }, not_found);
    expect_raises<qvErrorFrom<qvShapeList>>([&] { two.list.place(99, qvOrderLast, 0); }, not_found);
    EXPECT_EQ(order(two.list), (Names{1, 2}));
}

TEST(qvShapeList, Moving_puts_a_record_first_in_its_target_and_carries_the_target_number) {
    qvShapeNodeTable table;
    qvShapeList from(table, 0), to(table, 5);
    const long moved = from.create(record_named(9));
    from.create(record_named(8));
    to.create(record_named(1));
    to.create(record_named(2));
    from.moveto(moved, to);
    EXPECT_EQ(order(to), (Names{9, 1, 2}));
    EXPECT_EQ(order(from), (Names{8}));
    EXPECT_EQ(to.layer(moved), 5);
    EXPECT_EQ(from.size(), 1);
    EXPECT_EQ(to.size(), 3);

    const long last = to.create(record_named(3));
    to.moveto(last, to);
    EXPECT_EQ(order(to), (Names{3, 9, 1, 2}));
    to.moveto(last, to);
    EXPECT_EQ(order(to), (Names{3, 9, 1, 2}));
}

// Placement against a plain vector, over random lists and codes.
TEST(qvShapeListProperty, Placement_agrees_with_a_vector_model) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        const int n = 1 + static_cast<int>(rng() % 6);
        Filled f(n);
        Names model;
        for (int i = 1; i <= n; ++i)
            model.push_back(i);
        for (int step = 0; step < 6; ++step) {
            const int moved = 1 + static_cast<int>(rng() % n);
            const int code = static_cast<int>(rng() % 9) - 1;
            const int other = 1 + static_cast<int>(rng() % n);
            f.list.place(f.h[moved], static_cast<qvOrder>(code), f.h[other]);
            if (n >= 2) {
                auto at = [&](int name) { return std::find(model.begin(), model.end(), name) - model.begin(); };
                const long p = at(moved);
                long target = -1;   // index in the model without `moved`
                Names rest = model;
                rest.erase(rest.begin() + p);
                auto rest_at = [&](int name) { return std::find(rest.begin(), rest.end(), name) - rest.begin(); };
                switch (code) {
                case 0: case 2: target = moved == other ? p : rest_at(other); break;
                case 1: target = moved == other ? p : rest_at(other) + 1; break;
                case 3: target = std::min<long>(p + 1, static_cast<long>(rest.size())); break;
                case 4: target = std::max<long>(p - 1, 0); break;
                case 5: target = static_cast<long>(rest.size()); break;
                case 6: target = 0; break;
                default: target = moved == other ? p : rest_at(other); break;
                }
                rest.insert(rest.begin() + target, moved);
                model = rest;
            }
            ASSERT_EQ(order(f.list), model) << "round " << round << " step " << step;
        }
    }
}

// ---------------------------------------------------------------------------
// Queries

TEST(qvShapeList, Queries_find_boxes_that_overlap_strictly_in_both_directions) {
    qvShapeList list(0);
    list.create(record_named(1, {0, 0, 10, 10}));
    list.create(record_named(2, {5, 5, 6, 6}));
    list.create(record_named(3, {0, 0, 1, 1}));
    EXPECT_EQ(found(list, scene_test::everywhere, false), (Names{1, 2, 3}));
    EXPECT_EQ(found(list, scene_test::everywhere, true), (Names{3, 2, 1}));
    for (bool reverse : {false, true}) {
        EXPECT_EQ(found(list, {10, 0, 20, 10}, reverse), Names{}) << reverse;   // touching edge
        EXPECT_EQ(found(list, {9.5, 0, 20, 10}, reverse), (Names{1})) << reverse;
        EXPECT_EQ(found(list, {1, 1, 5, 5}, reverse), (Names{1})) << reverse;   // corner of 2, edge of 3
    }
    EXPECT_EQ(found(list, {0.5, 0.5, 5.5, 5.5}, true), (Names{3, 2, 1}));
}

TEST(qvShapeList, A_new_header_box_is_met_only_by_areas_around_the_unit_square) {
    qvShapeList list(0);
    list.create(qvNewShapeRecord(48));   // box (1, 1, 0, 0)
    const double edges[] = {-1, 0, 0.5, 1, 2};
    for (double x1 : edges)
        for (double x2 : edges)
            for (double y1 : edges)
                for (double y2 : edges) {
                    if (x1 > x2 || y1 > y2) continue;
                    const bool expected = x1 < 0 && x2 > 1 && y1 < 0 && y2 > 1;
                    EXPECT_EQ(found(list, {x1, y1, x2, y2}, false).size(), expected ? 1u : 0u)
                        << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2;
                }
}

TEST(qvShapeList, Areas_are_compared_as_floats_and_NaN_meets_nothing) {
    qvShapeList list(0);
    list.create(record_named(1, {0, 0, 1, 1}));
    // 1 + 2^-30 rounds to the float 1: the area only touches the box.
    const double just_above = 1.0 + std::ldexp(1.0, -30);
    EXPECT_EQ(found(list, {just_above, 0, 2, 1}, false), Names{});
    EXPECT_EQ(found(list, {1.0 - std::ldexp(1.0, -30), -1, 2, 2}, false), Names{});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(found(list, {nan, -1, 2, 2}, false), Names{});
    list.create(record_named(2, {std::numeric_limits<float>::quiet_NaN(), 0, 1, 1}));
    EXPECT_EQ(found(list, scene_test::everywhere, true), (Names{1}));
}

// ---------------------------------------------------------------------------
// Resizing

TEST(qvShapeList, Resizing_keeps_handle_header_and_place_and_zeroes_what_is_gained) {
    Filled f(3);
    qvShapeBase* record = f.list.connect(f.h[2]);
    record->attribute_handle = 6;
    std::memset(reinterpret_cast<char*>(record) + 40, 0x5A, 8);
    EXPECT_EQ(f.list.resize(f.h[2], 48), record);   // same size: the record itself

    record = f.list.resize(f.h[2], 40);   // shrinking keeps the block
    record = f.list.resize(f.h[2], 64);
    EXPECT_EQ(record->size, 64);
    EXPECT_EQ(record->user_handle, 2);
    EXPECT_EQ(record->attribute_handle, 6);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(record) + 40, 24), std::string(24, '\0'));
    EXPECT_EQ(f.list.connect(f.h[2]), record);
    EXPECT_EQ(order(f.list), (Names{1, 2, 3}));

    // A record grown a little at a time keeps its block for most steps.
    int moves = 0;
    for (int size = 72; size <= 8000; size += 16) {
        qvShapeBase* const grown = f.list.resize(f.h[2], size);
        moves += grown != record;
        record = grown;
        ASSERT_EQ(reinterpret_cast<unsigned char*>(record)[size - 1], 0) << size;
    }
    EXPECT_LT(moves, 16);
    EXPECT_EQ(record->user_handle, 2);
}

// ---------------------------------------------------------------------------
// Streams

TEST(qvShapeList, A_saved_list_loads_after_the_records_already_there_with_new_handles) {
    Filled source(2);
    source.list.connect(source.h[1])->shape_handle = static_cast<std::int32_t>(source.h[1]);
    const std::string bytes = scene_test::saved(source.list);
    ASSERT_EQ(bytes.size(), 4u + 48 + 48);
    EXPECT_EQ(bytes.substr(0, 4), i32(2));
    EXPECT_EQ(bytes.substr(4, 48), scene_test::bytes_of(*source.list.connect(source.h[1])));

    Filled target(1);
    scene_test::load(target.list, bytes);
    EXPECT_EQ(order(target.list), (Names{1, 1, 2}));
    auto it = target.list.enumerate();
    ++it;
    for (int i = 1; i <= 2; ++i, ++it) {
        EXPECT_EQ(target.list.connect(it->shape_handle), &*it);   // its own new handle
        EXPECT_EQ(scene_test::without_handle(scene_test::bytes_of(*it)),
                  scene_test::without_handle(scene_test::bytes_of(*source.list.connect(source.h[i]))));
    }

    qvShapeList empty(0);
    EXPECT_EQ(scene_test::saved(empty), i32(0));
    scene_test::load(empty, i32(0));
    scene_test::load(empty, i32(-5));
    EXPECT_EQ(empty.size(), 0);
}

TEST(qvShapeList, A_failed_load_appends_nothing) {
    Filled source(2);
    const std::string bytes = scene_test::saved(source.list);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        Filled target(1);
        expect_raises<qvErrorFrom<qvInputStream>>([&] { scene_test::load(target.list, bytes.substr(0, cut)); },
                                                  "Incomplete data on input");
        EXPECT_EQ(order(target.list), (Names{1})) << cut;
    }

    Filled target(1);
    expect_raises<qvErrorFrom<qvInputStream>>(
        [&] { scene_test::load(target.list, i32(0x7FFFFFFF) + bytes.substr(4, 48)); }, "Incomplete data on input");
    std::string malformed = bytes;
    malformed[4 + 48 + 12] = 15;   // the second record claims the arc class, 8 bytes short of it
    expect_raises<qvErrorFrom<qvInputStream>>([&] { scene_test::load(target.list, malformed); },
                                              "Invalid shape record on input");
    EXPECT_EQ(order(target.list), (Names{1}));
}
