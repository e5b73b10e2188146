// Broadcasting invalidation events: the order receivers are called in, the
// arguments they get, and what receivers may do from inside a broadcast.

#include <orvane/core/qvSenderInvalidate.hpp>

#include <qvNotificationProbe.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

using Receiver = qvRecordingReceiver<long>;
using Log = qvNotificationLog;

TEST(qvSenderInvalidate, Without_receivers_nothing_happens) {
    qvSenderInvalidate<long> sender;
    sender.invalidate();
    sender.invalidate(7, 1);
    EXPECT_TRUE(sender.empty());
}

TEST(qvSenderInvalidate, Passes_item_and_flag_unchanged) {
    Log log;
    qvSenderInvalidate<long> sender;
    Receiver a("A", log), b("B", log);
    a.connect(sender);
    b.connect(sender);
    sender.invalidate(-2147483647L - 1, 1);
    sender.invalidate(42, 0);
    for (Receiver* r : {&a, &b}) {
        EXPECT_EQ(r->items, (std::vector<long>{-2147483647L - 1, 42}));
        EXPECT_EQ(r->flags, (std::vector<int>{1, 0}));
    }
}

TEST(qvSenderInvalidate, A_receiver_of_the_plain_list_hears_only_of_the_senders_end) {
    Log log;
    auto sender = std::make_unique<qvSenderInvalidate<long>>();
    Receiver muted("M", log, false);
    muted.connect(*sender);
    EXPECT_TRUE(sender->empty(true));
    EXPECT_FALSE(sender->empty(false));
    sender->invalidate();
    sender->invalidate(1, 0);
    sender.reset();
    EXPECT_EQ(log, (Log{"M sender gone"}));
}

class InsideBroadcast : public ::testing::Test {
protected:
    Log log;
    qvSenderInvalidate<long> sender;
    // Walked R1, R2, R3 (connected in reverse).
    Receiver* r3 = new Receiver("R3", log);
    Receiver* r2 = new Receiver("R2", log);
    Receiver* r1 = new Receiver("R1", log);

    void SetUp() override {
        for (Receiver* r : {r3, r2, r1})
            r->connect(sender);
    }
    void TearDown() override {
        delete r1;
        delete r2;
        delete r3;
    }
    Log broadcast() {
        log.clear();
        sender.invalidate();
        return log;
    }
};

TEST_F(InsideBroadcast, A_receiver_disconnecting_itself_is_not_called_again) {
    r2->on_next_event([this] { r2->disconnect(sender); });
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R2 all", "R3 all"}));
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R3 all"}));
    EXPECT_TRUE(r2->empty());
}

TEST_F(InsideBroadcast, A_receiver_destroying_a_later_one_leaves_the_rest_notified) {
    r1->on_next_event([this] { delete std::exchange(r2, nullptr); });
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R3 all"}));
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R3 all"}));
}

TEST_F(InsideBroadcast, A_receiver_deleting_itself_leaves_the_rest_notified) {
    r2->on_next_event([this] { delete std::exchange(r2, nullptr); });
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R2 all", "R3 all"}));
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R3 all"}));
}

TEST_F(InsideBroadcast, A_nested_broadcast_restarts_the_walk_and_ends_the_outer_one) {
    r1->on_next_event([this] { sender.invalidate(); });
    log.clear();
    sender.invalidate(5, 0);
    EXPECT_EQ(log, (Log{"R1 item", "R1 all", "R2 all", "R3 all"}));
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R2 all", "R3 all"}));
}

// Regression: the nested walk used to drop R1's pending removal, so the
// sender kept listing R1 after R1 was freed.
TEST_F(InsideBroadcast, A_removal_pending_when_a_nested_broadcast_starts_is_kept) {
    r1->on_next_event([this] {
        r1->disconnect(sender);
        sender.invalidate();
        delete std::exchange(r1, nullptr);
    });
    log.clear();
    sender.invalidate(5, 0);
    EXPECT_EQ(log, (Log{"R1 item", "R2 all", "R3 all"}));
    EXPECT_EQ(broadcast(), (Log{"R2 all", "R3 all"}));
}

TEST_F(InsideBroadcast, Muting_itself_does_not_keep_later_receivers_from_being_called) {
    r2->on_next_event([this] { r2->ordered(false); });
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R2 all", "R3 all"}));
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R3 all"}));
    EXPECT_FALSE(sender.empty(false));
}

TEST_F(InsideBroadcast, Muting_and_unmuting_inside_one_event_cancel) {
    r2->on_next_event([this] {
        r2->ordered(false);
        r2->ordered(true);
    });
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R2 all", "R3 all"}));
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R2 all", "R3 all"}));
    EXPECT_TRUE(sender.empty(false));
}

TEST_F(InsideBroadcast, Muting_another_receiver_moves_it_at_once) {
    r1->on_next_event([this] { r2->ordered(false); });
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R3 all"}));
}

TEST_F(InsideBroadcast, A_receiver_destroying_the_sender_ends_the_walk_safely) {
    auto* doomed = new qvSenderInvalidate<long>;
    for (Receiver* r : {r3, r2, r1})
        r->connect(*doomed);
    r1->on_next_event([doomed] { delete doomed; });
    log.clear();
    doomed->invalidate(3, 1);
    EXPECT_EQ(log, (Log{"R1 item", "R1 sender gone", "R2 sender gone", "R3 sender gone"}));
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R2 all", "R3 all"}));
}

TEST_F(InsideBroadcast, A_throwing_receiver_ends_the_walk_and_its_deferred_removal_holds) {
    r2->on_next_event([this] {
        r2->disconnect(sender);
        throw std::runtime_error("refused");
    });
    EXPECT_THROW(broadcast(), std::runtime_error);
    EXPECT_EQ(log, (Log{"R1 all", "R2 all"}));
    EXPECT_EQ(broadcast(), (Log{"R1 all", "R3 all"}));
}

TEST(qvSenderInvalidate, Muting_re_files_and_unmuting_puts_the_receiver_first_among_equals) {
    Log log;
    qvSenderInvalidate<long> sender;
    Receiver a("A", log), b("B", log);
    a.connect(sender);
    b.connect(sender);
    a.ordered(true);
    sender.invalidate();
    EXPECT_EQ(log, (Log{"B all", "A all"}));
    a.ordered(false);
    log.clear();
    sender.invalidate();
    EXPECT_EQ(log, (Log{"B all"}));
    a.ordered(true);
    log.clear();
    sender.invalidate();
    EXPECT_EQ(log, (Log{"A all", "B all"}));
}

TEST(qvSenderInvalidate, A_pair_connected_twice_is_called_twice_until_disconnected_twice) {
    Log log;
    qvSenderInvalidate<long> sender;
    Receiver a("A", log);
    a.connect(sender);
    a.connect(sender);
    sender.invalidate();
    EXPECT_EQ(log, (Log{"A all", "A all"}));
    a.disconnect(sender);
    log.clear();
    sender.invalidate();
    EXPECT_EQ(log, (Log{"A all"}));
    a.disconnect(sender);
    EXPECT_TRUE(sender.empty(true));
    EXPECT_TRUE(a.empty());
}

}  // namespace
