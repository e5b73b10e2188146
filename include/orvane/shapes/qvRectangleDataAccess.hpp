#pragma once
// qvRectangleDataAccess: a shape given by an axis-parallel rectangle (the
// rectangle, ellipse, arc and pie slice, and the frame of a compact point
// set). Its bbox() is its rectangle().

#include <orvane/shapes/qvQueryBboxDataAccess.hpp>

class qvRectangleDataAccess : public virtual qvQueryBboxDataAccess {
public:
    virtual qvMathRectOf<double> rectangle() = 0;
    virtual void rectangle(qvMathRectOf<double> const& r) = 0;

protected:
    qvRectangleDataAccess() noexcept = default;
    qvRectangleDataAccess(qvRectangleDataAccess const&) noexcept = default;
    qvRectangleDataAccess& operator=(qvRectangleDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvRectangleDataAccess);
