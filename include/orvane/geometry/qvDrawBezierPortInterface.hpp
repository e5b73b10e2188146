#pragma once
// qvDrawBezierPortInterface: what qvDrawBezierHelper drives. A drawing is
// begin, then groups of figures of one kind (begin_figures(closed) ...
// end_figures), each figure a move_to followed by lines, quadratic and cubic
// segments, then end. Consecutive figures of the same kind share one group.

#include <orvane/geometry/qvCrd.hpp>

class qvDrawBezierPortInterface {
public:
    virtual ~qvDrawBezierPortInterface() = default;

    virtual void move_to(qvCrdOf<double> const& point) = 0;
    virtual void line_to(qvCrdOf<double> const& point) = 0;
    virtual void quadratic_to(qvCrdOf<double> const& control, qvCrdOf<double> const& end) = 0;
    virtual void cubic_to(qvCrdOf<double> const& control1, qvCrdOf<double> const& control2,
                          qvCrdOf<double> const& end) = 0;
    virtual void begin() = 0;
    virtual void end() = 0;
    virtual void begin_figures(bool closed) = 0;
    virtual void end_figures() = 0;

protected:
    qvDrawBezierPortInterface() = default;
    qvDrawBezierPortInterface(qvDrawBezierPortInterface const&) = default;
    qvDrawBezierPortInterface& operator=(qvDrawBezierPortInterface const&) = default;
};
