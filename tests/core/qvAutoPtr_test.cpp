#include <orvane/core/qvAutoPtr.hpp>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts deletions per object: every test ends with each object deleted once.
struct Counted {
    explicit Counted(int* deletions) : deletions(deletions) {}
    virtual ~Counted() { ++*deletions; }
    int* deletions;
};

struct Derived : Counted {
    using Counted::Counted;
};

orvane::auto_ptr<Counted> make(int* deletions) { return orvane::auto_ptr<Counted>(new Counted(deletions)); }

}  // namespace

TEST(orvaneAutoPtr, Copy_transfers_ownership_and_the_source_keeps_its_pointer) {
    int deleted = 0;
    {
        const orvane::auto_ptr<Counted> source = make(&deleted);
        {
            orvane::auto_ptr<Counted> copy(source);
            EXPECT_EQ(copy.get(), source.get());
            EXPECT_TRUE(copy.owner());
            EXPECT_FALSE(source.owner());
        }
        EXPECT_EQ(deleted, 1);
    }
    EXPECT_EQ(deleted, 1);
}

TEST(orvaneAutoPtr, Assignment_deletes_the_old_object_and_transfers) {
    int first = 0, second = 0;
    {
        orvane::auto_ptr<Counted> target = make(&first);
        orvane::auto_ptr<Counted> source = make(&second);
        target = source;
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 0);
        EXPECT_FALSE(source.owner());
        orvane::auto_ptr<Counted>& same = target;   // self-assignment, hidden from the compiler
        target = std::move(same);
        target = same;
        EXPECT_TRUE(target.owner());
        EXPECT_EQ(second, 0);
    }
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

TEST(orvaneAutoPtr, Same_pointer_assignment_deletes_nothing_and_keeps_one_owner) {
    int deleted = 0;
    {
        orvane::auto_ptr<Counted> owner = make(&deleted);
        orvane::auto_ptr<Counted> borrower(owner);   // borrower owns now
        owner = borrower;                            // back again
        EXPECT_EQ(deleted, 0);
        EXPECT_TRUE(owner.owner());
        EXPECT_FALSE(borrower.owner());
        borrower = owner;                            // ownership follows
        owner = borrower;                            // neither side drops it
        EXPECT_EQ(deleted, 0);
        EXPECT_TRUE(owner.owner());
        EXPECT_FALSE(borrower.owner());
    }
    EXPECT_EQ(deleted, 1);
}

TEST(orvaneAutoPtr, Released_object_is_not_deleted) {
    int deleted = 0;
    Counted* raw = nullptr;
    {
        orvane::auto_ptr<Counted> p = make(&deleted);
        raw = p.release();
        EXPECT_EQ(p.get(), raw);
    }
    EXPECT_EQ(deleted, 0);
    delete raw;
    EXPECT_EQ(deleted, 1);
}

TEST(orvaneAutoPtr, Vector_growth_and_by_value_passing_keep_one_owner) {
    static_assert(std::is_nothrow_move_constructible_v<orvane::auto_ptr<Counted>>);
    int deleted = 0;
    {
        std::vector<orvane::auto_ptr<Counted>> held;
        for (int i = 0; i < 40; ++i) held.push_back(make(&deleted));
        auto by_value = [](orvane::auto_ptr<Counted> p) { return p.get() != nullptr; };
        EXPECT_TRUE(by_value(held[0]));   // the parameter took the object and deleted it
        EXPECT_EQ(deleted, 1);
        held.erase(held.begin() + 1);
        EXPECT_EQ(deleted, 2);
    }
    EXPECT_EQ(deleted, 40);
}

TEST(orvaneAutoPtr, Converts_to_a_base_and_deletes_through_the_virtual_destructor) {
    int deleted = 0;
    {
        orvane::auto_ptr<Derived> derived(new Derived(&deleted));
        orvane::auto_ptr<Counted> base(derived);
        EXPECT_FALSE(derived.owner());
        orvane::auto_ptr<Counted> other;
        other = derived;   // same object, nobody owned it through `derived`
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 1);
}
