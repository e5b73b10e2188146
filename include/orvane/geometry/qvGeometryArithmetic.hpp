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
//   - a double becomes an int only through qvTruncToInt, and a coordinate
//     is rounded to float through qvRoundToFloat.

#include <orvane/core/qvNumericConversion.hpp>

#include <cfloat>
#include <cstdint>
#include <type_traits>

static_assert(FLT_EVAL_METHOD == 0,
              "geometry needs double and float arithmetic without excess precision");
#ifdef __FAST_MATH__
#error "Orvane geometry must not be built with -ffast-math or -Ofast"
#endif

// A double rounded to float as the hardware rounds it (beyond the float
// range: infinite). g++ 12 drops such a rounding when its vectorizer packs
// the x and y of a point and the rounded pair is widened again at once
// (0.1 * 4.0f came back 0.4, not 0.4000000059604645, and a corner mapped
// past the float range stayed finite), so outside constant evaluation the
// rounded value passes through an empty asm the optimizer cannot see into.
constexpr float qvRoundToFloat(double v) noexcept {
    float f = static_cast<float>(v);
#if defined(__GNUC__) && !defined(__clang__)
    if (!std::is_constant_evaluated()) {
#if defined(__SSE2__)
        asm("" : "+x"(f));
#else
        asm("" : "+m"(f));
#endif
    }
#endif
    return f;
}

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
    else if constexpr (std::is_same_v<T, float>)
        return qvRoundToFloat(v);
    else
        return static_cast<T>(v);
}

}  // namespace qvGeometryDetail
