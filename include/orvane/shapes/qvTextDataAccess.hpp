#pragma once
// qvTextDataAccess: the properties of a text shape (qvTextData.hpp gives
// their units and the alignment bits). The stretch pair has its setter
// first; a stretch that is not above zero is refused.

#include <orvane/shapes/qvAnchorDataAccess.hpp>
#include <orvane/shapes/qvExtent.hpp>

class qvTextDataAccess : public virtual qvAnchorDataAccess {
public:
    virtual unsigned alignment() = 0;
    virtual void alignment(unsigned a) = 0;
    virtual double angle() = 0;
    virtual void angle(double degrees) = 0;
    virtual double aperture() = 0;
    virtual void aperture(double degrees) = 0;
    virtual char const* text() = 0;
    virtual void text(char const* s) = 0;
    virtual void stretch(float s) = 0;
    virtual float stretch() = 0;
    virtual qvExtent extent() = 0;
    virtual void extent(qvExtent const& e) = 0;

protected:
    qvTextDataAccess() noexcept = default;
    qvTextDataAccess(qvTextDataAccess const&) noexcept = default;
    qvTextDataAccess& operator=(qvTextDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvTextDataAccess);
