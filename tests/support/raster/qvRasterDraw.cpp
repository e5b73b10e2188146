// The raster host's draw object and port (see qvRasterDraw.hpp).
//
// draw_shape, after the record check and with a palette:
//   kind        pixels
//   -1          fill the mapped box, outline its border
//   -2          fill the inscribed ellipse, outline it flattened
//   -4, -13     a 3 x 3 marker per point, in the brush's colour even
//               with fill style 0, else the pen's
//   -5, -14     outline the polyline
//   -6, -15     fill (even-odd) and outline the polygon
//   -7, -16     fill the closed (tag 4) figures, outline every figure
//   -9, -10     fill the mapped box (nothing for an empty text)
//   -11, -12    sample the bitmap into the mapped box
// Points are decoded by the library's shared record decoding and mapped by
// the port's transformation; curves are flattened in device space with a
// tolerance of a quarter pixel (coarser for shapes beyond a million pixels,
// so that no shape costs more than a bounded number of pieces).

#include "qvRasterDraw.hpp"

#include "qvRasterCanvas.hpp"

#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvStandardCookie.hpp>
#include <orvane/geometry/qvDrawBezierHelper.hpp>
#include <orvane/geometry/qvEllipseGenerator.hpp>
#include <orvane/shapes/qvExtent.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include "rendering/qvShapeRecordPoints.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

qvRgbaQuad raster_color(qvRgbColor const& c) noexcept {
    return qvRgbaQuad(qvRasterChannel(c.red()), qvRasterChannel(c.green()), qvRasterChannel(c.blue()), 255);
}

// A quarter pixel, or a millionth of the shape's size when that is more.
double raster_tolerance(qvMathRectOf<double> const& box) noexcept {
    const double size = std::max(std::fabs(box.x2 - box.x1), std::fabs(box.y2 - box.y1));
    return std::isfinite(size) ? std::max(0.25, size * 1e-6) : 0.25;
}

