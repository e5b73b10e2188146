#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvWrap.hpp>

#include <gtest/gtest.h>

#include "qvCountedProbe.hpp"

#include <vector>

namespace {

// An id iterator over a vector, counting its own destruction.
class IdIterator : public qvIterator<qvWrap<long>> {
public:
    IdIterator(std::vector<qvWrap<long>> ids, qvProbeTally& tally)
        : ids_(std::move(ids)), tally_(tally) {
        ++tally_.made;
    }
    ~IdIterator() override { ++tally_.destroyed; }
    qvWrap<long>* get() override { return &ids_[position_]; }
    void next() override { ++position_; }
    bool at_end() const override { return position_ >= ids_.size(); }

private:
    std::vector<qvWrap<long>> ids_;
    std::size_t position_ = 0;
    qvProbeTally& tally_;
};

qvIndirectIterator<qvWrap<long>> enumerate(std::vector<qvWrap<long>> ids, qvProbeTally& tally) {
    return qvIndirectIterator<qvWrap<long>>(new IdIterator(std::move(ids), tally));
}

std::vector<long> walk(qvIndirectIterator<qvWrap<long>> it) {
    std::vector<long> seen;
    for (; it; ++it)
        seen.push_back(*it);
    return seen;
}

// A plain smart pointer over one int.
class IntHolder : public qvSmartPtr<int> {
public:
    int* get() override { return value_ ? &value_ : nullptr; }
    int value_ = 0;
};

}  // namespace

TEST(qvIndirectIterator, Walks_every_element_in_order) {
    qvProbeTally tally;
    EXPECT_EQ(walk(enumerate({4, 8, 15}, tally)), (std::vector<long>{4, 8, 15}));
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvIndirectIterator, Empty_enumeration_tests_false_and_dies_once) {
    qvProbeTally tally;
    {
        auto it = enumerate({}, tally);
        EXPECT_FALSE(it);
    }
    EXPECT_EQ(tally.made, 1);
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvIndirectIterator, Copy_takes_ownership_and_deletes_once) {
    qvProbeTally tally;
    {
        auto source = enumerate({1, 2}, tally);
        {
            qvIndirectIterator<qvWrap<long>> copy(source);
            ++copy;
            EXPECT_EQ(*source, 2);   // the source still sees the same iterator
        }
        EXPECT_EQ(tally.destroyed, 1);   // deleted by the copy
    }
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvIndirectIterator, Assignment_deletes_the_targets_own_first) {
    qvProbeTally tally;
    auto target = enumerate({1}, tally);
    {
        auto source = enumerate({7}, tally);
        target = source;
        EXPECT_EQ(tally.destroyed, 1);
    }
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_EQ(*target, 7);
}

// Assigning a handle that holds the same iterator used to delete it under
// both handles.
TEST(qvIndirectIterator, Assigning_the_same_iterator_deletes_nothing) {
    qvProbeTally tally;
    {
        auto owner = enumerate({3, 5}, tally);
        qvIndirectIterator<qvWrap<long>> borrower(owner);   // borrower owns now
        owner = borrower;                                    // and hands it back
        EXPECT_EQ(tally.destroyed, 0);
        borrower = owner;
        auto& same = owner;
        owner = same;
        EXPECT_EQ(tally.destroyed, 0);
        EXPECT_EQ(walk(borrower), (std::vector<long>{3, 5}));
        EXPECT_EQ(tally.destroyed, 1);
    }
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvIndirectIterator, Empty_handle_ignores_increment_and_refuses_reads) {
    qvIndirectIterator<qvWrap<long>> it;
    EXPECT_FALSE(it);
    ++it;
    try {
        (void)*it;
        FAIL() << "no raise";
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "_object.get()");
    }
    EXPECT_THROW((void)it.operator->(), qvAssertionError);
}

TEST(qvIterator, Implementation_offers_the_iteration_operators) {
    qvProbeTally tally;
    IdIterator direct({9, 10}, tally);
    EXPECT_TRUE(direct);
    EXPECT_EQ(static_cast<long>(*direct), 9);
    ++direct;
    EXPECT_EQ(static_cast<long>(*direct.operator->()), 10);
    ++direct;
    EXPECT_FALSE(direct);
}

TEST(qvSmartPtr, Tests_true_while_get_is_not_null) {
    IntHolder holder;
    EXPECT_FALSE(static_cast<bool>(holder));
    holder.value_ = 42;
    EXPECT_TRUE(static_cast<bool>(holder));
    EXPECT_EQ(*holder, 42);
}

TEST(qvWrap, Converts_to_and_from_its_value) {
    constexpr qvWrap<long> id = 17;
    static_assert(static_cast<long>(id) == 17);
    const qvWrap<double> width(0.25);
    const double back = width;
    EXPECT_EQ(back, 0.25);
    EXPECT_EQ(static_cast<float>(qvWrap<float>()), 0.0f);
}
