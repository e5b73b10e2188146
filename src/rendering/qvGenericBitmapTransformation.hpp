#pragma once
// qvGenericBitmapTransformation<S, D, m, k>: any linear mapping of a source
// frame onto a destination, one instance per source pixel type S,
// destination pixel type D (bool monochrome, unsigned char indexed,
// qvRgbaQuad RGBA), mask flag m and mode k (0 raw, 1 nearest with colour
// conversion, 2 bilinear).
//
// The walk. W is the worker transformation (the request's, moved so that
// the source frame's top-left corner maps to the origin, linear part
// transposed). With h the source frame's height, M = translation(-0.5,
// h - 0.5) * inverse(W) maps clipping positions to source positions, pixel
// (x, y) of the source being the point (x, y). Clipping pixel (C.left + i,
// C.top + j) samples at o + (i, j) mapped by M, where o = (C.left, C.top)
// for modes 0 and 1 and o = (C.left + 1/2, C.top + 1/2 - s) for mode 2, s
// being 0 when W's a3 > 0 and 1 otherwise (the row query_frame adds):
// bilinear samples at pixel centres. P0 = M(o), dX = M(o + (1, 0)) - P0,
// dY = M(o + (0, 1)) - P0, and the position of (i, j) is the row start
// (P0 + j dY) plus i dX, in doubles, then rounded to floats (x, y). Every
// position comes from that one expression, never from repeated addition,
// so the reference and the fast paths agree to the bit.
//
// Sampling. A position outside +-2^30 (or NaN) lies outside the source.
//   nearest: pixel (trunc(x + 1/2), trunc(y + 1/2)); covered when inside the
//     source frame and not the source's transparent value.
//   bilinear: x0 = floor(x), y0 = floor(y), a = floor((x - x0) 256),
//     b = floor((y - y0) 256) in floats; the four corners (x0, y0),
//     (x0, y0 + 1), (x0 + 1, y0), (x0 + 1, y0 + 1) weigh (256 - a)(256 - b),
//     (256 - a) b, a (256 - b) and a b, each counted when the corner is inside
//     the frame and not transparent; total is their sum. The position is
//     covered when the source has no transparent value or total >= 32768;
//     its colour is black for total 0, else each channel's weighted sum
//     divided by total (truncating). Colours are looked up for every counted
//     corner, and only for those.
// A linear part whose determinant is 0 or not finite covers nothing.
//
// Writing. Covered: mode 0 the sampled value, else the colour converted
// (RGBA (b, g, r, 255); indexed and monochrome through the table); mask bit
// 1. Uncovered: the destination's transparent value; mask bit 0.
//
// Speed. Positions move monotonically along a row, so the columns whose
// sampled pixels all lie inside the source frame form one run. Each row is
// cut into that inner run, found from the row's start and step with a
// margin of a pixel and then confirmed by sampling its two ends exactly, and
// edge runs on both sides, which take the general sampler. Inside the inner
// run the bounds tests go, and for a source without a transparent value the
// coverage tests too: the weights then always total 65536 and the division
// is a shift. The results are the general sampler's, bit for bit.

#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>
#include <orvane/rendering/qvBitmapTransformationBase.hpp>

#include "rendering/qvBitmapPixels.hpp"

#include <cmath>
#include <type_traits>

template <class S, class D, int m, int k>
class qvGenericBitmapTransformation final : public qvBitmapTransformationBase {
    static_assert(k != 0 || std::is_same_v<S, D>, "raw copies keep the pixel type");

public:
    constexpr qvGenericBitmapTransformation() noexcept = default;

    void transform(qvBitmapTransformation const& worker, qvBitmapReference const& source,
                   qvBitmapFrame const& source_frame, qvBitmapFrame const& clipping,
                   qvBitmapReference const& destination, qvBitmapFrame const& destination_frame,
                   qvBitmapReference const& mask, qvBitmapFrame const& mask_frame,
                   qvRgbToIndex const* table) const override;

    static const qvGenericBitmapTransformation instance;
};

template <class S, class D, int m, int k>
const qvGenericBitmapTransformation<S, D, m, k> qvGenericBitmapTransformation<S, D, m, k>::instance{};

