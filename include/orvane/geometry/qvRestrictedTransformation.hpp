#pragma once
// qvRestrictedTransformation: scale and offset per axis, no rotation. It
// holds the six coefficients of a qvTransformation with m1 = m2 = 0 always;
// its x component is (m0, m4), its y component (m3, m5). It converts
// implicitly to a qvTransformation, so a restricted transformation (and
// every maker derived from it, such as qvTranslation) serves wherever
// either kind is expected; overloads for the restricted kind win.
//
// Products of two restricted transformations are computed per axis, never
// through the zero cross terms, so an infinite offset or coordinate does
// not turn into NaN through 0 * inf.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRTComponent.hpp>
#include <orvane/geometry/qvTransformation.hpp>

class qvRestrictedTransformation {
public:
    constexpr qvRestrictedTransformation() noexcept = default;
    constexpr qvRestrictedTransformation(double x_scale, double y_scale, double x_offset,
                                         double y_offset) noexcept
        : m_{x_scale, 0, 0, y_scale, x_offset, y_offset} {}
    constexpr qvRestrictedTransformation(qvRTComponent const& x, qvRTComponent const& y) noexcept
        : qvRestrictedTransformation(x.scale, y.scale, x.offset, y.offset) {}

    static qvRestrictedTransformation const& identity() noexcept;

    constexpr operator qvTransformation() const noexcept {
        return {m_[0], m_[1], m_[2], m_[3], m_[4], m_[5]};
    }

    constexpr double m0() const noexcept { return m_[0]; }
    constexpr double m1() const noexcept { return m_[1]; }
    constexpr double m2() const noexcept { return m_[2]; }
    constexpr double m3() const noexcept { return m_[3]; }
    constexpr double m4() const noexcept { return m_[4]; }
    constexpr double m5() const noexcept { return m_[5]; }

    constexpr qvRTComponent get_x() const noexcept { return {m_[0], m_[4]}; }
    constexpr qvRTComponent get_y() const noexcept { return {m_[3], m_[5]}; }
    constexpr void set_x(qvRTComponent c) noexcept {
        m_[0] = c.scale;
        m_[4] = c.offset;
    }
    constexpr void set_y(qvRTComponent c) noexcept {
        m_[3] = c.scale;
        m_[5] = c.offset;
    }
    constexpr void erase_x() noexcept { set_x(qvRTComponent()); }
    constexpr void erase_y() noexcept { set_y(qvRTComponent()); }
    constexpr void erase() noexcept {
        erase_x();
        erase_y();
    }

    constexpr bool is_identity() const noexcept {
        return get_x().is_identity() && get_y().is_identity();
    }
    constexpr bool is_scroll() const noexcept { return get_x().is_scroll() && get_y().is_scroll(); }

    // Applies `u` first: (t0*u0, 0, 0, t3*u3, t0*u4 + t4, t3*u5 + t5).
    constexpr qvRestrictedTransformation operator*(qvRestrictedTransformation const& u) const noexcept {
        return {get_x() * u.get_x(), get_y() * u.get_y()};
    }
    // The general product, applying `u` first.
    qvTransformation operator*(qvTransformation const& u) const noexcept {
        return qvTransformation(*this) * u;
    }

private:
    // The qvTransformation layout; m_[1] and m_[2] stay 0.
    double m_[6] = {1, 0, 0, 1, 0, 0};
};

constexpr bool operator==(qvRestrictedTransformation const& a,
                          qvRestrictedTransformation const& b) noexcept {
    return a.m0() == b.m0() && a.m3() == b.m3() && a.m4() == b.m4() && a.m5() == b.m5();
}

// m0 != 0 and m3 != 0, exactly.
constexpr bool qvCanBeInverted(qvRestrictedTransformation const& t) noexcept {
    return t.m0() != 0 && t.m3() != 0;
}

// (1/m0, 0, 0, 1/m3, -(m4/m0), -(m5/m3)); zero scales are not guarded.
constexpr qvRestrictedTransformation qvInvert(qvRestrictedTransformation const& t) noexcept {
    return {t.get_x().invert(), t.get_y().invert()};
}

// The image of `rect`: both corners mapped per axis, the result ordered.
constexpr qvMathRectOf<double> qvTransformRect(qvMathRectOf<double> const& rect,
                                               qvRestrictedTransformation const& rt) noexcept {
    const qvRTComponent x = rt.get_x(), y = rt.get_y();
    return qvMathRectOf<double>(x * rect.x1, y * rect.y1, x * rect.x2, y * rect.y2);
}
