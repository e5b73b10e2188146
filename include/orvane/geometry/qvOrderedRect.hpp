#pragma once
// qvOrderedRectBase: what qvMathRectOf and qvWinRectOf share. They differ
// only in orientation: a math rectangle has y growing upwards (bottom = y1,
// top = y2), a window rectangle y growing downwards (top = y1, bottom = y2).
//
// Keeps true after every constructor from values or corners and after every
// setter: x1 <= x2 and y1 <= y2, unless a value is NaN (a comparison with a
// NaN swaps nothing). The constructors from ranges and from a plain
// rectangle store as given, so the empty marker (1, 1, 0, 0) survives them,
// and operator+= does not treat the empty marker specially on either side:
// callers that may hold one guard it themselves.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvGeometryArithmetic.hpp>
#include <orvane/geometry/qvRange.hpp>
#include <orvane/geometry/qvRect.hpp>

template <class T, class Derived, bool YUp>
class qvOrderedRectBase : public qvRectOf<T> {
    using Plain = qvRectOf<T>;

public:
    constexpr qvOrderedRectBase() noexcept = default;
    constexpr qvOrderedRectBase(T x1_, T y1_, T x2_, T y2_) noexcept
        : Plain(x1_, y1_, x2_, y2_) {
        this->x_check();
        this->y_check();
    }
    constexpr qvOrderedRectBase(qvCrdOf<T> const& a, qvCrdOf<T> const& b) noexcept
        : qvOrderedRectBase(a.x, a.y, b.x, b.y) {}
    constexpr qvOrderedRectBase(qvRangeOf<T> const& h, qvRangeOf<T> const& v) noexcept
        : Plain(h, v) {}
    constexpr explicit qvOrderedRectBase(Plain const& r) noexcept : Plain(r) {}

    static constexpr Derived make_empty() noexcept { return Derived(Plain::make_empty()); }

    // ---- edges -------------------------------------------------------------
    constexpr T left() const noexcept { return this->x1; }
    constexpr T right() const noexcept { return this->x2; }
    constexpr T top() const noexcept { return YUp ? this->y2 : this->y1; }
    constexpr T bottom() const noexcept { return YUp ? this->y1 : this->y2; }
    constexpr T l() const noexcept { return left(); }
    constexpr T r() const noexcept { return right(); }
    constexpr T t() const noexcept { return top(); }
    constexpr T b() const noexcept { return bottom(); }

    // A setter stores the edge, then swaps it with the opposite edge if it
    // has passed it.
    constexpr void left(T v) noexcept {
        this->x1 = v;
        this->x_check();
    }
    constexpr void right(T v) noexcept {
        this->x2 = v;
        this->x_check();
    }
    constexpr void top(T v) noexcept {
        (YUp ? this->y2 : this->y1) = v;
        this->y_check();
    }
    constexpr void bottom(T v) noexcept {
        (YUp ? this->y1 : this->y2) = v;
        this->y_check();
    }
    constexpr void l(T v) noexcept { left(v); }
    constexpr void r(T v) noexcept { right(v); }
    constexpr void t(T v) noexcept { top(v); }
    constexpr void b(T v) noexcept { bottom(v); }

    // ---- corners -----------------------------------------------------------
    constexpr qvCrdOf<T> lt() const noexcept { return {left(), top()}; }
    constexpr qvCrdOf<T> lb() const noexcept { return {left(), bottom()}; }
    constexpr qvCrdOf<T> rt() const noexcept { return {right(), top()}; }
    constexpr qvCrdOf<T> rb() const noexcept { return {right(), bottom()}; }
    constexpr void lt(qvCrdOf<T> p) noexcept {
        left(p.x);
        top(p.y);
    }
    constexpr void lb(qvCrdOf<T> p) noexcept {
        left(p.x);
        bottom(p.y);
    }
    constexpr void rt(qvCrdOf<T> p) noexcept {
        right(p.x);
        top(p.y);
    }
    constexpr void rb(qvCrdOf<T> p) noexcept {
        right(p.x);
        bottom(p.y);
    }

    // ---- measures ----------------------------------------------------------
    // Float measures stay in float; int measures wrap instead of overflowing.
    constexpr T width() const noexcept { return qvGeometryDetail::difference(this->x2, this->x1); }
    constexpr T height() const noexcept { return qvGeometryDetail::difference(this->y2, this->y1); }
    constexpr T area() const noexcept { return qvGeometryDetail::product(height(), width()); }

    // Computed in double, then truncated toward zero (int) or rounded (float).
    constexpr qvCrdOf<T> center() const noexcept {
        return {qvGeometryDetail::from_double<T>(
                    (static_cast<double>(this->x1) + static_cast<double>(this->x2)) * 0.5),
                qvGeometryDetail::from_double<T>(
                    (static_cast<double>(this->y1) + static_cast<double>(this->y2)) * 0.5)};
    }

    // Widens edge by edge to take in `o`: an edge moves only where `o`
    // reaches further, each move followed by the ordering swap. `o` is a
    // copy, so `r += r` is safe.
    constexpr Derived& operator+=(Derived o) noexcept {
        if (o.x1 < this->x1) left(o.x1);
        if (o.x2 > this->x2) right(o.x2);
        if (o.y1 < this->y1) set_y1(o.y1);
        if (o.y2 > this->y2) set_y2(o.y2);
        return static_cast<Derived&>(*this);
    }

private:
    constexpr void set_y1(T v) noexcept {
        this->y1 = v;
        this->y_check();
    }
    constexpr void set_y2(T v) noexcept {
        this->y2 = v;
        this->y_check();
    }
};
