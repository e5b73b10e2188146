#pragma once
// qvScrollerBroadcastReceiver: the scroller side of a link. It is filed with
// every dimension (a scroller sender) it is linked to, and carries each
// committed operation out to them: update replays its pending operation on
// every linked dimension except the one it came from, lets that dimension
// update, then commits its own.
//
// Keeps true: within one broadcast this object replays and commits once and
// forwards begin_update and end_update once; objects reached again round a
// cycle of links return at once. Its links never keep anything alive: a
// dying scroller unlinks itself before its scroller part is gone.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/views/qvScrollerInterface.hpp>

class qvScrollerBroadcastReceiver : public qvBroadcastReceiver<qvScrollerInterface> {
public:
    qvScrollerBroadcastReceiver() : qvBroadcastReceiver<qvScrollerInterface>(true) {}
    ~qvScrollerBroadcastReceiver() override;

    // With an operation pending: begin_update(origin); for each linked
    // dimension other than origin, replay and update(notify, this); commit;
    // end_update(origin).
    void update(bool notify, qvScrollerInterface const* origin) override;
    // Forwards to every linked dimension other than origin, with this
    // object as the origin.
    void begin_update(qvScrollerInterface const* origin) override;
    void end_update(qvScrollerInterface const* origin) override;
};
