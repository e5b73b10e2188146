// The cell arithmetic: one scaling per axis into 15-bit cell numbers, then
// integer shifts only.

#include "scenes/qvQuadTreeCells.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvNumericConversion.hpp>

#include <cmath>

namespace {

constexpr double cells = 32768.0;   // level-15 cells per axis

// A level-15 cell number, or -1 when v is no cell number: NaN, or outside
// -1 … 32,768 (the two ends count as their neighbours inside).
int cell_number(float v) noexcept {
    if (!(v >= -1.0f && v <= 32768.0f)) return -1;
    const int n = qvTruncToInt(v);
    if (n < 0) return 0;
    return n > 32767 ? 32767 : n;
}

float scaled(double v, double lo, double hi) noexcept {
    return static_cast<float>((v - lo) * cells / (hi - lo));
}

struct CellSpan {
    int first;
    int last;
};

// The cell numbers of [r_lo, r_hi] on one axis of [lo, hi]; false when
// either is no cell number.
bool cell_span_of(float r_lo, float r_hi, double lo, double hi, CellSpan& span) noexcept {
    const float low = static_cast<float>(r_lo > lo ? static_cast<double>(r_lo) : lo);
    const float high = static_cast<float>(r_hi < hi ? static_cast<double>(r_hi) : hi);
    const float first = std::floor(qvTrimmed(scaled(low, lo, hi)));
    const float last = std::ceil(qvTrimmed(scaled(high, lo, hi)) - 1.0f);
    span.first = cell_number(first);
    span.last = cell_number(last);
    return span.first >= 0 && span.last >= 0;
}

}  // namespace

qvQuadTreeHandleData qvCellOf(qvMathRectOf<double> const& base, qvMathRectOf<float> const& r, int level) {
    QV_ASSERT(level >= 0 && level <= qvQuadTreeDeepest);
    if (std::isnan(r.x1) || std::isnan(r.y1) || std::isnan(r.x2) || std::isnan(r.y2)) return {};
    CellSpan sx, sy;
    if (!cell_span_of(r.x1, r.x2, base.x1, base.x2, sx) || !cell_span_of(r.y1, r.y2, base.y1, base.y2, sy)) return {};
    int z = level;
    const int shift = qvQuadTreeDeepest - level;
    sx.first >>= shift;
    sx.last >>= shift;
    sy.first >>= shift;
    sy.last >>= shift;
    while (sx.first != sx.last || sy.first != sy.last) {
        sx.first >>= 1;
        sx.last >>= 1;
        sy.first >>= 1;
        sy.last >>= 1;
        --z;
    }
    QV_ASSERT(z >= 0);
    const int half = 1 << z;
    return {static_cast<std::int16_t>(2 * sx.first + 1 - half), static_cast<std::int16_t>(2 * sy.first + 1 - half),
            static_cast<std::int16_t>(z)};
}

qvMathRectOf<float> qvCellRect(qvMathRectOf<double> const& base, qvQuadTreeHandleData const& h) {
    QV_ASSERT_TEXT(h.z < 16, "h.z < 16");
    QV_ASSERT(h.z >= 0);
    const double x1 = static_cast<float>(base.x1);
    const double y1 = static_cast<float>(base.y1);
    const double x2 = static_cast<float>(base.x2);
    const double y2 = static_cast<float>(base.y2);
    const double divisor = static_cast<double>(1 << h.z);
    const double w = static_cast<float>(static_cast<double>(static_cast<float>(x2 - x1)) / divisor);
    const double hgt = static_cast<float>(static_cast<double>(static_cast<float>(y2 - y1)) / divisor);
    const double centre_x = static_cast<float>((x1 + x2) * 0.5);
    const double centre_y = static_cast<float>((y1 + y2) * 0.5);
    const double step_x = static_cast<float>(w * (h.x - 1) * 0.5);
    const double step_y = static_cast<float>(hgt * (h.y - 1) * 0.5);
    const float left = static_cast<float>(step_x + centre_x);
    const float bottom = static_cast<float>(step_y + centre_y);
    const float right = static_cast<float>(static_cast<double>(left) + w);
    const float top = static_cast<float>(static_cast<double>(bottom) + hgt);
    return qvMathRectOf<float>(
        qvRectOf<float>(qvTrimmed(left), qvTrimmed(bottom), qvTrimmed(right), qvTrimmed(top)));
}
