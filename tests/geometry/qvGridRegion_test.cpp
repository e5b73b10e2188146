// Grid regions: exact enumerations (bands bottom to top), the cached box and
// simple flag; region handles, each owning one grid region; and a property
// test running grid, list and handle side by side against a cell bitmap.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegion.hpp>

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

#include "qvRegionTestSupport.hpp"

namespace {

using Rects = qvTestRects;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const qvTestRect empty_box = qvTestRect::make_empty();

qvGridRegion grid_of(Rects const& rects) {
    qvGridRegion region;
    for (qvTestRect const& r : rects) region.add(r);
    return region;
}

// A fast path and the generic road it replaces must leave the same state.
void expect_same_state(qvGridRegion const& a, qvGridRegion const& b) {
    EXPECT_EQ(qvRectsOf(a), qvRectsOf(b));
    EXPECT_EQ(a.bbox(), b.bbox());
    EXPECT_EQ(a.simple(), b.simple());
}

qvRegion l_shape() { return qvRegion(grid_of({{0, 0, 10, 5}, {0, 5, 5, 10}})); }

}  // namespace

TEST(qvGridRegion, Enumerates_bands_bottom_to_top_with_box_and_simple_flag) {
    const struct { Rects added, cut, expected; bool simple; } rows[] = {
        {{{0, 0, 10, 10}}, {{4, 4, 6, 6}}, {{0, 0, 10, 4}, {0, 4, 4, 6}, {6, 4, 10, 6}, {0, 6, 10, 10}}, false},
        {{{0, 0, 10, 10}}, {{10, 0, 20, 10}, {5, 0, 5, 10}}, {{0, 0, 10, 10}}, true},
    };
    for (auto const& row : rows) {
        qvGridRegion region = grid_of(row.added);
        for (qvTestRect const& r : row.cut) region.subtract(r);
        SCOPED_TRACE(qvTextOf(region));
        EXPECT_EQ(qvRectsOf(region), row.expected);
        EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 10, 10));
        EXPECT_EQ(region.simple(), row.simple);
    }
}

TEST(qvGridRegion, Union_into_an_empty_region_takes_the_box_of_the_others_area) {
    qvGridRegion region;
    qvListRegion list(qvTestRect(0, 0, 10, 10));
    list.add({50, 50, 50, 60});  // a line: no area, but inside the list's box
    region += list;
    EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 10, 10));
}

TEST(qvGridRegion, Translation_maps_bands_directly_as_the_generic_road_does) {
    // Scale 0 leaves no area; an infinite scale sends bands not straddling 0
    // to zero height at +-inf; NaN drops everything. Above 2^53 doubles are
    // 2 apart, so 1 and 5 round to 0 and 4: bands vanish or merge. A plain
    // move rounds the same way: 0.3 and 0.1 + 0.2 (one step of a double
    // apart) become one value near 1e16 (2 apart) or 1e15 (1/8 apart), so a
    // gap that thin closes, in a strip or between two bands, and two
    // rectangles become one (by -0.25 both differences are exact and the
    // gap stays). Moves by NaN or an infinity leave no area; an
    // overflowing move reaches infinity.
    constexpr double far = 9007199254740992.0;
    const double thin = 0.1 + 0.2;
    const Rects base = {{-2, -2, -1, -1}, {1, 1, 2, 2}, {0, 3, 1, 4}};
    const Rects bands = {{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 1, 3, 2}, {4, 5, 40, 6}, {0, 6, 1, 7}};
    const struct { Rects start; qvRestrictedTransformation rt; Rects expected; } rows[] = {
        {{{0, 0, 10, 5}, {0, 5, 5, 10}}, {2, -1, 5, 5}, {{5, -5, 15, 0}, {5, 0, 25, 5}}},
        {base, {0, 1, 0, 0}, {}}, {base, {1, kInf, 0, 0}, {}}, {base, {kNaN, 1, 0, 0}, {}},
        {{{-1, -1, 1, 1}}, {kInf, 1, 0, 0}, {{-kInf, -1, kInf, 1}}},
        {bands, {1, 1, far, far}, {{far, far, far + 4, far + 2}, {far + 4, far + 4, far + 40, far + 6}}},
        {{{-8, 0, 0.3, 1}, {thin, 0, 8, 1}}, {1, 1, 1e16, 0}, {{1e16 - 8, 0, 1e16 + 8, 1}}},
        {{{-8, 0, 8, 0.3}, {-8, thin, 8, 1}}, {1, 1, 0, 1e15}, {{-8, 1e15, 8, 1e15 + 1}}},
        {{{-8, 0, 8, 0.3}, {-8, thin, 8, 1}}, {1, 1, 0, -0.25}, {{-8, -0.25, 8, 0.3 - 0.25}, {-8, thin - 0.25, 8, 0.75}}},
        {base, {1, 1, kNaN, 0}, {}}, {base, {1, 1, 0, kInf}, {}}, {base, {1, 1, -kInf, -kInf}, {}},
        {{{-1e308, 0, 1.7e308, 1}}, {1, 1, 1e308, 0}, {{0, 0, kInf, 1}}},
    };
    for (auto const& row : rows) {
        qvGridRegion direct = grid_of(row.start), generic = direct;
        direct.translate(row.rt);
        generic.qvGenericRegion::translate(row.rt);
        SCOPED_TRACE(qvTextOf(direct));
        EXPECT_EQ(qvRectsOf(direct), row.expected);
        expect_same_state(direct, generic);
        EXPECT_EQ(direct.bbox(), qvTestVectorRegion(row.expected).bbox());
    }
}

