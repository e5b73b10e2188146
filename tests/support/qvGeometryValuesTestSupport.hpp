#pragma once
// Test support for the geometry value types: readable gtest output, values
// read back as arrays for exact comparison, random invertible transformations.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/geometry/qvTransformation.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>
#include <random>
#include <type_traits>

template <class T>
void PrintTo(qvCrdOf<T> const& p, std::ostream* os) { *os << "(" << +p.x << ", " << +p.y << ")"; }
template <class T>
void PrintTo(qvRectOf<T> const& r, std::ostream* os) {
    *os << "(" << r.x1 << ", " << r.y1 << ", " << r.x2 << ", " << r.y2 << ")";
}

using qvC6 = std::array<double, 6>;
inline qvC6 coefficients(qvTransformation const& t) { return {t.m0(), t.m1(), t.m2(), t.m3(), t.m4(), t.m5()}; }
template <class T>
std::array<T, 4> values(qvRectOf<T> const& r) { return {r.x1, r.y1, r.x2, r.y2}; }

// Coefficients in [-10, 10], offsets in [-100, 100], |det| >= 0.1 so the
// inverse is well conditioned. T is qvTransformation or the restricted kind.
template <class T>
T random_invertible(std::mt19937& rng) {
    std::uniform_real_distribution<double> coef(-10, 10), off(-100, 100);
    for (;;) {
        T t;
        if constexpr (std::is_same_v<T, qvRestrictedTransformation>)
            t = T(coef(rng), coef(rng), off(rng), off(rng));
        else
            t = T(coef(rng), coef(rng), coef(rng), coef(rng), off(rng), off(rng));
        if (std::abs(t.m0() * t.m3() - t.m1() * t.m2()) >= 0.1) return t;
    }
}

inline bool near_identity(qvTransformation const& t, double tol) {
    const qvC6 c = coefficients(t), id = {1, 0, 0, 1, 0, 0};
    return std::equal(c.begin(), c.end(), id.begin(), [tol](double a, double b) { return std::abs(a - b) <= tol; });
}
