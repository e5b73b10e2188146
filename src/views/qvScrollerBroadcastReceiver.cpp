// The scroller side of a link: its update and the forwarding of
// begin_update and end_update to the linked dimensions.

#include <orvane/views/qvScrollerBroadcastReceiver.hpp>

#include "views/qvScrollerLinkWalk.hpp"

// Its event operations are gone before the receiver base disconnects.
qvScrollerBroadcastReceiver::~qvScrollerBroadcastReceiver() { disconnect_all(); }

void qvScrollerBroadcastReceiver::update(bool notify, qvScrollerInterface const* origin) {
    qvScrollerLinkWalk::update(*this, notify, origin);
}

void qvScrollerBroadcastReceiver::begin_update(qvScrollerInterface const* origin) {
    qvScrollerLinkWalk::forward(*this, BroadcastPass::begin_pass, origin);
}

void qvScrollerBroadcastReceiver::end_update(qvScrollerInterface const* origin) {
    qvScrollerLinkWalk::forward(*this, BroadcastPass::end_pass, origin);
}
