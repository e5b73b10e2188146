// Grid regions: exact enumerations (band by band, bottom to top), the cached
// box and simple flag, the roads taken with other regions, and a property
// test that runs grid, list and handle side by side against a cell bitmap.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegion.hpp>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "qvGridRegionTestSupport.hpp"
#include "qvRegionTestSupport.hpp"

namespace {

using Rects = std::vector<qvTestRect>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const qvTestRect empty_box = qvTestRect::make_empty();

qvGridRegion grid_of(Rects const& rects) {
    qvGridRegion region;
    for (qvTestRect const& r : rects) region.add(r);
    return region;
}

// The box and simple flag the region's grid gives when rebuilt from scratch.
struct Cache {
    qvTestRect box;
    bool simple;
};
Cache rebuilt(qvGridRegion const& region) {
    qvGridRegion copy(region);
    copy.normalize();
    return {copy.bbox(), copy.simple()};
}

// Same enumeration, box and simple flag.
void expect_same_state(qvGridRegion const& a, qvGridRegion const& b) {
    EXPECT_EQ(qvRectsOf(a), qvRectsOf(b));
    EXPECT_EQ(a.bbox(), b.bbox());
    EXPECT_EQ(a.simple(), b.simple());
}

}  // namespace

// ---- adding, and the box and simple flag ------------------------------------------

TEST(qvGridRegion, One_rectangle_is_simple_and_equal_to_it) {
    qvGridRegion region;
    region.add({0, 0, 10, 10});
    EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 10, 10));
    EXPECT_TRUE(region.simple());
    EXPECT_TRUE(region == qvTestRect(0, 0, 10, 10));
    EXPECT_EQ(qvRectsOf(region), (Rects{{0, 0, 10, 10}}));
}

TEST(qvGridRegion, Two_disjoint_rectangles_enumerate_left_to_right) {
    const qvGridRegion region = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    EXPECT_FALSE(region.simple());
    EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 30, 10));
    EXPECT_EQ(qvRectsOf(region), (Rects{{0, 0, 10, 10}, {20, 0, 30, 10}}));
}

TEST(qvGridRegion, A_hole_leaves_four_bands_of_pieces_equal_to_the_list_difference) {
    qvGridRegion region(qvTestRect(0, 0, 10, 10));
    region.subtract({4, 4, 6, 6});
    EXPECT_EQ(qvRectsOf(region), (Rects{{0, 0, 10, 4}, {0, 4, 4, 6}, {6, 4, 10, 6}, {0, 6, 10, 10}}));
    EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 10, 10));
    EXPECT_FALSE(region.simple());

    qvListRegion list(qvTestRect(0, 0, 10, 10));
    list.subtract({4, 4, 6, 6});
    EXPECT_TRUE(region == list);
    EXPECT_TRUE(list == region);
}

TEST(qvGridRegion, Touching_or_zero_width_cuts_change_nothing) {
    qvGridRegion region(qvTestRect(0, 0, 10, 10));
    region.subtract({10, 0, 20, 10});
    region.subtract({0, 10, 10, 20});
    region.subtract({5, 0, 5, 10});
    EXPECT_TRUE(region.simple());
    EXPECT_TRUE(region == qvTestRect(0, 0, 10, 10));
    EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 10, 10));
}

TEST(qvGridRegion, Intersecting_with_a_disjoint_rectangle_erases) {
    qvGridRegion region = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    region.intersect({40, 40, 50, 50});
    EXPECT_TRUE(region.empty());
    EXPECT_EQ(region.bbox(), empty_box);
    EXPECT_TRUE(region.simple());
}

TEST(qvGridRegion, An_empty_region_equals_only_void_rectangles) {
    qvGridRegion region;
    EXPECT_TRUE(region == empty_box);
    EXPECT_TRUE(region == qvRawRect(5, 5, 1, 1));
    EXPECT_FALSE(region == qvTestRect(0, 0, 0, 0));
    EXPECT_TRUE(region != qvTestRect(0, 0, 0, 0));
    EXPECT_FALSE(qvGridRegion(qvTestRect(0, 0, 1, 1)) == qvRawRect(5, 5, 1, 1));
}

