#pragma once
// Row arithmetic of bitmap headers, in 64 bits so that no header field can
// overflow it.

#include <cstdint>

// Bytes one row of `width` pixels needs before padding: width x pixel size,
// or the width divided by the pixels per byte rounded up; 0 for pixel size 0.
constexpr std::int64_t qvBitmapRowBytesNeeded(std::int64_t pixel_size,
                                              std::int64_t width) noexcept {
    if (pixel_size > 0) return width * pixel_size;
    if (pixel_size < 0) return (width - pixel_size - 1) / -pixel_size;
    return 0;
}
