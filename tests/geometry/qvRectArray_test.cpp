// The storage of list regions: order through growth, insertion at both
// ends, copies that do not share, and emptying that keeps the elements'
// order for the next fill.

#include <orvane/geometry/qvRectArray.hpp>

#include <gtest/gtest.h>

#include <vector>

#include "qvRegionTestSupport.hpp"

namespace {

qvTestRect nth(int i) { return qvTestRect(i, 2 * i, i + 3, 2 * i + 5); }

qvTestRects contents(qvRectArray const& a) { return qvTestRects(a.begin(), a.end()); }

}  // namespace

TEST(qvRectArray, Growth_and_insertion_at_either_end_keep_every_element_in_order) {
    qvRectArray a;
    qvTestRects expected;
    for (int i = 0; i < 1000; ++i) {  // many growths past the first block of 16
        a.push_back(nth(i));
        expected.push_back(nth(i));
    }
    const qvTestRects front = {nth(-1), nth(-2), nth(-3)};
    a.insert_front(front.begin(), front.end());
    expected.insert(expected.begin(), front.begin(), front.end());
    a.append(front.rbegin(), front.rend());
    expected.insert(expected.end(), front.rbegin(), front.rend());
    ASSERT_EQ(contents(a), expected);
    EXPECT_EQ(qvTestRects(a.rbegin(), a.rend()), qvTestRects(expected.rbegin(), expected.rend()));
}

TEST(qvRectArray, A_copy_owns_its_elements_and_a_cleared_array_fills_again) {
    qvRectArray a;
    for (int i = 0; i < 40; ++i) a.push_back(nth(i));
    qvRectArray copy(a);
    a[0] = nth(100);
    a.shrink_to(3);
    EXPECT_EQ(copy.size(), 40u);
    EXPECT_EQ(copy[0], nth(0));
    EXPECT_EQ(contents(a), (qvTestRects{nth(100), nth(1), nth(2)}));
    a.clear();
    EXPECT_TRUE(a.empty());
    a.push_back(nth(7));
    EXPECT_EQ(contents(a), (qvTestRects{nth(7)}));
    qvRectArray empty_copy{qvRectArray()};
    EXPECT_TRUE(empty_copy.empty());
    copy = a;  // assignment replaces, does not append
    EXPECT_EQ(contents(copy), (qvTestRects{nth(7)}));
}

// A growth that more than doubles takes the size asked for, not twice the
// old block: appending 40 to a block of 16, putting 200 in front of 56.
TEST(qvRectArray, Growth_past_double_the_block_holds_every_element) {
    qvRectArray a;
    qvTestRects expected;
    for (int i = 0; i < 16; ++i) {
        a.push_back(nth(i));
        expected.push_back(nth(i));
    }
    ASSERT_EQ(a.capacity(), 16u);
    {
        // Asked first without writing: a block too small would be written
        // past by what follows.
        qvRectArray probe(a);
        probe.reserve(56);
        ASSERT_GE(probe.capacity(), 56u);
        probe.reserve(1000);
        ASSERT_GE(probe.capacity(), 1000u);
    }
    qvTestRects more, front;
    for (int i = 0; i < 40; ++i) more.push_back(nth(100 + i));
    for (int i = 0; i < 200; ++i) front.push_back(nth(-1 - i));
    a.append(more.begin(), more.end());
    expected.insert(expected.end(), more.begin(), more.end());
    EXPECT_GE(a.capacity(), 56u);
    a.insert_front(front.begin(), front.end());
    expected.insert(expected.begin(), front.begin(), front.end());
    EXPECT_GE(a.capacity(), 256u);
    EXPECT_EQ(contents(a), expected);
}
