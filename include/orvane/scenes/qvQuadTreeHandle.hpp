#pragma once
// qvQuadTreeHandle: one cell of a layer's quadtree, as three int16 values,
// and its stored form qvQuadTreeHandleData (the same 6 bytes).
//
// z is the level below the layer's base rectangle: level 0 is the whole
// rectangle, each level halves the cells in both directions, down to 15.
// x and y are the cell's centre measured from the base centre in half-cell
// units: 2 × column + 1 − 2^z, with the column (row) counted from the
// base's lower x (y). So (0, 0, 0) is the only cell of level 0, x and y of
// a deeper cell are odd and below 2^z in magnitude, and the four children
// of (x, y, z) are (2x ± 1, 2y ± 1, z + 1).
//
// Stored form (little-endian int16):
//   offset  size  field
//        0     2  x
//        2     2  y
//        4     2  z

#include <cstdint>
#include <type_traits>

struct qvQuadTreeHandleData {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;

    bool operator==(qvQuadTreeHandleData const&) const = default;
};

using qvQuadTreeHandle = qvQuadTreeHandleData;

static_assert(sizeof(qvQuadTreeHandleData) == 6);
static_assert(std::is_trivially_copyable_v<qvQuadTreeHandleData>);
static_assert(std::is_standard_layout_v<qvQuadTreeHandleData>);

// Whether h names a cell: z in 0 … 15, x and y 0 at level 0, else odd
// and below 2^z in magnitude. Handles read from a file pass this before
// any cell arithmetic or directory walk uses them.
constexpr bool qvIsQuadTreeCell(qvQuadTreeHandleData const& h) noexcept {
    if (h.z < 0 || h.z > 15) return false;
    if (h.z == 0) return h.x == 0 && h.y == 0;
    const int bound = 1 << h.z;
    return (h.x & 1) != 0 && (h.y & 1) != 0 && h.x > -bound && h.x < bound && h.y > -bound && h.y < bound;
}
