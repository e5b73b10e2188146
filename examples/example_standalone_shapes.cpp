// Stand-alone shapes: a rectangle, an ellipse and an arc outside any scene,
// each on a private record, read back through their data access.

#include <orvane/shapes/qvSimpleArc.hpp>
#include <orvane/shapes/qvSimpleEllipse.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>

#include <iostream>

namespace {

void print_box(qvMathRectOf<double> const& r) {
    std::cout << "box (" << r.x1 << ", " << r.y1 << ")-(" << r.x2 << ", " << r.y2 << ")";
}

// The ellipse inscribed in a shape's box, as its centre and radii.
void print_ellipse(qvEllipseDataAccess& e) {
    const qvCrdOf<double> c = e.center();
    std::cout << ", centre (" << c.x << ", " << c.y << "), radii " << e.x_radius() << " and " << e.y_radius();
}

}  // namespace

void example_standalone_shapes() {
    std::cout << "Stand-alone shapes\n";

    qvSimpleRectangle rectangle;
    rectangle->rectangle(qvMathRectOf<double>(-10, -5, 30, 15));
    std::cout << "  rectangle: ";
    print_box(rectangle->rectangle());
    std::cout << ", " << rectangle->record()->size << "-byte record of kind " << rectangle->record()->kind << '\n';

    qvSimpleEllipse ellipse;
    ellipse->rectangle(qvMathRectOf<double>(0, 0, 8, 4));
    ellipse->center(qvCrdOf<double>(100, 50));   // moves the box, keeping its size
    ellipse->x_radius(-6);                       // a radius counts by its absolute value
    std::cout << "  ellipse:   ";
    print_box(ellipse->rectangle());
    print_ellipse(*ellipse);
    std::cout << '\n';

    qvSimpleArc arc;
    arc->radius(5);   // about the centre of a new record's box, (0.5, 0.5)
    arc->center(qvCrdOf<double>(0, 0));
    arc->span(30, 120);   // degrees, stored as given; the box stays the whole ellipse's
    std::cout << "  arc:       ";
    print_box(arc->rectangle());
    print_ellipse(*arc);
    std::cout << ", angles " << arc->angle1() << " to " << arc->angle2() << '\n';
}
