#pragma once
// qvEllipseDataAccess: the ellipse inscribed in a shape's rectangle, seen as
// a centre and two radii.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvRectangleDataAccess.hpp>

class qvEllipseDataAccess : public virtual qvRectangleDataAccess {
public:
    virtual qvCrdOf<double> center() = 0;
    virtual void center(qvCrdOf<double> c) = 0;
    virtual double x_radius() = 0;
    virtual void x_radius(double r) = 0;
    virtual double y_radius() = 0;
    virtual void y_radius(double r) = 0;

    // Both radii: x_radius(r), then y_radius(r).
    void radius(double r) {
        x_radius(r);
        y_radius(r);
    }

protected:
    qvEllipseDataAccess() noexcept = default;
    qvEllipseDataAccess(qvEllipseDataAccess const&) noexcept = default;
    qvEllipseDataAccess& operator=(qvEllipseDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvEllipseDataAccess);