TEST(qvGridRegion, Equality_with_a_rectangle_needs_exactly_that_rectangle) {
    const qvGridRegion region = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    EXPECT_FALSE(region == qvTestRect(0, 0, 30, 10));
    const qvGridRegion one(qvTestRect(0, 0, 10, 10));
    EXPECT_FALSE(one == qvTestRect(0, 0, 10, 11));
    EXPECT_FALSE(one == qvTestRect(-1, 0, 10, 10));
}

TEST(qvGridRegion, A_new_region_is_empty_and_not_simple_until_it_changes) {
    qvGridRegion region;
    EXPECT_TRUE(region.empty());
    EXPECT_FALSE(region.simple());
    EXPECT_TRUE(qvRectsOf(region).empty());
    region.add(qvRawRect(5, 5, 1, 1));
    region.add({kNaN, 0, 1, 1});
    region.add({0, 0, 0, 10});
    EXPECT_FALSE(region.simple());
    EXPECT_FALSE(qvGridRegion(region).simple());  // a copy keeps it
    region.erase();
    EXPECT_TRUE(region.simple());
    EXPECT_TRUE(qvRectsOf(region).empty());
}

TEST(qvGridRegion, Rectangles_without_area_make_an_empty_simple_region) {
    for (qvTestRect const& r : {qvTestRect(0, 0, 0, 10), qvRawRect(5, 5, 1, 1), qvTestRect(3, 4, 3, 4),
                                qvTestRect(kNaN, 0, 1, 1)}) {
        const qvGridRegion region(r);
        EXPECT_TRUE(region.empty()) << r;
        EXPECT_EQ(region.bbox(), empty_box) << r;
        EXPECT_TRUE(region.simple()) << r;
        EXPECT_TRUE(qvRectsOf(region).empty()) << r;
    }
}

TEST(qvGridRegion, Union_into_an_empty_region_takes_the_others_box) {
    const qvGridRegion other = grid_of({{100, 100, 150, 200}, {160, 100, 200, 200}});
    qvGridRegion region;
    region += other;
    EXPECT_EQ(region.bbox(), qvTestRect(100, 100, 200, 200));
    EXPECT_TRUE(region == grid_of({{100, 100, 150, 200}, {160, 100, 200, 200}}));

    qvGridRegion erased;
    erased.erase();
    erased += other;
    EXPECT_EQ(erased.bbox(), qvTestRect(100, 100, 200, 200));

    qvGridRegion cut_away = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    cut_away.subtract({0, 0, 10, 10});
    cut_away.subtract({20, 0, 30, 10});
    cut_away += other;
    EXPECT_EQ(cut_away.bbox(), qvTestRect(100, 100, 200, 200));
}

// ---- text form and translation --------------------------------------------------------

TEST(qvGridRegion, An_L_shape_prints_one_rectangle_per_band) {
    const qvGridRegion l = grid_of({{0, 0, 10, 5}, {0, 5, 5, 10}});
    EXPECT_FALSE(l.simple());
    EXPECT_EQ(qvTextOf(l), "{region (0,0,10,10):\n\t(0,0,10,5)\n\t(0,5,5,10)\n}");
    EXPECT_EQ(qvTextOf(qvGridRegion()), "{region is empty}");
}

TEST(qvGridRegion, Translation_mirrors_bands_and_reorders_corners) {
    qvGridRegion l = grid_of({{0, 0, 10, 5}, {0, 5, 5, 10}});
    l.translate(qvRestrictedTransformation(2, -1, 5, 5));
    EXPECT_EQ(qvRectsOf(l), (Rects{{5, -5, 15, 0}, {5, 0, 25, 5}}));
    EXPECT_EQ(l.bbox(), qvTestRect(5, -5, 25, 5));
    EXPECT_FALSE(l.simple());
}

