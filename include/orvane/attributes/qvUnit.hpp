#pragma once
// qvUnit: a unit of measure that converts values to and from units of its
// own kind (time, length). Units are dynamic interfaces: a unit recognises
// its own kind by asking the other unit for the kind's interface identity.
//
// Conversions between kinds are refused, never guessed: canConvert* says
// false, convert* raises the kind's "Unit is not supported!".

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvString.hpp>

class qvUnit : public virtual qvDynamicInterface {
public:
    virtual qvString getAbbreviation() const = 0;
    virtual qvString getName() const = 0;
    virtual bool canConvertTo(qvUnit const* unit) const = 0;
    // The value in this unit expressed in `unit`.
    virtual double convertTo(double value, qvUnit const* unit) const = 0;
    virtual bool canConvertFrom(qvUnit const* unit) const = 0;
    // The value in `unit` expressed in this unit.
    virtual double convertFrom(double value, qvUnit const* unit) const = 0;
    virtual bool equals(qvUnit const* unit) const = 0;

protected:
    qvUnit() noexcept = default;
    qvUnit(qvUnit const&) noexcept = default;
    qvUnit& operator=(qvUnit const&) noexcept = default;
};

QV_INTERFACE_NAME(qvUnit);
