// Move and scale of a group (see qvMoveScaleGroup.hpp).
//
// A corner move scales the group box G about its fixed corner F by
// (fx, fy): a coordinate v of a member goes to F + (v - F) * f, that is it
// moves by (F - v) * (1 - f). A member is moved by the displacement of its
// own corner on F's sides, so that corner lands; then its corner of the
// call's name moves by what is left of its own displacement. The factors
// are computed, and the zero-extent check made, before any member changes.
// So is the check that the group's new box fits a shape: every member lies
// inside it, so a member refusing half-way through, after others moved,
// cannot happen.

#include <orvane/interaction/qvMoveScaleGroup.hpp>

#include "interaction/qvGroupMembers.hpp"

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvRectToRectTransformation.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

namespace {

// Which corner a call moves; F is the opposite one.
enum class qvGroupCorner { lb, rt, rb, lt };

struct qvGroupScaling {
    qvCrdOf<double> fixed;
    double fx;
    double fy;
};

// The factor of an axis of extent `extent` whose moving edge goes out by
// `growth`: a zero extent keeps factor 1 only when it stays zero.
double group_axis_factor(double extent, double growth) {
    return extent == 0 ? 1.0 : (extent + growth) / extent;
}

qvGroupScaling group_scaling(qvMathRectOf<double> const& g, qvGroupCorner corner, qvCrdOf<double> d) {
    const double w = g.x2 - g.x1, h = g.y2 - g.y1;
    // The moving edges: left or right, bottom or top.
    const bool left = corner == qvGroupCorner::lb || corner == qvGroupCorner::lt;
    const bool bottom = corner == qvGroupCorner::lb || corner == qvGroupCorner::rb;
    const double gx = left ? -d.x : d.x, gy = bottom ? -d.y : d.y;
    // The box with its corner moved: a zero extent that would open raises
    // here, with the error the point sets give.
    const qvRectOf<double> moved(left ? g.x1 + d.x : g.x1, bottom ? g.y1 + d.y : g.y1, left ? g.x2 : g.x2 + d.x,
                                 bottom ? g.y2 : g.y2 + d.y);
    qvShapeCoordinates::require(moved);
    (void)qvRectToRectTransformation(g, qvMathRectOf<double>(moved.x1, moved.y1, moved.x2, moved.y2));
    return {qvCrdOf<double>(left ? g.x2 : g.x1, bottom ? g.y2 : g.y1), group_axis_factor(w, gx),
            group_axis_factor(h, gy)};
}

void scale_group(qvGraphicListDataAccess& list, qvGroupCorner corner, qvCrdOf<double> d) {
    const qvMathRectOf<double> g = qvGroupBox(list);
    const qvGroupScaling s = group_scaling(g, corner, d);
    const bool left = corner == qvGroupCorner::lb || corner == qvGroupCorner::lt;
    const bool bottom = corner == qvGroupCorner::lb || corner == qvGroupCorner::rb;
    auto shift = [&](double v, double f, double from) { return (from - v) * (1 - f); };
    qvForEachGroupMember<qvScaleInteraction>(list, [&](qvScaleInteraction& member) {
        const qvMathRectOf<double> m = member.bbox();
        // The member's corner on F's sides, and the one the call moves.
        const double fixed_x = left ? m.x2 : m.x1, fixed_y = bottom ? m.y2 : m.y1;
        const double moved_x = left ? m.x1 : m.x2, moved_y = bottom ? m.y1 : m.y2;
        const qvCrdOf<double> t(shift(fixed_x, s.fx, s.fixed.x), shift(fixed_y, s.fy, s.fixed.y));
        member.move(t);
        const qvCrdOf<double> rest(shift(moved_x, s.fx, s.fixed.x) - t.x, shift(moved_y, s.fy, s.fixed.y) - t.y);
        switch (corner) {
        case qvGroupCorner::lb: member.move_lb(rest); break;
        case qvGroupCorner::rt: member.move_rt(rest); break;
        case qvGroupCorner::rb: member.move_rb(rest); break;
        case qvGroupCorner::lt: member.move_lt(rest); break;
        }
    });
}

}  // namespace

void* qvMoveScaleGroup::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvMoveInteraction, qvScaleInteraction>(this, info);
}

qvMathRectOf<double> qvMoveScaleGroup::bbox() { return qvGroupBox(*data_); }

void qvMoveScaleGroup::move(qvCrdOf<double> delta) {
    const qvMathRectOf<double> g = qvGroupBox(*data_);
    qvShapeCoordinates::require(qvRectOf<double>(g.x1 + delta.x, g.y1 + delta.y, g.x2 + delta.x, g.y2 + delta.y));
    qvForEachGroupMember<qvMoveInteraction>(*data_, [&](qvMoveInteraction& member) { member.move(delta); });
}

void qvMoveScaleGroup::move_lb(qvCrdOf<double> delta) { scale_group(*data_, qvGroupCorner::lb, delta); }
void qvMoveScaleGroup::move_rt(qvCrdOf<double> delta) { scale_group(*data_, qvGroupCorner::rt, delta); }
void qvMoveScaleGroup::move_rb(qvCrdOf<double> delta) { scale_group(*data_, qvGroupCorner::rb, delta); }
void qvMoveScaleGroup::move_lt(qvCrdOf<double> delta) { scale_group(*data_, qvGroupCorner::lt, delta); }
