// orvane::auto_ptr: ownership moves on copy; every object is deleted once.

#include <orvane/core/qvAutoPtr.hpp>

#include <gtest/gtest.h>

namespace {

struct Counted {
    explicit Counted(int* deletions) : deletions(deletions) {}
    virtual ~Counted() { ++*deletions; }
    int* deletions;
};
struct Derived : Counted {
    using Counted::Counted;
};
using Ptr = orvane::auto_ptr<Counted>;

}  // namespace

TEST(orvaneAutoPtr, Copy_and_assignment_transfer_and_the_old_target_is_deleted) {
    int first = 0, second = 0;
    {
        const Ptr source(new Counted(&first));
        Ptr copy(source);
        EXPECT_FALSE(source.owner());
        Ptr other(new Counted(&second));
        copy = other;
        EXPECT_EQ(first, 1);
        EXPECT_FALSE(other.owner());
    }
    EXPECT_EQ(second, 1);
}

TEST(orvaneAutoPtr, Same_pointer_assignment_deletes_nothing_and_keeps_one_owner) {
    int deleted = 0;
    {
        Ptr owner(new Counted(&deleted));
        Ptr borrower(owner);   // borrower owns now
        owner = borrower;      // back again
        EXPECT_TRUE(owner.owner());
        Ptr& same = owner;     // self-assignment, hidden from the compiler
        owner = same;
        orvane::auto_ptr<Derived> derived(new Derived(&deleted));
        Ptr base(derived), other;
        other = derived;       // same object, nobody owned it through `derived`
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 2);
}
