#pragma once
// qvAnchorDataAccess: the point by which a text or an image is placed.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvQueryBboxDataAccess.hpp>

class qvAnchorDataAccess : public virtual qvQueryBboxDataAccess {
public:
    virtual qvCrdOf<double> anchor() = 0;
    virtual void anchor(qvCrdOf<double> p) = 0;

protected:
    qvAnchorDataAccess() noexcept = default;
    qvAnchorDataAccess(qvAnchorDataAccess const&) noexcept = default;
    qvAnchorDataAccess& operator=(qvAnchorDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvAnchorDataAccess);
