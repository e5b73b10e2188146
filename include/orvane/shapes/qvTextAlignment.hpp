#pragma once
// The alignment word of texts and restricted images: where the anchor lies
// on the shape's box, two 2-bit fields and one carried bit of an int32.
//   bits  mask  value  meaning
//    0-1     3      0  vertical: on the baseline (images: as 2)
//                   1  on the top edge
//                   2  on the bottom edge
//                   3  at the vertical centre
//    2-3    12   0, 4  horizontal: at the start (left); the library writes 4
//                   8  at the end (right)
//                  12  at the horizontal centre
//      4    16     16  carried unchanged; no geometry of the library reads it
// Any word is valid: bits above the fields are stored and ignored.

namespace qvTextAlignment {

inline constexpr unsigned vertical_mask = 3;
inline constexpr unsigned baseline = 0;
inline constexpr unsigned top = 1;
inline constexpr unsigned bottom = 2;
inline constexpr unsigned vertical_centre = 3;

inline constexpr unsigned horizontal_mask = 12;
inline constexpr unsigned start = 4;
inline constexpr unsigned end = 8;
inline constexpr unsigned horizontal_centre = 12;

inline constexpr unsigned carried = 16;

// A new record's word (start, bottom: 6) and the word the text
// constructors use when given none (carried bit, start, baseline: 20).
inline constexpr unsigned new_record = start | bottom;
inline constexpr unsigned constructor_default = carried | start | baseline;
static_assert(new_record == 6 && constructor_default == 20);

constexpr unsigned vertical(unsigned alignment) noexcept { return alignment & vertical_mask; }
constexpr unsigned horizontal(unsigned alignment) noexcept { return alignment & horizontal_mask; }

}  // namespace qvTextAlignment
