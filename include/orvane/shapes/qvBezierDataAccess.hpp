#pragma once
// qvBezierDataAccess: a point set whose points carry tags (qvPointTag):
// 1 on the curve, 2 control point, 3 and 4 the last point of an open or a
// closed segment. Every point inserted without tags gets tag 1.
//
// The composite operations below are sequences of the virtual ones, each a
// separate change (in a scene each runs, and reports, its own modification).

#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/shapes/qvPointSetDataAccess.hpp>

class qvBezierDataAccess : public virtual qvPointSetDataAccess {
public:
    using qvPointSetDataAccess::insert;

    virtual qvPointTag tag(int i) = 0;
    virtual void tag(int i, qvPointTag t) = 0;
    // Inserts n points with their tags; null tags leave the new points at 1.
    virtual void insert(int n_from, int n, qvCrdOf<double> const* points, qvPointTag const* tags) = 0;

    // A quadratic piece before position i: control point c, end point p.
    void insert_bezier(int i, qvCrdOf<double> c, qvCrdOf<double> p) {
        insert(i, 1, &c);
        tag(i, qvPointControl);
        insert(i + 1, 1, &p);
    }
    // A cubic piece before position i: control points c1, c2, end point p.
    void insert_bezier(int i, qvCrdOf<double> c1, qvCrdOf<double> c2, qvCrdOf<double> p) {
        insert(i, 1, &c1);
        tag(i, qvPointControl);
        insert(i + 1, 1, &c2);
        tag(i + 1, qvPointControl);
        insert(i + 2, 1, &p);
    }
    // The last point ends an open segment.
    void end_segment() { tag(size() - 1, qvPointOpenEnd); }
    // The last point ends a closed segment; a segment that ends on a control
    // point first gets a copy of point 0 as its end point.
    void close_segment() {
        if (tag(size() - 1) == qvPointControl) {
            const qvCrdOf<double> first = point(0);
            insert(size(), 1, &first);
        }
        tag(size() - 1, qvPointClosedEnd);
    }

protected:
    qvBezierDataAccess() noexcept = default;
    qvBezierDataAccess(qvBezierDataAccess const&) noexcept = default;
    qvBezierDataAccess& operator=(qvBezierDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvBezierDataAccess);