TEST(qvGridRegion, Void_input_never_changes_the_area_but_void_intersections_leave_a_simple_empty_region) {
    for (qvTestRect const& r : {qvTestRect(kNaN, 0, 20, 10), qvRawRect(8, 8, 2, 2), qvTestRect(0, 0, 0, 10)}) {
        qvGridRegion region(qvTestRect(0, 0, 10, 10));
        region.add(r).subtract(r);
        region -= qvCrdOf<double>(kNaN, 1);
        EXPECT_TRUE(region == qvTestRect(0, 0, 10, 10)) << r;
        region *= r;
        EXPECT_EQ(region.bbox(), empty_box) << r;
        EXPECT_TRUE(region.simple()) << r;
    }
}

// Operations with the region itself are in the property test's self step.
TEST(qvGridRegion, Its_own_box_as_argument_is_read_before_the_change) {
    qvGridRegion boxed = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    boxed.subtract({0, 0, 5, 10});  // leaves the cache stale
    boxed *= boxed.bbox();
    EXPECT_EQ(qvRectsOf(boxed), (Rects{{5, 0, 10, 10}, {20, 0, 30, 10}}));
    EXPECT_TRUE((boxed -= boxed.bbox()).empty());
}

// An implicit conversion to a pointer would let `delete handle` compile.
static_assert(!std::is_convertible_v<qvRegion&, qvBaseRegion*>);
static_assert(std::is_constructible_v<qvBaseRegion*, qvRegion&>);

TEST(qvRegion, Every_constructor_makes_a_grid_region_and_a_new_one_is_not_simple) {
    qvListRegion list(qvTestRect(0, 0, 10, 5));
    qvRegion none, point(qvCrdOf<double>(3, 4)), from_list(list);
    for (qvRegion* h : {&none, &point, &from_list}) {
        EXPECT_EQ(h->query_interface(qvGridRegionIdentity()), &h->object());
        EXPECT_EQ(h->query_interface(qvListRegionIdentity()), nullptr);
    }
    EXPECT_TRUE(from_list == list);
    EXPECT_TRUE(point.empty());
    none.add(qvRawRect(5, 5, 1, 1));
    EXPECT_FALSE(none.simple());  // a new region's quirk, kept by copies
    EXPECT_FALSE(qvRegion(none).simple());
    EXPECT_TRUE(none.erase().simple());
    const std::unique_ptr<qvBaseRegion> clone(from_list.clone());
    EXPECT_NE(clone->query_interface(qvGridRegionIdentity()), nullptr);
}

