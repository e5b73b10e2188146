#pragma once
// qvViewTScenePort: a flavour port in front of another one, its target,
// that draws every record it is given through a mapping applied in the
// target's device space. For each record it fills a temporary record whose
// points are mapped into the target's model space by M = inv * mapping * T
// (T the target's transformation, inv its inverse) and hands that to the
// target; line widths and markers can follow the mapping. Every other port
// operation is the target's.
//
// Keeps true:
//  - a record is read only after it passes the record check; a record that
//    fails, or whose kind is not drawn here (arcs, pie slices, -8, 0,
//    flavour codes), gives false: the target
//    is not called and no member changes;
//  - a record the mapping carries where no shape can hold it (a NaN or an
//    infinity in the mapping, or a scale that takes a point beyond the
//    float range where its temporary keeps floats) gives false without
//    reaching the target, so a redraw goes on with its other records; the
//    values are checked before any temporary takes them;
//  - no record or point array is allocated per shape: the four temporary
//    shapes and the point buffer are reused, raised to the exact size a
//    record needs; a temporary record is valid only during the target's
//    draw_shape that receives it;
//  - M changes only in mapping(t) and transformation(rt). A target whose
//    transformation is changed directly on the target, or a new target set
//    with port(...), keeps the old M until one of those two is called;
//  - with scale_line_width, each record (each marker) is drawn in the
//    private palette with a temporary copy of its attribute carrying the
//    scaled width; the palette switch is scoped, so it is undone also when
//    the target raises, and when a temporary is released the driver's
//    attribute cache (when the driver offers one) is told to drop its
//    handle, which the palette may reuse. Outside a draw the temporary
//    lives for one record. A draw begins when the port is given a palette
//    (a scene's render does so first) and ends at the next palette, a new
//    mapping or transformation, a change of a copied attribute in the
//    given palette, or the port's end: within it each attribute is copied
//    once and its copy reused by every record that names it. Each marker
//    is drawn with an attribute of its own, so the markers of a record
//    carry distinct handles: marker i with slot i of its record's copy, a
//    copy of that copy kept for the draw and reused by every record that
//    names the attribute (past a bound, a fresh one per marker). Outside a
//    draw a polymarker is a draw of its own: its copy and its slots live
//    for that record;
//  - draw_shape is not re-entrant: a call from inside the target's drawing
//    of a record raises qvErrorFrom<qvViewTScenePort> "Scene port cannot be
//    re-entered" before any temporary is touched, and the outer draw goes
//    on as if the call had not been made;
//  - coordinates and coefficients stay doubles: nothing is converted to an
//    integer here; a non-finite value ends only the record it is in.

#include <orvane/attributes/qvMarkerSize.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvSimpleBezier.hpp>
#include <orvane/shapes/qvSimpleCompactBezier.hpp>
#include <orvane/shapes/qvSimpleCompactPolygon.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>

#include <cstddef>
#include <memory>
#include <vector>

class qvAttributeInterface;
struct qvShapeBase;

class qvViewTScenePort : public virtual qvFlavorPort {
public:
    // Matrix and mapping identity, flags all true; M is not computed from
    // the target here.
    explicit qvViewTScenePort(qvFlavorPort& target);
    ~qvViewTScenePort() override;
    qvViewTScenePort(qvViewTScenePort const&) = delete;
    qvViewTScenePort& operator=(qvViewTScenePort const&) = delete;

    qvFlavorPort& port() const noexcept { return *target_; }
    // A new target; M stays as it is.
    void port(qvFlavorPort& target) noexcept { target_ = &target; }

    qvTransformation const& mapping() const noexcept { return mapping_; }
    // M, the model-to-target matrix.
    qvTransformation const& matrix() const noexcept { return matrix_; }
    // Stores t and recomputes M from the target.
    void mapping(qvTransformation const& t);

    bool scale_font_size() const noexcept { return scale_font_size_; }
    void scale_font_size(bool on) noexcept { scale_font_size_ = on; }
    bool scale_line_width() const noexcept { return scale_line_width_; }
    void scale_line_width(bool on) noexcept { scale_line_width_ = on; }
    bool scale_markers() const noexcept { return scale_markers_; }
    void scale_markers(bool on) noexcept { scale_markers_ = on; }
    bool rotate_markers() const noexcept { return rotate_markers_; }
    void rotate_markers(bool on) noexcept { rotate_markers_ = on; }

    // "qvFlavorPort" alone; the target is not asked.
    void* query_interface(qvInterfaceInfo const& info) override;

