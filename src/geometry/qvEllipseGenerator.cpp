// qvEllipseGenerator: four Bézier quarters, each started when the previous
// one has run out.

#include <orvane/geometry/qvEllipseGenerator.hpp>

namespace {

// The control-point factor of a cubic quarter circle, 4/3 (sqrt 2 - 1).
constexpr double kappa = 0.5522847498306668;

}  // namespace

qvEllipseGenerator::qvEllipseGenerator(qvMathRectOf<double> const& rect, double tolerance)
    : qvBezierGenerator(tolerance) {
    reset(rect, tolerance);
}

qvEllipseGenerator::qvEllipseGenerator(double tolerance) : qvBezierGenerator(tolerance) {}

void qvEllipseGenerator::reset(qvMathRectOf<double> const& rect, double tolerance) {
    qvBezierGenerator::reset(tolerance);
    rect_ = rect;
    quarter_ = 0;
    start_quarter();
}

void qvEllipseGenerator::next() {
    if (qvBezierGenerator::at_end()) return;
    advance();
    if (qvBezierGenerator::at_end() && quarter_ < 4) {
        ++quarter_;
        if (quarter_ < 4) start_quarter();
    }
}

bool qvEllipseGenerator::at_end() const { return qvBezierGenerator::at_end(); }

void qvEllipseGenerator::start_quarter() {
    const double x1 = rect_.x1, y1 = rect_.y1, x2 = rect_.x2, y2 = rect_.y2;
    const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const double dx = (x2 - x1) / 2 * kappa, dy = (y2 - y1) / 2 * kappa;
    switch (quarter_) {
    case 0: start({x2, cy}, {x2, cy + dy}, {cx + dx, y2}, {cx, y2}); break;
    case 1: start({cx, y2}, {cx - dx, y2}, {x1, cy + dy}, {x1, cy}); break;
    case 2: start({x1, cy}, {x1, cy - dy}, {cx - dx, y1}, {cx, y1}); break;
    case 3: start({cx, y1}, {cx + dx, y1}, {x2, cy - dy}, {x2, cy}); break;
    default: break;
    }
}
