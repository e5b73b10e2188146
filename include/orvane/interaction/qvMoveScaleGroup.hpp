#pragma once
// qvMoveScaleGroup: move and scale over a graphic list, member by member in
// the list's order. A member takes part through qvAdapter on it (its own
// interaction or a registered adapter); members with neither are skipped.
//
// The box is the union of the boxes of the members that can move, or the
// empty marker (1, 1, 0, 0) when there are none. A corner move scales the
// group box about the opposite corner F by the factors that give the moved
// corner its new place, and each member that can scale follows: it is
// moved by the displacement of its own corner on F's sides, then its corner
// of the call's name by the rest of that corner's displacement. A factor
// can be negative (the group is mirrored). An axis of zero extent keeps
// factor 1 when its delta is 0 and otherwise fails with
// qvErrorFrom<qvRectToRectTransformation> "Degenerate rectangles cannot
// define transformation" before any member changes. A member that raises
// stops the group; the members before it keep their change.

#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvScaleInteraction.hpp>
#include <orvane/shapes/qvGraphicListDataAccess.hpp>

class qvMoveScaleGroup : public qvAdapterBase, public qvScaleInteraction {
public:
    using DataAccess = qvGraphicListDataAccess;
    using qvScaleInteraction::move_lb;
    using qvScaleInteraction::move_lt;
    using qvScaleInteraction::move_rb;
    using qvScaleInteraction::move_rt;

    explicit qvMoveScaleGroup(qvGraphicListDataAccess* data) noexcept : data_(data) {}

    // qvMoveInteraction, qvScaleInteraction.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMathRectOf<double> bbox() override;
    void move(qvCrdOf<double> delta) override;
    void move_lb(qvCrdOf<double> delta) override;
    void move_rt(qvCrdOf<double> delta) override;
    void move_rb(qvCrdOf<double> delta) override;
    void move_lt(qvCrdOf<double> delta) override;

private:
    qvGraphicListDataAccess* data_;
};
