// Point sets and Bezier curves: a compact and an exact polygon of the same
// outline and a closed cubic Bezier curve in a memory scene, with the
// points each reads back (the compact one's quantised to 16-bit fractions
// of its box), the curve's tags and every record's size.

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactBezier.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvPolygon.hpp>

#include <iostream>

namespace {

void print_points(qvPointSetDataAccess& shape, qvBezierDataAccess* tags = nullptr) {
    for (int i = 0; i < shape.size(); ++i) {
        const qvCrdOf<double> p = shape.point(i);
        std::cout << (i == 0 ? " " : ", ") << '(' << p.x << ", " << p.y << ')';
        if (tags != nullptr)
            std::cout << " tag " << tags->tag(i);
    }
    std::cout << '\n';
}

}  // namespace

void example_point_sets() {
    std::cout << "Point sets and Bezier curves\n";
    qvMemoryScene scene;
    const qvCrdOf<double> outline[] = {{0, 0}, {40, 0}, {40, 25}, {20, 35.3}, {0, 25}};

    const qvPolygon compact(scene, 5, outline);
    std::cout << "  compact polygon, " << compact->record()->size << "-byte record:";
    print_points(*compact);
    const qvExactPolygon exact(scene, 5, outline);
    std::cout << "  exact polygon,   " << exact->record()->size << "-byte record:";
    print_points(*exact);

    // One cubic piece from (0, 0) over two control points; closing it on a
    // control point appends a copy of the first point as the segment's end.
    const qvCrdOf<double> piece[] = {{0, 0}, {10, 30}, {40, 30}};
    const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointControl};
    const qvExactBezier curve(scene, 3, piece, tags, nullptr);
    curve->close_segment();
    std::cout << "  closed cubic Bezier, " << curve->record()->size << "-byte record:";
    print_points(*curve, &*curve);
    std::cout << "  the scene holds " << scene.size(-1) << " shapes\n";
}
