// The owning rectangle holder: ownership moves on copy, the embedded
// iterator is never shared, and an empty holder fails loudly.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvRectIterator.hpp>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <utility>

#include "qvCountedProbe.hpp"
#include "qvRegionTestSupport.hpp"

namespace {

// A heap iterator over two rectangles that counts its destruction.
class CountedIterator : public qvIterator<qvTestRect> {
public:
    explicit CountedIterator(qvProbeTally& tally) : tally_(tally) { ++tally_.made; }
    ~CountedIterator() override { ++tally_.destroyed; }
    qvTestRect* get() override { return &rects_[index_]; }
    void next() override { ++index_; }
    bool at_end() const override { return index_ >= 2; }

private:
    qvProbeTally& tally_;
    qvTestRect rects_[2] = {{0, 0, 1, 1}, {2, 2, 3, 3}};
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
