// The receiver lists of a sender and their cursor, driven directly. The
// receivers are bare identities: the bookkeeping never calls them.

#include "core/qvSenderImplementation.hpp"

#include <orvane/core/qvReceiverBase.hpp>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

class SenderLists : public ::testing::Test {
protected:
    std::unique_ptr<qvSenderImpl, void (*)(qvSenderImpl*)> impl{qvSenderImpl::create(),
                                                                 [](qvSenderImpl* p) { p->orphan(); }};
    qvReceiverBase a, b, c, d;
    std::map<qvReceiverBase const*, std::string> names{{&a, "A"}, {&b, "B"}, {&c, "C"}, {&d, "D"}};

    std::string name(qvReceiverBase const* r) { return r ? names[r] : "-"; }

    // Current receiver and priority, e.g. "B5".
    std::string here() { return name(impl->receiver()) + std::to_string(impl->priority()); }

    // The rest of a walk already begun, from the current entry.
    std::string rest(bool started) {
        std::string seen;
        for (bool more = started; more; more = impl->next())
            seen += here() + " ";
        return seen;
    }
    std::string list(bool ordered) { return rest(impl->begin(ordered)); }
    std::string all() { return rest(impl->begin()); }
};

TEST_F(SenderLists, Ordered_list_is_descending_with_the_latest_of_equal_priorities_first) {
    impl->insert(&a, 0, true);
    impl->insert(&b, 5, true);
    impl->insert(&c, 5, true);
    impl->insert(&d, -1, true);
    EXPECT_EQ(list(true), "C5 B5 A0 D-1 ");
}

TEST_F(SenderLists, Plain_list_is_newest_first_and_walked_after_the_ordered_one) {
    impl->insert(&a, 9, false);
    impl->insert(&b, 0, false);
    impl->insert(&c, 1, true);
    EXPECT_EQ(list(false), "B0 A9 ");
    EXPECT_EQ(all(), "C1 B0 A9 ");
    impl->remove(&c, 1, true);
    EXPECT_EQ(all(), "B0 A9 ");
}

TEST_F(SenderLists, Priority_walk_visits_exactly_one_priority) {
    impl->insert(&a, 7, true);
    impl->insert(&b, 5, true);
    impl->insert(&c, 5, true);
    impl->insert(&d, 3, true);
    EXPECT_EQ(rest(impl->begin(5, true)), "C5 B5 ");
    EXPECT_FALSE(impl->begin(4, true));
    EXPECT_EQ(rest(impl->begin(3, true)), "D3 ");
}

TEST_F(SenderLists, Find_stops_at_a_lower_priority_in_the_ordered_list_only) {
    impl->insert(&a, 7, true);
    impl->insert(&b, 3, true);
    EXPECT_FALSE(impl->find(&b, 5, true));
    EXPECT_TRUE(impl->find(&b, 3, true));
    EXPECT_EQ(rest(true), "B3 ");  // state single: one entry only
    impl->insert(&c, 9, false);
    impl->insert(&d, 1, false);
    EXPECT_TRUE(impl->find(&c, 9, false));
    EXPECT_FALSE(impl->find(&c, 1, false));
}

TEST_F(SenderLists, Removing_the_entry_under_the_cursor_waits_for_the_step) {
    impl->insert(&a, 0, true);
    impl->insert(&b, 0, true);
    impl->insert(&c, 0, true);
    ASSERT_TRUE(impl->begin(true));  // on C
    impl->remove(&c, 0, true);
    impl->remove(&a, 0, true);  // not under the cursor: at once
    EXPECT_EQ(here(), "C0");
    EXPECT_EQ(rest(impl->next()), "B0 ");
    EXPECT_EQ(list(true), "B0 ");
}

TEST_F(SenderLists, Remove_names_list_and_priority_and_takes_one_filing) {
    impl->insert(&a, 1, true);
    impl->insert(&a, 1, true);
    impl->remove(&a, 1, false);
    impl->remove(&a, 2, true);
    EXPECT_EQ(list(true), "A1 A1 ");
    impl->remove(&a, 1, true);
    EXPECT_EQ(list(true), "A1 ");
}

// A dropped removal would leave a receiver listed that may since be gone.
TEST_F(SenderLists, Starting_a_walk_applies_a_pending_action_instead_of_dropping_it) {
    impl->insert(&a, 0, true);
    impl->insert(&b, 0, true);
    ASSERT_TRUE(impl->begin(true));
    impl->remove(&b, 0, true);
    ASSERT_TRUE(impl->find(&a, 0, true));
    impl->toggle_list();
    EXPECT_EQ(list(true), "");
    EXPECT_EQ(list(false), "A0 ");
}

TEST_F(SenderLists, Refiling_with_a_priority_takes_effect_at_the_step_and_keeps_descending_order) {
    impl->insert(&c, 3, true);
    impl->insert(&b, 5, true);
    impl->insert(&a, 7, true);
    ASSERT_TRUE(impl->begin(true));
    impl->priority(1);
    EXPECT_EQ(here(), "A7");
    // A moved ahead of the cursor, so the same walk meets it again.
    EXPECT_EQ(rest(impl->next()), "B5 C3 A1 ");
    EXPECT_EQ(list(true), "B5 C3 A1 ");
}

