// Rotation by an angle in degrees, pi taken as 3.141592653589793.

#include <orvane/geometry/qvRotation.hpp>

#include <cmath>
#include <numbers>

namespace {

qvTransformation rotation_of(double degrees) noexcept {
    const double radians = degrees * (std::numbers::pi / 180);
    const double c = std::cos(radians), s = std::sin(radians);
    return {c, -s, s, c, 0, 0};
}

}  // namespace

qvRotation::qvRotation(double degrees) noexcept : qvTransformation(rotation_of(degrees)) {}