namespace qvGenericBitmapDetail {

using namespace qvBitmapPixels;

inline constexpr float position_limit = 1073741824.0f;   // 2^30

inline bool in_range(float v) noexcept { return v > -position_limit && v < position_limit; }

// floor of a float within +-2^30, as int.
inline int floor_int(float v) noexcept {
    const int t = qvTruncToInt(static_cast<double>(v));
    return static_cast<double>(t) > static_cast<double>(v) ? t - 1 : t;
}

// What a sample gives: the raw value (mode 0) or a colour.
template <class S, int k>
using Value = std::conditional_t<k == 0, S, Rgb>;

template <class S, class D, int m, int k>
class Run {
public:
    Run(qvBitmapTransformation const& worker, qvBitmapReference const& source,
        qvBitmapFrame const& source_frame, qvBitmapFrame const& clipping,
        qvBitmapReference const& destination, qvBitmapFrame const& destination_frame,
        qvBitmapReference const& mask, qvBitmapFrame const& mask_frame, qvRgbToIndex const* table)
        : src_(source, source_frame),
          dst_(destination, destination_frame),
          mask_(mask, mask_frame),
          colors_(source.colormap()),
          table_(table),
          width_(destination_frame.width()),
          height_(destination_frame.height()) {
        if constexpr (k != 0 && !std::is_same_v<D, qvRgbaQuad>)
            QV_ASSERT_TEXT(table != nullptr, "table");
        const qvTransformation w = worker.coefficients();
        const double det = w.m0() * w.m3() - w.m1() * w.m2();
        singular_ = !(std::isfinite(det) && det != 0);
        const double h = static_cast<double>(source_frame.bottom()) - source_frame.top();
        const qvTransformation to_source = qvTransformation(1, 0, 0, 1, -0.5, h - 0.5) * qvInvert(w);
        qvCrdOf<double> o(clipping.left(), clipping.top());
        if constexpr (k == 2) o = {o.x + 0.5, o.y + 0.5 - (w.m3() > 0 ? 0 : 1)};
        p0_ = to_source * o;
        dx_ = to_source * qvCrdOf<double>(o.x + 1, o.y) - p0_;
        dy_ = to_source * qvCrdOf<double>(o.x, o.y + 1) - p0_;
    }

    void run() const {
        for (int j = 0; j < height_; ++j) {
            unsigned char* drow = dst_.row(dst_.top + j);
            unsigned char* mrow = m ? mask_.row(mask_.top + j) : nullptr;
            if (singular_) {
                for (int i = 0; i < width_; ++i) uncovered(drow, mrow, i);
                continue;
            }
            const double rx = p0_.x + j * dy_.x;
            const double ry = p0_.y + j * dy_.y;
            int i0, i1;
            inner_run(rx, ry, i0, i1);
            for (int i = 0; i < i0; ++i) edge(drow, mrow, rx, ry, i);
            if (src_.has_transparent)
                inner<true>(drow, mrow, rx, ry, i0, i1);
            else
                inner<false>(drow, mrow, rx, ry, i0, i1);
            for (int i = i1; i < width_; ++i) edge(drow, mrow, rx, ry, i);
        }
    }

private:
    // ---- positions and runs ---------------------------------------------------------------

    float x_at(double rx, int i) const noexcept { return static_cast<float>(rx + i * dx_.x); }
    float y_at(double ry, int i) const noexcept { return static_cast<float>(ry + i * dx_.y); }

    // Whether every pixel that column i samples lies inside the source frame.
    bool all_inside(double rx, double ry, int i) const noexcept {
        const float x = x_at(rx, i), y = y_at(ry, i);
        if (!in_range(x) || !in_range(y)) return false;
        if constexpr (k == 2) {
            const int x0 = floor_int(x), y0 = floor_int(y);
            return x0 >= src_.left && x0 < src_.right - 1 && y0 >= src_.top && y0 < src_.bottom - 1;
        } else {
            return src_.inside(qvTruncToInt(double(x) + 0.5), qvTruncToInt(double(y) + 0.5));
        }
    }

