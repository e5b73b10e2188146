// Grid regions: exact enumerations (bands bottom to top), the cached box and
// simple flag; region handles, each owning one grid region; and a property
// test running grid, list and handle side by side against a cell bitmap.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegion.hpp>

#include <gtest/gtest.h>

#include <cfloat>
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
    const struct { Rects added, cut, expected; qvTestRect box; bool simple; } rows[] = {
        {{{0, 0, 10, 10}}, {}, {{0, 0, 10, 10}}, {0, 0, 10, 10}, true},
        {{{0, 0, 10, 10}, {20, 0, 30, 10}}, {}, {{0, 0, 10, 10}, {20, 0, 30, 10}}, {0, 0, 30, 10}, false},
        {{{0, 0, 10, 10}}, {{4, 4, 6, 6}}, {{0, 0, 10, 4}, {0, 4, 4, 6}, {6, 4, 10, 6}, {0, 6, 10, 10}},
         {0, 0, 10, 10}, false},
        {{{0, 0, 10, 10}}, {{10, 0, 20, 10}, {0, 10, 10, 20}, {5, 0, 5, 10}}, {{0, 0, 10, 10}}, {0, 0, 10, 10}, true},
        {{{0, 0, 10, 5}, {0, 5, 5, 10}}, {}, {{0, 0, 10, 5}, {0, 5, 5, 10}}, {0, 0, 10, 10}, false},
        {{{-kInf, -DBL_MAX, kInf, DBL_MAX}}, {{0, 0, kInf, kInf}}, {{-kInf, -DBL_MAX, kInf, 0}, {-kInf, 0, 0, DBL_MAX}},
         {-kInf, -DBL_MAX, kInf, DBL_MAX}, false},
    };
    for (auto const& row : rows) {
        qvGridRegion region = grid_of(row.added);
        for (qvTestRect const& r : row.cut) region.subtract(r);
        SCOPED_TRACE(qvTextOf(region));
        EXPECT_EQ(qvRectsOf(region), row.expected);
        EXPECT_EQ(region.bbox(), row.box);
        EXPECT_EQ(region.simple(), row.simple);
        EXPECT_EQ(region == row.box, row.simple);
        EXPECT_TRUE(region > row.expected.front());
    }
    EXPECT_EQ(qvTextOf(grid_of({{0, 0, 10, 5}, {0, 5, 5, 10}})), "{region (0,0,10,10):\n\t(0,0,10,5)\n\t(0,5,5,10)\n}");
    EXPECT_EQ(qvTextOf(qvGridRegion()), "{region is empty}");
    qvGridRegion holed(qvTestRect(0, 0, 10, 10));
    qvListRegion list(qvTestRect(0, 0, 10, 10));
    holed.subtract({4, 4, 6, 6}), list.subtract({4, 4, 6, 6});
    EXPECT_TRUE(holed == list && list == holed);
    const qvGridRegion one(qvTestRect(0, 0, 10, 10));
    EXPECT_FALSE(one == qvTestRect(0, 0, 10, 11) || one == qvTestRect(-1, 0, 10, 10));
}

