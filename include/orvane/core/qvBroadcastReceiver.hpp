#pragma once
// The typed receivers of an event interface I, each level deriving from the
// one before:
//   qvBroadcast1ReceiverBase<I>  implements I (a virtual base);
//                                event_interface() is that I sub-object;
//                                connects only to a sender of the same I
//   qvBroadcast2ReceiverBase<I>
//   qvBroadcast2Receiver<I>      the walk over the senders as I
//   qvBroadcastReceiver<I>       the base of concrete receivers, which
//                                implement I's operations to react
// The constructor's bool is the receiver option: true files the receiver in
// its senders' ordered lists, which broadcasts walk.

#include <orvane/core/qvBroadcastSender.hpp>

template <class I>
class qvBroadcast1ReceiverBase : public qvReceiverBase, public virtual I {
public:
    explicit qvBroadcast1ReceiverBase(bool ordered = true) : qvReceiverBase(ordered) {}

    void* event_interface() override { return static_cast<I*>(this); }

    void connect(qvBroadcast2SenderBase<I>& sender, int priority = 0) {
        qvReceiverBase::connect(sender, priority);
    }
};

template <class I>
class qvBroadcast2ReceiverBase : public qvBroadcast1ReceiverBase<I> {
public:
    explicit qvBroadcast2ReceiverBase(bool ordered = true) : qvBroadcast1ReceiverBase<I>(ordered) {}
};

template <class I>
class qvBroadcast2Receiver : public qvBroadcast2ReceiverBase<I> {
public:
    explicit qvBroadcast2Receiver(bool ordered = true) : qvBroadcast2ReceiverBase<I>(ordered) {}

    // The connected senders as I, newest connection first.
    class InternalIterator : public qvIterator<I> {
    public:
        explicit InternalIterator(qvBroadcast2Receiver& receiver)
            : walk_(receiver.implementation()) {}
        I* get() override {
            qvSenderBase* sender = walk_.sender();
            return sender != nullptr ? static_cast<I*>(sender->event_interface()) : nullptr;
        }
        void next() override { walk_.next(); }
        bool at_end() const override { return walk_.at_end(); }

    private:
        qvReceiverWalk walk_;
    };
};

template <class I>
class qvBroadcastReceiver : public qvBroadcast2Receiver<I> {
public:
    explicit qvBroadcastReceiver(bool ordered = true) : qvBroadcast2Receiver<I>(ordered) {}
};
