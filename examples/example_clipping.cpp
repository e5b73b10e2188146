// Clipping and flattening: a polygon cut to a rectangle, and an ellipse
// turned into points.

#include <orvane/geometry/qvClipping.hpp>
#include <orvane/geometry/qvEllipseGenerator.hpp>

#include <iostream>
#include <list>
#include <vector>

namespace {

void print(std::vector<qvCrdOf<double>> const& points) {
    for (auto const& p : points) std::cout << " (" << p.x << ", " << p.y << ")";
    std::cout << '\n';
}

}  // namespace

void example_clipping() {
    std::cout << "Clipping and flattening\n";

    // A U-shaped polygon whose arms reach above the rectangle's top edge.
    const std::vector<qvCrdOf<double>> u{{2, 5}, {8, 5}, {8, 15}, {6, 15},
                                         {6, 8}, {4, 8}, {4, 15}, {2, 15}};
    const qvMathRectOf<double> window(0, 0, 10, 10);
    std::list<std::vector<qvCrdOf<double>>> pieces;
    if (qvClipPolygon2Rect(u.data(), u.data() + u.size(), window, pieces, false)) {
        std::cout << "  the U clipped to (0, 0, 10, 10) gives " << pieces.size()
                  << " polygon(s):\n";
        for (auto const& piece : pieces) {
            std::cout << "   ";
            print(piece);
        }
    }

    // The ellipse inscribed in (0, 0, 4, 2), flattened to within 0.05.
    std::vector<qvCrdOf<double>> outline;
    for (qvEllipseGenerator points(qvMathRectOf<double>(0, 0, 4, 2), 0.05); points; ++points)
        outline.push_back(*points);
    std::cout << "  the ellipse in (0, 0, 4, 2) as " << outline.size() << " points:\n   ";
    print(outline);
}
