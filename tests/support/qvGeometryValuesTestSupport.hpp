#pragma once
// Test support for the geometry value types: readable gtest output for
// points, rectangles and transformations, and exact comparisons by value.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/geometry/qvTransformation.hpp>

#include <array>
#include <ostream>
#include <random>

template <class T>
void PrintTo(qvCrdOf<T> const& p, std::ostream* os) {
    *os << "(" << +p.x << ", " << +p.y << ")";
}

template <class T>
void PrintTo(qvRectOf<T> const& r, std::ostream* os) {
    *os << "(" << r.x1 << ", " << r.y1 << ", " << r.x2 << ", " << r.y2 << ")";
}

inline std::array<double, 6> coefficients(qvTransformation const& t) {
    return {t.m0(), t.m1(), t.m2(), t.m3(), t.m4(), t.m5()};
}

template <class T>
std::array<T, 4> values(qvRectOf<T> const& r) {
    return {r.x1, r.y1, r.x2, r.y2};
}

// A random invertible transformation: coefficients in [-10, 10], offsets in
// [-100, 100], |det| >= 0.1 so the inverse is well conditioned.
inline qvTransformation random_invertible(std::mt19937& rng) {
    std::uniform_real_distribution<double> coef(-10, 10), off(-100, 100);
    for (;;) {
        const qvTransformation t(coef(rng), coef(rng), coef(rng), coef(rng), off(rng), off(rng));
        const double det = t.m0() * t.m3() - t.m1() * t.m2();
        if (det >= 0.1 || det <= -0.1) return t;
    }
}

inline qvRestrictedTransformation random_invertible_restricted(std::mt19937& rng) {
    std::uniform_real_distribution<double> coef(-10, 10), off(-100, 100);
    for (;;) {
        const qvRestrictedTransformation t(coef(rng), coef(rng), off(rng), off(rng));
        const double det = t.m0() * t.m3();
        if (det >= 0.1 || det <= -0.1) return t;
    }
}

// True when every coefficient of `t` is within `tol` of the identity's.
inline bool near_identity(qvTransformation const& t, double tol) {
    const auto c = coefficients(t);
    const std::array<double, 6> id = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
        if (!(c[i] - id[i] <= tol && id[i] - c[i] <= tol)) return false;
    return true;
}
