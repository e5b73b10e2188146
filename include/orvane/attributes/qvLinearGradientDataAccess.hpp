#pragma once
// qvLinearGradientDataAccess: a gradient along the line from a start point
// to an end point.
//
// The colour members are conveniences over the stop list: reading the start
// colour gives the first stop's colour and the end colour the last stop's,
// whatever their positions (no stops: the index assertion fails). Setting
// the start colour replaces a first stop at exactly 0.0, else adds one
// there; setting the end colour does the same with a last stop at 1.0.

#include <orvane/attributes/qvGradientDataAccess.hpp>
#include <orvane/geometry/qvCrd.hpp>

class qvLinearGradientDataAccess : public virtual qvGradientDataAccess {
public:
    virtual qvCrdOf<double> start_point() const = 0;
    virtual void start_point(qvCrdOf<double> point) = 0;
    virtual qvCrdOf<double> end_point() const = 0;
    virtual void end_point(qvCrdOf<double> point) = 0;
    virtual qvRgbColor start_color() const = 0;
    virtual void start_color(qvRgbColor color) = 0;
    virtual qvRgbColor end_color() const = 0;
    virtual void end_color(qvRgbColor color) = 0;

protected:
    qvLinearGradientDataAccess() noexcept = default;
    qvLinearGradientDataAccess(qvLinearGradientDataAccess const&) noexcept = default;
    qvLinearGradientDataAccess& operator=(qvLinearGradientDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvLinearGradientDataAccess);
