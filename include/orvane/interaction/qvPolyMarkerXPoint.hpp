#pragma once
// qvPolyMarkerXPoint: whether a point P hits one of a set of markers: a
// vertex within r = diameter + tolerance of P (the diameter is not halved:
// a marker's glyph reaches that far on some styles). The style is kept for
// the record and decides nothing.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvPolyXPoint.hpp>

class qvPolyMarkerXPoint : public qvPolyXPoint {
public:
    qvPolyMarkerXPoint(qvCrdOf<double> const& p, int style, int diameter, double tolerance) noexcept
        : p_(p), style_(style), radius_(static_cast<double>(diameter) + tolerance) {}

    void add_vertex(double x, double y) override;
    bool is_hit() const override { return hit_; }

    int style() const noexcept { return style_; }

private:
    qvCrdOf<double> p_;
    int style_;
    double radius_;
    bool hit_ = false;
};
