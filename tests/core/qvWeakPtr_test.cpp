#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvWeakPtr.hpp>

#include <gtest/gtest.h>

#include "qvCountedProbe.hpp"
#include "qvIntrusiveProbe.hpp"

#include <memory>

TEST(qvIWeakPtr, Reads_null_after_the_last_strong_release) {
    qvProbeTally tally;
    qvIWeakPtr<qvProbeWidget> watcher;
    {
        qvISafePtr<qvProbeWidget> owner(new qvProbeWidget(tally));
        watcher = owner;
        EXPECT_EQ(qvCountOf(*owner.counter()), 1);   // watching counts nothing
        EXPECT_TRUE(watcher == owner);
        EXPECT_EQ(watcher->area(), 6);
    }
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_FALSE(watcher);
    EXPECT_EQ(watcher.counter(), nullptr);
    qvISafePtr<qvProbeWidget> revived(watcher);
    EXPECT_FALSE(revived);
}

TEST(qvIWeakPtr, Made_from_a_raw_intrusive_object_adds_no_count) {
    qvProbeTally tally;
    auto* widget = new qvProbeWidget(tally);
    {
        qvIWeakPtr<qvProbeWidget> w(widget);
        qvIWeakPtr<qvProbeWidget> copy(w);
        EXPECT_TRUE(w.invasive());
        EXPECT_EQ(qvCountOf(*w.counter()), 0);
    }
    EXPECT_EQ(tally.destroyed, 0);
    qvISafePtr<qvProbeWidget> owner(widget);   // adopts it; deletes it below
}

TEST(qvIWeakPtr, Reassigned_watcher_leaves_its_first_object) {
    qvProbeTally tally;
    qvISafePtr<qvProbeWidget> first(new qvProbeWidget(tally));
    qvISafePtr<qvProbeWidget> second(new qvProbeWidget(tally));
    qvIWeakPtr<qvProbeWidget> watcher(first);
    watcher = second;
    first = qvISafePtr<qvProbeWidget>();       // no stale entry is cleared here
    EXPECT_EQ(watcher.get(), second.get());
    auto& same = watcher;
    watcher = same;
    second = qvISafePtr<qvProbeWidget>();
    EXPECT_FALSE(watcher);
}

TEST(qvWeakPtr, Reads_null_after_the_separate_counter_dies) {
    qvProbeTally tally;
    qvWeakPtr<qvPlainProbe> watcher;
    {
        qvSafePtr<qvPlainProbe> owner(new qvPlainProbe(tally));
        watcher = owner;
        qvWeakPtr<qvPlainProbe> second(watcher);
        EXPECT_FALSE(watcher.invasive());
    }
    EXPECT_EQ(tally.destroyed, 1);
    EXPECT_FALSE(watcher);
    EXPECT_FALSE(qvSafePtr<qvPlainProbe>(watcher));
}

// The separate record a weak pointer makes from a raw pointer has no strong
// owner; its last weak user frees it (leak checking sees the rest) and the
// object stays the caller's.
TEST(qvWeakPtr, Made_from_a_raw_pointer_frees_its_counter_but_never_the_object) {
    qvProbeTally tally;
    auto object = std::make_unique<qvPlainProbe>(tally);
    {
        qvWeakPtr<qvPlainProbe> w(object.get());
        ASSERT_NE(w.counter(), nullptr);
        EXPECT_EQ(qvCountOf(*w.counter()), 0);
        qvWeakPtr<qvPlainProbe> copy(w);
        qvWeakPtr<qvPlainProbe> assigned;
        assigned = copy;
        EXPECT_TRUE(assigned == w);
        w = qvWeakPtr<qvPlainProbe>();
        EXPECT_TRUE(copy);
    }
    EXPECT_EQ(tally.destroyed, 0);
}

TEST(qvWeakPtr, Strong_pointer_from_a_raw_weak_counter_outlives_the_weak_one) {
    qvProbeTally tally;
    qvSafePtr<qvPlainProbe> owner;
    {
        qvWeakPtr<qvPlainProbe> w(new qvPlainProbe(tally));
        owner = w;
    }
    EXPECT_EQ(qvCountOf(*owner.counter()), 1);
    owner = qvSafePtr<qvPlainProbe>();
    EXPECT_EQ(tally.destroyed, 1);
}
