#pragma once
// qvTimeUnit: units of time; the base unit is the second. The shared units
// are made on the first call of their getter and live for the process.

#include <orvane/attributes/qvScaledUnit.hpp>

class qvTimeUnit : public qvScaledUnit<qvTimeUnit> {
public:
    using qvScaledUnit<qvTimeUnit>::qvScaledUnit;

    static qvTimeUnit const* getSecond();
    static qvTimeUnit const* getMinute();
    static qvTimeUnit const* getHour();
    static qvTimeUnit const* getDay();
};

QV_INTERFACE_NAME(qvTimeUnit);
