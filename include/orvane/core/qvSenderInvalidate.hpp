#pragma once
// qvSenderInvalidate<T>: the sender of invalidation events. Each invalidate
// goes to every receiver of its ordered list, in priority order, with the
// arguments unchanged; with no such receiver it does nothing. What a
// receiver changes meanwhile (disconnecting, dying, changing its option,
// nesting another broadcast on this sender) follows qvSenderImpl.

#include <orvane/core/qvBroadcastSender.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>

template <class T>
class qvSenderInvalidate : public qvBroadcastSender<qvInvalidateEvent<T>> {
public:
    explicit qvSenderInvalidate(bool enabled = true)
        : qvBroadcastSender<qvInvalidateEvent<T>>(enabled) {}

    void invalidate() override {
        this->broadcast([](qvInvalidateEvent<T>& receiver) { receiver.invalidate(); });
    }

    void invalidate(T const& item, int flag) override {
        this->broadcast(
            [&item, flag](qvInvalidateEvent<T>& receiver) { receiver.invalidate(item, flag); });
    }
};
