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
// is a shift. When rows and columns stay apart (dX.y = dY.x = 0: scales and
// flips), every row samples the same columns, so the columns' positions and
// weights are worked out once per call and the rows' once per row; an
// enlarging row forms each source column's vertical sum once and shares it.
// The results are the general sampler's, bit for bit.

#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>
#include <orvane/rendering/qvBitmapTransformationBase.hpp>

#include "rendering/qvBitmapPixels.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

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

static_assert(std::endian::native == std::endian::little,
              "pixels are read as little-endian words");

inline constexpr float position_limit = 1073741824.0f;   // 2^30

inline bool in_range(float v) noexcept { return v > -position_limit && v < position_limit; }

// floor of a float within +-2^30, as int.
inline int floor_int(float v) noexcept {
    const int t = qvTruncToInt(static_cast<double>(v));
    return static_cast<double>(t) > static_cast<double>(v) ? t - 1 : t;
}

// The bilinear weight of the right (or lower) neighbour, 0..256.
inline unsigned weight_of(float v, int v0) noexcept {
    return static_cast<unsigned>((v - static_cast<float>(v0)) * 256.0f);
}

// The blend of four opaque corners, all counted: top = (x0, y0) in the low
// word and (x0 + 1, y0) in the high one, bottom the same on row y0 + 1; a and
// b the weights of the right and lower neighbours. Per channel
// (ua (ub c00 + b c01) + a (ub c10 + b c11)) >> 16 with ua = 256 - a,
// ub = 256 - b: the four corner weights regrouped by column, the same
// integers. With SSE2 the column sums are 16-bit lanes (at most
// 256 x 255) and the row sum is taken in floats, where every product and
// sum stays an integer below 2^24 times a power of two, so exact too.
// Weights come prepared, so that a walk can prepare them once per column
// or row.
#if defined(__SSE2__) && defined(__x86_64__)
struct ColumnWeight {
    __m128 left, right;   // (256 - a) / 65536 and a / 65536 in every lane
};
struct RowWeight {
    __m128i top, bottom;   // 256 - b and b in every 16-bit lane
};
inline ColumnWeight column_weight(unsigned a) noexcept {
    return {_mm_set1_ps(static_cast<float>(256 - a) * (1.0f / 65536)),
            _mm_set1_ps(static_cast<float>(a) * (1.0f / 65536))};
}
inline RowWeight row_weight(unsigned b) noexcept {
    return {_mm_set1_epi16(static_cast<short>(256 - b)), _mm_set1_epi16(static_cast<short>(b))};
}
[[gnu::always_inline]] inline std::uint32_t blend(std::uint64_t top, std::uint64_t bottom,
                                                  ColumnWeight const& a, RowWeight const& b) noexcept {
    const __m128i zero = _mm_setzero_si128();
    const __m128i t = _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(top)), zero);
    const __m128i u = _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(bottom)), zero);
    const __m128i columns = _mm_add_epi16(_mm_mullo_epi16(t, b.top), _mm_mullo_epi16(u, b.bottom));
    const __m128 left = _mm_cvtepi32_ps(_mm_unpacklo_epi16(columns, zero));
    const __m128 right = _mm_cvtepi32_ps(_mm_unpackhi_epi16(columns, zero));
    const __m128 sum = _mm_add_ps(_mm_mul_ps(left, a.left), _mm_mul_ps(right, a.right));
    __m128i q = _mm_cvttps_epi32(sum);
    q = _mm_packs_epi32(q, q);
    q = _mm_packus_epi16(q, q);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(q)) | 0xFF000000u;
}
// The column sum ub c0 + b c1 of one pixel pair, as floats (see blend).
[[gnu::always_inline]] inline __m128 column_sum(std::uint32_t top, std::uint32_t bottom,
                                                RowWeight const& b) noexcept {
    const __m128i zero = _mm_setzero_si128();
    const __m128i t = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(top)), zero);
    const __m128i u = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bottom)), zero);
    const __m128i column = _mm_add_epi16(_mm_mullo_epi16(t, b.top), _mm_mullo_epi16(u, b.bottom));
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(column, zero));
}
// Two blends of column sums at once, the first in the low word.
[[gnu::always_inline]] inline std::uint64_t row_blend2(__m128 left0, __m128 right0, ColumnWeight const& a0,
                                                       __m128 left1, __m128 right1,
                                                       ColumnWeight const& a1) noexcept {
    const __m128i q0 = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(left0, a0.left), _mm_mul_ps(right0, a0.right)));
    const __m128i q1 = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(left1, a1.left), _mm_mul_ps(right1, a1.right)));
    __m128i q = _mm_packs_epi32(q0, q1);
    q = _mm_packus_epi16(q, q);
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(q)) | 0xFF000000FF000000u;
}
// Two blends at once (the first in the low word), sharing the packing.
[[gnu::always_inline]] inline std::uint64_t blend2(std::uint64_t top0, std::uint64_t bottom0,
                                                   ColumnWeight const& a0, std::uint64_t top1,
                                                   std::uint64_t bottom1, ColumnWeight const& a1,
                                                   RowWeight const& b) noexcept {
    const __m128i zero = _mm_setzero_si128();
    auto sum = [&](std::uint64_t top, std::uint64_t bottom, ColumnWeight const& a) {
        const __m128i t = _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(top)), zero);
        const __m128i u = _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(bottom)), zero);
        const __m128i columns = _mm_add_epi16(_mm_mullo_epi16(t, b.top), _mm_mullo_epi16(u, b.bottom));
        const __m128 left = _mm_cvtepi32_ps(_mm_unpacklo_epi16(columns, zero));
        const __m128 right = _mm_cvtepi32_ps(_mm_unpackhi_epi16(columns, zero));
        return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(left, a.left), _mm_mul_ps(right, a.right)));
    };
    __m128i q = _mm_packs_epi32(sum(top0, bottom0, a0), sum(top1, bottom1, a1));
    q = _mm_packus_epi16(q, q);
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(q)) | 0xFF000000FF000000u;
}
#else
struct ColumnWeight {
    unsigned a;
};
struct RowWeight {
    unsigned b;
};
inline ColumnWeight column_weight(unsigned a) noexcept { return {a}; }
inline RowWeight row_weight(unsigned b) noexcept { return {b}; }
inline std::uint32_t blend(std::uint64_t top, std::uint64_t bottom, ColumnWeight const& wa,
                           RowWeight const& wb) noexcept {
    const unsigned a = wa.a, b = wb.b, ua = 256 - a, ub = 256 - b;
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned c00 = top >> shift & 255, c10 = top >> (shift + 32) & 255;
        const unsigned c01 = bottom >> shift & 255, c11 = bottom >> (shift + 32) & 255;
        out |= ((ua * (ub * c00 + b * c01) + a * (ub * c10 + b * c11)) >> 16) << shift;
    }
    return out;
}
inline std::uint64_t blend2(std::uint64_t top0, std::uint64_t bottom0, ColumnWeight const& a0,
                            std::uint64_t top1, std::uint64_t bottom1, ColumnWeight const& a1,
                            RowWeight const& b) noexcept {
    return blend(top0, bottom0, a0, b) | std::uint64_t{blend(top1, bottom1, a1, b)} << 32;
}
#endif

