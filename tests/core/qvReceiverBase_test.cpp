// The connection protocol between receivers and senders: both sides' lists,
// the destruction hooks, and the walks of a receiver over its senders.

#include <orvane/core/qvReceiverBase.hpp>
#include <orvane/core/qvSenderInvalidate.hpp>

#include <qvNotificationProbe.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using Receiver = qvRecordingReceiver<long>;
using Log = qvNotificationLog;

// A sender that logs the receivers whose destruction it is told of.
class RecordingSender : public qvSenderInvalidate<long> {
public:
    std::vector<qvReceiverBase*> gone;

protected:
    void partner_destroyed(qvReceiverBase* receiver) override { gone.push_back(receiver); }
};

// A partner handed to a hook is an identity only; it may be freed already.
template <class T>
std::uintptr_t address_of(T* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

// A receiver that leaves disconnecting to the base, so its senders hear of
// its destruction.
class Plain : public qvBroadcastReceiver<qvInvalidateEvent<long>> {
public:
    void invalidate() override {}
    void invalidate(long const&, int) override {}
};

std::vector<qvSenderBase*> senders_of(qvReceiverBase& receiver) {
    std::vector<qvSenderBase*> seen;
    for (qvReceiverBase::InternalIterator walk(receiver); walk; ++walk)
        seen.push_back(walk.get());
    return seen;
}

std::vector<qvReceiverBase*> receivers_of(qvSenderBase& sender) {
    std::vector<qvReceiverBase*> seen;
    for (qvSenderBase::InternalIterator walk(sender); walk; ++walk)
        seen.push_back(&*walk);
    return seen;
}

TEST(qvReceiverBase, Connecting_lists_each_side_in_the_other) {
    Log log;
    RecordingSender s1, s2;
    Receiver a("A", log), b("B", log);
    a.connect(s1);
    a.connect(s2);
    b.connect(s1);
    EXPECT_EQ(senders_of(a), (std::vector<qvSenderBase*>{&s2, &s1}));
    EXPECT_EQ(receivers_of(s1), (std::vector<qvReceiverBase*>{&b, &a}));
    a.disconnect(s1);
    EXPECT_EQ(senders_of(a), (std::vector<qvSenderBase*>{&s2}));
    EXPECT_EQ(receivers_of(s1), (std::vector<qvReceiverBase*>{&b}));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(s1.gone.empty());
}

TEST(qvReceiverBase, Destroying_a_sender_tells_every_receiver_of_both_lists_once) {
    Log log;
    auto sender = std::make_unique<RecordingSender>();
    RecordingSender other;
    Receiver a("A", log), b("B", log, false), c("C", log);
    for (Receiver* r : {&a, &b, &c})
        r->connect(*sender);
    c.connect(other);
    const std::uintptr_t gone = address_of(sender.get());
    sender.reset();
    EXPECT_EQ(log, (Log{"C sender gone", "A sender gone", "B sender gone"}));
    ASSERT_EQ(a.gone_senders.size(), 1u);
    EXPECT_EQ(address_of(a.gone_senders[0]), gone);
    EXPECT_TRUE(a.empty());
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(senders_of(c), (std::vector<qvSenderBase*>{&other}));
}

TEST(qvReceiverBase, Destroying_a_receiver_tells_each_sender_once_and_leaves_it) {
    Log log;
    RecordingSender s1, s2;
    auto a = std::make_unique<Plain>();
    Receiver b("B", log);
    a->connect(s1);
    a->connect(s2);
    b.connect(s1);
    const std::uintptr_t gone = address_of(a.get());
    a.reset();
    ASSERT_EQ(s1.gone.size(), 1u);
    ASSERT_EQ(s2.gone.size(), 1u);
    EXPECT_EQ(address_of(s1.gone[0]), gone);
    EXPECT_EQ(address_of(s2.gone[0]), gone);
    EXPECT_TRUE(s2.empty(true));
    EXPECT_EQ(receivers_of(s1), (std::vector<qvReceiverBase*>{&b}));
}

TEST(qvReceiverBase, Disconnecting_what_is_not_connected_changes_nothing) {
    Log log;
    RecordingSender s1, s2;
    Receiver a("A", log);
    a.disconnect_all();
    a.disconnect(s1);
    a.connect(s2);
    a.disconnect(s1);
    EXPECT_EQ(senders_of(a), (std::vector<qvSenderBase*>{&s2}));
    EXPECT_EQ(receivers_of(s2), (std::vector<qvReceiverBase*>{&a}));
    EXPECT_TRUE(s1.gone.empty() && s2.gone.empty() && log.empty());
}

TEST(qvReceiverBase, Disconnect_all_leaves_neither_side_listing_the_other) {
    Log log;
    RecordingSender s1, s2;
    Receiver a("A", log, false);
    a.connect(s1);
    a.connect(s2, 3);
    a.connect(s1);
    a.disconnect_all();
    EXPECT_TRUE(a.empty());
    EXPECT_TRUE(s1.empty(false) && s2.empty(false));
    EXPECT_TRUE(s1.gone.empty() && log.empty());
}

TEST(qvReceiverBase, Changing_the_option_re_files_with_every_sender) {
    Log log;
    RecordingSender s1, s2;
    Receiver a("A", log);
    a.connect(s1);
    a.connect(s2, 4);
    a.ordered(false);
    EXPECT_FALSE(a.ordered());
    EXPECT_TRUE(s1.empty(true) && s2.empty(true));
    a.disconnect(s2);  // from the list the option now names
    EXPECT_TRUE(s2.empty(false));
    a.ordered(true);
    EXPECT_EQ(receivers_of(s1), (std::vector<qvReceiverBase*>{&a}));
}

TEST(qvReceiverBase, Disconnecting_during_its_own_walk_ends_that_walk) {
    Log log;
    RecordingSender s1, s2, s3;
    Receiver a("A", log);
    for (RecordingSender* s : {&s3, &s2, &s1})
        a.connect(*s);
    std::vector<qvSenderBase*> seen;
    for (qvReceiverBase::InternalIterator walk(a); walk; ++walk) {
        seen.push_back(walk.get());
        a.disconnect(s2);
    }
    EXPECT_EQ(seen, (std::vector<qvSenderBase*>{&s1}));
    EXPECT_EQ(senders_of(a), (std::vector<qvSenderBase*>{&s1, &s3}));
    EXPECT_TRUE(s2.empty(true));
}

TEST(qvReceiverBase, A_sender_destroyed_during_a_walk_over_senders_waits_for_the_cursor) {
    Log log;
    RecordingSender s1, s3;
    auto s2 = std::make_unique<RecordingSender>();
    Receiver a("A", log);
    a.connect(s3);
    a.connect(*s2);
    a.connect(s1);
    std::vector<qvSenderBase*> seen;
    for (qvReceiverBase::InternalIterator walk(a); walk; ++walk) {
        seen.push_back(walk.get());
        if (walk.get() == s2.get())
            s2.reset();
    }
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(senders_of(a), (std::vector<qvSenderBase*>{&s1, &s3}));
}

TEST(qvReceiverBase, A_receiver_destroyed_during_its_own_walk_ends_it_safely) {
    RecordingSender s1, s2;
    auto a = std::make_unique<Plain>();
    a->connect(s1);
    a->connect(s2);
    int steps = 0;
    for (qvReceiverBase::InternalIterator walk(*a); walk; ++walk) {
        ++steps;
        a.reset();
    }
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(s1.gone.size(), 1u);
    EXPECT_EQ(s2.gone.size(), 1u);
    EXPECT_TRUE(s1.empty(true) && s2.empty(true));
}

// The rectangle collectors of the views re-connect from inside the hook of a
// dying sender.
class Reconnecting : public Receiver {
public:
    Reconnecting(Log& log, qvSenderInvalidate<long>& next) : Receiver("R", log), next_(next) {}

protected:
    void partner_destroyed(qvSenderBase* sender) override {
        Receiver::partner_destroyed(sender);
        disconnect_all();
        connect(next_);
    }

private:
    qvSenderInvalidate<long>& next_;
};

TEST(qvReceiverBase, A_hook_may_reconnect_while_its_sender_dies) {
    Log log;
    RecordingSender next;
    auto dying = std::make_unique<RecordingSender>();
    Reconnecting r(log, next);
    r.connect(*dying);
    dying.reset();
    EXPECT_EQ(senders_of(r), (std::vector<qvSenderBase*>{&next}));
    log.clear();
    next.invalidate();
    EXPECT_EQ(log, (Log{"R all"}));
}

}  // namespace
