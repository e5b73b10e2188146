// The iterator over a standard container's range: it reads the live
// container and stays at its end once there.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvStlIterator.hpp>

#include <gtest/gtest.h>

#include <list>
#include <vector>

TEST(qvStlIterator, Walks_the_range_and_stays_at_its_end) {
    std::list<int> values{3, 1, 4};
    qvIndirectIterator<int> it(new qvStlIterator<std::list<int>>(values));
    std::vector<int> seen;
    for (; it; ++it)
        seen.push_back(*it);
    EXPECT_EQ(seen, (std::vector<int>{3, 1, 4}));
    EXPECT_EQ(it.operator->(), nullptr);
    ++it;   // past the end: still there
    EXPECT_FALSE(it);

    std::list<int> none;
    qvStlIterator<std::list<int>> empty(none);
    EXPECT_TRUE(empty.at_end());
    EXPECT_EQ(empty.get(), nullptr);
}

TEST(qvStlIterator, Hands_out_the_elements_themselves) {
    std::vector<int> values{1, 2, 3};
    qvStlIterator<std::vector<int>> it(values.begin() + 1, values.end());
    EXPECT_EQ(it.get(), &values[1]);
    *it.get() = 20;
    it.next();
    EXPECT_EQ(it.get(), &values[2]);
    EXPECT_EQ(values[1], 20);
}
