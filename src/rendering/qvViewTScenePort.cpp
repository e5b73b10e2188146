// The scene port (see qvViewTScenePort.hpp).
//
// One road for every record: draw_shape checks the record, then its kind
// picks a drawing operation that reads the source through a read-only proxy
// (or its header box), maps each point by M into the point buffer, refills
// the temporary shape of the kind with the buffer and copies the source's
// header into it, and forward() hands the temporary record to the target,
// through the scaled-attribute step when line widths follow the mapping.
// A temporary shape is emptied (every point removed) before it is refilled;
// its block is never shrunk, so a steady stream of records reuses it.
//
// A record the mapping carries where its temporary cannot hold it (an exact
// point NaN or infinite, a compact point beyond the float range: a mapping
// with a NaN, or a huge scale) is not drawn: the points are checked before
// the temporary is touched and the drawer gives false, so one such record
// does not end a redraw whose other records map well.
//
// Kinds drawn:
//   kind          read as                sent as
//   -1            header box             exact polygon (-15), 4 corners
//   -2            header box             exact Bezier (-16), 13 points
//   -4, -13       polymarker             own kind, or one shape per marker
//   -5, -6        compact polyline       compact polygon record, own kind
//   -14, -15      exact polyline         exact polygon record, own kind
//   -7, -16       Bezier                 Bezier record of its form, own kind
//   -9 .. -12     texts and images       qvViewTScenePortTextsImages.cpp
// Every other kind gives false.

#include <orvane/rendering/qvViewTScenePort.hpp>

#include <orvane/attributes/qvAttributeInterface.hpp>
#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvReadOnlyShapeProxy.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

#include "rendering/qvViewTScenePortScaledAttribute.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace {

// The tags of a closed curve of four cubic pieces (fill_closed_curve).
constexpr qvPointTag scene_port_circle_tags[13] = {
    qvPointOnCurve, qvPointControl, qvPointControl, qvPointOnCurve, qvPointControl,
    qvPointControl, qvPointOnCurve, qvPointControl, qvPointControl, qvPointOnCurve,
    qvPointControl, qvPointControl, qvPointClosedEnd};

// (1 - k) / 2 for the circle constant k = 0.55228474983: where an ellipse's control
// points sit from the corners of its box.
constexpr double scene_port_ellipse_inset = 0.223857625085;

// The header box a scene keeps for an exact point set: its tight box in
// float.
qvMathRectOf<float> scene_port_float_box(qvMathRectOf<double> const& box) noexcept {
    return qvMathRectOf<float>(qvRectOf<float>(static_cast<qvRectOf<double> const&>(box)));
}

// Whether the temporary of a form can take the mapped points: an exact one
// outside a scene keeps no box and takes any finite double, a compact one
// keeps its points relative to a float box.
bool scene_port_storable(qvCrdOf<double> const* points, int n, bool compact) noexcept {
    return std::all_of(points, points + n, [compact](qvCrdOf<double> const& p) {
        return compact ? qvFitsFloat(p) : qvIsFinite(p);
    });
}

// Marks the port busy for the length of one draw_shape.
class ScenePortBusy {
public:
    explicit ScenePortBusy(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~ScenePortBusy() { flag_ = false; }
    ScenePortBusy(ScenePortBusy const&) = delete;
    ScenePortBusy& operator=(ScenePortBusy const&) = delete;

private:
    bool& flag_;
};

}  // namespace

// ---------------------------------------------------------------------------
// Construction and state

qvViewTScenePort::qvViewTScenePort(qvFlavorPort& target)
    : target_(&target), scaled_(std::make_unique<ScaledAttributes>(*this)) {}

qvViewTScenePort::~qvViewTScenePort() = default;

void qvViewTScenePort::mapping(qvTransformation const& t) {
    mapping_ = t;
    update_matrix();
    scaled_->end();
}

void qvViewTScenePort::update_matrix() {
    const qvTransformation t = target_->transformation();
    const qvTransformation inv = target_->inverse_transformation();
    matrix_ = inv * mapping_ * t;
}

// The geometric mean of the lengths of M's two rows, times w. The squares
// overflow once a coefficient passes about 1.3e154, which made the width
// infinite and skipped every record, hairlines too (0 x infinity), and lose
// bits or vanish below about 1e-154. Only then are the lengths taken with
// hypot and their roots multiplied: every other matrix keeps the width it
// always had, bit for bit.
double qvViewTScenePort::get_scaled_line_width(double w) const {
    const double a = matrix_.m0(), b = matrix_.m1(), c = matrix_.m2(), d = matrix_.m3();
    const double row_x = a * a + b * b, row_y = c * c + d * d;
    if (std::isnormal(row_x) && std::isnormal(row_y))
        return w * std::sqrt(std::sqrt(row_x) * std::sqrt(row_y));
    return w * (std::sqrt(std::hypot(a, b)) * std::sqrt(std::hypot(c, d)));
}

