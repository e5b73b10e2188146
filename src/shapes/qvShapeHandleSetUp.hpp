#pragma once
// What the creating constructors of the box-shaped handles (rectangle,
// ellipse, arc, pie slice) and of the point-set handles (polygons,
// polylines, poly-markers, Bezier curves) share: the box of a centre and
// radii, and the order in which a new shape gets its geometry and
// attribute. Each step is its own guarded change; the first creates the
// record.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

// The corners (cx - rx, cy - ry) and (cx + rx, cy + ry), ordered per axis:
// a negative radius spans the box of its absolute value.
inline qvMathRectOf<double> qvBoxAround(qvCrdOf<double> center, double x_radius, double y_radius) {
    return qvMathRectOf<double>(qvCrdOf<double>(center.x - x_radius, center.y - y_radius),
                                qvCrdOf<double>(center.x + x_radius, center.y + y_radius));
}

// Connects a shape just made to `attributes` (null: none); a connect that
// raises (a source from a closed session, a copy that ran out of memory, a
// receiver refusing either report) takes the new shape away again, and the
// reference it took with it, so a refused constructor leaves the scene and
// its counts as they were.
template <class P>
void qvConnectNewShape(P& proxy, qvAttributeFolderInterface* attributes) {
    if (attributes != nullptr)
        qvSpecificGraphicDetail::made_or_taken_away(proxy, [&] { proxy.connect_attribute(*attributes); });
}

// The box, then the attribute when there is one.
template <class P>
void qvSetUpBoxShape(P& proxy, qvMathRectOf<double> const& box, qvAttributeFolderInterface* attributes) {
    proxy.rectangle(box);
    qvConnectNewShape(proxy, attributes);
}

// The box, angle1, angle2, then the attribute when there is one.
template <class P>
void qvSetUpArcShape(P& proxy, qvMathRectOf<double> const& box, double angle1, double angle2,
                     qvAttributeFolderInterface* attributes) {
    proxy.rectangle(box);
    proxy.angle1(angle1);
    proxy.angle2(angle2);
    qvConnectNewShape(proxy, attributes);
}

// The n points inserted at 0 (n <= 0: none, and `points` is not looked at),
// then the attribute when there is one. A null array with n > 0 is refused
// as qvErrorFrom<Handle> before anything is made, so the scene is left as
// it was.
template <class Handle, class P>
void qvSetUpPointShape(P& proxy, int n, qvCrdOf<double> const* points, qvAttributeFolderInterface* attributes) {
    if (n > 0) {
        if (points == nullptr)
            qvRaise(qvErrorFrom<Handle>("Cannot insert points through NULL pointer"));
        proxy.insert(0, n, points);
    }
    qvConnectNewShape(proxy, attributes);
}

// The same for a Bezier curve, with the points' tags (null: every point 1).
template <class Handle, class P>
void qvSetUpBezierShape(P& proxy, int n, qvCrdOf<double> const* points, qvPointTag const* tags,
                        qvAttributeFolderInterface* attributes) {
    if (n > 0) {
        if (points == nullptr)
            qvRaise(qvErrorFrom<Handle>("Cannot insert points through NULL pointer"));
        proxy.insert(0, n, points, tags);
    }
    qvConnectNewShape(proxy, attributes);
}
