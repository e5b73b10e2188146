// The dimension side of a link: its update and the forwarding of
// begin_update and end_update to the linked scrollers.

#include <orvane/views/qvScrollerBroadcastSender.hpp>

#include "views/qvScrollerLinkWalk.hpp"

// A linked scroller always takes the update as a notifying one.
void qvScrollerBroadcastSender::update(bool, qvScrollerInterface const* origin) {
    qvScrollerLinkWalk::update(*this, true, origin);
}

void qvScrollerBroadcastSender::begin_update(qvScrollerInterface const* origin) {
    qvScrollerLinkWalk::forward(*this, BroadcastPass::begin_pass, origin);
}

void qvScrollerBroadcastSender::end_update(qvScrollerInterface const* origin) {
    qvScrollerLinkWalk::forward(*this, BroadcastPass::end_pass, origin);
}
