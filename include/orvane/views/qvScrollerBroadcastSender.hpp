#pragma once
// qvScrollerBroadcastSender: the dimension side of a link. It files every
// scroller linked to it and carries each committed operation on to them:
// update replays its pending operation on every linked scroller except the
// one it came from, lets that scroller update (always as a notifying
// update), then commits its own.
//
// Keeps true: as for qvScrollerBroadcastReceiver, within one broadcast this
// object replays and commits once and forwards begin_update and end_update
// once. Links keep nothing alive; a dying dimension unlinks every scroller.

#include <orvane/core/qvBroadcastSender.hpp>
#include <orvane/views/qvScrollerInterface.hpp>

class qvScrollerBroadcastSender : public qvBroadcastSender<qvScrollerInterface> {
public:
    // `enabled` is kept by the sender base; scrolling never reads it.
    explicit qvScrollerBroadcastSender(bool enabled) : qvBroadcastSender<qvScrollerInterface>(enabled) {}

    void update(bool notify, qvScrollerInterface const* origin) override;
    void begin_update(qvScrollerInterface const* origin) override;
    void end_update(qvScrollerInterface const* origin) override;
};
