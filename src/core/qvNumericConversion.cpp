#include <orvane/core/qvNumericConversion.hpp>

#include <orvane/core/qvError.hpp>

std::int32_t qvCheckedInt32(long long value) {
    if (value < INT32_MIN || value > INT32_MAX)
        qvRaise(qvErrorFrom<long>("Value does not fit a 32-bit field"));
    return static_cast<std::int32_t>(value);
}
