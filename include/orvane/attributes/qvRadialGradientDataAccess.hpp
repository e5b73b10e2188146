#pragma once
// qvRadialGradientDataAccess: a gradient around a centre with a radius and a
// focal point. The focal colour is the first stop's colour, the end colour
// the last stop's, with the rules of the linear gradient's start and end
// colours. Radius and points are stored as given, unchecked.

#include <orvane/attributes/qvGradientDataAccess.hpp>
#include <orvane/geometry/qvCrd.hpp>

class qvRadialGradientDataAccess : public virtual qvGradientDataAccess {
public:
    virtual qvCrdOf<double> center() const = 0;
    virtual void center(qvCrdOf<double> point) = 0;
    virtual qvCrdOf<double> focal_point() const = 0;
    virtual void focal_point(qvCrdOf<double> point) = 0;
    virtual double radius() const = 0;
    virtual void radius(double value) = 0;
    virtual qvRgbColor focal_color() const = 0;
    virtual void focal_color(qvRgbColor color) = 0;
    virtual qvRgbColor end_color() const = 0;
    virtual void end_color(qvRgbColor color) = 0;

protected:
    qvRadialGradientDataAccess() noexcept = default;
    qvRadialGradientDataAccess(qvRadialGradientDataAccess const&) noexcept = default;
    qvRadialGradientDataAccess& operator=(qvRadialGradientDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvRadialGradientDataAccess);