TEST(qvGridRegion, Empty_regions_have_the_empty_box_and_a_new_one_is_not_simple_until_it_changes) {
    qvGridRegion cut = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}}), point(qvTestRect(0, 0, 10, 10));
    cut.intersect({40, 40, 50, 50}), point = qvCrdOf<double>(3, 4);
    qvGridRegion line(qvTestRect(0, 0, 0, 10)), inverted(qvRawRect(5, 5, 1, 1)), dot(qvTestRect(3, 4, 3, 4)),
        nan_rect(qvTestRect(kNaN, 0, 1, 1));
    for (qvGridRegion const* region : {&cut, &point, &line, &inverted, &dot, &nan_rect}) {
        EXPECT_TRUE(region->empty() && region->simple() && qvRectsOf(*region).empty());
        EXPECT_EQ(region->bbox(), empty_box);
        EXPECT_TRUE(*region == empty_box && *region == qvRawRect(5, 5, 1, 1) && *region != qvTestRect(0, 0, 0, 0));
    }
    EXPECT_FALSE(qvGridRegion(qvTestRect(0, 0, 1, 1)) == qvRawRect(5, 5, 1, 1));
    qvGridRegion fresh;
    EXPECT_TRUE(fresh.empty() && qvRectsOf(fresh).empty());
    fresh.add(qvRawRect(5, 5, 1, 1)).add({kNaN, 0, 1, 1}).add({0, 0, 0, 10});
    EXPECT_FALSE(fresh.simple() || qvGridRegion(fresh).simple());  // a copy keeps the flag
    qvGridRegion assigned(qvTestRect(0, 0, 1, 1));
    assigned = static_cast<qvBaseRegion const&>(fresh);  // and so does assignment from a grid region
    EXPECT_TRUE(assigned.empty() && !assigned.simple());
    EXPECT_TRUE(fresh.erase().simple());
}

TEST(qvGridRegion, Union_into_an_empty_region_takes_the_box_of_the_others_area) {
    const qvGridRegion other = grid_of({{100, 100, 150, 200}, {160, 100, 200, 200}});
    qvGridRegion fresh, cut_away = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    cut_away.subtract({0, 0, 30, 10});
    for (qvGridRegion* r : {&fresh, &cut_away}) {
        *r += other;
        EXPECT_EQ(r->bbox(), qvTestRect(100, 100, 200, 200));
        EXPECT_TRUE(*r == grid_of({{100, 100, 150, 200}, {160, 100, 200, 200}}));
    }
    qvGridRegion region;
    qvListRegion list(qvTestRect(0, 0, 10, 10));
    list.add({50, 50, 50, 60});  // a line: no area, but inside the list's box
    region += list;
    EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 10, 10));
    EXPECT_TRUE(region.simple() && qvGridRegion(list) == qvTestRect(0, 0, 10, 10));
}

TEST(qvGridRegion, Translation_maps_bands_directly_as_the_generic_road_does) {
    // Scale 0 leaves no area; an infinite scale sends bands not straddling 0
    // to zero height at +-inf; NaN drops everything. Above 2^53 doubles are
    // 2 apart, so 1 and 5 round to 0 and 4: bands vanish or merge.
    constexpr double far = 9007199254740992.0;
    const Rects base = {{-2, -2, -1, -1}, {1, 1, 2, 2}, {0, 3, 1, 4}};
    const Rects bands = {{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 1, 3, 2}, {4, 5, 40, 6}, {0, 6, 1, 7}};
    const struct { Rects start; qvRestrictedTransformation rt; Rects expected; } rows[] = {
        {{{0, 0, 10, 5}, {0, 5, 5, 10}}, {2, -1, 5, 5}, {{5, -5, 15, 0}, {5, 0, 25, 5}}},
        {base, {0, 1, 0, 0}, {}}, {base, {1, kInf, 0, 0}, {}}, {base, {kNaN, 1, 0, 0}, {}},
        {{{-1, -1, 1, 1}}, {kInf, 1, 0, 0}, {{-kInf, -1, kInf, 1}}},
        {bands, {1, 1, far, far}, {{far, far, far + 4, far + 2}, {far + 4, far + 4, far + 40, far + 6}}},
    };
    for (auto const& row : rows) {
        qvGridRegion direct = grid_of(row.start), generic = direct;
        direct.translate(row.rt), generic.qvGenericRegion::translate(row.rt);
        SCOPED_TRACE(qvTextOf(direct));
        EXPECT_EQ(qvRectsOf(direct), row.expected);
        expect_same_state(direct, generic);
        EXPECT_EQ(direct.bbox(), qvTestVectorRegion(row.expected).bbox());
    }
}

