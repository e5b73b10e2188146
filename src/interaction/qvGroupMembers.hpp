#pragma once
// The member walk of the group adapters: the list's members in its order,
// each asked for interaction I through qvAdapter (its own or a registered
// adapter), those without it skipped. A member iterator that yields no
// graphic fails the assertion "_object.get()". The walk stops at the first
// member that raises; the members before it keep their change.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvMoveInteraction.hpp>
#include <orvane/shapes/qvGraphicListDataAccess.hpp>

template <class I, class F>
void qvForEachGroupMember(qvGraphicListDataAccess& list, F&& f) {
    qvIndirectIterator<qvGraphic> it = list.enumerate();
    // A list with members must hand out an iterator on them.
    QV_ASSERT_TEXT(it || list.size() == 0, "_object.get()");
    for (; it; ++it) {
        qvGraphic const& member = *it;
        QV_ASSERT_TEXT(member.get() != nullptr, "_object.get()");
        qvAdapter<I> interaction(member);
        if (interaction.get() != nullptr)
            f(*interaction.get());
    }
}

// The union of the boxes of the members that can move; the empty marker
// (1, 1, 0, 0) for an empty list or one without such members.
inline qvMathRectOf<double> qvGroupBox(qvGraphicListDataAccess& list) {
    qvMathRectOf<double> box = qvMathRectOf<double>::make_empty();
    if (list.size() == 0)
        return box;
    bool started = false;
    qvForEachGroupMember<qvMoveInteraction>(list, [&](qvMoveInteraction& member) {
        const qvMathRectOf<double> m = member.bbox();
        if (!started) {
            box = m;
            started = true;
            return;
        }
        if (m.x1 < box.x1) box.x1 = m.x1;
        if (m.y1 < box.y1) box.y1 = m.y1;
        if (m.x2 > box.x2) box.x2 = m.x2;
        if (m.y2 > box.y2) box.y2 = m.y2;
    });
    return box;
}
