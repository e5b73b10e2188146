// orvane::auto_ptr: ownership moves on copy; every object is deleted once.

#include <orvane/core/qvAutoPtr.hpp>

#include <gtest/gtest.h>

#include <vector>

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
        {
            Ptr copy(source);
            EXPECT_EQ(copy.get(), source.get());
            EXPECT_TRUE(copy.owner());
            EXPECT_FALSE(source.owner());
            Ptr other(new Counted(&second));
            copy = other;
            EXPECT_EQ(first, 1);
            EXPECT_FALSE(other.owner());
            Ptr& same = copy;   // self-assignment, hidden from the compiler
            copy = std::move(same);
            copy = same;
            EXPECT_TRUE(copy.owner());
        }
        EXPECT_EQ(second, 1);
    }
    EXPECT_EQ(first, 1);
}

TEST(orvaneAutoPtr, Same_pointer_assignment_deletes_nothing_and_keeps_one_owner) {
    int deleted = 0;
    {
        Ptr owner(new Counted(&deleted));
        Ptr borrower(owner);   // borrower owns now
        owner = borrower;      // back again
        EXPECT_TRUE(owner.owner());
        EXPECT_FALSE(borrower.owner());
        borrower = owner;
        owner = borrower;
        EXPECT_TRUE(owner.owner());
        EXPECT_FALSE(borrower.owner());
        EXPECT_EQ(deleted, 0);
        orvane::auto_ptr<Derived> derived(new Derived(&deleted));
        Ptr base(derived), other;
        EXPECT_FALSE(derived.owner());
        other = derived;       // same object, nobody owned it through `derived`
        Counted* raw = Ptr(new Counted(&deleted)).release();
        EXPECT_EQ(deleted, 0);
        delete raw;
    }
    EXPECT_EQ(deleted, 3);
}

TEST(orvaneAutoPtr, Vector_growth_and_by_value_passing_keep_one_owner) {
    static_assert(std::is_nothrow_move_constructible_v<Ptr>);
    int deleted = 0;
    {
        std::vector<Ptr> held;
        for (int i = 0; i < 40; ++i) held.push_back(Ptr(new Counted(&deleted)));
        auto by_value = [](Ptr p) { return p.get() != nullptr; };
        EXPECT_TRUE(by_value(held[0]));   // the parameter took the object and deleted it
        EXPECT_EQ(deleted, 1);
        held.erase(held.begin() + 1);
        EXPECT_EQ(deleted, 2);
    }
    EXPECT_EQ(deleted, 40);
}
