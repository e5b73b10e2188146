#pragma once
// What the creating constructors of the box-shaped handles (rectangle,
// ellipse, arc, pie slice) share: the box of a centre and radii, and the
// order in which a new shape gets its geometry and attribute. Each step is
// its own guarded change; the first creates the record.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

// The corners (cx - rx, cy - ry) and (cx + rx, cy + ry), ordered per axis:
// a negative radius spans the box of its absolute value.
inline qvMathRectOf<double> qvBoxAround(qvCrdOf<double> center, double x_radius, double y_radius) {
    return qvMathRectOf<double>(qvCrdOf<double>(center.x - x_radius, center.y - y_radius),
                                qvCrdOf<double>(center.x + x_radius, center.y + y_radius));
}

// The box, then the attribute when there is one.
template <class P>
void qvSetUpBoxShape(P& proxy, qvMathRectOf<double> const& box, qvAttributeFolderInterface* attributes) {
    proxy.rectangle(box);
    if (attributes != nullptr)
        proxy.connect_attribute(*attributes);
}

// The box, angle1, angle2, then the attribute when there is one.
template <class P>
void qvSetUpArcShape(P& proxy, qvMathRectOf<double> const& box, double angle1, double angle2,
                     qvAttributeFolderInterface* attributes) {
    proxy.rectangle(box);
    proxy.angle1(angle1);
    proxy.angle2(angle2);
    if (attributes != nullptr)
        proxy.connect_attribute(*attributes);
}
