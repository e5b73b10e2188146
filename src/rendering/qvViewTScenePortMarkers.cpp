// The scene port's polymarkers (see qvViewTScenePort.hpp).
//
// A target draws markers at a fixed device size. When markers are to follow
// the mapping (scale_markers, or rotate_markers alone), the port draws each
// marker as a shape of its own instead: a small exact polygon, or for
// circles a closed exact Bezier, around the mapped point, shaped by the
// marker transformation t:
//   scale_markers:   t = L * scaling(model / device extent of the target,
//                    or its inverse scale while its device box is empty),
//                    L the linear part of M: marker sizes are device units
//                    of the target, carried into its model space and then
//                    scaled and turned by the mapping;
//   rotate_markers:  t = rotation by the angle in which M carries the x
//                    axis; sizes stay the target's model units;
//   neither:         the record goes to the target as a point set.
// A marker point is centre + t(offset); s, the attribute's marker size (0.0
// drawn as 4.0), is the marker's half-extent before t.
//
// The attribute proxy over the record's attribute is the only object made
// per record. With scale_line_width each marker is drawn with an attribute
// handle of its own, promised to the target: marker i with slot i of the
// record's scaled copy (qvViewTScenePortScaledAttribute.hpp), an attribute
// of the private palette with the copy's values, kept for the draw. A
// record drawn outside a draw is a draw of its own, so its copy is made
// once and not once per marker, and nothing outlives the record. A marker
// whose points its temporary cannot take (a point not finite) is skipped.

#include <orvane/rendering/qvViewTScenePort.hpp>

#include <orvane/attributes/qvAttributeInterface.hpp>
#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvReadOnlyShapeProxy.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

#include "rendering/qvViewTScenePortScaledAttribute.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace {

// The circle constant: the control points of a quarter circle of radius 1
// lie this far along the tangents.
constexpr double scene_marker_k = 0.55228474983;

// Offsets, in units of s, of the polygon markers; the centre itself is the
// row marked `centre`, which t does not move.
struct SceneMarkerOffset {
    double x, y;
    bool centre;
};

constexpr SceneMarkerOffset scene_marker_square[] = {
    {-1, -1, false}, {-1, 1, false}, {1, 1, false}, {1, -1, false}};
constexpr SceneMarkerOffset scene_marker_plus[] = {
    {-1, 0, false}, {1, 0, false}, {0, 0, true}, {0, 1, false}, {0, -1, false}, {0, 0, true}, {-1, 0, false}};
constexpr SceneMarkerOffset scene_marker_cross[] = {
    {-1, -1, false}, {1, 1, false}, {0, 0, true}, {-1, 1, false}, {1, -1, false}, {0, 0, true}, {-1, -1, false}};
constexpr SceneMarkerOffset scene_marker_star[] = {
    {-1, 0, false}, {1, 0, false},  {0, 0, true},  {0, 1, false},  {0, -1, false}, {0, 0, true}, {-1, -1, false},
    {1, 1, false},  {0, 0, true},   {-1, 1, false}, {1, -1, false}, {0, 0, true},  {-1, 0, false}};

// centre + t(ox, oy), with all six coefficients of t.
qvCrdOf<double> scene_marker_point(qvCrdOf<double> centre, double ox, double oy, qvTransformation const& t) noexcept {
    const qvCrdOf<double> moved = t * qvCrdOf<double>(ox, oy);
    return {centre.x + moved.x, centre.y + moved.y};
}

// The outline of a polygon marker: each row of `offsets` scaled by s and
// placed by scene_marker_point, the centre rows left on the centre.
template <std::size_t N>
std::array<qvCrdOf<double>, N> scene_marker_outline(SceneMarkerOffset const (&offsets)[N], qvCrdOf<double> centre,
                                                    double s, qvTransformation const& t) noexcept {
    std::array<qvCrdOf<double>, N> outline;
    for (std::size_t i = 0; i < N; ++i) {
        SceneMarkerOffset const& o = offsets[i];
        outline[i] = o.centre ? centre : scene_marker_point(centre, o.x * s, o.y * s, t);
    }
    return outline;
}

// Model units a device unit of the target spans along one axis: the ratio
// of its boxes, or, while its device box is still empty on that axis (no
// renderer has set it: a port drawn on by hand), the scale of its inverse
// transformation, which is the ratio any device box would give. The ratio
// of two empty extents was NaN, and every marker then raised as a wild
// point out of the temporary shape, ending the whole render.
double scene_marker_ratio(double model_extent, double device_extent, double inverse_scale) noexcept {
    return device_extent != 0.0 ? model_extent / device_extent : std::fabs(inverse_scale);
}

}  // namespace

// ---------------------------------------------------------------------------
// Entries

bool qvViewTScenePort::draw_exact_polymarker(qvShapeBase const& record) {
    if (!scale_markers_ && !rotate_markers_)
        return draw_exact_poly(record);
    qvReadOnlyPolylineProxy source(record);
    map_points(source);
    return draw_polymarker(record, points_);
}

bool qvViewTScenePort::draw_compact_polymarker(qvShapeBase const& record) {
    if (!scale_markers_ && !rotate_markers_)
        return draw_compact_poly(record);
    qvReadOnlyCompactPolylineProxy source(record);
    map_points(source);
    return draw_polymarker(record, points_);
}

