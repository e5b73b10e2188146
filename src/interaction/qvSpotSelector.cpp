// qvSpotSelectorObject: the spot tests by kind (see qvSpotSelector.hpp).
//
// Every test maps record coordinates through the port's transformation
// (scale and offset per axis) and feeds one point at a time to an
// accumulator: no point array is built, curves are flattened lazily by the
// generators. The pen, brush and marker values come from the selector
// cookies of the record's attribute, baked from the port's palette; a port
// without a palette, or a record without an attribute, gets the cookies'
// defaults.

#include <orvane/interaction/qvSpotSelector.hpp>

#include <orvane/geometry/qvBezierGenerator.hpp>
#include <orvane/geometry/qvEllipseGenerator.hpp>
#include <orvane/interaction/qvPointSetGenerator.hpp>
#include <orvane/interaction/qvPolyMarkerXPoint.hpp>
#include <orvane/interaction/qvPolygonXPoint.hpp>
#include <orvane/interaction/qvPolylineXPoint.hpp>
#include <orvane/interaction/qvSelectorCookie.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include "interaction/qvSelectorCookieRead.hpp"
#include "interaction/qvSelectorFlatness.hpp"
#include "interaction/qvSelectorNodeCurve.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

#include <cmath>

namespace {

qvCrdOf<double> spot_selector_map(qvRestrictedTransformation const& t, qvCrdOf<double> const& p) {
    return {t.m0() * p.x + t.m4(), t.m3() * p.y + t.m5()};
}

// Feeds every point of the iterator; returns the first point fed (for
// closing figures), or nothing when it was empty.
bool spot_selector_feed(qvIterator<qvCrdOf<double>>& points, qvPolyXPoint& accumulator,
                        qvCrdOf<double>& first) {
    bool any = false;
    for (; !points.at_end(); points.next()) {
        const qvCrdOf<double> p = *points.get();
        if (!any) {
            first = p;
            any = true;
        }
        accumulator.add_vertex(p.x, p.y);
    }
    return any;
}

// A closed figure around `spot`: the outline band first, then (with an
// area) the inside; `rewind` starts `points` again for the second pass.
// An empty figure hits nothing.
template <class Rewind>
bool spot_selector_closed_figure(qvIterator<qvCrdOf<double>>& points, Rewind&& rewind, qvCrdOf<double> const& spot,
                                 double width, double tolerance, bool area_too) {
    qvPolylineXPoint outline(spot, width, tolerance);
    qvCrdOf<double> first;
    if (!spot_selector_feed(points, outline, first))
        return false;
    outline.add_vertex(first.x, first.y);
    if (outline.is_hit())
        return true;
    if (!area_too)
        return false;
    rewind();
    qvPolygonXPoint area(spot);
    spot_selector_feed(points, area, first);
    area.add_vertex(first.x, first.y);
    return area.is_hit();
}

}  // namespace

// The pen width and whether the shape counts as filled.
struct qvSpotSelectorObject::Pens {
    double width = 0.0;
    bool filled = false;  // the brush fills
    bool area = false;    // the brush fills, or option 0x20
};

// ---------------------------------------------------------------------------
// Construction and set-up

qvSpotSelectorObject::qvSpotSelectorObject(Callback* callback, qvISafePtr<qvDriverObject> const& driver)
    : qvSelector(callback, driver) {}

qvSpotSelectorObject::qvSpotSelectorObject(qvCrdOf<double> const& point, Callback* callback,
                                           qvISafePtr<qvDriverObject> const& driver)
    : qvSelector(callback, driver) {
    setup(point);
}

void qvSpotSelectorObject::setup(qvCrdOf<double> const& point) {
    setup(point, driver() ? static_cast<double>(driver()->added_width()) : 5.0);
}

void qvSpotSelectorObject::setup(qvCrdOf<double> const& point, double tolerance) {
    point_ = point;
    tolerance_ = tolerance;
}

qvMathRectOf<double> qvSpotSelectorObject::bbox() const {
    return {point_.x - tolerance_, point_.y - tolerance_, point_.x + tolerance_, point_.y + tolerance_};
}

// ---------------------------------------------------------------------------
// Dispatch

