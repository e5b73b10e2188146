#pragma once
// qvArcDataAccess: the two angles, in degrees, that cut an arc or a pie
// slice from its ellipse.

#include <orvane/shapes/qvEllipseDataAccess.hpp>

class qvArcDataAccess : public virtual qvEllipseDataAccess {
public:
    virtual double angle1() = 0;
    virtual void angle1(double a) = 0;
    virtual double angle2() = 0;
    virtual void angle2(double a) = 0;

    // Both angles: angle1(a1), then angle2(a2).
    void span(double a1, double a2) {
        angle1(a1);
        angle2(a2);
    }

protected:
    qvArcDataAccess() noexcept = default;
    qvArcDataAccess(qvArcDataAccess const&) noexcept = default;
    qvArcDataAccess& operator=(qvArcDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvArcDataAccess);