bool raster_finite(std::vector<qvCrdOf<double>> const& points) noexcept {
    return std::all_of(points.begin(), points.end(),
                       [](qvCrdOf<double> const& p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

// The decoded points and tags as the Bézier helper reads them.
class RasterPointSet : public qvPointSetInterface {
public:
    RasterPointSet(std::vector<qvCrdOf<double>> const& points, std::vector<qvPointTag> const& tags) noexcept
        : points_(points), tags_(tags) {}
    qvCrdOf<double> point(int index) const override { return points_[static_cast<std::size_t>(index)]; }
    qvPointTag tag(int index) const override {
        return index >= 0 && static_cast<std::size_t>(index) < tags_.size() ? tags_[static_cast<std::size_t>(index)]
                                                                            : qvPointTag{};
    }
    int size() const override { return static_cast<int>(std::min(points_.size(), tags_.size())); }

private:
    std::vector<qvCrdOf<double>> const& points_;
    std::vector<qvPointTag> const& tags_;
};

// Collects the figures the helper emits as flattened point lists.
class RasterFlattener : public qvDrawBezierPortInterface {
public:
    RasterFlattener(std::vector<qvCrdOf<double>>& points, std::vector<std::size_t>& starts,
                    std::vector<bool>& closed, double tolerance) noexcept
        : points_(points), starts_(starts), closed_(closed), tolerance_(tolerance) {}

    void move_to(qvCrdOf<double> const& p) override {
        starts_.push_back(points_.size());
        closed_.push_back(closing_);
        points_.push_back(p);
    }
    void line_to(qvCrdOf<double> const& p) override { points_.push_back(p); }
    void quadratic_to(qvCrdOf<double> const& c, qvCrdOf<double> const& e) override {
        const qvCrdOf<double> s = points_.back();
        cubic_to({s.x + 2.0 / 3.0 * (c.x - s.x), s.y + 2.0 / 3.0 * (c.y - s.y)},
                 {e.x + 2.0 / 3.0 * (c.x - e.x), e.y + 2.0 / 3.0 * (c.y - e.y)}, e);
    }
    // Evenly spaced points of the piece, as many as its bend needs: with n
    // pieces a cubic strays at most 3/4 L / n^2 from its chords (L the
    // larger second difference of the control points). The library's
    // generator judges flatness by the curve's midpoint alone, which lies
    // on the chord of a symmetric S-curve: it drew that curve straight.
    void cubic_to(qvCrdOf<double> const& c1, qvCrdOf<double> const& c2, qvCrdOf<double> const& e) override {
        const qvCrdOf<double> s = points_.back();
        const double bend = std::max(std::hypot(s.x - 2 * c1.x + c2.x, s.y - 2 * c1.y + c2.y),
                                     std::hypot(c1.x - 2 * c2.x + e.x, c1.y - 2 * c2.y + e.y));
        const double wanted = std::ceil(std::sqrt(0.75 * bend / tolerance_));
        int n = max_pieces;   // also for NaN
        if (wanted < max_pieces)
            n = wanted < 1.0 ? 1 : static_cast<int>(wanted);
        for (int i = 1; i < n; ++i) {
            const double t = static_cast<double>(i) / n, u = 1.0 - t;
            const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            points_.push_back({a * s.x + b * c1.x + c * c2.x + d * e.x, a * s.y + b * c1.y + c * c2.y + d * e.y});
        }
        points_.push_back(e);
    }
    void begin() override {}
    void end() override {}
    void begin_figures(bool closed) override { closing_ = closed; }
    void end_figures() override {}

private:
    std::vector<qvCrdOf<double>>& points_;
    std::vector<std::size_t>& starts_;
    std::vector<bool>& closed_;
    // Bounds the work of one piece; the tolerance grows with the shape.
    static constexpr int max_pieces = 4096;

    double tolerance_;
    bool closing_ = false;
};

}  // namespace

// ---------------------------------------------------------------------------
// Construction and draw-object state

qvRasterDraw::qvRasterDraw(qvRasterVBuf& vbuf)
    : vbuf_(&vbuf), clip_(vbuf.device_rect()), clip_rects_{vbuf.device_rect()} {}

void* qvRasterDraw::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvFlavorPort, qvDrawObject>(this, info);
}

void qvRasterDraw::brush_origin(qvCrdOf<double> const& origin) {
    qvRasterDriver& driver = vbuf_->raster_driver();
    if (driver.logging()) {
        std::ostringstream line;
        line << "brush_origin " << origin.x << " " << origin.y;
        driver.note(line.str());
    }
    brush_origin_ = origin;
}

void qvRasterDraw::clip(qvBaseRegion const& region) {
    // Spelling a large region out costs more than the clip itself: only
    // when logging.
    if (vbuf_->raster_driver().logging())
        vbuf_->raster_driver().note("clip " + qvRasterText(region));
    clip_ = region;
    clip_rects_.clear();
    for (qvIndirectRectIterator it = clip_.enumerate(); it; ++it)
        clip_rects_.push_back(*it);
}

bool qvRasterDraw::copy(qvVBufObject const& source, qvMathRectOf<double> const& from,
                        qvMathRectOf<double> const& to) {
    qvRasterDriver& driver = vbuf_->raster_driver();
    if (driver.logging())
        driver.note("copy " + qvRasterText(from) + " " + qvRasterText(to));
    if (driver.fails(qvRasterOp::copy))
        return false;
    // Asking needs a mutable object; the answer changes nothing.
    auto* const raster = qvQueryInterface<qvRasterVBuf>(const_cast<qvVBufObject*>(&source));
    if (raster == nullptr || !(from.x2 - from.x1 == to.x2 - to.x1) || !(from.y2 - from.y1 == to.y2 - to.y1))
        return false;
    qvRasterPixels* const target = vbuf_->pixels();
    qvRasterPixels const* const pixels = raster->pixels();
    if (target != nullptr && pixels != nullptr)
        qvRasterCanvas(*target, vbuf_->offset(), clip_rects_).copy(*pixels, raster->offset(), from, to);
    return true;
}

// ---------------------------------------------------------------------------
// Transformation and boxes

qvCrdOf<double> qvRasterDraw::map(qvCrdOf<double> const& p) const noexcept {
    return {geometry_.transformation().get_x() * p.x, geometry_.transformation().get_y() * p.y};
}

qvExtent qvRasterDraw::text_metrics(long attribute, char const*, unsigned length) {
    if (palette_ == nullptr)
        return {};
    const qvCookieAccess<qvStandardFontCookie> font(*palette_, attribute);
    const double size = font.cookie->font_size;
    return {static_cast<double>(length) * size, 0.0, size};
}

// ---------------------------------------------------------------------------
// Records

bool qvRasterDraw::draw_shape(qvShapeBase const& record) {
    if (palette_ == nullptr || !qvShapeRecordValid(record))
        return false;
    switch (record.kind) {
    case qvRectangleKind:
    case qvEllipseKind:
    case qvCompactPolyMarkerKind:
    case qvCompactPolylineKind:
    case qvCompactPolygonKind:
    case qvCompactBezierKind:
    case qvRestrictedTextKind:
    case qvScaledTextKind:
    case qvRestrictedImageKind:
    case qvScaledImageKind:
    case qvExactPolyMarkerKind:
    case qvExactPolylineKind:
    case qvExactPolygonKind:
    case qvExactBezierKind:
        break;
    default:
        return false;
    }
    qvRasterDriver& driver = vbuf_->raster_driver();
    const qvMathRectOf<double> box = qvTransformRect(record.bbox(), geometry_.transformation());
    if (driver.logging())
        driver.note("draw_shape " + std::to_string(record.kind) + " " + std::to_string(record.attribute_handle) +
                    " " + qvRasterText(box));
    qvDecodeShapeRecordPoints(record, points_, tags_);
    if (vbuf_->pixels() != nullptr)
        rasterise(record, box);
    driver.count_drawn(record.kind);
    return true;
}

void qvRasterDraw::flatten_bezier() {
    figure_points_.clear();
    figure_starts_.clear();
    figure_closed_.clear();
    if (points_.empty())
        return;
    qvMathRectOf<double> extent(points_[0], points_[0]);
    for (qvCrdOf<double> const& p : points_)
        extent += qvMathRectOf<double>(p, p);
    const RasterPointSet set(points_, tags_);
    qvDrawBezierHelper helper(set);
    RasterFlattener flattener(figure_points_, figure_starts_, figure_closed_, raster_tolerance(extent));
    helper.draw(flattener);
}

void qvRasterDraw::rasterise(qvShapeBase const& record, qvMathRectOf<double> const& box) {
    qvRasterCanvas canvas(*vbuf_->pixels(), vbuf_->offset(), clip_rects_);
    if (record.kind == qvRestrictedImageKind || record.kind == qvScaledImageKind) {
        // Images carry their own colours: no attribute is read.
        qvImageData const& image = qvShapeRecordData<qvImageData>(record);
        qvColorMapEntry const* const colors = image.header.color_count > 0 ? image.colormap() : nullptr;
        unsigned char const* const pixels = image.pixel_bytes() > 0 ? image.pixels() : nullptr;
        canvas.image(box, image.header, colors, pixels);
        return;
    }

    qvPalette& palette = *palette_;
    const long a = record.attribute_handle;
    const qvCookieAccess<qvStandardBrushCookie> brush(palette, a);
    const bool filled = !brush.cookie->empty && !brush.cookie->no_color;
    const qvRgbaQuad fill = raster_color(brush.cookie->color);
    const qvCookieAccess<qvStandardPenCookie> pen(palette, a);
    const bool outlined = !pen.cookie->empty && !pen.cookie->no_color;
    const qvRgbaQuad line = raster_color(pen.cookie->color);

    for (qvCrdOf<double>& p : points_)
        p = map(p);
    if (!raster_finite(points_))
        return;
    auto outline = [&](std::vector<qvCrdOf<double>> const& pts, std::size_t begin, std::size_t end, bool closed) {
        for (std::size_t k = begin; k + 1 < end; ++k)
            canvas.line(pts[k], pts[k + 1], line);
        if (closed && end - begin > 1)
            canvas.line(pts[end - 1], pts[begin], line);
    };
    const std::vector<std::size_t> one_contour{0};

    switch (record.kind) {
    case qvRectangleKind: {
        if (filled)
            canvas.fill_rect(box, fill);
        if (outlined) {
            const std::vector<qvCrdOf<double>> corners{{box.x1, box.y1}, {box.x2, box.y1}, {box.x2, box.y2},
                                                       {box.x1, box.y2}};
            outline(corners, 0, corners.size(), true);
        }
        break;
    }
    case qvEllipseKind: {
        if (filled)
            canvas.fill_ellipse(box, fill);
        // An ellipse beyond every finite size has no outline to walk.
        if (outlined && std::isfinite(box.x1) && std::isfinite(box.x2) && std::isfinite(box.y1) &&
            std::isfinite(box.y2)) {
            figure_points_.clear();
            for (qvEllipseGenerator it(box, raster_tolerance(box)); !it.at_end(); it.next())
                figure_points_.push_back(*it.get());
            outline(figure_points_, 0, figure_points_.size(), true);
        }
        break;
    }
    case qvCompactPolyMarkerKind:
    case qvExactPolyMarkerKind: {
        // A marker is a solid mark in the brush's colour whatever the fill
        // style: a style-0 brush bakes empty but keeps its colour, and the
        // gadgets' handle style fills its square markers so.
        const bool coloured = !brush.cookie->no_color;
        if (!coloured && !outlined)
            break;
        const qvRgbaQuad color = coloured ? fill : line;
        for (qvCrdOf<double> const& p : points_)
            canvas.marker(p, color);
        break;
    }
    case qvCompactPolylineKind:
    case qvExactPolylineKind:
        if (outlined)
            outline(points_, 0, points_.size(), false);
        break;
    case qvCompactPolygonKind:
    case qvExactPolygonKind:
        if (filled)
            canvas.fill_polygon(points_, one_contour, fill);
        if (outlined)
            outline(points_, 0, points_.size(), true);
        break;
    case qvCompactBezierKind:
    case qvExactBezierKind: {
        flatten_bezier();
        if (filled) {
            std::vector<qvCrdOf<double>> closed_points;
            std::vector<std::size_t> closed_starts;
            for (std::size_t f = 0; f < figure_starts_.size(); ++f) {
                if (!figure_closed_[f])
                    continue;
                const std::size_t end = f + 1 < figure_starts_.size() ? figure_starts_[f + 1] : figure_points_.size();
                closed_starts.push_back(closed_points.size());
                closed_points.insert(closed_points.end(),
                                     figure_points_.begin() + static_cast<std::ptrdiff_t>(figure_starts_[f]),
                                     figure_points_.begin() + static_cast<std::ptrdiff_t>(end));
            }
            canvas.fill_polygon(closed_points, closed_starts, fill);
        }
        if (outlined)
            for (std::size_t f = 0; f < figure_starts_.size(); ++f) {
                const std::size_t end = f + 1 < figure_starts_.size() ? figure_starts_[f + 1] : figure_points_.size();
                outline(figure_points_, figure_starts_[f], end, figure_closed_[f]);
            }
        break;
    }
    case qvRestrictedTextKind:
    case qvScaledTextKind:
        if (filled && qvShapeRecordData<qvTextData>(record).length != 0)
            canvas.fill_rect(box, fill);
        break;
    default:
        break;
    }
}
