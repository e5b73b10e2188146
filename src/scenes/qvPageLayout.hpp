#pragma once
// The page of a page file: its size, where it lies in the file, and its
// 32-bit fields.
//
// Keeps true: every on-page word is a 32-bit little-endian field, read and
// written whole through memcpy (pages hold no alignment promise for their
// fields); page numbers are 32-bit, so a word that names a page is read as
// unsigned and anything above qvMaxPageCount is corruption for the reader
// to report.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "page files store the raw little-endian bytes of their words");

inline constexpr std::size_t qvPageBytes = 16384;
inline constexpr int qvPageShift = 14;
// Buffers that hold pages start on this boundary: whole pages then line up
// with the system's own pages.
inline constexpr std::size_t qvPageBufferAlignment = 4096;
// Page numbers are 32-bit signed: at most 2^31 − 1 pages (32 TiB).
inline constexpr long qvMaxPageCount = 0x7FFFFFFF;

// Byte position of page n in its file; n in 0..qvMaxPageCount.
constexpr long long qvPagePosition(long page) noexcept {
    return static_cast<long long>(page) << qvPageShift;
}

inline std::uint32_t qvPageWord(void const* page, std::size_t offset) noexcept {
    std::uint32_t value;
    std::memcpy(&value, static_cast<unsigned char const*>(page) + offset, sizeof value);
    return value;
}

inline void qvSetPageWord(void* page, std::size_t offset, std::uint32_t value) noexcept {
    std::memcpy(static_cast<unsigned char*>(page) + offset, &value, sizeof value);
}