TEST(qvGridRegion, Void_input_and_points_never_change_the_area_but_void_intersections_erase) {
    for (qvTestRect const& r : {qvTestRect(kNaN, 0, 20, 10), qvTestRect(0, 0, kNaN, 10), qvRawRect(20, 0, 15, 10),
                                qvRawRect(8, 8, 2, 2)}) {
        qvGridRegion region(qvTestRect(0, 0, 10, 10));
        region.add(r).subtract(r);
        region += qvCrdOf<double>(20, 20), region -= qvCrdOf<double>(5, 5), region -= qvCrdOf<double>(kNaN, 1);
        EXPECT_TRUE(region == qvTestRect(0, 0, 10, 10)) << r;
        region *= r;
        EXPECT_EQ(region.bbox(), empty_box) << r;
    }
}

// Operations with the region itself are in the property test's self step.
TEST(qvGridRegion, Its_own_box_as_argument_is_read_before_the_change) {
    qvGridRegion boxed = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    boxed.subtract({0, 0, 5, 10});  // leaves the cache stale
    boxed *= boxed.bbox();
    EXPECT_EQ(qvRectsOf(boxed), (Rects{{5, 0, 10, 10}, {20, 0, 30, 10}}));
    EXPECT_TRUE((boxed += boxed.bbox()) == qvTestRect(5, 0, 30, 10));
    EXPECT_TRUE((boxed -= boxed.bbox()).empty());
    boxed.add({1, 1, 2, 2});
    EXPECT_TRUE((boxed = boxed.bbox()) == qvTestRect(1, 1, 2, 2));
}

TEST(qvGridRegion, Moves_take_the_content_and_a_copied_iterator_walks_on_from_its_position) {
    qvGridRegion source = grid_of({{0, 0, 10, 5}, {0, 5, 5, 10}});
    qvGridRegion target(std::move(source));
    EXPECT_EQ(qvRectsOf(target), (Rects{{0, 0, 10, 5}, {0, 5, 5, 10}}));
    // NOLINTNEXTLINE(bugprone-use-after-move): a move leaves the source erased
    EXPECT_TRUE(source.empty() && source.simple() && source.bbox() == empty_box);
    source.add({1, 1, 2, 2});
    target = std::move(source);
    EXPECT_TRUE(target == qvTestRect(1, 1, 2, 2) && source.empty());  // NOLINT(bugprone-use-after-move)
    const qvGridRegion region = grid_of({{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 2, 1, 3}});
    qvGridRegionInternalIterator it(region);
    it.next();
    qvGridRegionInternalIterator copy = it;
    Rects walked;
    for (; !copy.at_end(); copy.next()) walked.push_back(*copy.get());
    EXPECT_EQ(walked, (Rects{{2, 0, 3, 1}, {0, 2, 1, 3}}));
    EXPECT_EQ(*it.get(), qvTestRect(2, 0, 3, 1));
}

// An implicit conversion to a pointer would let `delete handle` compile.
static_assert(!std::is_convertible_v<qvRegion&, qvBaseRegion*>);
static_assert(std::is_constructible_v<qvBaseRegion*, qvRegion&>);