bool qvViewTScenePort::scale_line_width_of(qvAttributeInterface& attribute) const {
    const double width = get_scaled_line_width(attribute.line_width());
    if (!qvIsFinite(width))
        return false;
    attribute.line_width(width);
    return true;
}

unsigned qvViewTScenePort::get_flipped_alignment(unsigned al) noexcept {
    const unsigned horizontal = al & 0xCu;
    if (horizontal == 0x4u || horizontal == 0x8u)
        return (al & ~0xCu) | (horizontal ^ 0xCu);
    return al;
}

void* qvViewTScenePort::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvFlavorPort>(this, info);
}

// ---------------------------------------------------------------------------
// Forwarding

qvDrawObject& qvViewTScenePort::draw() { return target_->draw(); }

qvRestrictedTransformation const& qvViewTScenePort::transformation() const { return target_->transformation(); }

void qvViewTScenePort::transformation(qvRestrictedTransformation const& t) {
    target_->transformation(t);
    update_matrix();
    scaled_->end();
}

qvRestrictedTransformation const& qvViewTScenePort::inverse_transformation() const {
    return target_->inverse_transformation();
}

qvMathRectOf<double> const& qvViewTScenePort::device_bbox() const { return target_->device_bbox(); }

void qvViewTScenePort::device_bbox(qvMathRectOf<double> const& box) { target_->device_bbox(box); }

qvMathRectOf<double> const& qvViewTScenePort::model_bbox() const { return target_->model_bbox(); }

void qvViewTScenePort::scene(qvScene* scene) { target_->scene(scene); }

qvScene* qvViewTScenePort::scene() const { return target_->scene(); }

// Outside draw_shape a palette begins a draw (a scene's render gives one
// first); inside, it is the port's own switch to the private palette.
void qvViewTScenePort::palette(qvPalette* palette) {
    target_->palette(palette);
    if (!drawing_ && palette != &palette_) scaled_->begin(palette);
}

qvPalette* qvViewTScenePort::palette() const { return target_->palette(); }

qvExtent qvViewTScenePort::text_metrics(long attribute, char const* text, unsigned length) {
    return target_->text_metrics(attribute, text, length);
}

// ---------------------------------------------------------------------------
// Dispatch

bool qvViewTScenePort::draw_shape(qvShapeBase const& record) {
    if (drawing_)
        qvRaise(qvErrorFrom<qvViewTScenePort>("Scene port cannot be re-entered"));
    if (!qvShapeRecordValid(record))
        return false;
    const ScenePortBusy busy(drawing_);
    switch (record.kind) {
    case qvRectangleKind:
        return draw_rectangle(record);
    case qvEllipseKind:
        return draw_ellipse(record);
    case qvCompactPolyMarkerKind:
        return draw_compact_polymarker(record);
    case qvCompactPolylineKind:
    case qvCompactPolygonKind:
        return draw_compact_poly(record);
    case qvCompactBezierKind:
        return draw_compact_bezier(record);
    case qvExactPolyMarkerKind:
        return draw_exact_polymarker(record);
    case qvExactPolylineKind:
    case qvExactPolygonKind:
        return draw_exact_poly(record);
    case qvExactBezierKind:
        return draw_exact_bezier(record);
    case qvRestrictedTextKind:
        return draw_restricted_text(record);
    case qvScaledTextKind:
        return draw_scaled_text(record);
    case qvRestrictedImageKind:
        return draw_restricted_image(record);
    case qvScaledImageKind:
        return draw_scaled_image(record);
    default:
        // Arcs, pie slices, -8, 0, flavour codes.
        return false;
    }
}

void qvViewTScenePort::copy_header(qvShapeBase const& source, qvShapeBase& filled, long kind) noexcept {
    filled.shape_handle = source.shape_handle;
    filled.user_handle = source.user_handle;
    filled.proxy_class_id = source.proxy_class_id;
    filled.kind = static_cast<std::int32_t>(kind);
    filled.attribute_handle = source.attribute_handle;
}

// ---------------------------------------------------------------------------
// The scaled-attribute step

void qvViewTScenePort::set_attribute(qvAttributeInterface* attr, long handle) {
    const qvSafePtr<qvAttributeInterface> source = qvCreateAttributeProxy(palette(), handle);
    attr->connect_attribute(*source);
}

bool qvViewTScenePort::forward(qvShapeBase& filled, long source_attribute) {
    if (!scale_line_width_)
        return target_->draw_shape(filled);
    if (scaled_->open()) {
        qvAttributeInterface* const attribute = scaled_->scaled(source_attribute);
        if (attribute == nullptr)
            return false;
        filled.attribute_handle = qvCheckedInt32(attribute->attribute_handle());
        const qvFlavorPortPalette switched(*this, &palette_);
        return target_->draw_shape(filled);
    }
    return ScaledAttribute::draw(*this, source_attribute, [&](qvAttributeInterface& attribute) {
        if (!scale_line_width_of(attribute))
            return false;
        filled.attribute_handle = qvCheckedInt32(attribute.attribute_handle());
        return target_->draw_shape(filled);
    });
}

// ---------------------------------------------------------------------------
// Rectangles and ellipses: from the header box