TEST(qvGridRegion, Translation_drops_images_holding_NaN_or_no_area) {
    const qvGridRegion base = grid_of({{-2, -2, -1, -1}, {1, 1, 2, 2}, {0, 3, 1, 4}});
    qvGridRegion zero_scale = base, by_rectangles = base;
    zero_scale.translate(qvRestrictedTransformation(0, 1, 0, 0));
    by_rectangles.qvGenericRegion::translate(qvRestrictedTransformation(0, 1, 0, 0));
    EXPECT_TRUE(zero_scale.empty());
    EXPECT_EQ(zero_scale.bbox(), empty_box);
    expect_same_state(zero_scale, by_rectangles);  // assigned from a new region

    // With an infinite y scale every band of finite height that does not
    // straddle 0 maps to zero height at -inf or +inf.
    qvGridRegion infinite = base;
    infinite.translate(qvRestrictedTransformation(1, kInf, 0, 0));
    EXPECT_TRUE(infinite.empty());

    qvGridRegion not_a_number = base;
    not_a_number.translate(qvRestrictedTransformation(kNaN, 1, 0, 0));
    EXPECT_TRUE(not_a_number.empty());
    EXPECT_EQ(not_a_number.bbox(), empty_box);

    // A band straddling 0 maps to (-inf, +inf) and holds area.
    qvGridRegion straddling(qvTestRect(-1, -1, 1, 1));
    straddling.translate(qvRestrictedTransformation(kInf, 1, 0, 0));
    EXPECT_EQ(qvRectsOf(straddling), (Rects{{-kInf, -1, kInf, 1}}));
}

TEST(qvGridRegion, Infinite_and_extreme_coordinates_are_legal) {
    qvGridRegion region(qvTestRect(-kInf, -DBL_MAX, kInf, DBL_MAX));
    EXPECT_TRUE(region.simple());
    EXPECT_EQ(region.bbox(), qvTestRect(-kInf, -DBL_MAX, kInf, DBL_MAX));
    region.subtract({0, 0, kInf, kInf});
    EXPECT_EQ(qvRectsOf(region), (Rects{{-kInf, -DBL_MAX, kInf, 0}, {-kInf, 0, 0, DBL_MAX}}));
    EXPECT_TRUE(region > qvTestRect(-1e300, -1, 1e300, 0));
}

TEST(qvGridRegion, A_large_offset_collapses_bands_and_restores_the_canonical_form) {
    // Above 2^53 doubles are 2 apart: 1 and 5 round to 0 and 4, so some
    // intervals and bands vanish and others merge, exactly as when every
    // rectangle is moved and re-added.
    qvGridRegion direct = grid_of({{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 1, 3, 2}, {4, 5, 40, 6}, {0, 6, 1, 7}});
    qvGridRegion by_rectangles = direct;
    constexpr double far = 9007199254740992.0;  // 2^53
    const qvRestrictedTransformation rt(1, 1, far, far);
    direct.translate(rt);
    by_rectangles.qvGenericRegion::translate(rt);
    expect_same_state(direct, by_rectangles);
    EXPECT_EQ(qvRectsOf(direct), (Rects{{far, far, far + 4, far + 2}, {far + 4, far + 4, far + 40, far + 6}}));
}

// ---- bad input ------------------------------------------------------------------------------

TEST(qvGridRegion, NaN_rectangles_are_ignored_by_add_and_subtract_and_erase_on_intersect) {
    qvGridRegion region(qvTestRect(0, 0, 10, 10));
    region.add({kNaN, 0, 20, 10});
    region.subtract({0, 0, kNaN, 10});
    region -= qvCrdOf<double>(kNaN, 1);
    EXPECT_TRUE(region == qvTestRect(0, 0, 10, 10));
    EXPECT_FALSE(std::isnan(region.bbox().x1));
    region.intersect({0, kNaN, 10, 10});
    EXPECT_TRUE(region.empty());
    EXPECT_EQ(region.bbox(), empty_box);
}

