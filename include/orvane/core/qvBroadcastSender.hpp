#pragma once
// The typed senders of an event interface I, each level deriving from the
// one before:
//   qvBroadcast1SenderBase<I>   the typing only
//   qvBroadcast2SenderBase<I>   implements I (a virtual base, so an object
//                               that also derives from I elsewhere holds one
//                               I); event_interface() is that I sub-object
//   qvBroadcast2Sender<I>       the walk over the receivers as I
//   qvBroadcastSender<I>        the class owners hold
// A concrete sender implements I's operations by broadcasting them to the
// ordered list of its receivers (qvSenderInvalidate does so for the
// invalidation events). A broadcast allocates nothing: its walk lives on the
// stack. The receivers are those of qvBroadcastReceiver.hpp, whose
// event_interface() is their own I sub-object, so the walk converts without
// run-time type checks.

#include <orvane/core/qvReceiverBase.hpp>
#include <orvane/core/qvSenderBase.hpp>

template <class I>
class qvBroadcast1SenderBase : public qvSenderBase {
public:
    explicit qvBroadcast1SenderBase(bool enabled = true) : qvSenderBase(enabled) {}
};

template <class I>
class qvBroadcast2SenderBase : public qvBroadcast1SenderBase<I>, public virtual I {
public:
    explicit qvBroadcast2SenderBase(bool enabled = true) : qvBroadcast1SenderBase<I>(enabled) {}

    void* event_interface() override { return static_cast<I*>(this); }
};

template <class I>
class qvBroadcast2Sender : public qvBroadcast2SenderBase<I> {
public:
    explicit qvBroadcast2Sender(bool enabled = true) : qvBroadcast2SenderBase<I>(enabled) {}

    // The receivers of the ordered list as I, in walk order.
    class InternalIterator : public qvIterator<I> {
    public:
        explicit InternalIterator(qvBroadcast2Sender& sender) : walk_(sender.implementation()) {}
        I* get() override {
            qvReceiverBase* receiver = walk_.receiver();
            return receiver != nullptr ? static_cast<I*>(receiver->event_interface()) : nullptr;
        }
        void next() override { walk_.next(); }
        bool at_end() const override { return walk_.at_end(); }

    private:
        qvSenderWalk walk_;
    };

protected:
    // Calls `call(I&)` on every receiver of the ordered list. The sender may
    // be destroyed by a receiver meanwhile: after each call only the walk,
    // never `this`, is touched.
    template <class Call>
    void broadcast(Call call) {
        if (this->empty(true))
            return;
        for (InternalIterator walk(*this); !walk.at_end(); walk.next())
            if (I* event = walk.get())
                call(*event);
    }
};

template <class I>
class qvBroadcastSender : public qvBroadcast2Sender<I> {
public:
    explicit qvBroadcastSender(bool enabled = true) : qvBroadcast2Sender<I>(enabled) {}
};