    // Columns [lo, hi) of n where start + i step stays within [low, high]
    // (narrowed, never widened, when the step is tiny or the values huge).
    static void axis_run(double start, double step, double low, double high, int n, int& lo,
                         int& hi) noexcept {
        double first = 0, last = n - 1.0;
        if (step > 0) {
            first = std::max(first, std::ceil((low - start) / step));
            last = std::min(last, std::floor((high - start) / step));
        } else if (step < 0) {
            first = std::max(first, std::ceil((high - start) / step));
            last = std::min(last, std::floor((low - start) / step));
        } else if (!(start >= low && start <= high)) {
            last = -1;
        }
        if (!(first <= last)) {   // also NaN
            lo = hi = 0;
            return;
        }
        lo = static_cast<int>(first);
        hi = static_cast<int>(last) + 1;
    }

    // The inner run of a row: estimated a pixel inside the frame on every
    // side, then confirmed at both ends. Positions are monotonic along the
    // row, so two inside ends mean an inside run.
    void inner_run(double rx, double ry, int& i0, int& i1) const noexcept {
        int xlo, xhi, ylo, yhi;
        axis_run(rx, dx_.x, src_.left + 1.0, src_.right - 2.0, width_, xlo, xhi);
        axis_run(ry, dx_.y, src_.top + 1.0, src_.bottom - 2.0, width_, ylo, yhi);
        i0 = std::max(xlo, ylo);
        i1 = std::min(xhi, yhi);
        if (i1 <= i0) {
            i0 = i1 = 0;
            return;
        }
        while (i0 < i1 && !all_inside(rx, ry, i0)) ++i0;
        while (i1 > i0 && !all_inside(rx, ry, i1 - 1)) --i1;
    }

    // ---- writing -------------------------------------------------------------------------

    void covered(unsigned char* drow, unsigned char* mrow, int i, Value<S, k> v) const {
        if constexpr (k == 0)
            Access<D>::put(drow, dst_.left + i, v);
        else
            Access<D>::put(drow, dst_.left + i, from_rgb<D>(v, table_));
        if constexpr (m != 0) Access<bool>::put(mrow, mask_.left + i, true);
    }

    void uncovered(unsigned char* drow, unsigned char* mrow, int i) const {
        Access<D>::put(drow, dst_.left + i, dst_.transparent);
        if constexpr (m != 0) Access<bool>::put(mrow, mask_.left + i, false);
    }

    // ---- sampling ------------------------------------------------------------------------

    S pixel(int x, int y) const noexcept { return Access<S>::get(src_.row(y), x); }

    Rgb color(S v) const {
        if constexpr (std::is_same_v<S, qvRgbaQuad>)
            return rgb_of(v);
        else
            return colors_(static_cast<unsigned>(v));
    }

    // Edge columns: every test made.
    void edge(unsigned char* drow, unsigned char* mrow, double rx, double ry, int i) const {
        const float x = x_at(rx, i), y = y_at(ry, i);
        if constexpr (k == 2) {
            bilinear<false, true>(drow, mrow, i, x, y);
        } else {
            if (!in_range(x) || !in_range(y)) return uncovered(drow, mrow, i);
            const int px = qvTruncToInt(double(x) + 0.5), py = qvTruncToInt(double(y) + 0.5);
            if (!src_.inside(px, py)) return uncovered(drow, mrow, i);
            const S v = pixel(px, py);
            if (!src_.opaque(v)) return uncovered(drow, mrow, i);
            if constexpr (k == 0)
                covered(drow, mrow, i, v);
            else
                covered(drow, mrow, i, color(v));
        }
    }

    template <bool Transparent>
    void inner(unsigned char* drow, unsigned char* mrow, double rx, double ry, int i0,
               int i1) const {
        for (int i = i0; i < i1; ++i) {
            const float x = x_at(rx, i), y = y_at(ry, i);
            if constexpr (k == 2) {
                bilinear<true, Transparent>(drow, mrow, i, x, y);
            } else {
                const S v = pixel(qvTruncToInt(double(x) + 0.5), qvTruncToInt(double(y) + 0.5));
                if (Transparent && !src_.opaque(v)) {
                    uncovered(drow, mrow, i);
                } else if constexpr (k == 0) {
                    covered(drow, mrow, i, v);
                } else {
                    covered(drow, mrow, i, color(v));
                }
            }
        }
    }

