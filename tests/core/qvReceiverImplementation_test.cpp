// The sender list of a receiver and its cursor, driven directly. The senders
// are bare identities: the bookkeeping never calls them.

#include "core/qvReceiverImplementation.hpp"

#include <orvane/core/qvSenderBase.hpp>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

class ReceiverList : public ::testing::Test {
protected:
    std::unique_ptr<qvReceiverImpl, void (*)(qvReceiverImpl*)> impl{
        qvReceiverImpl::create(), [](qvReceiverImpl* p) { p->orphan(); }};
    qvSenderBase a, b, c;
    std::map<qvSenderBase const*, std::string> names{{&a, "A"}, {&b, "B"}, {&c, "C"}};

    std::string rest(bool started) {
        std::string seen;
        for (bool more = started; more; more = impl->next())
            seen += names[impl->sender()] + std::to_string(impl->priority()) + " ";
        return seen;
    }
    std::string all() { return rest(impl->begin()); }
};

TEST_F(ReceiverList, Lists_the_newest_connection_first) {
    impl->insert(&a, 1);
    impl->insert(&b, 2);
    impl->insert(&a, 3);
    EXPECT_EQ(all(), "A3 B2 A1 ");
    EXPECT_TRUE(impl->find(&a));
    EXPECT_EQ(rest(true), "A3 ");
    EXPECT_FALSE(impl->find(&c));
    EXPECT_EQ(impl->sender(), nullptr);
}

TEST_F(ReceiverList, Removing_the_sender_under_the_cursor_waits_for_the_step) {
    impl->insert(&a, 0);
    impl->insert(&b, 0);
    impl->insert(&c, 0);
    ASSERT_TRUE(impl->begin());  // on C
    impl->remove(&c);
    impl->remove(&a);  // elsewhere: at once
    EXPECT_EQ(impl->sender(), &c);
    EXPECT_EQ(rest(impl->next()), "B0 ");
    EXPECT_EQ(all(), "B0 ");
}

TEST_F(ReceiverList, Ending_or_restarting_a_walk_applies_the_pending_removal) {
    impl->insert(&a, 0);
    impl->insert(&b, 0);
    ASSERT_TRUE(impl->find(&b));
    impl->remove(&b);
    ASSERT_TRUE(impl->find(&a));
    impl->remove(&a);
    impl->end();
    EXPECT_TRUE(impl->empty());
}

TEST_F(ReceiverList, Priority_is_set_on_the_entry_under_the_cursor_only) {
    impl->insert(&a, 0);
    impl->priority(7);  // idle: nothing
    ASSERT_TRUE(impl->find(&a));
    impl->priority(4);
    impl->end();
    EXPECT_EQ(all(), "A4 ");
}

}  // namespace
