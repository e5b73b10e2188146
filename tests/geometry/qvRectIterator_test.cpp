// The owning rectangle holder: ownership moves on copy, its own rectangle
// is never shared, an empty holder fails loudly, a foreign iterator is read
// out on adoption, and reading past the end stays inside what it holds.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRectIterator.hpp>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "qvCountedProbe.hpp"
#include "qvRegionTestSupport.hpp"

namespace {

// A heap iterator over `count` (at most two) rectangles that counts its
// destruction and can be made to fail on its `fail_at`-th step.
class CountedIterator : public qvIterator<qvTestRect> {
public:
    explicit CountedIterator(qvProbeTally& tally, int fail_at = -1, int count = 2)
        : tally_(tally), fail_at_(fail_at), count_(count) {
        ++tally_.made;
    }
    ~CountedIterator() override { ++tally_.destroyed; }
    qvTestRect* get() override { return &rects_[index_]; }
    void next() override {
        if (index_ == fail_at_) throw std::runtime_error("step failed on purpose");
        ++index_;
    }
    bool at_end() const override { return index_ >= count_; }

private:
    qvProbeTally& tally_;
    qvTestRect rects_[3] = {{0, 0, 1, 1}, {2, 2, 3, 3}, {9, 9, 9, 9}};
    int fail_at_;
    int count_;
    int index_ = 0;
};

qvTestRects walk(qvIndirectRectIterator& it) {
    qvTestRects out;
    for (; it; ++it) out.push_back(*it);
    return out;
}

}  // namespace

TEST(qvIndirectRectIterator, Copies_and_assignments_move_ownership_so_each_iterator_dies_once) {
    qvProbeTally tally, first, second;
    {
        qvIndirectRectIterator source(new CountedIterator(tally));
        {
            qvIndirectRectIterator copy(source);
            EXPECT_EQ(walk(copy), (qvTestRects{{0, 0, 1, 1}, {2, 2, 3, 3}}));
        }
        EXPECT_EQ(tally.destroyed, 1);  // the copy owned it
        qvIndirectRectIterator target(new CountedIterator(first));
        {
            qvIndirectRectIterator other(new CountedIterator(second));
            target = other;
            EXPECT_EQ(first.destroyed, 1);  // the target's own goes first
        }
        EXPECT_EQ(second.destroyed, 0);
        qvIndirectRectIterator moved(std::move(target));
        EXPECT_FALSE(target);  // NOLINT(bugprone-use-after-move): moved-from state is specified
    }
    EXPECT_EQ((std::array<int, 3>{tally.destroyed, first.destroyed, second.destroyed}), (std::array<int, 3>{1, 1, 1}));
}

TEST(qvIndirectRectIterator, Embedded_holders_walk_their_own_copy) {
    qvIndirectRectIterator a(qvTestRect(0, 0, 10, 5));
    qvIndirectRectIterator b(a), c;
    ++a;
    ASSERT_FALSE(a);
    ASSERT_TRUE(b);
    c = b;  // re-points at c's own embedded iterator
    ++b;
    EXPECT_FALSE(b);
    EXPECT_EQ(walk(c), qvTestRects{qvTestRect(0, 0, 10, 5)});
}

TEST(qvIndirectRectIterator, Default_holder_fails_on_read_and_void_holders_end_at_once) {
    qvIndirectRectIterator it;
    try {
        (void)*it;
        FAIL() << "reading an empty holder must raise";
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "_object.get()");
    }
    EXPECT_FALSE(qvIndirectRectIterator(qvTestRect::make_empty()));
    EXPECT_FALSE(qvIndirectRectIterator(qvTestRect(0, 0, NAN, 1)));
    EXPECT_TRUE(qvIndirectRectIterator(qvTestRect(3, 3, 3, 3)));  // a point is a rectangle
}

TEST(qvIndirectRectIterator, A_foreign_iterator_is_read_out_on_adoption_and_dies_with_its_owner) {
    qvProbeTally tally, failing;
    {
        qvIndirectRectIterator it(new CountedIterator(tally));
        EXPECT_EQ(tally.destroyed, 0);  // kept until its owner goes
        EXPECT_EQ(walk(it), (qvTestRects{{0, 0, 1, 1}, {2, 2, 3, 3}}));
    }
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_THROW(qvIndirectRectIterator(new CountedIterator(failing, 1)), std::runtime_error);
    EXPECT_EQ(failing.destroyed, 1);  // not leaked
}

// Reading past the end is outside the calling order, but it must not read
// outside what the holder holds: it yields the last rectangle again (the
// empty marker after an enumeration of nothing). Sanitizer builds check
// the bounds.
TEST(qvIndirectRectIterator, Reading_past_the_end_yields_the_last_rectangle_again) {
    qvGridRegion grid(qvTestRect(0, 0, 10, 10));
    grid.add({20, 0, 30, 10});
    qvListRegion list(qvTestRect(0, 0, 10, 10));
    list.add({20, 0, 30, 5});
    qvProbeTally tally;
    const struct { qvIndirectRectIterator it; qvTestRect last; } rows[] = {
        {grid.enumerate(), {20, 0, 30, 10}},
        {list.enumerate(), {0, 0, 10, 10}},  // the newest comes first
        {qvIndirectRectIterator(new CountedIterator(tally)), {2, 2, 3, 3}},
        {qvIndirectRectIterator(qvTestRect(1, 2, 3, 4)), {1, 2, 3, 4}},
    };
    for (auto const& row : rows) {
        qvIndirectRectIterator it = row.it;
        walk(it);
        ++it;
        EXPECT_FALSE(it);
        EXPECT_EQ(*it, row.last);
    }
    qvGridRegion nothing;
    qvProbeTally empty_tally;
    qvIndirectRectIterator none(new qvGridRegionInternalIterator(nothing));
    qvIndirectRectIterator drained(new CountedIterator(empty_tally, -1, 0));
    for (qvIndirectRectIterator* it : {&none, &drained}) {
        EXPECT_FALSE(*it);
        ++*it;
        EXPECT_FALSE(*it);
        EXPECT_EQ(**it, qvTestRect::make_empty());
    }
}

TEST(qvGridRegionInternalIterator, A_copy_walks_on_from_the_same_position) {
    qvGridRegion region(qvTestRect(0, 0, 10, 10));
    region.subtract({4, 4, 6, 6});
    qvGridRegionInternalIterator it(region);
    it.next();
    qvGridRegionInternalIterator copy(it);
    qvTestRects rest, copied;
    for (; !it.at_end(); it.next()) rest.push_back(*it.get());
    for (; !copy.at_end(); copy.next()) copied.push_back(*copy.get());
    EXPECT_EQ(rest, (qvTestRects{{0, 4, 4, 6}, {6, 4, 10, 6}, {0, 6, 10, 10}}));
    EXPECT_EQ(copied, rest);
}
