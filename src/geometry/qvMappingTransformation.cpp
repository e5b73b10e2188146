// Uniform-scale mappings of a rectangle onto an area or another rectangle.

#include <orvane/geometry/qvMappingTransformation.hpp>

#include <orvane/core/qvError.hpp>

namespace {

[[noreturn]] void raise_empty() {
    qvRaise(qvErrorFrom<qvMappingTransformation>(
        "Rectangles that define mapping should not be empty"));
}

// Written as `> 0` so that NaN sizes fail too.
void require_positive(double width, double height) {
    if (!(width > 0 && height > 0)) raise_empty();
}

double pick_scale(double sx, double sy, bool fit) noexcept {
    if (fit) return sy < sx ? sy : sx;
    return sy > sx ? sy : sx;
}

double centre(double lo, double hi) noexcept { return (lo + hi) * 0.5; }

// The x of the anchor chosen by align & 12.
double x_anchor(qvMathRectOf<double> const& r, int align) noexcept {
    switch (align & 12) {
        case 4: return r.x1;
        case 8: return r.x2;
        default: return centre(r.x1, r.x2);
    }
}

// The y of the anchor chosen by align & 3; `mirror` exchanges the two edges
// (a flipped destination shows the source's top at its own y1).
double y_anchor(qvMathRectOf<double> const& r, int align, bool mirror) noexcept {
    switch (align & 3) {
        case 1: return mirror ? r.y1 : r.y2;
        case 2: return mirror ? r.y2 : r.y1;
        default: return centre(r.y1, r.y2);
    }
}

qvRestrictedTransformation map_points(qvCrdOf<double> const& from, qvCrdOf<double> const& to,
                                      double s, bool flip) noexcept {
    const double sy = flip ? -s : s;
    return {s, sy, to.x - s * from.x, to.y - sy * from.y};
}

qvRestrictedTransformation map_rect_to_area(qvMathRectOf<double> const& rect, double width,
                                            double height, bool flip, int align, bool fit) {
    require_positive(rect.x2 - rect.x1, rect.y2 - rect.y1);
    require_positive(width, height);
    const double s = pick_scale(width / (rect.x2 - rect.x1), height / (rect.y2 - rect.y1), fit);
    return map_points({x_anchor(rect, align), y_anchor(rect, align, false)}, {0, 0}, s, flip);
}

qvRestrictedTransformation map_rect_to_rect(qvMathRectOf<double> const& src,
                                            qvMathRectOf<double> const& dst, bool flip, int align,
                                            bool fit) {
    require_positive(src.x2 - src.x1, src.y2 - src.y1);
    require_positive(dst.x2 - dst.x1, dst.y2 - dst.y1);
    const double s = pick_scale((dst.x2 - dst.x1) / (src.x2 - src.x1),
                                (dst.y2 - dst.y1) / (src.y2 - src.y1), fit);
    return map_points({x_anchor(src, align), y_anchor(src, align, false)},
                      {x_anchor(dst, align), y_anchor(dst, align, flip)}, s, flip);
}

}  // namespace

qvMappingTransformation::qvMappingTransformation(qvCrdOf<double> const& from,
                                                 qvCrdOf<double> const& to, double s,
                                                 bool flip) noexcept
    : qvRestrictedTransformation(map_points(from, to, s, flip)) {}

qvMappingTransformation::qvMappingTransformation(qvMathRectOf<double> const& rect, double width,
                                                 double height, bool flip, int align, bool fit)
    : qvRestrictedTransformation(map_rect_to_area(rect, width, height, flip, align, fit)) {}

qvMappingTransformation::qvMappingTransformation(qvMathRectOf<double> const& src,
                                                 qvMathRectOf<double> const& dst, bool flip,
                                                 int align, bool fit)
    : qvRestrictedTransformation(map_rect_to_rect(src, dst, flip, align, fit)) {}
