#pragma once
// The two narrowing conversions of the library.
//
// Stored formats keep 32-bit fields where signatures say `long` (64 bits
// here): every such field passes qvCheckedInt32, which raises instead of
// truncating. Every double that becomes an int passes qvTruncToInt, which
// has one defined answer for NaN and out-of-range values.

#include <climits>
#include <cstdint>

// The value as int32, or qvErrorFrom<long> "Value does not fit a 32-bit field".
std::int32_t qvCheckedInt32(long long value);

// Truncation toward zero; NaN and values outside int's range give INT_MIN.
constexpr int qvTruncToInt(double value) noexcept {
    // -2^31 - 1 < v < 2^31 holds exactly the doubles that truncate into int;
    // NaN fails both comparisons.
    if (value > -2147483649.0 && value < 2147483648.0)
        return static_cast<int>(value);
    return INT_MIN;
}