TEST(qvGridRegion, Inverted_rectangles_are_ignored_and_empty_on_intersect) {
    qvGridRegion region(qvTestRect(0, 0, 10, 10));
    region.add(qvRawRect(20, 0, 15, 10));
    region.subtract(qvRawRect(8, 8, 2, 2));
    EXPECT_TRUE(region == qvTestRect(0, 0, 10, 10));
    region *= qvRawRect(8, 8, 2, 2);
    EXPECT_TRUE(region.empty());
}

TEST(qvGridRegion, Points_never_change_the_area_but_intersecting_with_one_erases) {
    qvGridRegion region(qvTestRect(0, 0, 10, 10));
    region += qvCrdOf<double>(20, 20);
    region -= qvCrdOf<double>(5, 5);
    EXPECT_TRUE(region == qvTestRect(0, 0, 10, 10));
    region = qvCrdOf<double>(3, 4);
    EXPECT_TRUE(region.empty());
    EXPECT_EQ(region.bbox(), empty_box);
}

TEST(qvGridRegion, Its_own_box_as_argument_is_read_before_the_change) {
    qvGridRegion region = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    region.subtract({0, 0, 5, 10});  // leaves the cache stale
    region *= region.bbox();
    EXPECT_EQ(qvRectsOf(region), (Rects{{5, 0, 10, 10}, {20, 0, 30, 10}}));
    region += region.bbox();
    EXPECT_TRUE(region == qvTestRect(5, 0, 30, 10));
    region -= region.bbox();
    EXPECT_TRUE(region.empty());
    region.add({1, 1, 2, 2});
    region = region.bbox();
    EXPECT_TRUE(region == qvTestRect(1, 1, 2, 2));
}

TEST(qvGridRegion, Operations_with_itself_keep_or_empty_the_region) {
    const qvGridRegion l = grid_of({{0, 0, 10, 5}, {0, 5, 5, 10}});
    qvGridRegion region = l;
    qvBaseRegion& self = region;
    region += self;
    EXPECT_TRUE(region == l);
    region *= self;
    EXPECT_TRUE(region == l);
    region = self;
    EXPECT_TRUE(region == l);
    region = static_cast<qvGridRegion const&>(region);
    EXPECT_TRUE(region == l);
    region -= self;
    EXPECT_TRUE(region.empty());
    EXPECT_EQ(region.bbox(), empty_box);
}

// ---- other regions ------------------------------------------------------------------------

TEST(qvGridRegion, Answers_only_the_grid_identity_with_itself) {
    qvGridRegion region;
    EXPECT_EQ(region.query_interface(qvGridRegionIdentity()), &region);
    EXPECT_EQ(region.query_interface(qvListRegionIdentity()), nullptr);
    EXPECT_EQ(region.query_interface(qvRectRegionIdentity()), nullptr);
    const std::unique_ptr<qvBaseRegion> made(region.create()), copied(region.clone());
    EXPECT_NE(made->query_interface(qvGridRegionIdentity()), nullptr);
    EXPECT_NE(copied->query_interface(qvGridRegionIdentity()), nullptr);
}

TEST(qvGridRegion, Assignment_from_a_grid_region_copies_the_new_region_flag) {
    qvGridRegion region(qvTestRect(0, 0, 1, 1));
    region = static_cast<qvBaseRegion const&>(qvGridRegion());
    EXPECT_TRUE(region.empty());
    EXPECT_FALSE(region.simple());
    region = grid_of({{0, 0, 1, 1}, {2, 0, 3, 1}});
    EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 3, 1));
    EXPECT_FALSE(region.simple());
}