qvTransformation qvViewTScenePort::marker_transformation() const {
    if (scale_markers_) {
        qvMathRectOf<double> const& model = target_->model_bbox();
        qvMathRectOf<double> const& device = target_->device_bbox();
        qvRestrictedTransformation const& inverse = target_->inverse_transformation();
        const double sx = scene_marker_ratio(model.x2 - model.x1, device.x2 - device.x1, inverse.m0());
        const double sy = scene_marker_ratio(model.y2 - model.y1, device.y2 - device.y1, inverse.m3());
        const qvTransformation linear(matrix_.m0(), matrix_.m1(), matrix_.m2(), matrix_.m3(), 0, 0);
        return linear * qvTransformation(qvScaling(sx, sy));
    }
    if (rotate_markers_)
        return qvRotation(std::atan2(matrix_.m2(), matrix_.m0()) * 180 / std::numbers::pi);
    return qvTransformation();
}

// The points arrive mapped; the builders refill the temporaries, never the
// point buffer, which `points` may be.
bool qvViewTScenePort::draw_polymarker(qvShapeBase const& record, std::vector<qvCrdOf<double>> const& points) {
    const qvTransformation t = marker_transformation();
    const qvSafePtr<qvAttributeInterface> attribute = qvCreateAttributeProxy(palette(), record.attribute_handle);
    double s = attribute->marker_size().size();
    if (s == 0.0)
        s = 4.0;
    // Read once, as the size is: each read is a lookup in the source palette.
    const int style = static_cast<int>(attribute->marker_style());
    // Outside a draw its copy and its markers' slots live for this record.
    ScaledAttributes::OneRecord one_record(*scaled_, scale_line_width_, palette());
    std::size_t index = 0;
    for (qvCrdOf<double> const& p : points) {
        qvShapeBase* marker = nullptr;
        switch (style) {
        case 1:
            marker = get_dot_marker(p, s, t);
            break;
        case 2:
            marker = get_plus_marker(p, s, t);
            break;
        case 3:
            marker = get_star_marker(p, s, t);
            break;
        case 4:
            marker = get_circle_marker(p, s, t);
            break;
        case 5:
            marker = get_cross_marker(p, s, t);
            break;
        case 6:
            marker = get_square_marker(p, s, t);
            break;
        default:
            break;
        }
        if (marker == nullptr)
            continue;
        copy_header(record, *marker, marker->kind);
        forward_marker(*marker, record.attribute_handle, index++);
    }
    one_record.end();
    return true;
}

bool qvViewTScenePort::forward_marker(qvShapeBase& marker, long source_attribute, std::size_t index) {
    if (!scale_line_width_)
        return target_->draw_shape(marker);
    // No draw is open only when the port's palette is its private one, or
    // when the target ended the draw while drawing a marker: each marker
    // then goes through the one-record step.
    if (!scaled_->open())
        return forward(marker, source_attribute);
    const long handle = scaled_->marker(index, source_attribute);
    if (handle == 0)
        return false;
    marker.attribute_handle = qvCheckedInt32(handle);
    const qvFlavorPortPalette switched(*this, &palette_);
    return target_->draw_shape(marker);
}

// ---------------------------------------------------------------------------
// Builders

qvShapeBase* qvViewTScenePort::get_square_marker(qvCrdOf<double> centre, qvMarkerSize size,
                                                 qvTransformation const& t) {
    const auto outline = scene_marker_outline(scene_marker_square, centre, size.size(), t);
    return fill_exact_polygon(outline.data(), static_cast<int>(outline.size()));
}

qvShapeBase* qvViewTScenePort::get_dot_marker(qvCrdOf<double> centre, qvMarkerSize, qvTransformation const& t) {
    return get_square_marker(centre, qvMarkerSize(0.5), t);
}

qvShapeBase* qvViewTScenePort::get_plus_marker(qvCrdOf<double> centre, qvMarkerSize size, qvTransformation const& t) {
    const auto outline = scene_marker_outline(scene_marker_plus, centre, size.size(), t);
    return fill_exact_polygon(outline.data(), static_cast<int>(outline.size()));
}

qvShapeBase* qvViewTScenePort::get_cross_marker(qvCrdOf<double> centre, qvMarkerSize size,
                                                qvTransformation const& t) {
    const auto outline = scene_marker_outline(scene_marker_cross, centre, size.size(), t);
    return fill_exact_polygon(outline.data(), static_cast<int>(outline.size()));
}

qvShapeBase* qvViewTScenePort::get_star_marker(qvCrdOf<double> centre, qvMarkerSize size, qvTransformation const& t) {
    const auto outline = scene_marker_outline(scene_marker_star, centre, size.size(), t);
    return fill_exact_polygon(outline.data(), static_cast<int>(outline.size()));
}

qvShapeBase* qvViewTScenePort::get_circle_marker(qvCrdOf<double> centre, qvMarkerSize size,
                                                 qvTransformation const& t) {
    const double s = size.size();
    const double k = scene_marker_k * s;
    const double offsets[13][2] = {{s, 0},  {s, k},   {k, s},   {0, s},   {-k, s}, {-s, k}, {-s, 0},
                                   {-s, -k}, {-k, -s}, {0, -s}, {k, -s}, {s, -k}, {s, 0}};
    qvCrdOf<double> outline[13];
    for (std::size_t i = 0; i < 13; ++i)
        outline[i] = scene_marker_point(centre, offsets[i][0], offsets[i][1], t);
    return fill_closed_curve(outline);
}
