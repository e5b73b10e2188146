// qvLengthUnit: the shared units of length.

#include <orvane/attributes/qvLengthUnit.hpp>

qvLengthUnit const* qvLengthUnit::getMeter() {
    static const qvLengthUnit unit("Meter", "m", 1);
    return &unit;
}

qvLengthUnit const* qvLengthUnit::getInch() {
    static const qvLengthUnit unit("Inch", "in", 0.0254);
    return &unit;
}

qvLengthUnit const* qvLengthUnit::getFoot() {
    static const qvLengthUnit unit("Foot", "ft", 0.3048);
    return &unit;
}

qvLengthUnit const* qvLengthUnit::getMillimeter() {
    static const qvLengthUnit unit("Millimeter", "mm", 0.001);
    return &unit;
}

qvLengthUnit const* qvLengthUnit::getCentimeter() {
    static const qvLengthUnit unit("Centimeter", "cm", 0.01);
    return &unit;
}
