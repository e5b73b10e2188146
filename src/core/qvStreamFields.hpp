#pragma once
// Fixed-size fields on binary streams.
//
// Keeps true: a fixed-size value is read whole or not at all; fewer bytes, or
// an unconnected stream, raise qvErrorFrom<qvInputStream> "Incomplete data on
// input" through qvThrowInputStreamError. Values are the raw bytes of the
// machine's representation, which the formats fix as little-endian. A `long`
// is stored as int32 and passes the checked narrowing, never truncation.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

static_assert(std::endian::native == std::endian::little,
              "binary stream formats are the raw little-endian bytes of values");

// Reads exactly n bytes into bytes, or raises "Incomplete data on input".
void qvReadExact(qvInputStream& is, void* bytes, int n);

template <class T>
T qvReadValue(qvInputStream& is) {
    static_assert(std::is_trivially_copyable_v<T>);
    char bytes[sizeof(T)];
    qvReadExact(is, bytes, static_cast<int>(sizeof(T)));
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <class T>
void qvWriteValue(qvOutputStream& os, T const& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    os.putn(bytes, static_cast<int>(sizeof(T)));
}

// A `long` field: int32 on the stream.
long qvReadInt32(qvInputStream& is);
void qvWriteInt32(qvOutputStream& os, long value);
