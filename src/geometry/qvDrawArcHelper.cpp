// qvDrawArcHelper: arcs as at most four cubic pieces.
//
// Pieces of exactly 90 degrees use the pinned factor 0.55228475 and take
// the end point's cosine and sine as (-s, c) from the start's, so a full
// ellipse needs only one cosine and one sine. Rounding in `a += step` can
// leave a sliver (360.011 - 0.011 is 360 + 5.7e-14): the fourth piece takes
// the whole remaining angle instead, and slivers below 1e-9 degrees end the
// arc rather than becoming a piece of their own.

#include <orvane/geometry/qvDrawArcHelper.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double quarter_factor = 0.55228475;
constexpr double sliver = 1e-9;
constexpr int max_pieces = 4;

double radians(double degrees) noexcept { return degrees * (std::numbers::pi / 180); }

}  // namespace

qvDrawArcHelper::qvDrawArcHelper(qvMathRectOf<double> const& rect, double angle1, double angle2)
    : rect_(rect), start_(std::min(angle1, angle2)), end_(std::max(angle1, angle2)) {
    // min and max would drop a NaN; keep it, so get_points sees it.
    if (!std::isfinite(angle1) || !std::isfinite(angle2))
        start_ = end_ = std::numeric_limits<double>::quiet_NaN();
    else if (end_ > start_ + 360)
        end_ = start_ + 360;
}

double qvDrawArcHelper::btan(double angle) {
    // 4/3 tan(angle / 4): the value of the usual (1 - cos h) ... / (sqrt(tan^2
    // h + 1) - 1 + (1 - cos h)) form with h = angle / 2, without its 0 / 0
    // for tiny angles.
    return 4.0 / 3.0 * std::tan(radians(angle) / 4);
}

int qvDrawArcHelper::get_points(qvCrdOf<double>* points, qvPointTag* tags) const {
    const double rx = (rect_.x2 - rect_.x1) / 2, ry = (rect_.y2 - rect_.y1) / 2;
    const double cx = (rect_.x1 + rect_.x2) / 2, cy = (rect_.y1 + rect_.y2) / 2;
    for (double v : {rx, ry, cx, cy, start_, end_})
        if (!std::isfinite(v)) return 0;
    if (!(rx > 0) || !(ry > 0)) return 0;

    int n = 0;
    // (c, s) is a direction on the unit circle, scaled onto the ellipse.
    const auto put = [&](double c, double s, qvPointTag tag) {
        points[n] = {cx + rx * c, cy + ry * s};
        tags[n] = tag;
        ++n;
    };
    double a = start_;
    put(std::cos(radians(a)), std::sin(radians(a)), qvPointOnCurve);
    for (int piece = 0; piece < max_pieces && a < end_; ++piece) {
        const double step = piece + 1 < max_pieces ? std::min(end_ - a, 90.0) : end_ - a;
        const double c = std::cos(radians(a)), s = std::sin(radians(a));
        double c2, s2, k;
        if (step == 90) {
            k = quarter_factor;
            c2 = -s;
            s2 = c;
        } else {
            k = btan(step);
            c2 = std::cos(radians(a + step));
            s2 = std::sin(radians(a + step));
        }
        put(c - k * s, s + k * c, qvPointControl);
        put(c2 + k * s2, s2 - k * c2, qvPointControl);
        put(c2, s2, qvPointOnCurve);
        a += step;
        if (end_ - a < sliver) break;
    }
    return n;
}

int qvDrawArcHelper::get_points(std::array<qvCrdOf<double>, max_points>& points,
                                std::array<qvPointTag, max_points>& tags) const {
    return get_points(points.data(), tags.data());
}