TEST_F(SenderLists, Refiling_upwards_searches_from_the_front) {
    impl->insert(&c, 3, true);
    impl->insert(&b, 5, true);
    impl->insert(&a, 7, true);
    ASSERT_TRUE(impl->find(&c, 3, true));
    impl->priority(6);
    impl->end();
    EXPECT_EQ(list(true), "A7 C6 B5 ");
    ASSERT_TRUE(impl->find(&c, 6, true));
    impl->priority(5);  // equal priorities: the re-filed entry goes first
    impl->end();
    EXPECT_EQ(list(true), "A7 C5 B5 ");
}

// Regression: searching from the re-filed entry itself found it as its own
// landmark, so a lowered priority stayed in place and broke the order.
TEST_F(SenderLists, A_lowered_entry_is_never_its_own_landmark) {
    impl->insert(&b, 4, true);
    impl->insert(&a, 5, true);
    ASSERT_TRUE(impl->find(&a, 5, true));
    impl->priority(3);
    impl->end();
    EXPECT_EQ(list(true), "B4 A3 ");
}

TEST_F(SenderLists, Toggling_moves_at_the_step_and_two_toggles_cancel) {
    impl->insert(&a, 2, true);
    impl->insert(&b, 4, true);
    impl->insert(&c, 0, false);
    ASSERT_TRUE(impl->begin(true));  // on B
    impl->toggle_list();
    EXPECT_EQ(here(), "B4");
    EXPECT_TRUE(impl->ordered());
    impl->next();
    EXPECT_EQ(list(false), "B4 C0 ");
    ASSERT_TRUE(impl->begin(false));  // on B, in the plain list
    impl->toggle_list();
    impl->toggle_list();
    impl->end();
    EXPECT_EQ(list(false), "B4 C0 ");
    ASSERT_TRUE(impl->find(&c, 0, false));
    impl->toggle_list();
    impl->end();
    EXPECT_EQ(list(true), "A2 C0 ");
}

TEST_F(SenderLists, Toggle_with_a_new_priority_lands_in_order) {
    impl->insert(&a, 8, true);
    impl->insert(&b, 2, true);
    impl->insert(&c, 0, false);
    ASSERT_TRUE(impl->find(&c, 0, false));
    impl->priority(5);
    impl->toggle_list();
    impl->end();
    EXPECT_EQ(list(true), "A8 C5 B2 ");
}

TEST_F(SenderLists, Refiling_is_ignored_when_idle_or_after_a_removal) {
    impl->insert(&a, 2, true);
    impl->priority(9);
    impl->toggle_list();
    ASSERT_TRUE(impl->begin(true));
    impl->remove(&a, 2, true);
    impl->toggle_list();
    impl->priority(4);
    impl->end();
    EXPECT_TRUE(impl->empty(true));
    EXPECT_TRUE(impl->empty(false));
}

TEST_F(SenderLists, Toggling_a_filing_away_from_the_cursor_leaves_the_walk_alone) {
    impl->insert(&a, 0, true);
    impl->insert(&b, 0, true);
    impl->insert(&c, 0, true);
    ASSERT_TRUE(impl->begin(true));  // on C
    impl->toggle_list(&b, 0, true);
    EXPECT_EQ(here(), "C0");
    EXPECT_EQ(rest(impl->next()), "A0 ");
    EXPECT_EQ(list(false), "B0 ");
    impl->toggle_list(&b, 0, false);  // back: before the first of priority <= 0
    EXPECT_EQ(list(true), "B0 C0 A0 ");
}

TEST_F(SenderLists, Toggling_the_filing_under_the_cursor_is_deferred) {
    impl->insert(&a, 0, true);
    impl->insert(&b, 0, true);
    ASSERT_TRUE(impl->begin(true));  // on B
    impl->toggle_list(&b, 0, true);
    EXPECT_EQ(list(true), "A0 ");  // begin applied the move
    EXPECT_EQ(list(false), "B0 ");
    ASSERT_TRUE(impl->begin(false));
    impl->toggle_list(&b, 0, false);
    impl->toggle_list(&b, 0, true);  // its pending place is the ordered list
    impl->end();
    EXPECT_EQ(list(false), "B0 ");
}

TEST_F(SenderLists, A_removal_finds_the_entry_under_the_cursor_by_its_pending_place) {
    impl->insert(&a, 0, true);
    ASSERT_TRUE(impl->begin(true));
    impl->toggle_list();          // A is to move into the plain list...
    impl->remove(&a, 0, false);   // ...so there is where it is removed from
    impl->end();
    EXPECT_TRUE(impl->empty(true));
    EXPECT_TRUE(impl->empty(false));
}

TEST_F(SenderLists, Clear_during_a_walk_leaves_the_cursor_idle) {
    impl->insert(&a, 0, true);
    impl->insert(&b, 0, false);
    ASSERT_TRUE(impl->begin());
    impl->clear();
    EXPECT_FALSE(impl->next());
    EXPECT_EQ(impl->receiver(), nullptr);
    EXPECT_TRUE(impl->empty(true));
    EXPECT_TRUE(impl->empty(false));
}

}  // namespace
