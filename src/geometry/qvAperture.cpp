// The aperture shear and the cosine of the angle between transformed axes.

#include <orvane/geometry/qvAperture.hpp>

#include <cmath>
#include <numbers>

namespace {

qvTransformation aperture_of(double degrees) noexcept {
    // 90 degrees is pinned exactly: cos(pi/2) is not 0 in floating point.
    if (degrees == 90) return {};
    const double radians = degrees / 180 * std::numbers::pi;
    const double s = std::sin(radians);
    if (s == 0) return {};
    return {1, std::cos(radians) / s, 0, 1, 0, 0};
}

}  // namespace

qvAperture::qvAperture(double degrees) noexcept : qvTransformation(aperture_of(degrees)) {}

double qvApertureCos(qvTransformation const& t) noexcept {
    const double x_len2 = t.m0() * t.m0() + t.m2() * t.m2();
    const double y_len2 = t.m1() * t.m1() + t.m3() * t.m3();
    return (t.m0() * t.m1() + t.m2() * t.m3()) / std::sqrt(y_len2 * x_len2);
}
