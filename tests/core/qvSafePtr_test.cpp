// Counter records, strong and weak pointers, intrusive and separate: every
// probe is deleted exactly once, and weak pointers read null once it is gone.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvWeakPtr.hpp>

#include <gtest/gtest.h>

#include "qvCountedProbe.hpp"
#include "qvFileTestSupport.hpp"

#include <memory>

using qv_file_test::raises;

namespace {

// Public use of these on a weak pointer would leave a stale weak-list entry.
template <class P>
concept PublicReset = requires(P p) { p.reset(); };
template <class P>
concept PublicResetFrom = requires(P p, P const q) { p.reset(q); };
template <class P>
concept PublicAssign = requires(P p, P const q) { p = q; };
static_assert(PublicReset<std::shared_ptr<int>> && PublicAssign<std::shared_ptr<int>>);
static_assert(!PublicReset<qvRefPtrBase>);
static_assert(!PublicResetFrom<qvRefPtrBase>);
static_assert(!PublicAssign<qvRefPtrBase>);

class Counted : public qvRefBase {};

struct Node : public qvRefBase {
    explicit Node(qvProbeTally& t) : tally(t) { ++tally.made; }
    ~Node() { ++tally.destroyed; }
    qvProbeTally& tally;
    qvISafePtr<Node> next;
};

using Widget = qvISafePtr<qvProbeWidget>;
using Plain = qvSafePtr<qvPlainProbe>;

}  // namespace

TEST(qvRefBase, A_copy_starts_unshared_and_a_dying_record_clears_every_watcher) {
    qvIWeakPtr<Counted> first, second;
    {
        Counted original;
        first = qvIWeakPtr<Counted>(&original);
        second = first;
        original.bump();
        Counted copy(original);
        EXPECT_EQ(qvCountOf(copy), 0);
        { Counted gone(original); }   // took no watcher with it
        EXPECT_EQ(first.get(), &original);
        original.dec();
    }
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
}

TEST(qvRefBase, Detach_raises_for_a_missing_list_or_an_unlisted_pointer_and_removes_every_entry) {
    const char* const find_text =
        "_STL::find( weak->c.begin(), weak->c.end(), (qvRefPtrBase*)&wptr ) != weak->c.end()";
    Counted c, other;
    qvIWeakPtr<Counted> stranger(&other);
    EXPECT_TRUE(raises<qvAssertionError>([&] { c.detach(stranger); }, "weak"));
    qvIWeakPtr<Counted> listed(&c);
    c.attach(listed);   // listed twice
    c.detach(listed);
    EXPECT_TRUE(raises<qvAssertionError>([&] { c.detach(listed); }, find_text));
    c.attach(listed);   // once again, for its own destructor
}

TEST(qvRefBaseDeathTest, Destroying_a_counted_record_aborts_with_counter_check) {
    EXPECT_DEATH(Counted().bump(),
                 "Unexpected Orvane error: src/core/qvRefBase.cpp \\[[0-9]+\\] -- assertion failed: counter == 0");
}

TEST(qvISafePtr, Interface_views_share_one_count_and_delete_once_through_any_assignment) {
    qvProbeTally tally;
    {
        Widget widget(new qvProbeWidget(tally, 12)), other(new qvProbeWidget(tally));
        qvISafePtr<qvProbeShape> shape(static_cast<qvRefPtrBase const&>(widget), widget.get());
        qvISafePtr<qvProbeNamed> named(static_cast<qvSafePtrBase const&>(shape), widget.get());
        EXPECT_TRUE(shape == named);
        EXPECT_EQ(shape->area(), 12);
        auto& same = widget;
        widget = same;
        other = widget;   // releases its own
        EXPECT_EQ(tally.destroyed, 1);
        EXPECT_EQ(qvCountOf(*widget.counter()), 4);
    }
    EXPECT_EQ(tally.made, 2);
    EXPECT_EQ(tally.destroyed, 2);
}

// Regression: releasing the old object destroyed the very pointer being
// copied (a member of that object); the new use is now taken first.
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

TEST(qvIWeakPtr, Counts_nothing_and_reads_null_after_the_last_strong_release) {
    qvProbeTally tally;
    qvIWeakPtr<qvProbeWidget> watcher, other;
    {
        Widget owner(new qvProbeWidget(tally)), first(new qvProbeWidget(tally));
        watcher = owner;
        EXPECT_EQ(qvCountOf(*owner.counter()), 1);
        other = first;
        other = owner;   // leaves its first object
    }
    EXPECT_FALSE(watcher);
    EXPECT_FALSE(other);
    EXPECT_FALSE(Widget(watcher));
}

TEST(qvSafePtr, Separate_counter_counts_converts_from_weak_and_deletes_once) {
    qvProbeTally tally;
    qvWeakPtr<qvPlainProbe> watcher;
    {
        Plain a(new qvPlainProbe(tally));
        watcher = a;
        Plain again(watcher);
        EXPECT_TRUE(again == a);
        EXPECT_EQ(qvCountOf(*a.counter()), 2);
    }
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_FALSE(watcher);
}

// A weak pointer made from a raw pointer has no strong owner: its last user
// frees the separate record, never the object, unless a strong pointer took it over.
TEST(qvWeakPtr, Made_from_a_raw_pointer_frees_its_counter_but_never_the_object) {
    qvProbeTally tally;
    auto object = std::make_unique<qvPlainProbe>(tally);
    { qvWeakPtr<qvPlainProbe> w(object.get()), copy(w); }
    Plain owner;
    {
        qvWeakPtr<qvPlainProbe> w(new qvPlainProbe(tally));
        owner = w;
    }
    owner = Plain();
    EXPECT_EQ(tally.destroyed, 1);
}
