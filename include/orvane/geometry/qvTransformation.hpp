#pragma once
// qvTransformation: the general 2-D affine map, six doubles m0 .. m5.
// A point (x, y) maps to (m0*x + m1*y + m4, m2*x + m3*y + m5): m0 and m3
// scale, m1 and m2 rotate or shear, m4 and m5 translate, and (1, 0) turns
// toward (0, 1) under a positive rotation.
//
// Keeps true: nothing beyond the six values; every comparison is exact.
// A product A * B applies B first. Points are mapped only through
// qvCrdOf<double>::transformed, so every caller gets the same bits.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRTComponent.hpp>

class qvTransformation {
public:
    constexpr qvTransformation() noexcept : m_{1, 0, 0, 1, 0, 0} {}
    constexpr qvTransformation(double m0, double m1, double m2, double m3, double m4,
                               double m5) noexcept
        : m_{m0, m1, m2, m3, m4, m5} {}

    static qvTransformation const& identity() noexcept;

    constexpr double m0() const noexcept { return m_[0]; }
    constexpr double m1() const noexcept { return m_[1]; }
    constexpr double m2() const noexcept { return m_[2]; }
    constexpr double m3() const noexcept { return m_[3]; }
    constexpr double m4() const noexcept { return m_[4]; }
    constexpr double m5() const noexcept { return m_[5]; }

    constexpr bool is_identity() const noexcept {
        return is_scroll() && m_[4] == 0 && m_[5] == 0;
    }
    // A pure translation: unit scales, no rotation or shear; offsets free.
    constexpr bool is_scroll() const noexcept {
        return m_[0] == 1 && m_[3] == 1 && m_[1] == 0 && m_[2] == 0;
    }
    constexpr void erase() noexcept { *this = qvTransformation(); }

    // Applies `u` first, then this transformation.
    qvTransformation operator*(qvTransformation const& u) const noexcept;

    constexpr qvCrdOf<double> operator*(qvCrdOf<double> const& p) const noexcept {
        return p.transformed(m_[0], m_[1], m_[2], m_[3], m_[4], m_[5]);
    }
    // Mapped in double, each coordinate then rounded to float.
    constexpr qvCrdOf<float> operator*(qvCrdOf<float> const& p) const noexcept {
        return qvCrdOf<float>(*this * qvCrdOf<double>(p));
    }

    // The scale and offset terms alone, (m0*x + m4, m3*y + m5): for callers
    // that know the transformation is per-axis and must not let a zero cross
    // term meet an infinite coordinate.
    constexpr qvCrdOf<double> apply_scale_offset(qvCrdOf<double> const& p) const noexcept {
        return {qvRTComponent(m_[0], m_[4]) * p.x, qvRTComponent(m_[3], m_[5]) * p.y};
    }

private:
    double m_[6];
};

constexpr bool operator==(qvTransformation const& a, qvTransformation const& b) noexcept {
    return a.m0() == b.m0() && a.m1() == b.m1() && a.m2() == b.m2() && a.m3() == b.m3() &&
           a.m4() == b.m4() && a.m5() == b.m5();
}

// m0*m3 - m2*m1 != 0, exactly.
bool qvCanBeInverted(qvTransformation const& t) noexcept;

// The inverse; the identity when the determinant is exactly 0.
qvTransformation qvInvert(qvTransformation const& t) noexcept;
