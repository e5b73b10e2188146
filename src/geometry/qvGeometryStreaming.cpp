// The stream inserters of points, rectangles and regions.

#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/geometry/qvGeometryStreaming.hpp>

#include <ostream>

std::ostream& operator<<(std::ostream& os, qvCrdOf<double> const& point) {
    return os << '(' << point.x << ',' << point.y << ')';
}

std::ostream& operator<<(std::ostream& os, qvMathRectOf<double> const& rect) {
    return os << '(' << rect.x1 << ',' << rect.y1 << ',' << rect.x2 << ',' << rect.y2 << ')';
}

std::ostream& operator<<(std::ostream& os, qvBaseRegion const& region) {
    if (region.empty()) return os << "{region is empty}";
    os << "{region " << region.bbox() << ":\n";
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it) os << '\t' << *it << '\n';
    return os << '}';
}
