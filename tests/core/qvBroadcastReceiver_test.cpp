// The typed layer over an event interface that both sides implement, as the
// scrollers do: each side walks the other as that interface.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvBroadcastSender.hpp>
#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvSenderInvalidate.hpp>

#include <gtest/gtest.h>

#include <vector>

namespace {

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
static_assert(!can_connect<GaugeReceiver, qvSenderInvalidate<long>>,
              "a receiver connects only to a sender of its own event interface");
static_assert(!can_connect<qvReceiverBase, qvSenderBase>,
              "untyped connections could not be walked as an interface");

TEST(qvBroadcastReceiver, A_sender_walks_its_receivers_as_the_interface_in_list_order) {
    GaugeSender dimension;
    GaugeReceiver first, second, muted_one;
    qvBroadcastReceiver<Gauge>& muted = muted_one;
    muted.ordered(false);
    first.connect(dimension);
    second.connect(dimension);
    muted.connect(dimension);
    std::vector<Gauge*> seen;
    for (qvBroadcast2Sender<Gauge>::InternalIterator walk(dimension); walk; ++walk) {
        seen.push_back(walk.get());
        walk->set(seen.size());
    }
    EXPECT_EQ(seen, (std::vector<Gauge*>{&second, &first}));
    EXPECT_EQ(second.value, 10);
    EXPECT_EQ(first.value, 20);
    EXPECT_EQ(muted_one.value, 0);
}

TEST(qvBroadcastReceiver, A_receiver_walks_its_senders_as_the_interface_newest_first) {
    GaugeSender d1, d2;
    GaugeReceiver scroller;
    scroller.connect(d1);
    scroller.connect(d2, 3);
    std::vector<Gauge*> seen;
    for (qvBroadcast2Receiver<Gauge>::InternalIterator walk(scroller); walk; ++walk)
        seen.push_back(&*walk);
    EXPECT_EQ(seen, (std::vector<Gauge*>{&d2, &d1}));
    seen.front()->set(4);
    EXPECT_EQ(d2.value, 4);
}

TEST(qvBroadcastReceiver, A_broadcast_reaches_each_receiver_through_its_interface) {
    GaugeSender dimension;
    GaugeReceiver a, b;
    a.connect(dimension);
    b.connect(dimension);
    dimension.broadcast([](Gauge& g) { g.set(2); });
    EXPECT_EQ(a.value, 20);
    EXPECT_EQ(b.value, 20);
    EXPECT_EQ(dimension.value, 0);
}

}  // namespace
