#pragma once
// qvReceiverInvalidateHandle: the base of receivers that hear of changed
// attribute handles (a palette's publisher sends them): invalidate() when
// everything changed, invalidate(handle, flag) when one attribute did, the
// flag 1 when the attribute has more than one user. Both stay abstract.
//
// Keeps true: a receiver is disconnected from every sender before its
// event operations are gone; a derived receiver that can be reached by a
// broadcast while it dies disconnects in its own destructor too.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>

class qvReceiverInvalidateHandle : public qvBroadcastReceiver<qvInvalidateEvent<long>> {
public:
    // `ordered`: the receiver option of qvBroadcast2Receiver.
    explicit qvReceiverInvalidateHandle(bool ordered = true)
        : qvBroadcastReceiver<qvInvalidateEvent<long>>(ordered) {}
    ~qvReceiverInvalidateHandle() override { disconnect_all(); }
};
