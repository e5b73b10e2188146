// The dimension side of a link: its update and the forwarding of
// begin_update and end_update to the linked scrollers (see
// qvScrollerBroadcastReceiver.cpp on nested walks).

#include <orvane/views/qvScrollerBroadcastSender.hpp>

void qvScrollerBroadcastSender::update(bool, qvScrollerInterface const* origin) {
    if (pending_operation() == no_operation) return;
    BroadcastPass pass(*this, BroadcastPass::update_pass);
    if (!pass.joined()) return;
    begin_update(origin);
    for (InternalIterator walk(*this); !walk.at_end(); walk.next()) {
        qvScrollerInterface* link = walk.get();
        if (link == nullptr || link == origin || link == this) continue;
        execute(*link);
        link->update(true, this);
    }
    commit();
    pass.finish_update();
    end_update(origin);
}

void qvScrollerBroadcastSender::begin_update(qvScrollerInterface const* origin) {
    BroadcastPass pass(*this, BroadcastPass::begin_pass);
    if (!pass.joined()) return;
    for (InternalIterator walk(*this); !walk.at_end(); walk.next()) {
        qvScrollerInterface* link = walk.get();
        if (link != nullptr && link != origin && link != this) link->begin_update(this);
    }
}

void qvScrollerBroadcastSender::end_update(qvScrollerInterface const* origin) {
    BroadcastPass pass(*this, BroadcastPass::end_pass);
    if (!pass.joined()) return;
    for (InternalIterator walk(*this); !walk.at_end(); walk.next()) {
        qvScrollerInterface* link = walk.get();
        if (link != nullptr && link != origin && link != this) link->end_update(this);
    }
}
