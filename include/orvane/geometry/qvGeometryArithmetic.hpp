#pragma once
// The arithmetic rules every geometry value type follows.
//
// Keeps true: geometry results are exact and the same on every build.
//   - double and float expressions are evaluated in their own type
//     (FLT_EVAL_METHOD == 0) and never contracted into fused multiply-adds
//     (the library is built with -ffp-contract=off, and so are the callers'
//     instantiations of these templates);
//   - fast-math builds are refused: they reorder sums and flush subnormals;
//   - integer sums, differences and products wrap modulo 2^32 instead of
//     overflowing (computed in 64 bits, then narrowed);
//   - a double becomes an int only through qvTruncToInt.

#include <orvane/core/qvNumericConversion.hpp>

#include <cfloat>
#include <cstdint>
#include <type_traits>

static_assert(FLT_EVAL_METHOD == 0,
              "geometry needs double and float arithmetic without excess precision");
#ifdef __FAST_MATH__
#error "Orvane geometry must not be built with -ffast-math or -Ofast"
#endif

namespace qvGeometryDetail {

template <class T>
constexpr T sum(T a, T b) noexcept {
    if constexpr (std::is_integral_v<T>)
        return static_cast<T>(std::int64_t{a} + std::int64_t{b});
    else
        return a + b;
}

template <class T>
constexpr T difference(T a, T b) noexcept {
    if constexpr (std::is_integral_v<T>)
        return static_cast<T>(std::int64_t{a} - std::int64_t{b});
    else
        return a - b;
}

template <class T>
constexpr T product(T a, T b) noexcept {
    if constexpr (std::is_integral_v<T>)
        return static_cast<T>(std::int64_t{a} * std::int64_t{b});
    else
        return a * b;
}

// A double result of a geometric computation in the coordinate type T:
// truncated (saturating) for int, rounded for float.
template <class T>
constexpr T from_double(double v) noexcept {
    if constexpr (std::is_same_v<T, int>)
        return qvTruncToInt(v);
    else
        return static_cast<T>(v);
}

}  // namespace qvGeometryDetail
