#pragma once
// The text form of points, rectangles and regions on a narrow output stream:
//   point      (x,y)
//   rectangle  (x1,y1,x2,y2)
//   region     {region is empty}
//              {region <bbox>:\n\t<rect>\n ... }    one line per enumerated
//                                                   rectangle, in order
// Numbers follow the stream's own formatting for a double; no spaces are
// inserted and no locale is imposed.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <iosfwd>

class qvBaseRegion;

std::ostream& operator<<(std::ostream& os, qvCrdOf<double> const& point);
std::ostream& operator<<(std::ostream& os, qvMathRectOf<double> const& rect);
std::ostream& operator<<(std::ostream& os, qvBaseRegion const& region);