bool qvSpotSelectorObject::check_selection(qvShapeBase const* record, Info info) {
    if (record == nullptr || info.transformation == nullptr || !qvShapeRecordValid(*record))
        return false;
    // A spot nowhere, or a tolerance that is no number, hits nothing (the
    // area tests would not see the tolerance).
    if (!std::isfinite(point_.x) || !std::isfinite(point_.y) || std::isnan(tolerance_))
        return false;
    qvShapeBase const& r = *record;
    Pens pens;
    auto take_pens = [&] {
        pens.width = qvSelectorCookieOf<qvSelectorPenCookie>(r, info)->line_width;
        pens.filled = qvSelectorCookieOf<qvSelectorBrushCookie>(r, info)->filled;
        pens.area = pens.filled || (options() & whole_area) != 0;
    };
    switch (r.kind) {
    case qvRectangleKind: take_pens(); return check_rectangle(r, info, pens);
    case qvEllipseKind: take_pens(); return check_ellipse(r, info, pens);
    case qvCompactPolyMarkerKind:
    case qvExactPolyMarkerKind: return check_polymarker(r, info);
    case qvCompactPolylineKind:
    case qvExactPolylineKind: take_pens(); return check_polyline(r, info, pens);
    case qvCompactPolygonKind:
    case qvExactPolygonKind: take_pens(); return check_polygon(r, info, pens);
    case qvCompactBezierKind:
    case qvExactBezierKind: take_pens(); return check_ext_nodeset(r, info, pens);
    case qvRestrictedTextKind: take_pens(); return check_text(r, info, pens, false);
    case qvScaledTextKind: take_pens(); return check_text(r, info, pens, true);
    case qvRestrictedImageKind: return check_image(r, info, false);
    case qvScaledImageKind: return check_image(r, info, true);
    default: return check_box(r, info);
    }
}

// ---------------------------------------------------------------------------
// The tests

bool qvSpotSelectorObject::check_box(qvShapeBase const& record, Info info) const {
    const qvMathRectOf<double> b = qvTransformRect(record.bbox(), *info.transformation);
    const qvMathRectOf<double> s = bbox();
    return b.x2 > s.x1 && s.x2 > b.x1 && b.y2 > s.y1 && s.y2 > b.y1;
}

bool qvSpotSelectorObject::check_rectangle(qvShapeBase const& record, Info info, Pens const& pens) const {
    const qvMathRectOf<double> b = qvTransformRect(record.bbox(), *info.transformation);
    if (pens.area) {
        const double grow = tolerance_ + 0.5 * pens.width;
        const qvMathRectOf<double> g(b.x1 - grow, b.y1 - grow, b.x2 + grow, b.y2 + grow);
        return g.x1 <= point_.x && point_.x <= g.x2 && g.y1 <= point_.y && point_.y <= g.y2;
    }
    qvPolylineXPoint outline(point_, pens.width, tolerance_);
    outline.add_vertex(b.x1, b.y1);
    outline.add_vertex(b.x1, b.y2);
    outline.add_vertex(b.x2, b.y2);
    outline.add_vertex(b.x2, b.y1);
    outline.add_vertex(b.x1, b.y1);
    return outline.is_hit();
}

bool qvSpotSelectorObject::check_ellipse(qvShapeBase const& record, Info info, Pens const& pens) const {
    const qvMathRectOf<double> b = qvTransformRect(record.bbox(), *info.transformation);
    // The flattened outline lies inside the box: a spot beyond the box
    // grown by the band's radius hits neither outline nor area.
    const double r = pens.width * 0.5 + tolerance_;
    if (!(point_.x >= b.x1 - r && point_.x <= b.x2 + r && point_.y >= b.y1 - r && point_.y <= b.y2 + r))
        return false;
    const double flatness = qvSelectorFlatness(pens.width, {{b.x1, b.y1}, {b.x2, b.y2}});
    qvEllipseGenerator points(b, flatness);
    return spot_selector_closed_figure(points, [&] { points.reset(b, flatness); }, point_, pens.width, tolerance_,
                                       pens.area);
}

bool qvSpotSelectorObject::check_polymarker(qvShapeBase const& record, Info info) const {
    const qvSelectorCookieOf<qvSelectorMarkerCookie> marker(record, info);
    qvPointSetGenerator points(record, *info.transformation);
    qvPolyMarkerXPoint markers(point_, marker->style, marker->diameter, tolerance_);
    qvCrdOf<double> first;
    spot_selector_feed(points, markers, first);
    return markers.is_hit();
}