    // One bilinear position. Inside: all four corners are known to lie in
    // the frame. Transparent: coverage must be tested (false only inside).
    template <bool Inside, bool Transparent>
    void bilinear(unsigned char* drow, unsigned char* mrow, int i, float x, float y) const {
        if (!Inside && (!in_range(x) || !in_range(y))) {
            // No corner counts: total 0.
            if (src_.has_transparent) return uncovered(drow, mrow, i);
            return covered(drow, mrow, i, Rgb{0, 0, 0});
        }
        const int x0 = floor_int(x), y0 = floor_int(y);
        const unsigned a = static_cast<unsigned>((x - static_cast<float>(x0)) * 256.0f);
        const unsigned b = static_cast<unsigned>((y - static_cast<float>(y0)) * 256.0f);
        if constexpr (Inside && !Transparent) {
            unsigned char const* r0 = src_.row(y0);
            unsigned char const* r1 = src_.row(y0 + 1);
            const Rgb c00 = color(Access<S>::get(r0, x0)), c01 = color(Access<S>::get(r1, x0));
            const Rgb c10 = color(Access<S>::get(r0, x0 + 1));
            const Rgb c11 = color(Access<S>::get(r1, x0 + 1));
            const unsigned ua = 256 - a, ub = 256 - b;
            // The four weights regrouped by column: the same integers.
            const Rgb c{(ua * (ub * c00.r + b * c01.r) + a * (ub * c10.r + b * c11.r)) >> 16,
                        (ua * (ub * c00.g + b * c01.g) + a * (ub * c10.g + b * c11.g)) >> 16,
                        (ua * (ub * c00.b + b * c01.b) + a * (ub * c10.b + b * c11.b)) >> 16};
            return covered(drow, mrow, i, c);
        } else {
            const unsigned weight[4] = {(256 - a) * (256 - b), (256 - a) * b, a * (256 - b), a * b};
            const int cx[4] = {x0, x0, x0 + 1, x0 + 1};
            const int cy[4] = {y0, y0 + 1, y0, y0 + 1};
            unsigned total = 0, r = 0, g = 0, bl = 0;
            for (int c = 0; c < 4; ++c) {
                if (!Inside && !src_.inside(cx[c], cy[c])) continue;
                const S v = pixel(cx[c], cy[c]);
                if (!src_.opaque(v)) continue;
                const Rgb rgb = color(v);
                total += weight[c];
                r += weight[c] * rgb.r;
                g += weight[c] * rgb.g;
                bl += weight[c] * rgb.b;
            }
            if (src_.has_transparent && total < 32768) return uncovered(drow, mrow, i);
            if (total == 0) return covered(drow, mrow, i, Rgb{0, 0, 0});
            return covered(drow, mrow, i, Rgb{r / total, g / total, bl / total});
        }
    }

    View<S> src_;
    View<D> dst_;
    View<bool> mask_;
    std::conditional_t<std::is_same_v<S, qvRgbaQuad> || k == 0, NoColors, SourceColors> colors_;
    qvRgbToIndex const* table_;
    int width_, height_;
    bool singular_ = false;
    qvCrdOf<double> p0_, dx_, dy_;
};

}  // namespace qvGenericBitmapDetail

template <class S, class D, int m, int k>
void qvGenericBitmapTransformation<S, D, m, k>::transform(
    qvBitmapTransformation const& worker, qvBitmapReference const& source,
    qvBitmapFrame const& source_frame, qvBitmapFrame const& clipping,
    qvBitmapReference const& destination, qvBitmapFrame const& destination_frame,
    qvBitmapReference const& mask, qvBitmapFrame const& mask_frame,
    qvRgbToIndex const* table) const {
    const qvGenericBitmapDetail::Run<S, D, m, k> run(worker, source, source_frame, clipping,
                                                     destination, destination_frame, mask,
                                                     mask_frame, table);
    run.run();
}
