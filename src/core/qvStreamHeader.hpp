#pragma once
// The binary stream header, shared by its writer and its probe.
//   offset  size  meaning
//        0     1  0xA9
//        1    20  "ORVANE BINARY STREAM"
//       21     1  0x00
//       22     4  version value, int32 little-endian

#include <orvane/core/qvVersion.hpp>

#include <array>
#include <cstdint>

inline constexpr int qvStreamHeaderSignatureSize = 22;
inline constexpr int qvStreamHeaderVersionSize = 4;
inline constexpr int qvStreamHeaderSize = qvStreamHeaderSignatureSize + qvStreamHeaderVersionSize;

inline constexpr char qvStreamHeaderSignature[qvStreamHeaderSignatureSize] = {
    '\xA9', 'O', 'R', 'V', 'A', 'N', 'E', ' ', 'B', 'I', 'N',
    'A',    'R', 'Y', ' ', 'S', 'T', 'R', 'E', 'A', 'M', '\0'};

inline std::array<char, qvStreamHeaderVersionSize> qvEncodeStreamVersion(qvVersion const& version) {
    const auto bits = static_cast<std::uint32_t>(version.version_value());
    return {static_cast<char>(bits & 0xFFu), static_cast<char>((bits >> 8) & 0xFFu),
            static_cast<char>((bits >> 16) & 0xFFu), static_cast<char>(bits >> 24)};
}

inline qvVersion qvDecodeStreamVersion(char const (&bytes)[qvStreamHeaderVersionSize]) {
    std::uint32_t bits = 0;
    for (int i = qvStreamHeaderVersionSize - 1; i >= 0; --i)
        bits = bits << 8 | static_cast<unsigned char>(bytes[i]);
    return qvVersion(static_cast<std::int32_t>(bits));
}