TEST(qvRegion, Copies_are_independent_and_the_implementation_keeps_its_address) {
    const qvRegion original = l_shape();
    qvRegion copy(original);
    copy -= qvTestRect(0, 0, 10, 10);
    EXPECT_TRUE(original == l_shape());
    qvRegion handle;
    qvBaseRegion* const impl = &handle.object();
    EXPECT_EQ(&(handle = l_shape()), &handle);  // move assignment returns the handle
    EXPECT_EQ(&(handle = original), &handle);
    EXPECT_EQ(&handle.object(), impl);
    qvRegion moved(std::move(handle));
    EXPECT_TRUE(moved == l_shape());
    EXPECT_EQ(&handle.object(), impl);  // the source keeps its own, emptied and usable
    EXPECT_TRUE((handle += qvTestRect(0, 0, 1, 1)) == qvTestRect(0, 0, 1, 1));
}

TEST(qvRegion, Operations_with_itself_or_through_its_implementation_keep_or_empty_the_region) {
    // Self steps through the base interface are in the property test.
    qvRegion handle = l_shape();
    handle = static_cast<qvRegion const&>(handle);
    handle.object() += handle;  // the implementation handed its own handle
    handle.object() *= handle;
    EXPECT_TRUE(handle == l_shape());
    handle.object() -= handle;
    EXPECT_TRUE(handle.empty());
}

