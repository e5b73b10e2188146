#pragma once
// qvScaledImageDataAccess: an image sized in model units by two edge
// vectors from its anchor.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvImageDataAccess.hpp>

class qvScaledImageDataAccess : public virtual qvImageDataAccess {
public:
    virtual qvCrdOf<double> x_vector() = 0;
    virtual void x_vector(qvCrdOf<double> v) = 0;
    virtual qvCrdOf<double> y_vector() = 0;
    virtual void y_vector(qvCrdOf<double> v) = 0;
    virtual void vectors(qvCrdOf<double> x, qvCrdOf<double> y) = 0;

protected:
    qvScaledImageDataAccess() noexcept = default;
    qvScaledImageDataAccess(qvScaledImageDataAccess const&) noexcept = default;
    qvScaledImageDataAccess& operator=(qvScaledImageDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvScaledImageDataAccess);
