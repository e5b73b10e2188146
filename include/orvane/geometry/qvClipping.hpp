#pragma once
// Clipping of segments, polygons and polylines to an axis-parallel rectangle.
//
// Keeps true for both functions:
//   - the rectangle's border belongs to it for segments (outcodes use strict
//     comparisons), while polygons keep only what lies strictly inside an
//     edge, so a zero-width rectangle still accepts a segment lying on it but
//     contains no polygon;
//   - an inverted rectangle (x2 < x1 or y2 < y1) and a rectangle with a NaN
//     coordinate contain nothing: both functions return false;
//   - the results are reproducible to the last bit: the crossing formulas
//     multiply before they divide and the library is built without
//     floating-point contraction, because later steps compare points exactly.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <list>
#include <vector>

// Clips the segment p1-p2 to `rect` (Cohen-Sutherland). Returns true and the
// clipped segment in out1/out2 when some part of it lies in the rectangle,
// border included; false otherwise, leaving out1 and out2 untouched.
//
// Whenever p2's end had to be moved, the result comes out reversed: out1
// holds the end that belongs to p2 and out2 the end that belongs to p1.
// A NaN coordinate, in the points or the rectangle or produced on the way
// from infinite input, gives false. The outputs may alias the inputs.
bool qvClipLine2Rect(qvCrdOf<double> const& p1, qvCrdOf<double> const& p2,
                     qvMathRectOf<double> const& rect, qvCrdOf<double>& out1,
                     qvCrdOf<double>& out2);

// Clips the points [begin, end) to `rect`: a closed polygon (open == false,
// the last point connects back to the first) or a polyline (open == true).
// Returns false when nothing of the input lies inside the rectangle. Returns
// true with `result` empty when the input lies wholly inside: the caller
// keeps its own points. Otherwise returns true with one point vector per
// resulting polygon or polyline in `result`.
//
// `result` is always replaced, never appended to: the output is built
// separately and swapped in at the end, so the input may point into it.
// A non-finite input point gives false with `result` empty; so does a
// crossing that overflows the double range (coordinates near its limits).
bool qvClipPolygon2Rect(qvCrdOf<double> const* begin, qvCrdOf<double> const* end,
                        qvMathRectOf<double> const& rect,
                        std::list<std::vector<qvCrdOf<double>>>& result, bool open);
