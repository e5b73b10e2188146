// The owning rectangle holder: ownership moves on copy, the embedded
// iterator is never shared, and an empty holder fails loudly.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvRectIterator.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

std::vector<qvTestRect> walk(qvIndirectRectIterator& it) {
    std::vector<qvTestRect> out;
    for (; it; ++it) out.push_back(*it);
    return out;
}

}  // namespace

TEST(qvIndirectRectIterator, Copy_of_a_heap_holder_moves_ownership_and_deletes_once) {
    qvProbeTally tally;
    {
        qvIndirectRectIterator source(new CountedIterator(tally));
        {
            qvIndirectRectIterator copy(source);
            EXPECT_EQ(walk(copy), (std::vector<qvTestRect>{{0, 0, 1, 1}, {2, 2, 3, 3}}));
        }
        EXPECT_EQ(tally.destroyed, 1);  // the copy owned it
    }
    EXPECT_EQ(tally.made, 1);
    EXPECT_EQ(tally.destroyed, 1);  // the source no longer owned it
}

TEST(qvIndirectRectIterator, Assignment_deletes_the_targets_own_iterator_first) {
    qvProbeTally first, second;
    qvIndirectRectIterator target(new CountedIterator(first));
    {
        qvIndirectRectIterator source(new CountedIterator(second));
        target = source;
        EXPECT_EQ(first.destroyed, 1);
    }
    EXPECT_EQ(second.destroyed, 0);  // the target owns it now
    target = qvIndirectRectIterator();
    EXPECT_EQ(second.destroyed, 1);
}

TEST(qvIndirectRectIterator, Assigning_a_holder_of_the_same_iterator_deletes_nothing) {
    qvProbeTally tally;
    {
        qvIndirectRectIterator a(new CountedIterator(tally));
        qvIndirectRectIterator b(a);  // b owns, a borrows
        a = b;                        // ownership gathers in a
        EXPECT_EQ(tally.destroyed, 0);
        qvIndirectRectIterator const& same = a;
        a = same;
        EXPECT_EQ(tally.destroyed, 0);
    }
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvIndirectRectIterator, Move_leaves_the_source_empty_and_deletes_once) {
    qvProbeTally tally;
    {
        qvIndirectRectIterator source(new CountedIterator(tally));
        qvIndirectRectIterator target(std::move(source));
        EXPECT_FALSE(source);  // NOLINT(bugprone-use-after-move): moved-from state is specified
        EXPECT_TRUE(target);
        qvIndirectRectIterator other;
        other = std::move(target);
        EXPECT_FALSE(target);  // NOLINT(bugprone-use-after-move)
        EXPECT_EQ(walk(other).size(), 2u);
    }
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvIndirectRectIterator, Copy_of_an_embedded_holder_walks_its_own_copy) {
    qvIndirectRectIterator a(qvTestRect(0, 0, 10, 5));
    qvIndirectRectIterator b(a);
    ++a;
    EXPECT_FALSE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(*b, qvTestRect(0, 0, 10, 5));
    EXPECT_EQ(b->x2, 10);

    qvIndirectRectIterator c;
    c = b;  // copy assignment re-points at c's own embedded iterator
    ++b;
    EXPECT_FALSE(b);
    ASSERT_TRUE(c);
    EXPECT_EQ(*c, qvTestRect(0, 0, 10, 5));

    qvIndirectRectIterator d(std::move(c));
    EXPECT_FALSE(c);  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(walk(d), std::vector<qvTestRect>{qvTestRect(0, 0, 10, 5)});
}

TEST(qvIndirectRectIterator, Default_holder_tests_false_ignores_advance_and_fails_on_read) {
    qvIndirectRectIterator it;
    EXPECT_FALSE(it);
    ++it;
    EXPECT_FALSE(it);
    try {
        (void)*it;
        FAIL() << "reading an empty holder must raise";
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "_object.get()");
    }
    EXPECT_THROW((void)it->x1, qvAssertionError);
}

TEST(qvIndirectRectIterator, Holder_of_a_void_rectangle_is_at_its_end_at_once) {
    EXPECT_FALSE(qvIndirectRectIterator(qvTestRect::make_empty()));
    EXPECT_FALSE(qvIndirectRectIterator(qvRawRect(5, 5, 1, 1)));
    EXPECT_FALSE(qvIndirectRectIterator(qvTestRect(0, 0, NAN, 1)));
    EXPECT_TRUE(qvIndirectRectIterator(qvTestRect(3, 3, 3, 3)));  // a point is a rectangle
}
