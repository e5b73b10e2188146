#pragma once
// qvPointTag: the tag of each point of a Bézier point set, a 32-bit
// enumeration stored with the point.
//
//   value  meaning
//       1  a point on the curve
//       2  a control point
//       3  the last point of an open figure
//       4  the last point of a closed figure (it returns to its first point)
//
// Stored tags are never checked: any other 32-bit value may occur, and code
// reading tags must accept it (the draw helper treats every value other than
// 1 and 2 as the end of a figure). A point set answers 0 for an index it
// does not hold.

#include <cstdint>

enum qvPointTag : std::int32_t {
    qvPointOnCurve = 1,
    qvPointControl = 2,
    qvPointOpenEnd = 3,
    qvPointClosedEnd = 4,
};
