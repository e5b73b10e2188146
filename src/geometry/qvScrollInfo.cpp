// Scroll geometry: destination, source and the exposed strips.

#include <orvane/geometry/qvScrollInfo.hpp>

namespace {

qvWinRectOf<double> moved(qvWinRectOf<double> const& r, double dx, double dy) noexcept {
    return {qvCrdOf<double>(r.x1 + dx, r.y1 + dy), qvCrdOf<double>(r.x2 + dx, r.y2 + dy)};
}

}  // namespace

qvScrollInfo::qvScrollInfo(qvWinRectOf<double> const& area, qvCrdOf<double> const& offset) noexcept
    : area_(area), offset_(offset) {
    const qvMathRectOf<double> shifted(moved(area, offset.x, offset.y));
    destination_ = qvWinRectOf<double>(qvRectIntersection(qvMathRectOf<double>(area), shifted));
    source_ = moved(destination_, -offset.x, -offset.y);
}

int qvScrollInfo::invalid(qvMathRectOf<double>* out) const noexcept {
    const double dx = offset_.x, dy = offset_.y;
    int count = 0;
    if (dx != 0) {
        out[count++] = dx > 0 ? qvMathRectOf<double>(area_.x1, area_.y1, destination_.x1, area_.y2)
                              : qvMathRectOf<double>(destination_.x2, area_.y1, area_.x2, area_.y2);
    }
    if (dy != 0) {
        double x1 = area_.x1, x2 = area_.x2;
        if (dx > 0) x1 = destination_.x1;
        if (dx < 0) x2 = destination_.x2;
        out[count++] = dy > 0 ? qvMathRectOf<double>(x1, area_.y1, x2, destination_.y1)
                              : qvMathRectOf<double>(x1, destination_.y2, x2, area_.y2);
    }
    return count;
}