bool qvViewTScenePort::draw_rectangle(qvShapeBase const& record) {
    const qvMathRectOf<float> box = record.box;
    const qvCrdOf<float> corners[4] = {{box.x1, box.y1}, {box.x1, box.y2}, {box.x2, box.y2}, {box.x2, box.y1}};
    points_.clear();
    points_.reserve(4);
    for (qvCrdOf<float> const& corner : corners)
        points_.push_back(qvCrdOf<double>(matrix_ * corner));
    qvShapeBase* const filled = fill_exact_polygon(points_.data(), 4);
    if (filled == nullptr)
        return false;
    copy_header(record, *filled, qvExactPolygonKind);
    return forward(*filled, record.attribute_handle);
}

bool qvViewTScenePort::draw_ellipse(qvShapeBase const& record) {
    const qvMathRectOf<float> fbox = record.box;
    const float width = fbox.x2 - fbox.x1;
    const float height = fbox.y2 - fbox.y1;
    const double dx = width * scene_port_ellipse_inset;
    const double dy = scene_port_ellipse_inset * height;
    const qvCrdOf<double> c(fbox.center());
    const double x1 = fbox.x1, y1 = fbox.y1, x2 = fbox.x2, y2 = fbox.y2;
    const qvCrdOf<double> outline[13] = {
        {x2, c.y},      {x2, y2 - dy}, {x2 - dx, y2}, {c.x, y2},      {x1 + dx, y2}, {x1, y2 - dy}, {x1, c.y},
        {x1, y1 + dy},  {x1 + dx, y1}, {c.x, y1},     {x2 - dx, y1}, {x2, y1 + dy}, {x2, c.y}};
    points_.clear();
    points_.reserve(13);
    for (qvCrdOf<double> const& p : outline)
        points_.push_back(matrix_ * p);
    qvShapeBase* const filled = fill_closed_curve(points_.data());
    if (filled == nullptr)
        return false;
    copy_header(record, *filled, qvExactBezierKind);
    return forward(*filled, record.attribute_handle);
}

qvShapeBase* qvViewTScenePort::fill_exact_polygon(qvCrdOf<double> const* points, int n) {
    if (!scene_port_storable(points, n, false))
        return nullptr;
    polygon_->remove(0, polygon_->size());
    if (n > 0)
        polygon_->insert(0, n, points);
    qvShapeBase* const filled = polygon_->record();
    filled->kind = qvExactPolygonKind;
    filled->box = scene_port_float_box(polygon_->bbox());
    return filled;
}

qvShapeBase* qvViewTScenePort::fill_closed_curve(qvCrdOf<double> const* points) {
    if (!scene_port_storable(points, 13, false))
        return nullptr;
    bezier_->remove(0, bezier_->size());
    bezier_->insert(0, 13, points, scene_port_circle_tags);
    qvShapeBase* const filled = bezier_->record();
    filled->kind = qvExactBezierKind;
    return filled;
}

// ---------------------------------------------------------------------------
// Point sets: read through a read-only proxy, mapped point by point

bool qvViewTScenePort::draw_exact_poly(qvShapeBase const& record) {
    qvReadOnlyPolylineProxy source(record);
    const int n = map_points(source);
    qvShapeBase* const filled = fill_exact_polygon(points_.data(), n);
    if (filled == nullptr)
        return false;
    copy_header(record, *filled, record.kind);
    return forward(*filled, record.attribute_handle);
}

bool qvViewTScenePort::draw_compact_poly(qvShapeBase const& record) {
    qvReadOnlyCompactPolylineProxy source(record);
    const int n = map_points(source);
    if (!scene_port_storable(points_.data(), n, true))
        return false;
    compact_polygon_->remove(0, compact_polygon_->size());
    if (n > 0)
        compact_polygon_->insert(0, n, points_.data());
    qvShapeBase* const filled = compact_polygon_->record();
    copy_header(record, *filled, record.kind);
    return forward(*filled, record.attribute_handle);
}

template <class Source, class Temporary>
bool qvViewTScenePort::draw_bezier(qvShapeBase const& record, Temporary& temporary) {
    Source source(record);
    const int n = map_points(source);
    if (!scene_port_storable(points_.data(), n, std::is_same_v<Temporary, qvSimpleCompactBezier>))
        return false;
    temporary->remove(0, temporary->size());
    if (n > 0)
        temporary->insert(0, n, points_.data());
    for (int i = 0; i < n; ++i)
        temporary->tag(i, source.tag(i));
    qvShapeBase* const filled = temporary->record();
    copy_header(record, *filled, record.kind);
    return forward(*filled, record.attribute_handle);
}

bool qvViewTScenePort::draw_exact_bezier(qvShapeBase const& record) {
    return draw_bezier<qvReadOnlyBezierProxy>(record, bezier_);
}

bool qvViewTScenePort::draw_compact_bezier(qvShapeBase const& record) {
    return draw_bezier<qvReadOnlyCompactBezierProxy>(record, compact_bezier_);
}
