#pragma once
// qvCrdOf<T>: a point (x, y) of T. Instances in use: double (model and
// device coordinates), float (record bounding boxes), int (pixels) and
// std::uint16_t (points inside compact shape records).
//
// A plain value: no invariant beyond its two fields. Widening to double is
// implicit and exact; double to float rounds and must be asked for.
// In-place operations take their argument by value, so `p /= p.x` divides
// both coordinates by the old x.

#include <orvane/geometry/qvGeometryArithmetic.hpp>

#include <cmath>
#include <concepts>
#include <cstdint>

template <class T>
struct qvCrdOf {
    T x{};
    T y{};

    constexpr qvCrdOf() noexcept = default;
    constexpr qvCrdOf(T x_, T y_) noexcept : x(x_), y(y_) {}

    // Exact widening of int, float and 16-bit points to double points.
    template <class U>
        requires(std::same_as<T, double> &&
                 (std::same_as<U, int> || std::same_as<U, float> ||
                  std::same_as<U, std::uint16_t>))
    constexpr qvCrdOf(qvCrdOf<U> const& p) noexcept
        : x(static_cast<double>(p.x)), y(static_cast<double>(p.y)) {}

    // A double point rounded to float, coordinate by coordinate.
    template <class U>
        requires(std::same_as<T, float> && std::same_as<U, double>)
    constexpr explicit qvCrdOf(qvCrdOf<U> const& p) noexcept
        : x(qvRoundToFloat(p.x)), y(qvRoundToFloat(p.y)) {}

    constexpr bool operator==(qvCrdOf const&) const noexcept = default;

    // ---- double points ---------------------------------------------------
    constexpr qvCrdOf operator+(qvCrdOf const& o) const noexcept
        requires std::same_as<T, double>
    {
        return {x + o.x, y + o.y};
    }
    constexpr qvCrdOf operator-(qvCrdOf const& o) const noexcept
        requires std::same_as<T, double>
    {
        return {x - o.x, y - o.y};
    }
    constexpr qvCrdOf operator*(double s) const noexcept
        requires std::same_as<T, double>
    {
        return {x * s, y * s};
    }
    constexpr qvCrdOf operator/(double s) const noexcept
        requires std::same_as<T, double>
    {
        return {x / s, y / s};
    }
    constexpr qvCrdOf& operator*=(double s) noexcept
        requires std::same_as<T, double>
    {
        x *= s;
        y *= s;
        return *this;
    }
    constexpr qvCrdOf& operator/=(double s) noexcept
        requires std::same_as<T, double>
    {
        x /= s;
        y /= s;
        return *this;
    }
    double distance(qvCrdOf const& o) const noexcept
        requires std::same_as<T, double>
    {
        const double dx = x - o.x, dy = y - o.y;
        return std::sqrt(dx * dx + dy * dy);
    }
    // The image under the 2x3 matrix (a, b, c, d, e, f):
    // (a*x + b*y + e, c*x + d*y + f). Every transformation of a point in the
    // library goes through here, so all callers agree to the last bit.
    constexpr qvCrdOf transformed(double a, double b, double c, double d, double e,
                                  double f) const noexcept
        requires std::same_as<T, double>
    {
        return {a * x + b * y + e, c * x + d * y + f};
    }

    // ---- int points --------------------------------------------------------
    // Sums wrap modulo 2^32; divisions truncate toward zero and saturate
    // (NaN and out-of-range quotients give INT_MIN).
    constexpr qvCrdOf& operator+=(qvCrdOf o) noexcept
        requires std::same_as<T, int>
    {
        x = qvGeometryDetail::sum(x, o.x);
        y = qvGeometryDetail::sum(y, o.y);
        return *this;
    }
    constexpr qvCrdOf operator+(qvCrdOf const& o) const noexcept
        requires std::same_as<T, int>
    {
        qvCrdOf r = *this;
        return r += o;
    }
    constexpr qvCrdOf& operator/=(double s) noexcept
        requires std::same_as<T, int>
    {
        x = qvTruncToInt(static_cast<double>(x) / s);
        y = qvTruncToInt(static_cast<double>(y) / s);
        return *this;
    }
    constexpr qvCrdOf operator/(double s) const noexcept
        requires std::same_as<T, int>
    {
        qvCrdOf r = *this;
        return r /= s;
    }
};
