// The scroller side of a link: its update and the forwarding of
// begin_update and end_update to the linked dimensions.
//
// A walk over the links must not be nested inside another walk over the
// same list (the inner one would end the outer one early); the broadcast
// passes ensure that no object re-enters the call it is walking for.

#include <orvane/views/qvScrollerBroadcastReceiver.hpp>

// Its event operations are gone before the receiver base disconnects.
qvScrollerBroadcastReceiver::~qvScrollerBroadcastReceiver() { disconnect_all(); }

void qvScrollerBroadcastReceiver::update(bool notify, qvScrollerInterface const* origin) {
    if (pending_operation() == no_operation) return;
    BroadcastPass pass(*this, BroadcastPass::update_pass);
    if (!pass.joined()) return;
    begin_update(origin);
    for (InternalIterator walk(*this); !walk.at_end(); walk.next()) {
        qvScrollerInterface* link = walk.get();
        if (link == nullptr || link == origin || link == this) continue;
        execute(*link);
        link->update(notify, this);
    }
    commit();
    pass.finish_update();
    end_update(origin);
}

void qvScrollerBroadcastReceiver::begin_update(qvScrollerInterface const* origin) {
    BroadcastPass pass(*this, BroadcastPass::begin_pass);
    if (!pass.joined()) return;
    for (InternalIterator walk(*this); !walk.at_end(); walk.next()) {
        qvScrollerInterface* link = walk.get();
        if (link != nullptr && link != origin && link != this) link->begin_update(this);
    }
}

void qvScrollerBroadcastReceiver::end_update(qvScrollerInterface const* origin) {
    BroadcastPass pass(*this, BroadcastPass::end_pass);
    if (!pass.joined()) return;
    for (InternalIterator walk(*this); !walk.at_end(); walk.next()) {
        qvScrollerInterface* link = walk.get();
        if (link != nullptr && link != origin && link != this) link->end_update(this);
    }
}
