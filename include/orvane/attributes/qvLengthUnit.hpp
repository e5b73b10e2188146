#pragma once
// qvLengthUnit: units of length; the base unit is the metre. The shared
// units are made on the first call of their getter and live for the process.

#include <orvane/attributes/qvScaledUnit.hpp>

class qvLengthUnit : public qvScaledUnit<qvLengthUnit> {
public:
    using qvScaledUnit<qvLengthUnit>::qvScaledUnit;

    static qvLengthUnit const* getMeter();
    static qvLengthUnit const* getInch();
    static qvLengthUnit const* getFoot();
    static qvLengthUnit const* getMillimeter();
    static qvLengthUnit const* getCentimeter();
};

QV_INTERFACE_NAME(qvLengthUnit);