TEST(qvRegion, Every_constructor_and_static_create_makes_a_grid_region) {
    qvListRegion list(qvTestRect(0, 0, 10, 5));
    list.add({0, 5, 5, 10});
    qvRegion none, rect(qvTestRect(0, 0, 10, 10)), point(qvCrdOf<double>(3, 4)), from_list(list);
    for (qvRegion* h : {&none, &rect, &point, &from_list}) {
        EXPECT_EQ(h->query_interface(qvGridRegionIdentity()), &h->object());
        EXPECT_EQ(h->query_interface(qvListRegionIdentity()), nullptr);
        EXPECT_EQ(h->query_interface(qvRectRegionIdentity()), nullptr);
        EXPECT_EQ(static_cast<qvBaseRegion*>(*h), &h->object());
    }
    EXPECT_TRUE(rect == qvTestRect(0, 0, 10, 10) && from_list == list);
    EXPECT_TRUE(point.empty() && point.bbox() == qvTestRect::make_empty());
    EXPECT_EQ(qvRectsOf(from_list), (qvTestRects{{0, 0, 10, 5}, {0, 5, 5, 10}}));
    using Owned = std::unique_ptr<qvBaseRegion>;
    const Owned made[] = {Owned(qvRegion::static_create()), Owned(qvRegion::static_create(qvTestRect(0, 0, 1, 1))),
                          Owned(qvRegion::static_create(qvCrdOf<double>(3, 4))),
                          Owned(qvRegion::static_create(l_shape())), Owned(rect.clone()), Owned(rect.create())};
    for (auto const& region : made) EXPECT_NE(region->query_interface(qvGridRegionIdentity()), nullptr);
    EXPECT_TRUE(made[0]->empty() && made[2]->empty() && made[5]->empty());
    EXPECT_TRUE(*made[1] == qvTestRect(0, 0, 1, 1) && *made[3] == l_shape() && *made[4] == rect);
}

TEST(qvRegion, Copies_are_independent_and_the_implementation_keeps_its_address) {
    const qvRegion original = l_shape();
    qvRegion copy(original), assigned;
    EXPECT_NE(&copy.object(), &original.object());
    copy -= qvTestRect(0, 0, 10, 10), assigned = original, assigned += qvTestRect(20, 20, 30, 30);
    EXPECT_TRUE(copy.empty() && original == l_shape());
    qvRegion handle;
    qvBaseRegion* const impl = &handle.object();
    EXPECT_EQ(&(handle = l_shape()), &handle);  // move assignment returns the handle
    EXPECT_TRUE(handle == l_shape());
    const qvRegion other(qvTestRect(1, 1, 2, 2));
    EXPECT_EQ(&(handle = other), &handle);
    EXPECT_EQ(&(handle = qvTestRect(3, 3, 4, 4)), &handle);
    EXPECT_EQ(&(handle = qvCrdOf<double>(0, 0)), &handle);
    EXPECT_EQ(&(handle = static_cast<qvBaseRegion const&>(other)), &handle);
    EXPECT_EQ(&handle.object(), impl);
    EXPECT_EQ(&(handle += qvTestRect(0, 0, 1, 1)), impl);  // other operations return the implementation
    EXPECT_EQ(&handle.translate(qvRestrictedTransformation()), impl);
    qvRegion moved(std::move(handle));
    EXPECT_EQ(qvRectsOf(moved), (qvTestRects{{0, 0, 1, 1}, {1, 1, 2, 2}}));
    EXPECT_NE(&moved.object(), impl);
    EXPECT_EQ(&handle.object(), impl);  // the source keeps its own, emptied and usable
    EXPECT_TRUE(handle.empty());
    EXPECT_TRUE((handle += qvTestRect(0, 0, 1, 1)) == qvTestRect(0, 0, 1, 1));
}

TEST(qvRegion, Operations_with_itself_or_through_its_implementation_keep_or_empty_the_region) {
    qvRegion handle = l_shape();
    handle = static_cast<qvGridRegion const&>(handle.object());
    handle += handle, handle *= handle, handle = static_cast<qvRegion const&>(handle);
    handle = static_cast<qvBaseRegion const&>(handle), handle = std::move(static_cast<qvRegion&>(handle));
    handle.object() += handle, handle.object() *= handle;  // the implementation handed its own handle
    EXPECT_TRUE(handle == l_shape());
    qvBaseRegion const& self = handle;  // spelled `handle -= handle`, clang warns
    EXPECT_TRUE((handle -= self).empty() && handle.bbox() == qvTestRect::make_empty());
}