// Random steps applied alike to a grid region, a list region, a handle and
// the oracle; region operands are built as each kind, so every pairing of
// kinds (list-to-list forms too) is exercised, and every fast path is checked
// against the generic road it replaces. Steps come in bursts, so stale caches meet the next one.
TEST(qvGridRegionProperty, Grid_list_and_handle_cover_the_oracles_cells_after_every_step) {
    const double far_offsets[] = {1e16, -1e16, 3e16, 9007199254740992.0, 4503599627370496.0, 1e17, 0.5, 1e-17,
                                  1e300};
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 rng(20240601 + seed);
        qvGridRegion grid;
        qvListRegion list;
        qvRegion handle;
        grid.erase();  // past the new-region flag, so simple() is exact
        handle.erase();
        qvBaseRegion* const regions[3] = {&grid, &list, &handle};
        qvCellOracle oracle;
        for (int round = 0; round < 80 && !HasFailure(); ++round) {
            SCOPED_TRACE(testing::Message() << "round " << round);
            for (int burst = round % 3; burst >= 0; --burst) {
                const int op = int(rng() % 3), pick = int(rng() % 10);
                if (pick < 5) {  // rectangles, additions most often
                    const int rect_op = pick < 3 ? 0 : op;
                    const qvTestRect r = qvRandomLatticeRect(rng);
                    for (qvBaseRegion* region : regions) qvApplyOp(*region, rect_op, r);
                    oracle.apply(rect_op, r);
                } else if (pick < 7) {
                    qvListRegion list_operand;
                    for (int i = 2 + int(rng() % 3); i > 0; --i) list_operand.add(qvRandomLatticeRect(rng));
                    const qvGridRegion grid_operand(list_operand);
                    const qvRegion handle_operand(list_operand);
                    qvBaseRegion const* operands[3] = {&grid_operand, &list_operand, &handle_operand};
                    const int shift = int(rng() % 3);
                    qvGridRegion generic = grid;  // the generic road walks the operand rectangle by rectangle
                    qvBaseRegion const& o = *operands[shift];
                    op == 0 ? generic.qvGenericRegion::operator+=(o)
                            : op == 1 ? generic.qvGenericRegion::operator-=(o) : generic.qvGenericRegion::operator*=(o);
                    for (int kind = 0; kind < 3; ++kind)
                        qvApplyOp(*regions[kind], op, *operands[(kind + shift) % 3]);
                    expect_same_state(grid, generic);
                    oracle.apply(op, qvCellOracle::of(list_operand));
                } else if (pick == 7 && rng() % 2 == 0) {
                    // A plain move far out, where doubles lie 2 or more apart
                    // and cells meet or vanish, and back: after each leg the
                    // moved grid is the generic road's, so canonical, with
                    // its box and simple flag. (A list region keeps the
                    // images that lost their area; it takes the grid's.)
                    const double far = far_offsets[rng() % std::size(far_offsets)];
                    const qvRestrictedTransformation there(1, 1, far, -far), back(1, 1, -far, far);
                    for (qvRestrictedTransformation const& rt : {there, back}) {
                        qvGridRegion generic = grid;
                        generic.qvGenericRegion::translate(rt);
                        grid.translate(rt);
                        handle.translate(rt);
                        expect_same_state(grid, generic);
                        ASSERT_TRUE(grid == generic && handle == generic);
                    }
                    ASSERT_TRUE(oracle.translate(there, back));
                    if (grid.empty()) {  // as a new region: simple() false until erased
                        grid.erase();
                        handle.erase();
                    }
                    list = static_cast<qvBaseRegion const&>(grid);
                } else if (pick == 7) {
                    const double scales[4] = {1, -1, 2, -2};
                    const qvRestrictedTransformation rt(scales[rng() % 4], scales[rng() % 4], int(rng() % 17) - 8,
                                                        int(rng() % 17) - 8);
                    if (!oracle.translate(rt)) continue;  // would leave the lattice
                    qvGridRegion generic = grid;
                    generic.qvGenericRegion::translate(rt);
                    for (qvBaseRegion* region : regions) region->translate(rt);
                    expect_same_state(grid, generic);
                } else if (pick == 8) {
                    for (qvBaseRegion* region : regions) {
                        qvApplyOp(*region, op, *region);
                        *region = *region;
                    }
                    if (op == 1) oracle = qvCellOracle();
                } else {  // each takes the area of another kind, which came through a third
                    const qvListRegion list_copy(list);
                    const qvRegion handle_copy(grid);
                    qvGridRegion grid_copy;
                    grid_copy = static_cast<qvBaseRegion const&>(handle);
                    grid = static_cast<qvBaseRegion const&>(list_copy);
                    list = static_cast<qvBaseRegion const&>(handle_copy);
                    handle = static_cast<qvBaseRegion const&>(grid_copy);
                }
            }
            const qvTestRect probe = qvRandomLatticeRect(rng);  // first, while caches may be stale
            const qvCellOracle cells = qvCellOracle::of(probe);
            ASSERT_EQ(grid > probe, (cells.bits & ~oracle.bits).none()) << probe;
            ASSERT_EQ(handle < probe, (oracle.bits & ~cells.bits).none()) << probe;
            for (qvBaseRegion const* r : regions) ASSERT_EQ(qvCellOracle::of(*r), oracle);
            ASSERT_EQ(list.bbox(), qvTestVectorRegion(qvRectsOf(list)).bbox());  // the union of its rectangles
            for (qvBaseRegion const* r : {regions[0], regions[2]}) {
                ASSERT_EQ(r->bbox(), oracle.box());
                ASSERT_EQ(r->simple(), oracle.simple());
            }
            qvGridRegion rebuilt(grid);
            rebuilt.normalize();
            ASSERT_EQ(grid.bbox(), rebuilt.bbox());
            ASSERT_EQ(grid.simple(), rebuilt.simple());
            ASSERT_TRUE(grid == list);
            ASSERT_TRUE(list == grid);
            ASSERT_TRUE(handle == list);
        }
    }
}

// A list region of many rectangles (scattered invalidations) is collected in
// batches united pairwise, not one rectangle at a time; every operation with
// such an operand must still give what the generic road gives.
TEST(qvGridRegionProperty, Many_rectangle_list_operands_give_what_the_generic_road_gives) {
    std::mt19937 rng(20261207);
    for (const int count : {15, 16, 17, 33, 200}) {
        SCOPED_TRACE(testing::Message() << count << " rectangles");
        qvListRegion operand;
        for (int i = 0; i < count; ++i) operand.add(qvRandomLatticeRect(rng));
        const qvGridRegion base = grid_of({{-3, -3, 4, 2}, {1, 1, 6, 7}});
        for (int op = 0; op < 3; ++op) {
            qvGridRegion fast = base, generic = base;
            qvApplyOp(fast, op, operand);
            op == 0 ? generic.qvGenericRegion::operator+=(operand)
                    : op == 1 ? generic.qvGenericRegion::operator-=(operand) : generic.qvGenericRegion::operator*=(operand);
            expect_same_state(fast, generic);
        }
    }
}
