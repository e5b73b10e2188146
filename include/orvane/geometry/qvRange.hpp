#pragma once
// qvRangeOf<T>: an interval lo .. hi of T.
//
// The two-value constructor orders its values: it swaps them unless the
// first is smaller, so equal values stay and a pair with a NaN is swapped.
// Fields may be written directly; nothing re-orders them afterwards.

#include <orvane/geometry/qvGeometryArithmetic.hpp>

template <class T>
struct qvRangeOf {
    T lo{};
    T hi{};

    constexpr qvRangeOf() noexcept = default;
    constexpr qvRangeOf(T a, T b) noexcept : lo(a), hi(b) {
        if (!(a < b)) {
            lo = b;
            hi = a;
        }
    }

    // hi - lo; wraps for int ranges wider than int.
    constexpr T length() const noexcept { return qvGeometryDetail::difference(hi, lo); }
};
