#pragma once
// qvPolygonXPoint: whether a point P lies inside a figure, by the winding
// sum of the angles under which P sees its vertices.
//
// Each vertex Q adds the turn from the previous vertex's angle
// atan2(Q - P), wrapped into [-pi, pi]; P is inside when |sum| >= pi. With
// that threshold the figure need not be closed by repeating its first
// vertex: a non-zero winding number passes either way. A vertex equal to
// P makes P inside (on_vertex) and ends the summing. A figure fed nothing
// is never hit.
//
// reset() starts a new figure with everything cleared, the sum too: the
// turns left by an open figure never add up with a later one.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvPolyXPoint.hpp>

class qvPolygonXPoint : public qvPolyXPoint {
public:
    explicit qvPolygonXPoint(qvCrdOf<double> const& p) noexcept : p_(p) {}

    void add_vertex(double x, double y) override;
    bool is_hit() const override;
    void reset() noexcept;

    double winding_sum() const noexcept { return sum_; }

private:
    qvCrdOf<double> p_;
    double sum_ = 0.0;
    double last_angle_ = 0.0;
    bool started_ = false;
    bool added_ = false;
    bool on_vertex_ = false;
};
