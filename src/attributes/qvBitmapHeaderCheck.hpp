#pragma once
// The one check that a bitmap header describes storage its own fields agree
// on, so that every in-range pixel address lies inside size() bytes. Bitmap
// loading refuses a header that fails it; the bitmap transformation refuses
// a standard-type view that fails the view check below. Headers made by the
// constructors always pass.
//
// A header passes when (products in 64 bits):
//   - width and height are not negative;
//   - a standard type (1 to 3) has its own pixel size (-8, 1, 4);
//   - pixel size 0: row bytes 0 (the image size then carries the size);
//     otherwise row bytes are a multiple of 4, hold at least one row, and the
//     image size is row bytes x height exactly;
//   - the image size is not negative and there are 0 to 256 colours.

#include <cstdint>

class qvBitmapReference;
struct qvBitmapHeader;

// The largest row size, image size or storage size a bitmap may have: each
// is a 32-bit field of the header or of the stream form.
constexpr std::int64_t qvBitmapMaxField = 0x7FFFFFFF;

// Raises qvErrorFrom<qvBitmapHeader> "Invalid bitmap size": the one place
// that refuses a size, for the header and for the bitmap's storage.
[[noreturn]] void qvRaiseBitmapSize();

bool qvBitmapHeaderIsValid(qvBitmapHeader const& header) noexcept;

// The header passes, and the view carries what the header promises: pixels
// when width x height > 0, colour entries when colours are counted.
bool qvBitmapViewIsValid(qvBitmapReference const& view) noexcept;
