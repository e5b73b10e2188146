#pragma once
// qvTranslation: a pure move, (1, 0, 0, 1, dx, dy). Usable wherever a
// qvRestrictedTransformation or a qvTransformation is expected.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

class qvTranslation : public qvRestrictedTransformation {
public:
    constexpr explicit qvTranslation(qvCrdOf<double> const& v) noexcept
        : qvTranslation(v.x, v.y) {}
    constexpr qvTranslation(double dx, double dy) noexcept
        : qvRestrictedTransformation(1, 1, dx, dy) {}
};
