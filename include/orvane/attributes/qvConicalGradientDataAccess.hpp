#pragma once
// qvConicalGradientDataAccess: a gradient swept around a centre from an
// angle. The start and end colours follow the rules of the linear
// gradient's. The angle is stored as given.

#include <orvane/attributes/qvGradientDataAccess.hpp>
#include <orvane/geometry/qvCrd.hpp>

class qvConicalGradientDataAccess : public virtual qvGradientDataAccess {
public:
    virtual qvCrdOf<double> center() const = 0;
    virtual void center(qvCrdOf<double> point) = 0;
    virtual double angle() const = 0;
    virtual void angle(double value) = 0;
    virtual qvRgbColor start_color() const = 0;
    virtual void start_color(qvRgbColor color) = 0;
    virtual qvRgbColor end_color() const = 0;
    virtual void end_color(qvRgbColor color) = 0;

protected:
    qvConicalGradientDataAccess() noexcept = default;
    qvConicalGradientDataAccess(qvConicalGradientDataAccess const&) noexcept = default;
    qvConicalGradientDataAccess& operator=(qvConicalGradientDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvConicalGradientDataAccess);
