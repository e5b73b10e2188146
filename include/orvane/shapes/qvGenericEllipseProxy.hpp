#pragma once
// qvGenericEllipseProxy<B>: the ellipse data access on the record of base B
// (in a scene or stand-alone, as qvGenericRectangleProxy). The ellipse is
// the one inscribed in the header's float box; centre and radii are views
// of that box, computed at each call, nothing cached.
//
// The arithmetic, exactly (the results are compared bit for bit):
//  - centre: ((x1 + x2) / 2, (y1 + y2) / 2) in single precision. This is
//    not qvMathRectOf<float>::center(), which adds in double: the two differ
//    where x1 + x2 overflows float;
//  - x radius: the width x2 - x1 rounded to float, then halved in double
//    (negative for an inverted box); y likewise;
//  - center(c): c rounded to float, the displacement from the current
//    centre in float, both corners moved by it in float, and the box rebuilt
//    from the moved corners by the ordering constructor: an inverted box
//    comes out ordered, its size kept up to float rounding;
//  - x_radius(r): m = (x1 + x2) / 2 in double and a = |r|; the left edge set
//    to float(m - a), then the right edge to float(m + a), each through the
//    ordering edge setter; the other axis untouched. Zero gives a flat box
//    at the centre. A radius, or an edge it would give, that is not finite
//    or beyond the float range is refused (qvShapeCoordinates) before
//    anything changes: a radius in range can still push an edge out.
// Each setter is one guarded change; radius(r) is two.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvGenericRectangleProxy.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

#include <cmath>

template <class B>
class qvGenericEllipseProxy : public qvGenericRectangleProxy<B> {
public:
    qvCrdOf<double> center() override {
        const typename B::ReadLock lock(*this, true);
        return qvCrdOf<double>(float_center(this->record_->box));
    }

    void center(qvCrdOf<double> c) override {
        qvShapeCoordinates::require(c);
        const qvCrdOf<float> target(c);
        const typename B::WriteLock lock(*this, true, true);
        qvMathRectOf<float>& box = this->record_->box;
        const qvCrdOf<float> now = float_center(box);
        const float dx = target.x - now.x;
        const float dy = target.y - now.y;
        const qvMathRectOf<float> moved(qvCrdOf<float>(box.x2 + dx, box.y2 + dy),
                                        qvCrdOf<float>(box.x1 + dx, box.y1 + dy));
        qvShapeCoordinates::require(moved);
        box = moved;
    }

    double x_radius() override {
        const typename B::ReadLock lock(*this, true);
        const qvMathRectOf<float>& box = this->record_->box;
        return static_cast<double>(box.x2 - box.x1) / 2;
    }

    void x_radius(double r) override {
        qvShapeCoordinates::require(r);   // before the lock makes a record
        const typename B::WriteLock lock(*this, true, true);
        qvMathRectOf<float>& box = this->record_->box;
        const double m = (static_cast<double>(box.x1) + static_cast<double>(box.x2)) / 2;
        const double a = std::fabs(r);
        qvShapeCoordinates::require(m - a);
        qvShapeCoordinates::require(m + a);
        box.left(static_cast<float>(m - a));
        box.right(static_cast<float>(m + a));
    }

    double y_radius() override {
        const typename B::ReadLock lock(*this, true);
        const qvMathRectOf<float>& box = this->record_->box;
        return static_cast<double>(box.y2 - box.y1) / 2;
    }

    void y_radius(double r) override {
        qvShapeCoordinates::require(r);   // before the lock makes a record
        const typename B::WriteLock lock(*this, true, true);
        qvMathRectOf<float>& box = this->record_->box;
        const double m = (static_cast<double>(box.y1) + static_cast<double>(box.y2)) / 2;
        const double a = std::fabs(r);
        qvShapeCoordinates::require(m - a);
        qvShapeCoordinates::require(m + a);
        box.bottom(static_cast<float>(m - a));
        box.top(static_cast<float>(m + a));
    }

private:
    static qvCrdOf<float> float_center(qvMathRectOf<float> const& box) noexcept {
        return {(box.x1 + box.x2) / 2.0f, (box.y1 + box.y2) / 2.0f};
    }
};
