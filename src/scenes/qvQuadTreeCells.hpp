#pragma once
// The cell arithmetic of a quadtree: which cell of the grid over a base
// rectangle holds a box, and the rectangle of a cell. Pure functions of
// the base, so that the quadtree, its tests and its benchmark share one
// definition.
//
// Cells are stored in handle records and node entries, so these results
// must be the same bits on every build and every reopening: every value
// named below is rounded to float where it is formed, nothing is
// contracted into a fused multiply-add (the library builds with
// -ffp-contract=off), and "trimmed" clears the two lowest mantissa bits of
// a float (its pattern ANDed with 0xFFFFFFFC), which absorbs the last-bit
// noise of boxes that were computed slightly differently.
//
// Cell of a box r at a level (qvCellOf):
//   R = r limited to the base B (larger lower, smaller upper coordinates),
//   as floats. Per axis, with lo, hi the base's bounds (doubles):
//     s(v)  = float((v − lo) × 32,768 / (hi − lo))      one rounding
//     first = floor(trimmed(s(R.lo)))
//     last  = ceil(trimmed(s(R.hi)) − 1)                 a box ending on a
//                                                        cell edge stays out
//                                                        of the next cell
//   −1 counts as 0 and 32,768 as 32,767; each is range-checked before it
//   becomes an int. The four numbers are shifted right by 15 − level, then
//   together by one while first and last differ on an axis, z counting down
//   from level. Handle: (2 × first_x + 1 − 2^z, 2 × first_y + 1 − 2^z, z).
//   A box with a NaN coordinate, or whose numbers fall outside 0 … 32,767
//   otherwise (it lies outside B, or is inverted across it), gets the root
//   cell (0, 0, 0).
//
// Rectangle of a cell h (qvCellRect), with the base's bounds as floats:
//   w    = float(float(x2 − x1) / 2^z)                   likewise hgt
//   left = float(float(w × (h.x − 1) × 0.5) + float((x1 + x2) × 0.5))
//   right = float(left + w)                               from left untrimmed
//   result (trimmed(left), trimmed(bottom), trimmed(right), trimmed(top)).

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/scenes/qvQuadTreeHandle.hpp>

#include <bit>
#include <cstdint>

// The deepest level of a quadtree: cells of level 15 are 1/32,768 of the
// base on each axis.
constexpr int qvQuadTreeDeepest = 15;

inline float qvTrimmed(float value) noexcept {
    return std::bit_cast<float>(std::bit_cast<std::uint32_t>(value) & 0xFFFFFFFCu);
}

// The smallest cell of at most `level` (0 … 15) that holds r.
qvQuadTreeHandleData qvCellOf(qvMathRectOf<double> const& base, qvMathRectOf<float> const& r, int level);

// The rectangle of cell h (the assertion "h.z < 16" for a level beyond 15).
qvMathRectOf<float> qvCellRect(qvMathRectOf<double> const& base, qvQuadTreeHandleData const& h);