TEST(qvGridRegion, A_list_operand_holding_degenerate_rectangles_counts_only_its_area) {
    qvListRegion list;
    list.add({0, 0, 10, 10});
    list.add({50, 50, 50, 60});  // a line: no area, but inside the list's box
    ASSERT_EQ(list.bbox(), qvTestRect(0, 0, 50, 60));
    qvGridRegion region;
    region += list;
    EXPECT_EQ(region.bbox(), qvTestRect(0, 0, 10, 10));
    EXPECT_TRUE(region.simple());
    const qvGridRegion from_list(list);
    EXPECT_TRUE(from_list == qvTestRect(0, 0, 10, 10));
}

TEST(qvGridRegion, Foreign_operands_give_what_the_rectangle_by_rectangle_roads_give) {
    const qvTestVectorRegion foreign({{2, 2, 6, 6}, {4, 4, 9, 12}, {11, 0, 12, 3}});
    const qvGridRegion start = grid_of({{0, 0, 10, 10}, {12, 0, 14, 4}});
    for (int op = 0; op < 4; ++op) {
        qvGridRegion fast = start, part = start;
        switch (op) {
            case 0:
                fast += foreign;
                part.qvGenericRegion::operator+=(foreign);
                break;
            case 1:
                fast -= foreign;
                part.qvGenericRegion::operator-=(foreign);
                break;
            case 2:
                fast *= foreign;
                part.qvGenericRegion::operator*=(foreign);
                break;
            default:
                fast = static_cast<qvBaseRegion const&>(foreign);
                part.erase();
                part.qvGenericRegion::operator+=(foreign);
        }
        SCOPED_TRACE(op);
        expect_same_state(fast, part);
    }
}

TEST(qvGridRegion, Comparisons_read_a_stale_box_after_it_is_rebuilt) {
    qvGridRegion region = grid_of({{0, 0, 10, 10}, {20, 0, 30, 10}});
    region.subtract({20, 0, 30, 10});
    EXPECT_TRUE(region < qvTestRect(0, 0, 10, 10));
    region.subtract({0, 0, 5, 10});
    EXPECT_FALSE(region > qvTestRect(0, 0, 6, 10));
    region.subtract({5, 5, 10, 10});
    const qvListRegion list(qvTestRect(5, 0, 10, 5));
    EXPECT_TRUE(region < list);
    EXPECT_TRUE(region == list);
    EXPECT_TRUE(list > region);
}

// ---- copies, moves and the iterator --------------------------------------------------------

TEST(qvGridRegion, A_move_takes_the_content_and_leaves_the_source_erased) {
    qvGridRegion source = grid_of({{0, 0, 10, 5}, {0, 5, 5, 10}});
    qvGridRegion target(std::move(source));
    EXPECT_EQ(qvRectsOf(target), (Rects{{0, 0, 10, 5}, {0, 5, 5, 10}}));
    EXPECT_TRUE(source.empty());
    EXPECT_TRUE(source.simple());
    EXPECT_EQ(source.bbox(), empty_box);
    source.add({1, 1, 2, 2});
    target = std::move(source);
    EXPECT_TRUE(target == qvTestRect(1, 1, 2, 2));
    EXPECT_TRUE(source.empty());
}

TEST(qvGridRegion, A_copied_iterator_walks_on_from_the_same_position) {
    const qvGridRegion region = grid_of({{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 2, 1, 3}});
    qvGridRegionInternalIterator it(region);
    it.next();
    qvGridRegionInternalIterator copy = it;
    EXPECT_EQ(*copy.get(), qvTestRect(2, 0, 3, 1));
    copy.next();
    EXPECT_EQ(*copy.get(), qvTestRect(0, 2, 1, 3));
    copy.next();
    EXPECT_TRUE(copy.at_end());
    copy.next();
    EXPECT_TRUE(copy.at_end());
    EXPECT_EQ(*it.get(), qvTestRect(2, 0, 3, 1));
}

