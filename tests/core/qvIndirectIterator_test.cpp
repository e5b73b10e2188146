// Owning iterator handles: each underlying iterator is deleted exactly once,
// whichever copies and assignments it went through.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvWrap.hpp>

#include <gtest/gtest.h>

#include "qvCountedProbe.hpp"
#include "qvFileTestSupport.hpp"

#include <vector>

using qv_file_test::raises;

namespace {

using Ids = std::vector<long>;

class IdIterator : public qvIterator<qvWrap<long>> {
public:
    IdIterator(Ids const& ids, qvProbeTally& tally) : ids_(ids.begin(), ids.end()), tally_(tally) { ++tally_.made; }
    ~IdIterator() override { ++tally_.destroyed; }
    qvWrap<long>* get() override { return &ids_[position_]; }
    void next() override { ++position_; }
    bool at_end() const override { return position_ >= ids_.size(); }

private:
    std::vector<qvWrap<long>> ids_;
    std::size_t position_ = 0;
    qvProbeTally& tally_;
};

using Handle = qvIndirectIterator<qvWrap<long>>;
Handle enumerate(Ids const& ids, qvProbeTally& tally) { return Handle(new IdIterator(ids, tally)); }

Ids walk(Handle it) {
    Ids seen;
    for (; it; ++it) seen.push_back(*it);
    return seen;
}

}  // namespace

TEST(qvIndirectIterator, Walks_in_order_and_deletes_once) {
    qvProbeTally tally;
    EXPECT_EQ(walk(enumerate({4, 8, 15}, tally)), (Ids{4, 8, 15}));
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvIndirectIterator, Copy_takes_ownership_and_assignment_deletes_the_targets_own_first) {
    qvProbeTally tally;
    {
        auto target = enumerate({1}, tally);
        {
            Handle copy(target);
            ++copy;
            EXPECT_FALSE(target);   // the source still sees the same iterator
        }
        EXPECT_EQ(tally.destroyed, 1);   // deleted by the copy
        target = enumerate({7}, tally);
        EXPECT_EQ(*target, 7);
    }
    EXPECT_EQ(tally.destroyed, 2);
}

// Regression: assigning a handle that holds the same iterator deleted it
// under both handles.
TEST(qvIndirectIterator, Assigning_the_same_iterator_deletes_nothing) {
    qvProbeTally tally;
    {
        auto owner = enumerate({3, 5}, tally);
        Handle borrower(owner);   // borrower owns now
        owner = borrower;         // and hands it back
        EXPECT_EQ(walk(owner), (Ids{3, 5}));
        EXPECT_EQ(tally.destroyed, 1);
    }
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvIndirectIterator, Empty_handle_ignores_increment_and_refuses_reads) {
    Handle it;
    ++it;
    EXPECT_TRUE(raises<qvAssertionError>([&] { (void)*it; }, "_object.get()"));
}
