#pragma once
// qvPolylineXPoint: whether a point P lies on a polyline drawn with a line
// width, within a tolerance. Each segment L-Q is hit when P lies in its
// square-ended band: within r = width / 2 + tolerance of the segment's
// line, and no further than r beyond either end along it. A segment of
// length 0 is hit within r of its point (a disc).
//
// reset() starts a new polyline.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvPolyXPoint.hpp>

class qvPolylineXPoint : public qvPolyXPoint {
public:
    qvPolylineXPoint(qvCrdOf<double> const& p, double width, double tolerance) noexcept
        : p_(p), radius_(width * 0.5 + tolerance) {}

    void add_vertex(double x, double y) override;
    bool is_hit() const override { return hit_; }
    void reset() noexcept {
        started_ = false;
        hit_ = false;
    }

    double radius() const noexcept { return radius_; }

private:
    qvCrdOf<double> p_;
    double radius_;
    qvCrdOf<double> last_;
    bool started_ = false;
    bool hit_ = false;
};