// ---- property test ----------------------------------------------------------------------------

namespace {

// One random step applied alike to a grid region, a list region, a handle
// and the oracle. Region operands are built from a few random rectangles
// as each of the three kinds, so every pairing of kinds is exercised.
class SideBySide {
public:
    explicit SideBySide(unsigned seed) : rng_(seed) {
        grid_.erase();  // past the new-region flag, so simple() is exact
        handle_.erase();
    }

    void step() {
        std::uniform_int_distribution<int> pick(0, 9);
        switch (pick(rng_)) {
            case 0:
            case 1:
            case 2: rectangle_step(0); break;
            case 3: rectangle_step(1); break;
            case 4: rectangle_step(2); break;
            case 5:
            case 6: region_step(); break;
            case 7: translate_step(); break;
            case 8: self_step(); break;
            default: assign_step(); break;
        }
    }

    void check(int round) {
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << last_);
        // First, while the caches may still be stale.
        const qvTestRect probe = random_rect();
        ASSERT_EQ(grid_ > probe, oracle_.covers(probe)) << probe;
        ASSERT_EQ(handle_ < probe, oracle_.inside(probe)) << probe;
        ASSERT_EQ(qvCellOracle::of(grid_), oracle_);
        ASSERT_EQ(qvCellOracle::of(list_), oracle_);
        ASSERT_EQ(qvCellOracle::of(handle_), oracle_);
        const qvTestRect box = oracle_.box();
        const bool simple = oracle_.simple(box);
        for (qvBaseRegion const* r : {static_cast<qvBaseRegion const*>(&grid_),
                                      static_cast<qvBaseRegion const*>(&handle_)}) {
            ASSERT_EQ(r->bbox(), box);
            ASSERT_EQ(r->simple(), simple);
            ASSERT_EQ(r->empty(), oracle_.empty());
        }
        const Cache cache = rebuilt(grid_);
        ASSERT_EQ(grid_.bbox(), cache.box);
        ASSERT_EQ(grid_.simple(), cache.simple);
        ASSERT_TRUE(grid_ == list_);
        ASSERT_TRUE(list_ == grid_);
        ASSERT_TRUE(grid_ == handle_);
        ASSERT_TRUE(handle_ == list_);
        ASSERT_FALSE(handle_ != grid_);
    }

private:
    qvTestRect random_rect() {
        std::uniform_int_distribution<int> coord(0, 16);
        for (;;) {
            const int x1 = coord(rng_), x2 = coord(rng_), y1 = coord(rng_), y2 = coord(rng_);
            if (x1 != x2 && y1 != y2) return qvTestRect(x1, y1, x2, y2);
        }
    }

    void rectangle_step(int op) {
        const qvTestRect r = random_rect();
        last_ = "op " + std::to_string(op) + " with " + qvTextOf(r);
        for (qvBaseRegion* region : regions()) {
            if (op == 0) region->add(r);
            if (op == 1) region->subtract(r);
            if (op == 2) region->intersect(r);
        }
        if (op == 0) oracle_.add(r);
        if (op == 1) oracle_.subtract(r);
        if (op == 2) oracle_.intersect(r);
    }

    // target op= operand, each target paired with an operand of another kind.
    void region_step() {
        std::uniform_int_distribution<int> count(2, 4), pick_op(0, 2), pick_kind(1, 2);
        Rects rects;
        qvCellOracle cells;
        for (int i = count(rng_); i > 0; --i) {
            rects.push_back(random_rect());
            cells.add(rects.back());
        }
        qvGridRegion grid_operand;
        qvListRegion list_operand;
        for (qvTestRect const& r : rects) {
            grid_operand.add(r);
            list_operand.add(r);
        }
        const qvRegion handle_operand(list_operand);
        qvBaseRegion const* operands[3] = {&grid_operand, &list_operand, &handle_operand};
        const int op = pick_op(rng_), shift = pick_kind(rng_);
        last_ = "region op " + std::to_string(op) + " shift " + std::to_string(shift) + " with " +
                qvTextOf(list_operand);
        int kind = 0;
        for (qvBaseRegion* target : regions()) {
            qvBaseRegion const& operand = *operands[(kind++ + shift) % 3];
            if (target == &grid_) check_fast_against_part(op, operand);
            if (op == 0) *target += operand;
            if (op == 1) *target -= operand;
            if (op == 2) *target *= operand;
        }
        if (op == 0) oracle_.add(cells);
        if (op == 1) oracle_.subtract(cells);
        if (op == 2) oracle_.intersect(cells);
    }

