// Regions: an area built from a few rectangles, a hole cut into it, and the
// result printed band by band.

#include <orvane/geometry/qvGeometryStreaming.hpp>
#include <orvane/geometry/qvRegion.hpp>

#include <iostream>

void example_regions() {
    std::cout << "Regions\n";

    // Two overlapping rectangles and one that only touches them merge into
    // horizontal bands of disjoint intervals.
    qvRegion area(qvMathRectOf<double>(0, 0, 10, 10));
    area += qvMathRectOf<double>(5, 5, 15, 15);
    area += qvMathRectOf<double>(15, 0, 20, 5);
    std::cout << "  three rectangles: " << area << '\n';

    // A hole in the middle splits the band it crosses.
    area -= qvMathRectOf<double>(6, 6, 9, 9);
    std::cout << "  with a hole:      " << area << '\n';
    std::cout << "  one rectangle (simple): " << (area.simple() ? "yes" : "no")
              << "; covers (0, 0, 5, 5): " << (area > qvMathRectOf<double>(0, 0, 5, 5) ? "yes" : "no")
              << '\n';
}
