// The connection protocol between receivers and senders: both sides' lists,
// the destruction hooks, the walks of a receiver over its senders, and the
// typed walks over an event interface both sides implement.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvBroadcastSender.hpp>
#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvReceiverBase.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvSenderInvalidate.hpp>

#include <qvNotificationProbe.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using Receiver = qvRecordingReceiver<long>;
using Log = qvNotificationLog;
using Senders = std::vector<qvSenderBase*>;
using Receivers = std::vector<qvReceiverBase*>;

// A sender that notes the receivers whose destruction it is told of, by
// address only: a partner handed to a hook may be freed already.
class RecordingSender : public qvSenderInvalidate<long> {
public:
    std::vector<std::uintptr_t> gone;

protected:
    void partner_destroyed(qvReceiverBase* r) override { gone.push_back(reinterpret_cast<std::uintptr_t>(r)); }
};

// A receiver that leaves disconnecting to the base, so its senders hear of
// its destruction.
class Plain : public qvBroadcastReceiver<qvInvalidateEvent<long>> {
public:
    void invalidate() override {}
    void invalidate(long const&, int) override {}
};

Senders senders_of(qvReceiverBase& receiver) {
    Senders seen;
    for (qvReceiverBase::InternalIterator walk(receiver); walk; ++walk) seen.push_back(walk.get());
    return seen;
}

Receivers receivers_of(qvSenderBase& sender) {
    Receivers seen;
    for (qvSenderBase::InternalIterator walk(sender); walk; ++walk) seen.push_back(&*walk);
    return seen;
}

TEST(qvReceiverBase, Connect_lists_each_side_in_the_other_and_disconnect_undoes_only_that) {
    Log log;
    RecordingSender s1, s2;
    Receiver a("A", log), b("B", log);
    a.disconnect(s1);   // nothing connected: nothing happens
    a.connect(s1);
    a.connect(s2);
    b.connect(s1);
    EXPECT_EQ(senders_of(a), (Senders{&s2, &s1}));
    EXPECT_EQ(receivers_of(s1), (Receivers{&b, &a}));
    a.disconnect(s1);
    EXPECT_EQ(senders_of(a), (Senders{&s2}));
    EXPECT_EQ(receivers_of(s1), (Receivers{&b}));
    a.disconnect_all();
    EXPECT_TRUE(s2.empty(true));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(s1.gone.empty());
}

TEST(qvReceiverBase, Destroying_either_side_tells_each_partner_once_and_leaves_it) {
    Log log;
    auto sender = std::make_unique<RecordingSender>();
    RecordingSender other;
    Receiver a("A", log), b("B", log, false);
    for (Receiver* r : {&a, &b}) r->connect(*sender);
    a.connect(other);
    sender.reset();
    EXPECT_EQ(log, (Log{"A sender gone", "B sender gone"}));
    EXPECT_EQ(senders_of(a), (Senders{&other}));

    auto plain = std::make_unique<Plain>();
    plain->connect(other);
    const std::vector<std::uintptr_t> address{reinterpret_cast<std::uintptr_t>(plain.get())};
    plain.reset();
    EXPECT_EQ(other.gone, address);
    EXPECT_EQ(receivers_of(other), (Receivers{&a}));
}

// A destructor cannot pass an error on: a hook that throws while its
// partner dies ends the program with the error's text.
TEST(qvReceiverBaseDeathTest, A_hook_throwing_while_its_partner_dies_aborts) {
    class ThrowingSender : public qvSenderInvalidate<long> {
    protected:
        void partner_destroyed(qvReceiverBase*) override { qvRaise(qvError("hook failed")); }
    };
    EXPECT_DEATH(
        {
            ThrowingSender sender;
            Plain receiver;
            receiver.connect(sender);
        },
        "hook failed");
}

TEST(qvReceiverBase, Changes_during_a_walk_over_senders_wait_for_the_cursor_or_end_the_walk) {
    Log log;
    RecordingSender s1, s3;
    auto s2 = std::make_unique<RecordingSender>();
    Receiver a("A", log);
    a.connect(s3);
    a.connect(*s2);
    a.connect(s1);
    Senders seen;
    for (qvReceiverBase::InternalIterator walk(a); walk; ++walk) {
        seen.push_back(walk.get());
        if (walk.get() == s2.get()) s2.reset();
    }
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(senders_of(a), (Senders{&s1, &s3}));
    seen.clear();
    for (qvReceiverBase::InternalIterator walk(a); walk; ++walk) {
        seen.push_back(walk.get());
        a.disconnect(s3);   // its own disconnect ends the walk early
    }
    EXPECT_EQ(seen, Senders{&s1});
    EXPECT_EQ(senders_of(a), (Senders{&s1}));
    auto plain = std::make_unique<Plain>();   // destroyed by its own walk
    plain->connect(s1);
    plain->connect(s3);
    int steps = 0;
    for (qvReceiverBase::InternalIterator walk(*plain); walk; ++walk, ++steps) plain.reset();
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(s3.gone.size(), 1u);
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
    EXPECT_EQ(senders_of(r), (Senders{&next}));
    log.clear();
    next.invalidate();
    EXPECT_EQ(log, (Log{"R all"}));
}

// Shaped like the scroller interface: a counted, dynamic interface with
// state of its own, held as a virtual base by both trees.
class Gauge : public qvDynamicInterface, public virtual qvRefBase {
public:
    virtual void set(int v) { value = v; }
    int value = 0;
};

class GaugeSender : public qvBroadcastSender<Gauge> {
public:
    using qvBroadcastSender<Gauge>::broadcast;
};

class GaugeReceiver : public qvBroadcastReceiver<Gauge> {
public:
    void set(int v) override { value = 10 * v; }
};

template <class R, class S>
concept can_connect = requires(R& r, S& s) { r.connect(s); };
static_assert(can_connect<GaugeReceiver, GaugeSender>);
static_assert(!can_connect<GaugeReceiver, qvSenderInvalidate<long>>, "only a sender of its own interface");
static_assert(!can_connect<qvReceiverBase, qvSenderBase>, "untyped connections could not be walked");

TEST(qvBroadcastReceiver, Each_side_walks_the_other_as_the_interface_in_list_order) {
    GaugeSender d1, d2;
    GaugeReceiver first, second, muted;
    static_cast<qvBroadcastReceiver<Gauge>&>(muted).ordered(false);
    for (GaugeReceiver* r : {&first, &second, &muted}) r->connect(d1);
    std::vector<Gauge*> seen;
    for (qvBroadcast2Sender<Gauge>::InternalIterator walk(d1); walk; ++walk) {
        seen.push_back(walk.get());
        walk->set(static_cast<int>(seen.size()));
    }
    EXPECT_EQ(seen, (std::vector<Gauge*>{&second, &first}));
    EXPECT_EQ(first.value, 20);
    first.connect(d2);
    for (qvBroadcast2Receiver<Gauge>::InternalIterator walk(first); walk; ++walk) walk->set(5);
    EXPECT_EQ(d1.value + d2.value, 10);
}

}  // namespace
