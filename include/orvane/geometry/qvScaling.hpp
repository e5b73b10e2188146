#pragma once
// qvScaling: scaling about the origin, (sx, 0, 0, sy, 0, 0).

#include <orvane/geometry/qvRestrictedTransformation.hpp>

class qvScaling : public qvRestrictedTransformation {
public:
    constexpr explicit qvScaling(double s) noexcept : qvRestrictedTransformation(s, s, 0, 0) {}
    constexpr qvScaling(double sx, double sy) noexcept : qvRestrictedTransformation(sx, sy, 0, 0) {}
};
