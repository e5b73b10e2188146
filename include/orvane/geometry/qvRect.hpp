#pragma once
// qvRectOf<T>: a plain axis-parallel rectangle, four T in the order x1, y1,
// x2, y2 (first corner, then the opposite corner). The ordered rectangles
// qvMathRectOf and qvWinRectOf share this layout.
//
// Keeps true: nothing. A plain rectangle stores its corners as given; it is
// empty when x2 < x1 or y2 < y1 (so a NaN coordinate is never empty, and a
// rectangle of zero width or height is a real one). The empty marker is
// (1, 1, 0, 0).
//
// Conversions: int and float rectangles widen to double implicitly and
// exactly; a double rectangle becomes float (rounded) or int (truncated
// toward zero, saturating to INT_MIN) only when asked for.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvGeometryArithmetic.hpp>
#include <orvane/geometry/qvRange.hpp>

#include <concepts>
#include <utility>

template <class From, class To>
concept qvWideningRectConversion =
    std::same_as<To, double> && (std::same_as<From, float> || std::same_as<From, int>);

template <class From, class To>
concept qvNarrowingRectConversion =
    std::same_as<From, double> && (std::same_as<To, float> || std::same_as<To, int>);

template <class T>
struct qvRectOf {
    T x1{};
    T y1{};
    T x2{};
    T y2{};

    constexpr qvRectOf() noexcept = default;
    constexpr qvRectOf(T x1_, T y1_, T x2_, T y2_) noexcept
        : x1(x1_), y1(y1_), x2(x2_), y2(y2_) {}
    constexpr qvRectOf(qvCrdOf<T> const& a, qvCrdOf<T> const& b) noexcept
        : x1(a.x), y1(a.y), x2(b.x), y2(b.y) {}
    constexpr qvRectOf(qvRangeOf<T> const& h, qvRangeOf<T> const& v) noexcept
        : x1(h.lo), y1(v.lo), x2(h.hi), y2(v.hi) {}

    template <class U>
        requires qvWideningRectConversion<U, T> || qvNarrowingRectConversion<U, T>
    constexpr explicit(qvNarrowingRectConversion<U, T>) qvRectOf(qvRectOf<U> const& o) noexcept
        : x1(convert(o.x1)), y1(convert(o.y1)), x2(convert(o.x2)), y2(convert(o.y2)) {}

    constexpr bool operator==(qvRectOf const&) const noexcept = default;

    constexpr bool empty() const noexcept { return x2 < x1 || y2 < y1; }

    static constexpr qvRectOf make_empty() noexcept { return {T(1), T(1), T(0), T(0)}; }
    constexpr void _make_empty() noexcept { *this = make_empty(); }

    constexpr qvRangeOf<T> horizontal_range() const noexcept { return {x1, x2}; }
    constexpr qvRangeOf<T> vertical_range() const noexcept { return {y1, y2}; }

    // Swap the two values of one axis when they are out of order; a NaN
    // compares false and swaps nothing.
    constexpr void x_check() noexcept {
        if (x1 > x2) std::swap(x1, x2);
    }
    constexpr void y_check() noexcept {
        if (y1 > y2) std::swap(y1, y2);
    }

private:
    template <class U>
    static constexpr T convert(U v) noexcept {
        if constexpr (std::same_as<U, double>)
            return qvGeometryDetail::from_double<T>(v);
        else
            return static_cast<T>(v);
    }
};

// True when `inner` lies within `outer` (edges may coincide).
template <class T>
constexpr bool qvRectWithin(qvRectOf<T> const& inner, qvRectOf<T> const& outer) noexcept {
    return inner.x1 >= outer.x1 && inner.y1 >= outer.y1 && inner.x2 <= outer.x2 &&
           inner.y2 <= outer.y2;
}
