#pragma once
// qvGradientDataAccess: what every gradient kind holds: an ordered list of
// colour stops, two integer settings and a transformation. The library only
// stores, copies and streams these for the host's driver; it gives them no
// meaning and never evaluates a gradient.
//
// Keeps true: stops are in ascending position after every operation; a stop
// whose position equals existing ones goes after them. Stop indices run from
// 0 to stop_count() - 1; any other index fails the assertion
// "( index >= 0 ) && ( index < (int)_stops.size() )".

#include <orvane/attributes/qvCustomBrushDataAccess.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/geometry/qvTransformation.hpp>

class qvGradientDataAccess : public virtual qvCustomBrushDataAccess {
public:
    virtual int setting_a() const = 0;
    virtual void setting_a(int value) = 0;
    virtual int setting_b() const = 0;
    virtual void setting_b(int value) = 0;
    virtual qvTransformation transformation() const = 0;
    virtual void transformation(qvTransformation const& value) = 0;
    virtual int stop_count() const = 0;
    virtual void add_stop(double position, qvRgbColor color) = 0;
    virtual void remove_stop(int index) = 0;
    virtual qvRgbColor stop_color(int index) const = 0;
    virtual double stop_position(int index) const = 0;

protected:
    qvGradientDataAccess() noexcept = default;
    qvGradientDataAccess(qvGradientDataAccess const&) noexcept = default;
    qvGradientDataAccess& operator=(qvGradientDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvGradientDataAccess);