bool qvSpotSelectorObject::check_polyline(qvShapeBase const& record, Info info, Pens const& pens) const {
    qvPointSetGenerator points(record, *info.transformation);
    qvPolylineXPoint outline(point_, pens.width, tolerance_);
    qvCrdOf<double> first;
    spot_selector_feed(points, outline, first);
    return outline.is_hit();
}

bool qvSpotSelectorObject::check_polygon(qvShapeBase const& record, Info info, Pens const& pens) const {
    qvPointSetGenerator points(record, *info.transformation);
    return spot_selector_closed_figure(points, [&] { points.reset(); }, point_, pens.width, tolerance_, pens.area);
}

// The node walk: see qvSpotSelector.hpp. A curve's control nodes that run
// past the last node end the walk (nothing past the record is read).
bool qvSpotSelectorObject::check_ext_nodeset(qvShapeBase const& record, Info info, Pens const& pens) const {
    const qvPointSetGenerator nodes(record, *info.transformation);
    const long n = nodes.size();
    qvPolylineXPoint outline(point_, pens.width, tolerance_);
    qvPolygonXPoint area(point_);
    qvBezierGenerator curve(pens.width);
    bool figure_open = false;
    qvCrdOf<double> first;
    long i = 0;
    while (i < n) {
        const qvCrdOf<double> p = nodes.point_at(i);
        const qvPointTag tag = nodes.tag_at(i);
        if (!figure_open) {
            first = p;
            figure_open = true;
        }
        outline.add_vertex(p.x, p.y);
        if (outline.is_hit())
            return true;
        if (pens.area)
            area.add_vertex(p.x, p.y);
        if (tag == qvPointClosedEnd) {
            outline.add_vertex(first.x, first.y);
            if (pens.area)
                area.add_vertex(first.x, first.y);
            if (outline.is_hit() || (pens.area && area.is_hit()))
                return true;
        }
        if (tag == qvPointClosedEnd || tag == qvPointOpenEnd) {
            outline.reset();
            area.reset();
            figure_open = false;
            ++i;
            continue;
        }
        const long end = qvSelectorStartCurve(nodes, i, p, pens.width, curve);
        if (end < 0)
            return false;
        if (end == 0) {
            ++i;
            continue;
        }
        for (; !curve.at_end(); curve.next()) {
            const qvCrdOf<double> q = *curve.get();
            outline.add_vertex(q.x, q.y);
            if (outline.is_hit())
                return true;
            if (pens.area)
                area.add_vertex(q.x, q.y);
        }
        i = end;
    }
    return false;
}

bool qvSpotSelectorObject::check_text(qvShapeBase const& record, Info info, Pens const& pens, bool scaled) const {
    if (!pens.area && pens.width == 0.0)
        return false;
    qvCrdOf<double> corners[4];
    text_corners(corners, static_cast<qvShape<qvTextData> const*>(&record), info, scaled);
    qvPolygonXPoint area(point_);
    for (qvCrdOf<double> const& c : corners)
        area.add_vertex(c.x, c.y);
    return area.is_hit();
}

bool qvSpotSelectorObject::check_image(qvShapeBase const& record, Info info, bool scaled) const {
    qvCrdOf<double> corners[4];
    if (scaled) {
        auto const& image = static_cast<qvShape<qvScaledImageData> const&>(record).data();
        qvRestrictedTransformation const& t = *info.transformation;
        const qvCrdOf<double> a = image.image.anchor, u = image.x_vector, v = image.y_vector;
        corners[0] = spot_selector_map(t, a);
        corners[1] = spot_selector_map(t, {a.x + v.x, a.y + v.y});
        corners[2] = spot_selector_map(t, {a.x + v.x + u.x, a.y + v.y + u.y});
        corners[3] = spot_selector_map(t, {a.x + u.x, a.y + u.y});
    } else {
        image_corners(corners, static_cast<qvShape<qvRestrictedImageData> const*>(&record), info);
    }
    qvPolygonXPoint area(point_);
    for (qvCrdOf<double> const& c : corners)
        area.add_vertex(c.x, c.y);
    return area.is_hit();
}
