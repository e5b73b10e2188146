// The default bodies of the scale interaction (see qvScaleInteraction.hpp).
// Every one ends in the corner moves an implementation gives, so an adapter
// that overrides only move_lb and move_rt still scales about any anchor.

#include <orvane/interaction/qvScaleInteraction.hpp>

#include <orvane/core/qvError.hpp>

namespace {

[[noreturn]] void raise_scale_anchor_error() {
    qvRaise(qvErrorFrom<qvScaleInteraction>("Incorrect anchor point specified for scaling"));
}

}  // namespace

void qvScaleInteraction::move_rb(qvCrdOf<double> delta) {
    move_right(delta.x);
    move_bottom(delta.y);
}

void qvScaleInteraction::move_lt(qvCrdOf<double> delta) {
    move_left(delta.x);
    move_top(delta.y);
}

void qvScaleInteraction::move_left(double d) { move_lb(qvCrdOf<double>(d, 0)); }
void qvScaleInteraction::move_right(double d) { move_rt(qvCrdOf<double>(d, 0)); }
void qvScaleInteraction::move_bottom(double d) { move_lb(qvCrdOf<double>(0, d)); }
void qvScaleInteraction::move_top(double d) { move_rt(qvCrdOf<double>(0, d)); }

// The anchor stays; the corner (or the corner and the edge) opposite it
// moves by the growth of the box, which is zero on an axis whose factor is 1.
// The anchor is checked before the box is read, so a bad code changes and
// asks nothing.
void qvScaleInteraction::scale(qvAlignment anchor, double sx, double sy) {
    const unsigned code = anchor & 15u;
    if ((code & 3u) == 0 || (code & 12u) == 0)
        raise_scale_anchor_error();
    const qvMathRectOf<double> b = bbox();
    const double dx = (b.x2 - b.x1) * (sx - 1);
    const double dy = (b.y2 - b.y1) * (sy - 1);
    switch (code) {
    case 5:   // left, top
        move_rb(dx, -dy);
        break;
    case 6:   // left, bottom
        move_rt(dx, dy);
        break;
    case 7:   // left, middle
        move_rt(dx, dy * 0.5);
        move_bottom(dy * -0.5);
        break;
    case 9:   // right, top
        move_lb(-dx, -dy);
        break;
    case 10:  // right, bottom
        move_lt(-dx, dy);
        break;
    case 11:  // right, middle
        move_lb(-dx, dy * -0.5);
        move_top(dy * 0.5);
        break;
    case 13:  // centre, top
        move_lb(dx * -0.5, -dy);
        move_right(dx * 0.5);
        break;
    case 14:  // centre, bottom
        move_rt(dx * 0.5, dy);
        move_left(dx * -0.5);
        break;
    default:  // 15: centre, middle
        move_lb(dx * -0.5, dy * -0.5);
        move_rt(dx * 0.5, dy * 0.5);
        break;
    }
}

void qvScaleInteraction::resize(qvMathRectOf<double> const& r) {
    const qvMathRectOf<double> b = bbox();
    move(qvCrdOf<double>(r.x1 - b.x1, r.y1 - b.y1));
    move_rt(qvCrdOf<double>((r.x2 - r.x1) - (b.x2 - b.x1), (r.y2 - r.y1) - (b.y2 - b.y1)));
}