    // Flavour port: the target's, except draw_shape.
    qvDrawObject& draw() override;
    qvRestrictedTransformation const& transformation() const override;
    // The target's, then M is recomputed.
    void transformation(qvRestrictedTransformation const& t) override;
    qvRestrictedTransformation const& inverse_transformation() const override;
    qvMathRectOf<double> const& device_bbox() const override;
    void device_bbox(qvMathRectOf<double> const& box) override;
    qvMathRectOf<double> const& model_bbox() const override;
    void scene(qvScene* scene) override;
    qvScene* scene() const override;
    void palette(qvPalette* palette) override;
    qvPalette* palette() const override;
    bool draw_shape(qvShapeBase const& record) override;
    qvExtent text_metrics(long attribute, char const* text, unsigned length) override;

protected:
    // Each takes a checked source record and returns what draw_shape
    // returns: false, without calling the target, for a record the mapping
    // carries beyond what its temporary holds.
    bool draw_rectangle(qvShapeBase const& record);
    bool draw_ellipse(qvShapeBase const& record);
    bool draw_compact_poly(qvShapeBase const& record);
    bool draw_exact_poly(qvShapeBase const& record);
    bool draw_compact_bezier(qvShapeBase const& record);
    bool draw_exact_bezier(qvShapeBase const& record);
    bool draw_compact_polymarker(qvShapeBase const& record);
    bool draw_exact_polymarker(qvShapeBase const& record);
    // One marker per point (already mapped by M); true unless an error
    // passes: the target's answer for each marker is not used.
    bool draw_polymarker(qvShapeBase const& record, std::vector<qvCrdOf<double>> const& points);
    // Texts and images, each through a stand-alone copy of the record.
    // Restricted kinds are drawn in the target's device space with its
    // transformation the identity for the call; a restricted text whose
    // scaled font size is below 1 is not drawn (false). A restricted image
    // is resampled only where the target's clip shows it; one without
    // pixels, outside the clip, or whose shown part is beyond what
    // qvBitmapClippingT accepts, is not drawn (false). Drivers must read a text's aperture only through qvAperture:
    // an aperture of 90 arrives as -90, the same shear.
    bool draw_restricted_text(qvShapeBase const& record);
    bool draw_scaled_text(qvShapeBase const& record);
    bool draw_restricted_image(qvShapeBase const& record);
    bool draw_scaled_image(qvShapeBase const& record);

private:
    class ScaledAttribute;
    class ScaledAttributes;

    // M := inv * mapping * T, from the target.
    void update_matrix();
    // w times the geometric mean of the lengths of M's two rows.
    double get_scaled_line_width(double w) const;
    // Scales the line width of `attribute` (a temporary) by M. False, and
    // nothing changed, when the scaled width is no finite number: a mapping
    // that large cannot be drawn with it, and the record is skipped like
    // one whose points it cannot map.
    bool scale_line_width_of(qvAttributeInterface& attribute) const;
    // Swaps the horizontal alignment bits 2-3 of a text alignment word
    // (01 <-> 10; 00 and 11 and the other bits stay).
    static unsigned get_flipped_alignment(unsigned al) noexcept;
    // attr (in the private palette) becomes a copy of `handle` of this
    // port's palette().
    void set_attribute(qvAttributeInterface* attr, long handle);
    // Hands `filled` to the target: through the scaled-attribute step with
    // scale_line_width, as it is otherwise. `source_attribute` is the
    // source record's attribute handle.
    bool forward(qvShapeBase& filled, long source_attribute);
    // Marker `index` of a record to the target, as forward() does, except
    // that with scale_line_width it is drawn with slot `index` of the
    // draw's scaled attributes: an attribute of its own, carrying the
    // values of the record's scaled copy.
    bool forward_marker(qvShapeBase& marker, long source_attribute, std::size_t index);
    // The header of `source` into `filled`, with `kind`.
    static void copy_header(qvShapeBase const& source, qvShapeBase& filled, long kind) noexcept;
    // Every point of `source` (a read-only proxy) mapped by M into the point
    // buffer; the point count.
    template <class Source>
    int map_points(Source& source) {
        const int n = source.size();
        points_.clear();
        points_.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            points_.push_back(matrix_ * source.point(i));
        return n;
    }
    // The exact and compact Bezier drawers: Source the record's read-only
    // proxy, `temporary` the temporary shape of the record's form.
    template <class Source, class Temporary>
    bool draw_bezier(qvShapeBase const& record, Temporary& temporary);

    // Marker builders: fill a temporary shape around `centre` (size s is
    // the half-extent, shaped by t) and return its record, or null when a
    // point of the marker is not finite.
    qvShapeBase* get_dot_marker(qvCrdOf<double> centre, qvMarkerSize size, qvTransformation const& t);
    qvShapeBase* get_plus_marker(qvCrdOf<double> centre, qvMarkerSize size, qvTransformation const& t);
    qvShapeBase* get_star_marker(qvCrdOf<double> centre, qvMarkerSize size, qvTransformation const& t);
    qvShapeBase* get_circle_marker(qvCrdOf<double> centre, qvMarkerSize size, qvTransformation const& t);
    qvShapeBase* get_cross_marker(qvCrdOf<double> centre, qvMarkerSize size, qvTransformation const& t);
    qvShapeBase* get_square_marker(qvCrdOf<double> centre, qvMarkerSize size, qvTransformation const& t);
    // The marker transformation of the current flags, M and target boxes.
    qvTransformation marker_transformation() const;
    // The temporary exact polygon refilled with n points, kind -15, its
    // header box the tight box of the points; null, with the temporary
    // untouched, when a point is not finite.
    qvShapeBase* fill_exact_polygon(qvCrdOf<double> const* points, int n);
    // The temporary exact Bezier refilled with the 13 points of a closed
    // curve of four cubic pieces (the ellipse, the circle marker), kind -16;
    // null as above.
    qvShapeBase* fill_closed_curve(qvCrdOf<double> const* points);

    qvFlavorPort* target_;
    qvTransformation matrix_;
    qvTransformation mapping_;
    std::vector<qvCrdOf<double>> points_;
    qvSimplePolygon polygon_;
    qvSimpleBezier bezier_;
    qvSimpleCompactPolygon compact_polygon_;
    qvSimpleCompactBezier compact_bezier_;
    qvStandardPalette palette_;
    bool scale_font_size_ = true;
    bool scale_line_width_ = true;
    bool scale_markers_ = true;
    bool rotate_markers_ = true;
    // Set while draw_shape runs: the temporaries are in use.
    bool drawing_ = false;
    // The scaled copies of the current draw; destroyed before the private
    // palette that holds them.
    std::unique_ptr<ScaledAttributes> scaled_;
};
