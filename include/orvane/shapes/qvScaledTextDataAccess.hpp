#pragma once
// qvScaledTextDataAccess: a text sized in model units by its height.

#include <orvane/shapes/qvTextDataAccess.hpp>

class qvScaledTextDataAccess : public virtual qvTextDataAccess {
public:
    virtual void adjust_extent() = 0;
    virtual void height(double h) = 0;
    virtual double height() = 0;

protected:
    qvScaledTextDataAccess() noexcept = default;
    qvScaledTextDataAccess(qvScaledTextDataAccess const&) noexcept = default;
    qvScaledTextDataAccess& operator=(qvScaledTextDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvScaledTextDataAccess);
