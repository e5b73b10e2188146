// Broadcasting invalidation events: the order receivers are called in, the
// arguments they get, and what receivers may do from inside a broadcast.

#include <orvane/core/qvSenderInvalidate.hpp>

#include <qvNotificationProbe.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <utility>

namespace {

using Receiver = qvRecordingReceiver<long>;
using Log = qvNotificationLog;

// R1, R2, R3 on one sender, walked in that order (connected in reverse).
struct Three {
    Log log;
    qvSenderInvalidate<long> sender;
    Receiver* r3 = new Receiver("R3", log);
    Receiver* r2 = new Receiver("R2", log);
    Receiver* r1 = new Receiver("R1", log);

    Three() {
        for (Receiver* r : {r3, r2, r1}) r->connect(sender);
    }
    ~Three() {
        delete r1;
        delete r2;
        delete r3;
    }
    // The calls of an item broadcast, "|", then those of a second, plain one.
    Log two_broadcasts() {
        log.clear();
        sender.invalidate(5, 0);
        log.push_back("|");
        sender.invalidate();
        return log;
    }
};

TEST(qvSenderInvalidate, Unmuting_puts_a_receiver_first_among_equals_and_a_muted_one_hears_only_the_end) {
    Log log;
    auto sender = std::make_unique<qvSenderInvalidate<long>>();
    Receiver a("A", log), b("B", log), muted("M", log, false);
    for (Receiver* r : {&a, &b, &muted}) r->connect(*sender);
    a.ordered(true);   // the same value changes nothing
    sender->invalidate();
    a.ordered(false);
    sender->invalidate(1, 0);
    a.ordered(true);
    sender->invalidate();
    EXPECT_EQ(log, (Log{"B all", "A all", "B item", "A all", "B all"}));
    log.clear();
    sender.reset();
    EXPECT_EQ(log, (Log{"A sender gone", "B sender gone", "M sender gone"}));
}

TEST(qvSenderInvalidate, A_pair_connected_twice_is_called_twice_until_disconnected_twice) {
    Log log;
    qvSenderInvalidate<long> sender;
    Receiver a("A", log);
    a.connect(sender);
    a.connect(sender);
    sender.invalidate();
    a.disconnect(sender);
    sender.invalidate();
    EXPECT_EQ(log, (Log{"A all", "A all", "A all"}));
    a.disconnect(sender);
    EXPECT_TRUE(sender.empty(true));
    EXPECT_TRUE(a.empty());
}

TEST(qvSenderInvalidate, Receivers_may_change_the_list_inside_a_broadcast) {
    using Arm = void (*)(Three&);
    const struct { char const* what; Arm arm; Log expected; } rows[] = {
        {"R2 disconnects itself", [](Three& t) { t.r2->on_next_event([&t] { t.r2->disconnect(t.sender); }); },
         {"R1 item", "R2 item", "R3 item", "|", "R1 all", "R3 all"}},
        {"R1 destroys R2", [](Three& t) { t.r1->on_next_event([&t] { delete std::exchange(t.r2, nullptr); }); },
         {"R1 item", "R3 item", "|", "R1 all", "R3 all"}},
        {"R2 mutes and unmutes itself",
         [](Three& t) { t.r2->on_next_event([&t] { t.r2->ordered(false), t.r2->ordered(true); }); },
         {"R1 item", "R2 item", "R3 item", "|", "R1 all", "R2 all", "R3 all"}},
        // The inner walk restarts the shared cursor; the outer one then ends.
        {"R1 nests", [](Three& t) { t.r1->on_next_event([&t] { t.sender.invalidate(); }); },
         {"R1 item", "R1 all", "R2 all", "R3 all", "|", "R1 all", "R2 all", "R3 all"}},
        // Regression: the nested walk used to drop R1's pending removal, so
        // the sender kept listing R1 after R1 was freed.
        {"R1 disconnects, nests, deletes itself", [](Three& t) {
             t.r1->on_next_event([&t] {
                 t.r1->disconnect(t.sender);
                 t.sender.invalidate();
                 delete std::exchange(t.r1, nullptr);
             });
         },
         {"R1 item", "R2 all", "R3 all", "|", "R2 all", "R3 all"}},
    };
    for (auto const& row : rows) {
        SCOPED_TRACE(row.what);
        Three t;
        row.arm(t);
        EXPECT_EQ(t.two_broadcasts(), row.expected);
    }
}

TEST(qvSenderInvalidate, A_receiver_destroying_the_sender_ends_the_walk_safely) {
    Three t;
    auto* doomed = new qvSenderInvalidate<long>;
    for (Receiver* r : {t.r3, t.r2, t.r1}) r->connect(*doomed);
    t.r1->on_next_event([doomed] { delete doomed; });
    doomed->invalidate(3, 1);
    EXPECT_EQ(t.log, (Log{"R1 item", "R1 sender gone", "R2 sender gone", "R3 sender gone"}));
    EXPECT_EQ(t.two_broadcasts(), (Log{"R1 item", "R2 item", "R3 item", "|", "R1 all", "R2 all", "R3 all"}));
}

TEST(qvSenderInvalidate, A_throwing_receiver_ends_the_walk_and_its_deferred_removal_holds) {
    Three t;
    t.r2->on_next_event([&t] {
        t.r2->disconnect(t.sender);
        throw std::runtime_error("refused");
    });
    EXPECT_THROW(t.sender.invalidate(), std::runtime_error);
    EXPECT_EQ(t.log, (Log{"R1 all", "R2 all"}));
    EXPECT_EQ(t.two_broadcasts(), (Log{"R1 item", "R3 item", "|", "R1 all", "R3 all"}));
}

}  // namespace