    // The generic road walks the operand rectangle by rectangle.
    void check_fast_against_part(int op, qvBaseRegion const& operand) {
        qvGridRegion fast = grid_, part = grid_;
        if (op == 0) {
            fast += operand;
            part.qvGenericRegion::operator+=(operand);
        } else if (op == 1) {
            fast -= operand;
            part.qvGenericRegion::operator-=(operand);
        } else {
            fast *= operand;
            part.qvGenericRegion::operator*=(operand);
        }
        expect_same_state(fast, part);
    }

    void translate_step() {
        std::uniform_int_distribution<int> pick_scale(0, 3), offset(-8, 8);
        const double scales[4] = {1, -1, 2, -2};
        const qvRestrictedTransformation rt(scales[pick_scale(rng_)], scales[pick_scale(rng_)],
                                            offset(rng_), offset(rng_));
        qvCellOracle image = oracle_;
        if (!image.translate(rt)) return;  // would leave the lattice
        last_ = "translate " + qvTextOf(rt.m0()) + ' ' + qvTextOf(rt.m3()) + ' ' + qvTextOf(rt.m4()) +
                ' ' + qvTextOf(rt.m5());
        qvGridRegion part = grid_;
        part.qvGenericRegion::translate(rt);
        for (qvBaseRegion* region : regions()) region->translate(rt);
        expect_same_state(grid_, part);
        oracle_ = image;
    }

    void self_step() {
        std::uniform_int_distribution<int> pick(0, 3);
        const int op = pick(rng_);
        last_ = "self op " + std::to_string(op);
        for (qvBaseRegion* region : regions()) {
            if (op == 0) *region += *region;
            if (op == 1) *region *= *region;
            if (op == 2) *region = *region;
            if (op == 3) *region -= *region;
        }
        if (op == 3) oracle_ = qvCellOracle();
    }

    // Each region takes the area of another kind, then the shared content
    // comes back through a region of yet another kind.
    void assign_step() {
        last_ = "assign round";
        const qvListRegion list_copy(list_);
        const qvRegion handle_copy(grid_);
        qvGridRegion grid_copy;
        grid_copy = static_cast<qvBaseRegion const&>(handle_);
        grid_ = static_cast<qvBaseRegion const&>(list_copy);
        list_ = static_cast<qvBaseRegion const&>(handle_copy);
        handle_ = static_cast<qvBaseRegion const&>(grid_copy);
    }

    std::vector<qvBaseRegion*> regions() { return {&grid_, &list_, &handle_}; }

    std::mt19937 rng_;
    qvGridRegion grid_;
    qvListRegion list_;
    qvRegion handle_;
    qvCellOracle oracle_;
    std::string last_;
};

}  // namespace

TEST(qvGridRegionProperty, Grid_list_and_handle_cover_the_oracles_cells_after_every_step) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SideBySide run(20240601 + seed);
        for (int round = 0; round < 100; ++round) {
            // Bursts of steps, so stale caches meet the next operation.
            for (int burst = round % 3; burst >= 0; --burst) run.step();
            run.check(round);
            if (testing::Test::HasFatalFailure() || testing::Test::HasNonfatalFailure()) {
                ADD_FAILURE() << "seed " << seed;
                return;
            }
        }
    }
}
