// qvPolygonSelectorObject and qvBoxSelectorObject: the polygon tests (see
// qvPolygonSelector.hpp).
//
// Cost: a shape point costs one winding pass over the selection's
// vertices (one atan2 each), a segment one crossing test per selection
// edge. The box of the selection's vertices, taken at setup, rejects
// early: a point outside it is neither inside nor on a vertex, and a
// segment wholly on one side of it crosses no edge.

#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvPolygonSelector.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvBezierGenerator.hpp>
#include <orvane/geometry/qvEllipseGenerator.hpp>
#include <orvane/interaction/qvPointSetGenerator.hpp>
#include <orvane/interaction/qvPolygonXPoint.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvPointSetDataAccess.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include "interaction/qvSelectorCookieRead.hpp"
#include "interaction/qvSelectorFlatness.hpp"
#include "interaction/qvSelectorNodeCurve.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

#include <cmath>

namespace {

qvCrdOf<double> polygon_selector_map(qvRestrictedTransformation const& t, qvCrdOf<double> const& p) {
    return {t.m0() * p.x + t.m4(), t.m3() * p.y + t.m5()};
}

int polygon_selector_sign(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

}  // namespace

// ---------------------------------------------------------------------------
// Construction and set-up

qvPolygonSelectorObject::qvPolygonSelectorObject(Callback* callback, qvISafePtr<qvDriverObject> const& driver)
    : qvSelector(callback, driver) {}

qvPolygonSelectorObject::qvPolygonSelectorObject(qvPointSetDataAccess* points, Callback* callback, bool touch,
                                                 qvISafePtr<qvDriverObject> const& driver)
    : qvSelector(callback, driver) {
    setup(points, touch);
}

qvPolygonSelectorObject::qvPolygonSelectorObject(int count, qvCrdOf<double>* points, Callback* callback,
                                                 bool touch, qvISafePtr<qvDriverObject> const& driver)
    : qvSelector(callback, driver) {
    setup(count, points, touch);
}

void qvPolygonSelectorObject::setup(qvPointSetDataAccess* points, bool touch) {
    access_ = points;
    count_ = 0;
    points_ = nullptr;
    array_source_ = false;
    touch_ = touch;
    take_vertex_box();
}

void qvPolygonSelectorObject::setup(int count, qvCrdOf<double>* points, bool touch) {
    use_array(count, points, touch);
    take_vertex_box();
}

void qvPolygonSelectorObject::use_array(int count, qvCrdOf<double>* points, bool touch) {
    access_ = nullptr;
    count_ = count;
    points_ = points;
    array_source_ = true;
    touch_ = touch;
}

int qvPolygonSelectorObject::vertex_count() const {
    if (access_ != nullptr)
        return access_->size();
    return points_ != nullptr && count_ > 0 ? count_ : 0;
}

qvCrdOf<double> qvPolygonSelectorObject::vertex(int i) const {
    return access_ != nullptr ? access_->point(i) : points_[i];
}

bool qvPolygonSelectorObject::selection_empty() const { return vertex_count() <= 0; }

void qvPolygonSelectorObject::take_vertex_box() {
    const int n = vertex_count();
    if (n <= 0) {
        vertex_box_ = qvMathRectOf<double>::make_empty();
        return;
    }
    const qvCrdOf<double> p0 = vertex(0);
    double x1 = p0.x, y1 = p0.y, x2 = p0.x, y2 = p0.y;
    for (int i = 1; i < n; ++i) {
        const qvCrdOf<double> p = vertex(i);
        x1 = p.x < x1 ? p.x : x1;
        y1 = p.y < y1 ? p.y : y1;
        x2 = p.x > x2 ? p.x : x2;
        y2 = p.y > y2 ? p.y : y2;
    }
    // A NaN vertex leaves no box that can reject safely: no shape point is
    // inside such a selection anyway (its winding sum is NaN).
    vertex_box_ = qvMathRectOf<double>(qvRectOf<double>(x1, y1, x2, y2));
}

qvMathRectOf<double> qvPolygonSelectorObject::bbox() const {
    if (access_ != nullptr)
        return access_->bbox();
    QV_ASSERT_TEXT(array_source_, "area");
    if (points_ == nullptr || count_ <= 0)
        return qvMathRectOf<double>::make_empty();
    return vertex_box_;
}

// ---------------------------------------------------------------------------
// Dispatch

bool qvPolygonSelectorObject::check_selection(qvShapeBase const* record, Info info) {
    if (record == nullptr || info.transformation == nullptr || !qvShapeRecordValid(*record))
        return false;
    if (selection_empty())
        return false;
    qvShapeBase const& r = *record;
    qvRestrictedTransformation const& t = *info.transformation;
    switch (r.kind) {
    case qvEllipseKind: {
        const double w = qvSelectorCookieOf<qvSelectorPenCookie>(r, info)->line_width;
        const qvMathRectOf<double> b = qvTransformRect(r.bbox(), t);
        qvEllipseGenerator points(b, qvSelectorFlatness(w, {{b.x1, b.y1}, {b.x2, b.y2}}));
        return check_generator(points, true, true);
    }
    case qvCompactPolyMarkerKind:
    case qvExactPolyMarkerKind: {
        qvPointSetGenerator points(r, t);
        return check_generator(points, false, false);
    }
    case qvCompactPolylineKind:
    case qvExactPolylineKind: {
        qvPointSetGenerator points(r, t);
        return check_generator(points, true, false);
    }
    case qvCompactPolygonKind:
    case qvExactPolygonKind: {
        qvPointSetGenerator points(r, t);
        return check_generator(points, true, true);
    }
    case qvCompactBezierKind:
    case qvExactBezierKind:
        return check_figures(r, info, qvSelectorCookieOf<qvSelectorPenCookie>(r, info)->line_width);
    case qvRestrictedTextKind:
    case qvScaledTextKind: {
        qvCrdOf<double> corners[4];
        text_corners(corners, static_cast<qvShape<qvTextData> const*>(&r), info, r.kind == qvScaledTextKind);
        return check_corners(corners);
    }
    case qvRestrictedImageKind: {
        qvCrdOf<double> corners[4];
        image_corners(corners, static_cast<qvShape<qvRestrictedImageData> const*>(&r), info);
        return check_corners(corners);
    }
    case qvScaledImageKind: {
        auto const& image = static_cast<qvShape<qvScaledImageData> const&>(r).data();
        const qvCrdOf<double> a = image.image.anchor, u = image.x_vector, v = image.y_vector;
        const qvCrdOf<double> corners[4] = {
            polygon_selector_map(t, a),
            polygon_selector_map(t, {a.x + v.x, a.y + v.y}),
            polygon_selector_map(t, {a.x + v.x + u.x, a.y + v.y + u.y}),
            polygon_selector_map(t, {a.x + u.x, a.y + u.y}),
        };
        return check_corners(corners);
    }
    default: {
        const qvMathRectOf<double> b = qvTransformRect(r.bbox(), t);
        const qvCrdOf<double> corners[4] = {{b.x1, b.y1}, {b.x1, b.y2}, {b.x2, b.y2}, {b.x2, b.y1}};
        return check_corners(corners);
    }
    }
}

bool qvPolygonSelectorObject::check_corners(qvCrdOf<double> const (&corners)[4]) const {
    return check_pointset(4, corners, true, true);
}

// Figures of a Bézier record, cut and flattened as the spot walk does;
// each is judged as a point set (closed when ended by tag 4).
bool qvPolygonSelectorObject::check_figures(qvShapeBase const& record, Info info, double tolerance) {
    const qvPointSetGenerator nodes(record, *info.transformation);
    const long n = nodes.size();
    qvBezierGenerator curve(tolerance);
    bool any = false;
    auto judge = [&](bool closed) {
        any = true;
        const bool passed = check_pointset(static_cast<int>(figure_.size()), figure_.data(), true, closed);
        figure_.clear();
        return passed;
    };
    figure_.clear();
    long i = 0;
    while (i < n) {
        const qvCrdOf<double> p = nodes.point_at(i);
        const qvPointTag tag = nodes.tag_at(i);
        figure_.push_back(p);
        if (tag == qvPointClosedEnd || tag == qvPointOpenEnd) {
            const bool passed = judge(tag == qvPointClosedEnd);
            if (passed == touch())
                return passed;
            ++i;
            continue;
        }
        const long end = qvSelectorStartCurve(nodes, i, p, tolerance, curve);
        if (end < 0)
            break;
        if (end == 0) {
            ++i;
            continue;
        }
        for (; !curve.at_end(); curve.next())
            figure_.push_back(*curve.get());
        i = end;
    }
    if (!figure_.empty()) {
        const bool passed = judge(false);
        if (passed == touch())
            return passed;
    }
    // Touch: no figure hit. Containment: every figure passed (none: no hit).
    return any && !touch();
}

// ---------------------------------------------------------------------------
// The workers

bool qvPolygonSelectorObject::check_pointset(int n, qvCrdOf<double> const* points, bool line,
                                             bool closed) const {
    if (n <= 0 || points == nullptr || selection_empty())
        return false;
    if (touch()) {
        qvPolygonXPoint around(vertex(0));
        for (int i = 0; i < n; ++i) {
            if (check_point(points[i]))
                return true;
            if (line && (i > 0 || closed) && check_line(points[i], points[i > 0 ? i - 1 : n - 1]))
                return true;
            if (closed)
                around.add_vertex(points[i].x, points[i].y);
        }
        return closed && around.is_hit();
    }
    for (int i = 0; i < n; ++i) {
        if (!check_point(points[i]))
            return false;
        if (line && (i > 0 || closed) && check_line(points[i], points[i > 0 ? i - 1 : n - 1]))
            return false;
    }
    return true;
}

bool qvPolygonSelectorObject::check_generator(qvIterator<qvCrdOf<double>>& points, bool line,
                                              bool closed) const {
    if (points.at_end() || selection_empty())
        return false;
    const bool touching = touch();
    qvPolygonXPoint around(vertex(0));
    const qvCrdOf<double> first = *points.get();
    qvCrdOf<double> previous = first;
    bool started = false;
    for (; !points.at_end(); points.next()) {
        const qvCrdOf<double> p = *points.get();
        const bool inside = check_point(p);
        const bool crossing = line && started && check_line(p, previous);
        if (touching) {
            if (inside || crossing)
                return true;
            if (closed)
                around.add_vertex(p.x, p.y);
        } else if (!inside || crossing) {
            return false;
        }
        previous = p;
        started = true;
    }
    // The closing edge, from the last point back to the first.
    const bool closing = line && closed && check_line(first, previous);
    if (touching)
        return closing || (closed && around.is_hit());
    return !closing;
}

bool qvPolygonSelectorObject::check_point(qvCrdOf<double> const& q) const {
    const int n = vertex_count();
    if (n <= 0)
        return false;
    // Outside the vertices' box (NaN included): neither inside nor on a
    // vertex. A NaN box rejects nothing here; the winding sum decides.
    qvMathRectOf<double> const& box = vertex_box_;
    if (q.x < box.x1 || q.x > box.x2 || q.y < box.y1 || q.y > box.y2 || std::isnan(q.x) || std::isnan(q.y))
        return false;
    qvPolygonXPoint winding(q);
    if (access_ != nullptr) {
        for (int i = n - 1; i >= 0; --i) {
            const qvCrdOf<double> v = access_->point(i);
            winding.add_vertex(v.x, v.y);
        }
        const qvCrdOf<double> last = access_->point(n - 1);
        winding.add_vertex(last.x, last.y);
    } else {
        for (int i = 0; i < n; ++i)
            winding.add_vertex(points_[i].x, points_[i].y);
        winding.add_vertex(points_[0].x, points_[0].y);
    }
    return winding.is_hit();
}

bool qvPolygonSelectorObject::check_line(qvCrdOf<double> const& a, qvCrdOf<double> const& b) const {
    const int n = vertex_count();
    if (n <= 0)
        return false;
    // A segment wholly on one side of the vertices' box crosses no edge
    // (NaN ends compare false and go on to the crossing tests).
    qvMathRectOf<double> const& box = vertex_box_;
    if ((a.x < box.x1 && b.x < box.x1) || (a.x > box.x2 && b.x > box.x2) || (a.y < box.y1 && b.y < box.y1) ||
        (a.y > box.y2 && b.y > box.y2))
        return false;
    qvCrdOf<double> previous = vertex(n - 1);
    for (int i = 0; i < n; ++i) {
        const qvCrdOf<double> v = vertex(i);
        if (intersection(a, b, v, previous))
            return true;
        previous = v;
    }
    return false;
}

bool qvPolygonSelectorObject::intersection(qvCrdOf<double> const& a, qvCrdOf<double> const& b,
                                           qvCrdOf<double> const& c, qvCrdOf<double> const& d) {
    const int sc = side(c, a, b), sd = side(d, a, b);
    if (sc == sd)
        return false;
    return side(a, c, d) != side(b, c, d);
}

int qvPolygonSelectorObject::side(qvCrdOf<double> const& p, qvCrdOf<double> const& c, qvCrdOf<double> const& d) {
    return polygon_selector_sign((d.x - c.x) * (p.y - c.y) - (d.y - c.y) * (p.x - c.x));
}

// ---------------------------------------------------------------------------
// The box selector

qvBoxSelectorObject::qvBoxSelectorObject(Callback* callback, qvISafePtr<qvDriverObject> const& driver)
    : qvPolygonSelectorObject(callback, driver) {}

qvBoxSelectorObject::qvBoxSelectorObject(qvMathRectOf<double> const& box, Callback* callback, bool touch,
                                         qvISafePtr<qvDriverObject> const& driver)
    : qvPolygonSelectorObject(callback, driver) {
    setup(box, touch);
}

qvBoxSelectorObject::qvBoxSelectorObject(qvBoxSelectorObject const& other)
    : qvRefBase(), qvDynamicInterface(), qvPolygonSelectorObject(other) {
    for (int i = 0; i < 4; ++i)
        corners_[i] = other.corners_[i];
    if (other.points() == other.corners_)
        use_array(4, corners_, other.touch());
}

qvBoxSelectorObject& qvBoxSelectorObject::operator=(qvBoxSelectorObject const& other) {
    if (this != &other) {
        qvPolygonSelectorObject::operator=(other);
        for (int i = 0; i < 4; ++i)
            corners_[i] = other.corners_[i];
        if (other.points() == other.corners_)
            use_array(4, corners_, other.touch());
    }
    return *this;
}

void qvBoxSelectorObject::setup(qvMathRectOf<double> const& box, bool touch) {
    corners_[0] = {box.x1, box.y1};
    corners_[1] = {box.x1, box.y2};
    corners_[2] = {box.x2, box.y2};
    corners_[3] = {box.x2, box.y1};
    qvPolygonSelectorObject::setup(4, corners_, touch);
}
