#pragma once
// Self-relative offsets: how a record's data struct finds its variable parts
// (points, text bytes, colour maps, pixels). An int16 field at address A
// holds (address of the part) - A, so the record stays valid when it is
// moved or copied as bytes.
//
// Keeps true: a part placed by a data struct's copy operation starts at the
// first 8-byte-aligned address at or after the end of the fixed part, and
// each further part at the first 8-byte-aligned address at or after the end
// of the previous one. The offset of an empty part is written as 0 and never
// followed: the count, length or byte count that governs the part says
// whether there is anything to reach.

#include <orvane/core/qvAssertionError.hpp>

#include <cstdint>

namespace qvSelfRelative {

// The part that `field` (an int16 offset field) designates. The address is
// formed as an integer: the part lies outside the struct that holds the
// field, in the same record block, which compilers' object-size checks
// cannot see when following the field's own address.
template <class T>
T* target(std::int16_t const& field) noexcept {
    return reinterpret_cast<T*>(reinterpret_cast<std::uintptr_t>(&field) + static_cast<std::intptr_t>(field));
}

// The first 8-byte-aligned address at or after `p`.
inline char* align8(char* p) noexcept {
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(p);
    return p + ((8 - address % 8) % 8);
}

// Points `field` at `part`. Parts lie within reach of their field by
// construction (they follow the fixed part of the same struct), so a
// distance beyond int16 is a broken invariant.
inline void point(std::int16_t& field, void const* part) {
    const std::intptr_t distance = reinterpret_cast<char const*>(part) - reinterpret_cast<char const*>(&field);
    QV_ASSERT_TEXT(distance >= INT16_MIN && distance <= INT16_MAX, "self-relative offset out of reach");
    field = static_cast<std::int16_t>(distance);
}

}  // namespace qvSelfRelative
