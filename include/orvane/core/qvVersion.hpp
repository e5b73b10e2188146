#pragma once
// qvVersion: the 32-bit version that a binary stream carries.
//
// Keeps true: the value is major << 24 | minor << 16 | build, major and minor
// one byte each (read back unsigned), build the low 16 bits. A major of 128
// or more makes the value negative; comparisons are signed, so such versions
// sort before every version with a smaller major. Value 0 means "no version"
// (a stream without header).

#include <cstdint>

class qvVersion {
public:
    // Implicit on purpose: callers register and compare versions by value.
    constexpr qvVersion(int value = 0) noexcept : value_(value) {}

    // Minor and build are masked; major keeps its low byte only because the
    // shift is done in 32 unsigned bits (a signed shift of 128 << 24 would
    // overflow).
    constexpr qvVersion(int major, int minor, int build) noexcept
        : value_(static_cast<std::int32_t>((static_cast<std::uint32_t>(major) << 24) |
                                           ((static_cast<std::uint32_t>(minor) & 0xFFu) << 16) |
                                           (static_cast<std::uint32_t>(build) & 0xFFFFu))) {}

    constexpr int version_major() const noexcept { return static_cast<int>(bits() >> 24); }
    constexpr int version_minor() const noexcept { return static_cast<int>((bits() >> 16) & 0xFFu); }
    constexpr int version_build() const noexcept { return static_cast<int>(bits() & 0xFFFFu); }
    constexpr int version_value() const noexcept { return value_; }
    constexpr bool valid() const noexcept { return value_ != 0; }

    constexpr bool operator<(qvVersion const& other) const noexcept { return value_ < other.value_; }

    // The library's own version, 3.4.1.
    static qvVersion const& default_version() noexcept;

private:
    constexpr std::uint32_t bits() const noexcept { return static_cast<std::uint32_t>(value_); }

    std::int32_t value_;
};
