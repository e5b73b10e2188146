// The receiver lists of a sender, the sender list of a receiver, and their
// cursors, driven directly. Partners are bare identities the bookkeeping
// never calls; a walk is written as "B5 C3 " (partner and priority).

#include "core/qvReceiverImplementation.hpp"
#include "core/qvSenderImplementation.hpp"

#include <orvane/core/qvReceiverBase.hpp>
#include <orvane/core/qvSenderBase.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace {

class SenderLists : public ::testing::Test {
protected:
    std::unique_ptr<qvSenderImpl, void (*)(qvSenderImpl*)> impl{qvSenderImpl::create(),
                                                                 [](qvSenderImpl* p) { p->orphan(); }};
    qvReceiverBase r[4];   // A, B, C, D

    qvReceiverBase* at(char name) { return &r[name - 'A']; }
    // Files "A7 B5" in this order into one list.
    void file(char const* spec, bool ordered = true) {
        std::istringstream in(spec);
        for (std::string item; in >> item;) impl->insert(at(item[0]), std::stoi(item.substr(1)), ordered);
    }
    std::string here() {
        qvReceiverBase* const p = impl->receiver();
        return (p ? std::string(1, static_cast<char>('A' + (p - r))) : "-") + std::to_string(impl->priority());
    }
    // The rest of a walk already begun, from the current entry.
    std::string rest(bool started) {
        std::string seen;
        for (bool more = started; more; more = impl->next()) seen += here() + " ";
        return seen;
    }
    std::string list(bool ordered) { return rest(impl->begin(ordered)); }
    std::string all() { return rest(impl->begin()); }
    // Re-files one ordered filing as a walk standing on it would, then shows the list.
    std::string refiled(char name, int from, int to) {
        if (!impl->find(at(name), from, true)) return "not found";
        impl->priority(to);
        impl->end();
        return list(true);
    }
};

TEST_F(SenderLists, Ordered_list_descends_with_the_latest_equal_first_and_the_plain_list_follows) {
    file("A0 B5 C5 D-1");
    EXPECT_EQ(list(true), "C5 B5 A0 D-1 ");
    impl->clear();
    file("A9 B0", false);
    file("C1");
    EXPECT_EQ(list(false), "B0 A9 ");
    EXPECT_EQ(all(), "C1 B0 A9 ");
}

TEST_F(SenderLists, Priority_walk_and_find_visit_exactly_what_they_name) {
    file("A7 B5 C5 D3");
    EXPECT_EQ(rest(impl->begin(5, true)), "C5 B5 ");
    EXPECT_FALSE(impl->begin(4, true));
    EXPECT_FALSE(impl->find(at('D'), 5, true));   // stops at a lower priority
    EXPECT_TRUE(impl->find(at('D'), 3, true));
    EXPECT_EQ(rest(true), "D3 ");                  // one entry only
}

TEST_F(SenderLists, Remove_takes_one_filing_of_its_list_and_priority_and_waits_for_the_cursor) {
    file("A1 A1");
    impl->remove(at('A'), 1, false);
    impl->remove(at('A'), 2, true);
    impl->remove(at('A'), 1, true);
    EXPECT_EQ(list(true), "A1 ");
    impl->clear();
    file("A0 B0 C0");
    ASSERT_TRUE(impl->begin(true));   // on C
    impl->remove(at('C'), 0, true);
    impl->toggle_list();              // after a removal: ignored
    impl->remove(at('A'), 0, true);   // not under the cursor: at once
    EXPECT_EQ(here(), "C0");
    EXPECT_EQ(rest(impl->next()), "B0 ");
    EXPECT_EQ(list(true), "B0 ");
    EXPECT_TRUE(impl->empty(false));
}

TEST_F(SenderLists, Refiling_takes_effect_at_the_step_and_keeps_descending_order) {
    file("C3 B5 A7");
    ASSERT_TRUE(impl->begin(true));
    impl->priority(1);
    EXPECT_EQ(here(), "A7");
    EXPECT_EQ(rest(impl->next()), "B5 C3 A1 ");   // moved ahead of the cursor: met again
    EXPECT_EQ(refiled('A', 1, 7), "A7 B5 C3 ");
    EXPECT_EQ(refiled('C', 3, 5), "A7 C5 B5 ");   // equal priorities: the re-filed entry goes first
    // Regression: searching from the re-filed entry itself found it as its
    // own landmark, so a lowered priority stayed in place and broke the order.
    EXPECT_EQ(refiled('A', 7, 4), "C5 B5 A4 ");
}

// Regression: a removal missed an entry whose move to the other list was pending.
TEST_F(SenderLists, A_removal_finds_the_entry_under_the_cursor_by_its_pending_place) {
    file("A0");
    ASSERT_TRUE(impl->begin(true));
    impl->toggle_list();                 // A is to move into the plain list...
    impl->remove(at('A'), 0, false);     // ...so there is where it is removed from
    impl->end();
    EXPECT_TRUE(impl->empty(true));
    EXPECT_TRUE(impl->empty(false));
}

TEST(ReceiverList, Newest_first_with_deferred_removal_under_the_cursor) {
    std::unique_ptr<qvReceiverImpl, void (*)(qvReceiverImpl*)> impl{qvReceiverImpl::create(),
                                                                   [](qvReceiverImpl* p) { p->orphan(); }};
    qvSenderBase s[3];   // A, B, C
    auto rest = [&](bool started) {
        std::string seen;
        for (bool more = started; more; more = impl->next())
            seen += std::string(1, static_cast<char>('A' + (impl->sender() - s))) + std::to_string(impl->priority()) + " ";
        return seen;
    };
    impl->insert(&s[0], 1);
    impl->insert(&s[1], 2);
    impl->insert(&s[0], 3);
    impl->insert(&s[2], 0);
    ASSERT_TRUE(impl->begin());   // on C
    impl->remove(&s[2]);
    impl->remove(&s[1]);          // elsewhere: at once
    EXPECT_EQ(impl->sender(), &s[2]);
    EXPECT_EQ(rest(impl->next()), "A3 A1 ");
    ASSERT_TRUE(impl->find(&s[0]));
    impl->remove(&s[0]);
    ASSERT_TRUE(impl->find(&s[0]));   // restarting applies the pending removal
    impl->remove(&s[0]);
    impl->end();
    EXPECT_TRUE(impl->empty());
}

}  // namespace
