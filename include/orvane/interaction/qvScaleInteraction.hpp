#pragma once
// qvScaleInteraction: reshaping a graphic by moving the corners and edges
// of its box. Only move_lb and move_rt must be given; every other operation
// has a body built on the corner and edge moves:
//   move_rb(d)     move_right(d.x), then move_bottom(d.y)
//   move_lt(d)     move_left(d.x), then move_top(d.y)
//   move_left(v)   move_lb((v, 0))     move_right(v)  move_rt((v, 0))
//   move_bottom(v) move_lb((0, v))     move_top(v)    move_rt((0, v))
//   scale(anchor, sx, sy)  the box scaled by (sx, sy) about its anchor point
//                  (qvAlignment), by one or two corner and edge moves;
//                  an anchor outside the nine raises
//                  qvErrorFrom<qvScaleInteraction> "Incorrect anchor point
//                  specified for scaling" before anything changes
//   resize(r)      moved by the difference of the left-bottom corners, then
//                  its right-top corner moved by the difference of the sizes
//                  (the box is read once, first)
// The (x, y) corner forms and scale(anchor, s) are conveniences over the
// virtual operations of the same name.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/interaction/qvAlignment.hpp>
#include <orvane/interaction/qvMoveInteraction.hpp>

class qvScaleInteraction : public qvMoveInteraction {
public:
    virtual void move_lb(qvCrdOf<double> delta) = 0;
    virtual void move_rt(qvCrdOf<double> delta) = 0;
    virtual void move_rb(qvCrdOf<double> delta);
    virtual void move_lt(qvCrdOf<double> delta);
    virtual void move_left(double d);
    virtual void move_right(double d);
    virtual void move_bottom(double d);
    virtual void move_top(double d);
    virtual void scale(qvAlignment anchor, double sx, double sy);
    virtual void resize(qvMathRectOf<double> const& r);

    void move_lb(double x, double y) { move_lb(qvCrdOf<double>(x, y)); }
    void move_rb(double x, double y) { move_rb(qvCrdOf<double>(x, y)); }
    void move_lt(double x, double y) { move_lt(qvCrdOf<double>(x, y)); }
    void move_rt(double x, double y) { move_rt(qvCrdOf<double>(x, y)); }
    void scale(qvAlignment anchor, double s) { scale(anchor, s, s); }

protected:
    qvScaleInteraction() noexcept = default;
    qvScaleInteraction(qvScaleInteraction const&) noexcept = default;
    qvScaleInteraction& operator=(qvScaleInteraction const&) noexcept = default;
    ~qvScaleInteraction() = default;
};
