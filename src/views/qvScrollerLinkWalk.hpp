#pragma once
// qvScrollerLinkWalk: the update, begin_update and end_update both sides of
// a link run (qvScrollerBroadcastReceiver over its dimensions,
// qvScrollerBroadcastSender over its scrollers). `Links` is that side; its
// InternalIterator walks the objects on the other side.
//
// A walk over the links must not be nested inside another walk over the
// same list (the inner one would end the outer one early): update opens its
// walk only after begin_update's has ended, and the broadcast passes ensure
// that no object re-enters the call it is walking for.

#include <orvane/views/qvScrollerInterface.hpp>

struct qvScrollerLinkWalk {
    using Pass = qvScrollerInterface::BroadcastPass;

    // With an operation pending: begin_update(origin); for each link other
    // than origin, replay and update(notify, self); commit; end_update(origin).
    template <class Links>
    static void update(Links& links, bool notify, qvScrollerInterface const* origin) {
        qvScrollerInterface& self = links;
        if (self.pending_operation() == qvScrollerInterface::no_operation) return;
        Pass pass(self, Pass::update_pass);
        if (!pass.joined()) return;
        self.begin_update(origin);
        for (typename Links::InternalIterator walk(links); !walk.at_end(); walk.next()) {
            qvScrollerInterface* link = walk.get();
            if (link == nullptr || link == origin || link == &self) continue;
            self.execute(*link);
            link->update(notify, &self);
        }
        self.commit();
        pass.finish_update();
        self.end_update(origin);
    }

    // Forwards begin_update (or end_update, after `kind`) to every link
    // other than origin, with self as the origin.
    template <class Links>
    static void forward(Links& links, Pass::Kind kind, qvScrollerInterface const* origin) {
        qvScrollerInterface& self = links;
        Pass pass(self, kind);
        if (!pass.joined()) return;
        for (typename Links::InternalIterator walk(links); !walk.at_end(); walk.next()) {
            qvScrollerInterface* link = walk.get();
            if (link == nullptr || link == origin || link == &self) continue;
            if (kind == Pass::begin_pass)
                link->begin_update(&self);
            else
                link->end_update(&self);
        }
    }
};