[[gnu::always_inline]] inline std::uint32_t blend(std::uint64_t top, std::uint64_t bottom, unsigned a,
                                                  unsigned b) noexcept {
    return blend(top, bottom, column_weight(a), row_weight(b));
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
        // An empty clipping writes nothing; a bitmap without pixels may even
        // have no storage, so no row address is formed.
        if (width_ <= 0 || height_ <= 0) return;
        if (singular_) {
            for (int j = 0; j < height_; ++j)
                for (int i = 0; i < width_; ++i) uncovered(dst_row(j), mask_row(j), i);
        } else if (dx_.y == 0 && dy_.x == 0) {
            run_axis_parallel();
        } else {
            run_general();
        }
    }

private:
    unsigned char* dst_row(int j) const noexcept { return dst_.row(dst_.top + j); }
    unsigned char* mask_row(int j) const noexcept { return m ? mask_.row(mask_.top + j) : nullptr; }

    // ---- positions and runs ---------------------------------------------------------------

    double row_x(int j) const noexcept { return p0_.x + j * dy_.x; }
    double row_y(int j) const noexcept { return p0_.y + j * dy_.y; }
    float x_at(double rx, int i) const noexcept { return static_cast<float>(rx + i * dx_.x); }
    float y_at(double ry, int i) const noexcept { return static_cast<float>(ry + i * dx_.y); }

    // Whether the pixels a position samples all lie inside the source frame,
    // per axis: the frame's [lo, hi) on that axis.
    static bool inside(float v, int lo, int hi) noexcept {
        if (!in_range(v)) return false;
        if constexpr (k == 2) {
            const int v0 = floor_int(v);
            return v0 >= lo && v0 < hi - 1;
        } else {
            const int pv = qvTruncToInt(double(v) + 0.5);
            return pv >= lo && pv < hi;
        }
    }
    bool inside_x(float x) const noexcept { return inside(x, src_.left, src_.right); }
    bool inside_y(float y) const noexcept { return inside(y, src_.top, src_.bottom); }
    bool all_inside(double rx, double ry, int i) const noexcept {
        return inside_x(x_at(rx, i)) && inside_y(y_at(ry, i));
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
        lo = qvTruncToInt(first);   // both within [0, n)
        hi = qvTruncToInt(last) + 1;
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

    // ---- the two walks ----------------------------------------------------------------------

    void run_general() const {
        for (int j = 0; j < height_; ++j) {
            unsigned char* drow = dst_row(j);
            unsigned char* mrow = mask_row(j);
            const double rx = row_x(j), ry = row_y(j);
            int i0, i1;
            inner_run(rx, ry, i0, i1);
            for (int i = 0; i < i0; ++i) edge(drow, mrow, rx, ry, i);
            if (src_.has_transparent)
                inner_general<true>(drow, mrow, rx, ry, i0, i1);
            else
                inner_general<false>(drow, mrow, rx, ry, i0, i1);
            for (int i = i1; i < width_; ++i) edge(drow, mrow, rx, ry, i);
        }
    }

    template <bool Transparent>
    void inner_general(unsigned char* drow, unsigned char* mrow, double rx, double ry, int i0,
                       int i1) const {
        for (int i = i0; i < i1; ++i) {
            const float x = x_at(rx, i), y = y_at(ry, i);
            if constexpr (k == 2) {
                // Inner positions are not negative: truncation is the floor.
                const int x0 = qvTruncToInt(x), y0 = qvTruncToInt(y);
                const unsigned a = weight_of(x, x0), b = weight_of(y, y0);
                if constexpr (Transparent)
                    bilinear<true>(drow, mrow, i, x0, y0, a, b);
                else
                    covered_quad(drow, mrow, i,
                                 blend(pair(src_.row(y0), x0), pair(src_.row(y0 + 1), x0), a, b));
            } else {
                nearest_inside(drow, mrow, i, qvTruncToInt(double(x) + 0.5), qvTruncToInt(double(y) + 0.5));
            }
        }
    }

    // Rows and columns move apart (no turn, no shear): every row samples the
    // same columns and every column the same rows, so what depends on x is
    // worked out once per call and what depends on y once per row. The
    // positions are still those of the general walk: with dX.y = dY.x = 0,
    // row start + i dX has the same x in every row and the same y along a row.
    void run_axis_parallel() const {
        const double rx = row_x(0);
        std::vector<int> xs(static_cast<std::size_t>(width_));   // x0 or the nearest column
        std::vector<unsigned> as(k == 2 ? xs.size() : 0);
        std::vector<ColumnWeight> weights(k == 2 ? xs.size() : 0);
        int c0 = 0, c1 = 0;   // the columns inside on x: [c0, c1)
        while (c0 < width_ && !inside_x(x_at(rx, c0))) ++c0;
        for (c1 = c0; c1 < width_ && inside_x(x_at(rx, c1)); ++c1) {
            const float x = x_at(rx, c1);
            if constexpr (k == 2) {
                xs[c1] = floor_int(x);
                as[c1] = weight_of(x, xs[c1]);
                weights[c1] = column_weight(as[c1]);
            } else {
                xs[c1] = qvTruncToInt(double(x) + 0.5);
            }
        }
        for (int j = 0; j < height_; ++j) {
            unsigned char* drow = dst_row(j);
            unsigned char* mrow = mask_row(j);
            const double ry = row_y(j);
            const float y = y_at(ry, 0);
            const bool inner = inside_y(y);
            const int first = inner ? c0 : 0, i1 = inner ? c1 : 0;
            int i0 = first;
            for (int i = 0; i < i0; ++i) edge(drow, mrow, rx, ry, i);
            if constexpr (k == 2) {
                if (i0 < i1) {
                    const int y0 = qvTruncToInt(y);   // not negative: the floor
                    const unsigned b = weight_of(y, y0);
                    if (src_.has_transparent) {
                        for (int i = i0; i < i1; ++i) bilinear<true>(drow, mrow, i, xs[i], y0, as[i], b);
                    } else {
                        blend_row(drow, mrow, src_.row(y0), src_.row(y0 + 1), row_weight(b), xs.data(),
                                  weights.data(), i0, i1);
                    }
                }
            } else {
                const int py = inner ? qvTruncToInt(double(y) + 0.5) : 0;
                if constexpr (std::is_same_v<S, D> && k == 0 && m == 0) {
                    if (!src_.has_transparent) {
                        // Raw values without transparency: a gather of one source row.
                        unsigned char const* row = src_.row(py);
                        int const* columns = xs.data();
                        const int left = dst_.left;
                        for (int i = i0; i < i1; ++i)
                            Access<D>::put(drow, left + i, Access<S>::get(row, columns[i]));
                        i0 = i1;
                    }
                }
                for (int i = i0; i < i1; ++i) nearest_inside(drow, mrow, i, xs[i], py);
            }
            for (int i = i1; i < width_; ++i) edge(drow, mrow, rx, ry, i);
        }
    }

    // The inner run of an axis-parallel row without transparency: everything
    // but the four loads and the blend prepared. Locals only, so that the
    // byte stores cannot make the compiler read members again.
    void blend_row(unsigned char* drow, unsigned char* mrow, unsigned char const* r0,
                   unsigned char const* r1, RowWeight const& b, int const* xs,
                   ColumnWeight const* weights, int i0, int i1) const {
#if defined(__SSE2__) && defined(__x86_64__)
        if constexpr (std::is_same_v<D, qvRgbaQuad> && m == 0) {
            // Enlarging: fewer source columns than pixels, so the column sums
            // are formed once per source column and shared.
            const int lo = std::min(xs[i0], xs[i1 - 1]), hi = std::max(xs[i0], xs[i1 - 1]) + 1;
            if (hi - lo < i1 - i0) return blend_row_enlarged(drow, r0, r1, b, xs, weights, i0, i1, lo, hi);
        }
#endif
        if constexpr (std::is_same_v<D, qvRgbaQuad> && m == 0) {
            unsigned char* out = drow + 4 * static_cast<std::ptrdiff_t>(dst_.left);
            int i = i0;
            for (; i + 1 < i1; i += 2) {
                const std::uint64_t q = blend2(pair(r0, xs[i]), pair(r1, xs[i]), weights[i],
                                               pair(r0, xs[i + 1]), pair(r1, xs[i + 1]), weights[i + 1], b);
                std::memcpy(out + 4 * static_cast<std::ptrdiff_t>(i), &q, 8);
            }
            if (i < i1) {
                const std::uint32_t q = blend(pair(r0, xs[i]), pair(r1, xs[i]), weights[i], b);
                std::memcpy(out + 4 * static_cast<std::ptrdiff_t>(i), &q, 4);
            }
        } else {
            for (int i = i0; i < i1; ++i)
                covered_quad(drow, mrow, i, blend(pair(r0, xs[i]), pair(r1, xs[i]), weights[i], b));
        }
    }

#if defined(__SSE2__) && defined(__x86_64__)
    void blend_row_enlarged(unsigned char* drow, unsigned char const* r0, unsigned char const* r1,
                            RowWeight const& b, int const* xs, ColumnWeight const* weights, int i0,
                            int i1, int lo, int hi) const {
        sums_.resize(static_cast<std::size_t>(hi - lo + 1));
        ColumnSum* sums = sums_.data();
        for (int c = lo; c <= hi; ++c) sums[c - lo].v = column_sum(single(r0, c), single(r1, c), b);
        unsigned char* out = drow + 4 * static_cast<std::ptrdiff_t>(dst_.left);
        int i = i0;
        for (; i + 1 < i1; i += 2) {
            ColumnSum const* s0 = sums + (xs[i] - lo);
            ColumnSum const* s1 = sums + (xs[i + 1] - lo);
            const std::uint64_t q =
                row_blend2(s0[0].v, s0[1].v, weights[i], s1[0].v, s1[1].v, weights[i + 1]);
            std::memcpy(out + 4 * static_cast<std::ptrdiff_t>(i), &q, 8);
        }
        if (i < i1) {
            const std::uint32_t q = blend(pair(r0, xs[i]), pair(r1, xs[i]), weights[i], b);
            std::memcpy(out + 4 * static_cast<std::ptrdiff_t>(i), &q, 4);
        }
    }
#endif

    // ---- writing -------------------------------------------------------------------------

    void covered(unsigned char* drow, unsigned char* mrow, int i, Value<S, k> v) const {
        if constexpr (k == 0)
            Access<D>::put(drow, dst_.left + i, v);
        else
            Access<D>::put(drow, dst_.left + i, from_rgb<D>(v, table_));
        if constexpr (m != 0) Access<bool>::put(mrow, mask_.left + i, true);
    }

    // A blended colour, packed.
    void covered_quad(unsigned char* drow, unsigned char* mrow, int i, std::uint32_t q) const {
        if constexpr (std::is_same_v<D, qvRgbaQuad>) {
            std::memcpy(drow + 4 * static_cast<std::ptrdiff_t>(dst_.left + i), &q, 4);
            if constexpr (m != 0) Access<bool>::put(mrow, mask_.left + i, true);
        } else {
            covered(drow, mrow, i, unpacked(q));
        }
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

    // The colour of pixel x of a row, packed.
    std::uint32_t single(unsigned char const* row, int x) const {
        if constexpr (std::is_same_v<S, qvRgbaQuad>) {
            std::uint32_t one;
            std::memcpy(&one, row + 4 * static_cast<std::ptrdiff_t>(x), 4);
            return one;
        } else {
            return colors_.packed(Access<S>::get(row, x));
        }
    }

    // The colours of pixels x and x + 1 of a row, packed, the left one low.
    std::uint64_t pair(unsigned char const* row, int x) const {
        if constexpr (std::is_same_v<S, qvRgbaQuad>) {
            std::uint64_t both;
            std::memcpy(&both, row + 4 * static_cast<std::ptrdiff_t>(x), 8);
            return both;
        } else {
            const std::uint64_t left = colors_.packed(Access<S>::get(row, x));
            return left | std::uint64_t{colors_.packed(Access<S>::get(row, x + 1))} << 32;
        }
    }

    void nearest_inside(unsigned char* drow, unsigned char* mrow, int i, int px, int py) const {
        const S v = pixel(px, py);
        if (!src_.opaque(v))
            uncovered(drow, mrow, i);
        else if constexpr (k == 0)
            covered(drow, mrow, i, v);
        else
            covered(drow, mrow, i, color(v));
    }

    // Edge columns: every test made.
    void edge(unsigned char* drow, unsigned char* mrow, double rx, double ry, int i) const {
        const float x = x_at(rx, i), y = y_at(ry, i);
        if (!in_range(x) || !in_range(y)) {
            // No pixel is sampled; bilinear: no corner counts, total 0.
            if (k == 2 && !src_.has_transparent) return covered(drow, mrow, i, Value<S, k>{});
            return uncovered(drow, mrow, i);
        }
        if constexpr (k == 2) {
            const int x0 = floor_int(x), y0 = floor_int(y);
            bilinear<false>(drow, mrow, i, x0, y0, weight_of(x, x0), weight_of(y, y0));
        } else {
            const int px = qvTruncToInt(double(x) + 0.5), py = qvTruncToInt(double(y) + 0.5);
            if (!src_.inside(px, py)) return uncovered(drow, mrow, i);
            nearest_inside(drow, mrow, i, px, py);
        }
    }

    // One bilinear position with every corner weighed on its own: at the
    // edges (Inside false) and where transparency must be tested.
    template <bool Inside>
    void bilinear(unsigned char* drow, unsigned char* mrow, int i, int x0, int y0, unsigned a,
                  unsigned b) const {
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
        if (total == 65536) return covered(drow, mrow, i, Rgb{r >> 16, g >> 16, bl >> 16});
        covered(drow, mrow, i, Rgb{r / total, g / total, bl / total});
    }

    View<S> src_;
    View<D> dst_;
    View<bool> mask_;
    std::conditional_t<std::is_same_v<S, qvRgbaQuad> || k == 0, NoColors, SourceColors> colors_;
    qvRgbToIndex const* table_;
    int width_, height_;
    bool singular_ = false;
    qvCrdOf<double> p0_, dx_, dy_;
#if defined(__SSE2__) && defined(__x86_64__)
    struct ColumnSum {
        __m128 v;
    };
    mutable std::vector<ColumnSum> sums_;   // scratch of the enlarging rows, kept for the call
#endif
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
