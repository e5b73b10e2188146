// Composition and inversion of general transformations. The operation
// order is the one written in the formulas (no reassociation, no fused
// multiply-add): results must be the same on every build.

#include <orvane/geometry/qvTransformation.hpp>

namespace {

double determinant(qvTransformation const& t) noexcept {
    return t.m0() * t.m3() - t.m1() * t.m2();
}

}  // namespace

qvTransformation const& qvTransformation::identity() noexcept {
    static const qvTransformation the_identity;
    return the_identity;
}

qvTransformation qvTransformation::operator*(qvTransformation const& u) const noexcept {
    // `u` may be *this (t * t): everything is read before the result exists.
    const double* t = m_;
    return {t[0] * u.m0() + t[1] * u.m2(),
            t[0] * u.m1() + t[1] * u.m3(),
            t[2] * u.m0() + t[3] * u.m2(),
            t[2] * u.m1() + t[3] * u.m3(),
            t[0] * u.m4() + t[1] * u.m5() + t[4],
            t[2] * u.m4() + t[3] * u.m5() + t[5]};
}

bool qvCanBeInverted(qvTransformation const& t) noexcept { return determinant(t) != 0; }

qvTransformation qvInvert(qvTransformation const& t) noexcept {
    const double det = determinant(t);
    if (det == 0) return qvTransformation::identity();
    // Undo the offset first, then the linear part.
    const qvTransformation linear(t.m3() / det, -t.m1() / det, -t.m2() / det, t.m0() / det, 0, 0);
    const qvTransformation unmove(1, 0, 0, 1, -t.m4(), -t.m5());
    return linear * unmove;
}
