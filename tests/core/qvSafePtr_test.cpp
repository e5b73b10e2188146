#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvWeakPtr.hpp>

#include <gtest/gtest.h>

#include "qvCountedProbe.hpp"
#include "qvIntrusiveProbe.hpp"

namespace {

qvISafePtr<qvProbeShape> as_shape(qvRefPtrBase const& p, qvProbeWidget* w) {
    return qvISafePtr<qvProbeShape>(p, w);
}

// Handle classes take "any strong pointer" this way.
qvISafePtr<qvProbeNamed> named_from(qvSafePtrBase const& any, qvProbeNamed* object) {
    return qvISafePtr<qvProbeNamed>(any, object);
}

struct Node : public qvRefBase {
    explicit Node(qvProbeTally& t) : tally(t) { ++tally.made; }
    ~Node() { ++tally.destroyed; }
    qvProbeTally& tally;
    qvISafePtr<Node> next;
};

}  // namespace

TEST(qvISafePtr, Counts_one_two_then_deletes_once) {
    qvProbeTally tally;
    {
        qvISafePtr<qvProbeWidget> a(new qvProbeWidget(tally));
        EXPECT_TRUE(a.invasive());
        EXPECT_EQ(qvCountOf(*a.counter()), 1);
        {
            qvISafePtr<qvProbeWidget> b(a);
            EXPECT_EQ(qvCountOf(*a.counter()), 2);
        }
        EXPECT_EQ(qvCountOf(*a.counter()), 1);
        EXPECT_EQ(tally.destroyed, 0);
    }
    EXPECT_EQ(tally.made, 1);
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvISafePtr, Interface_views_share_one_count_and_compare_equal) {
    qvProbeTally tally;
    {
        qvISafePtr<qvProbeWidget> widget(new qvProbeWidget(tally, 12));
        qvISafePtr<qvProbeShape> shape = as_shape(widget, widget.get());
        qvISafePtr<qvProbeNamed> named = named_from(shape, widget.get());
        EXPECT_EQ(qvCountOf(*widget.counter()), 3);
        EXPECT_TRUE(shape == named);
        EXPECT_FALSE(shape != widget);
        EXPECT_NE(static_cast<void*>(shape.get()), static_cast<void*>(named.get()));
        EXPECT_EQ(shape->area(), 12);
        EXPECT_STREQ(named->name(), "widget");
        widget = qvISafePtr<qvProbeWidget>();
        shape = qvISafePtr<qvProbeShape>();
        EXPECT_EQ(tally.destroyed, 0);   // the named view still holds it
    }
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvISafePtr, Self_and_sharing_assignment_count_nothing) {
    qvProbeTally tally;
    qvISafePtr<qvProbeWidget> a(new qvProbeWidget(tally));
    qvISafePtr<qvProbeWidget> b(a);
    auto& same = a;
    a = same;
    a = b;
    qvSafePtr<qvProbeWidget> c(b);     // another kind, same counter
    a = c;
    EXPECT_EQ(qvCountOf(*a.counter()), 3);
    EXPECT_EQ(tally.destroyed, 0);
}

TEST(qvISafePtr, Assignment_releases_the_old_object) {
    qvProbeTally tally;
    qvISafePtr<qvProbeWidget> a(new qvProbeWidget(tally));
    qvISafePtr<qvProbeWidget> b(new qvProbeWidget(tally));
    a = b;
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_EQ(qvCountOf(*b.counter()), 2);
    a = qvISafePtr<qvProbeWidget>();
    EXPECT_FALSE(a);
    EXPECT_EQ(a.counter(), nullptr);
    EXPECT_EQ(qvCountOf(*b.counter()), 1);
}

// Releasing the old object used to destroy the very pointer being copied
// (a member of that object): the new use is now taken first.
TEST(qvISafePtr, Assigning_a_member_of_the_released_object_keeps_it_alive) {
    qvProbeTally tally;
    qvISafePtr<Node> head(new Node(tally));
    head->next = qvISafePtr<Node>(new Node(tally));
    Node* const second = head->next.get();
    head = head->next;
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_EQ(head.get(), second);
    EXPECT_EQ(qvCountOf(*head.counter()), 1);
}

TEST(qvISafePtr, Null_pointers_are_empty_and_equal) {
    qvISafePtr<qvProbeWidget> a;
    qvISafePtr<qvProbeWidget> b(static_cast<qvProbeWidget*>(nullptr));
    EXPECT_FALSE(a);
    EXPECT_FALSE(b.invasive());
    EXPECT_EQ(b.counter(), nullptr);
    EXPECT_TRUE(a == b);
}

TEST(qvSafePtr, Separate_counter_counts_and_deletes_once) {
    qvProbeTally tally;
    {
        qvSafePtr<qvPlainProbe> a(new qvPlainProbe(tally));
        EXPECT_FALSE(a.invasive());
        ASSERT_NE(a.counter(), nullptr);
        EXPECT_EQ(qvCountOf(*a.counter()), 1);
        qvSafePtr<qvPlainProbe> b;
        b = a;
        EXPECT_EQ(qvCountOf(*a.counter()), 2);
        EXPECT_TRUE(a == b);
    }
    EXPECT_EQ(tally.destroyed, 1);
}

TEST(qvSafePtr, Converts_from_a_weak_pointer_while_the_object_lives) {
    qvProbeTally tally;
    qvSafePtr<qvPlainProbe> owner(new qvPlainProbe(tally));
    qvWeakPtr<qvPlainProbe> watcher(owner);
    qvSafePtr<qvPlainProbe> again(watcher);
    EXPECT_EQ(again.get(), owner.get());
    EXPECT_EQ(qvCountOf(*owner.counter()), 2);
}