TEST(qvRegion, Forwards_queries_comparisons_and_the_new_region_quirk) {
    // The property test compares handles with grid and list regions and probes < and >.
    const qvRegion handle = l_shape(), square(qvTestRect(0, 0, 10, 10));
    EXPECT_EQ(qvTextOf(handle), "{region (0,0,10,10):\n\t(0,0,10,5)\n\t(0,5,5,10)\n}");
    EXPECT_TRUE(handle > qvTestRect(0, 0, 5, 10) && square > handle && handle != square);
    qvRegion fresh;
    EXPECT_TRUE(fresh.empty() && !fresh.simple() && !qvRegion(fresh).simple());
    EXPECT_TRUE(fresh.erase().simple());
}

// Random steps applied alike to a grid region, a list region, a handle and
// the oracle; region operands are built as each kind, so every pairing of
// kinds is exercised, and every fast path is checked against the generic
// road it replaces. Steps come in bursts, so stale caches meet the next one.
TEST(qvGridRegionProperty, Grid_list_and_handle_cover_the_oracles_cells_after_every_step) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 rng(20240601 + seed);
        qvGridRegion grid;
        qvListRegion list;
        qvRegion handle;
        grid.erase(), handle.erase();  // past the new-region flag, so simple() is exact
        qvBaseRegion* const regions[3] = {&grid, &list, &handle};
        qvCellOracle oracle;
        for (int round = 0; round < 100 && !HasFailure(); ++round) {
            SCOPED_TRACE(testing::Message() << "round " << round);
            for (int burst = round % 3; burst >= 0; --burst) {
                const int op = int(rng() % 3), pick = int(rng() % 10);
                if (pick < 5) {  // rectangles, additions most often
                    const int rect_op = pick < 3 ? 0 : op;
                    const qvTestRect r = qvRandomLatticeRect(rng);
                    for (qvBaseRegion* region : regions)
                        rect_op == 0 ? region->add(r) : rect_op == 1 ? region->subtract(r) : region->intersect(r);
                    oracle.apply(rect_op, r);
                } else if (pick < 7) {
                    qvListRegion list_operand;
                    for (int i = 2 + int(rng() % 3); i > 0; --i) list_operand.add(qvRandomLatticeRect(rng));
                    const qvGridRegion grid_operand(list_operand);
                    const qvRegion handle_operand(list_operand);
                    qvBaseRegion const* operands[3] = {&grid_operand, &list_operand, &handle_operand};
                    const int shift = 1 + int(rng() % 2);  // each target meets an operand of another kind
                    qvGridRegion generic = grid;  // the generic road walks the operand rectangle by rectangle
                    qvBaseRegion const& o = *operands[shift];
                    op == 0 ? generic.qvGenericRegion::operator+=(o)
                            : op == 1 ? generic.qvGenericRegion::operator-=(o) : generic.qvGenericRegion::operator*=(o);
                    for (int kind = 0; kind < 3; ++kind) {
                        qvBaseRegion& target = *regions[kind];
                        qvBaseRegion const& operand = *operands[(kind + shift) % 3];
                        op == 0 ? target += operand : op == 1 ? target -= operand : target *= operand;
                    }
                    expect_same_state(grid, generic);
                    oracle.apply(op, qvCellOracle::of(list_operand));
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
                        op == 0 ? *region += *region : op == 1 ? *region -= *region : *region *= *region;
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
            for (qvBaseRegion const* r : {regions[0], regions[2]}) {
                ASSERT_EQ(r->bbox(), oracle.box());
                ASSERT_EQ(r->simple(), oracle.simple());
                ASSERT_EQ(r->empty(), oracle.bits.none());
            }
            qvGridRegion rebuilt(grid);
            rebuilt.normalize();
            ASSERT_EQ(grid.bbox(), rebuilt.bbox());
            ASSERT_EQ(grid.simple(), rebuilt.simple());
            ASSERT_TRUE(grid == list && list == grid && grid == handle && handle == list && !(handle != grid));
        }
    }
}
