#pragma once
// qvRestrictedImageDataAccess: an image sized in device units: its width
// and height in model units (the "resolutions") follow from its pixels and
// the view transformation.

#include <orvane/shapes/qvImageDataAccess.hpp>

class qvRestrictedTransformation;

class qvRestrictedImageDataAccess : public virtual qvImageDataAccess {
public:
    virtual int alignment() = 0;
    virtual void alignment(int a) = 0;
    virtual void resolution(double x, double y) = 0;
    virtual double x_resolution() = 0;
    virtual double y_resolution() = 0;
    virtual void adjust_extent(qvRestrictedTransformation* t) = 0;

protected:
    qvRestrictedImageDataAccess() noexcept = default;
    qvRestrictedImageDataAccess(qvRestrictedImageDataAccess const&) noexcept = default;
    qvRestrictedImageDataAccess& operator=(qvRestrictedImageDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvRestrictedImageDataAccess);
