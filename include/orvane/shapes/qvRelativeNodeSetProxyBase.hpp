#pragma once
// qvRelativeNodeSetProxyBase: the quantisation of the compact form. A
// compact point is a word of two uint16 fractions of the record's box, the
// frame: 0 on the lower edge, 65535 on the upper one.
//
// The arithmetic, exactly (stored words and so files depend on it; built
// without floating-point contraction):
//   to a word:   f = 65535.0 * (p - lower) / extent, multiplied before it
//                is divided; 0 when |extent| <= DBL_EPSILON or is NaN; the
//                fraction is the low 16 bits of f truncated toward zero
//                (qvTruncToInt: NaN and values beyond int32 give INT_MIN,
//                whose low 16 bits are 0);
//   to a point:  x = x1 + (x2 - x1) * wx / 65535.0,
//                y = y1 + wy * (y2 - y1) / 65535.0;
//   frame rule:  a frame narrower than 1.0 gets x2 + 100.0 (higher: y),
//                the axis then put in order; exactly 1.0 is kept.
// Points are never quantised outside their frame: every caller first takes
// them into it, so a word stands for a point inside the box.

#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvGenericNodeSetProxyBase.hpp>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <utility>

class qvRelativeNodeSetProxyBase : public qvGenericNodeSetProxyBase {
public:
    // The word of p in box.
    static qvCrdOf<std::uint16_t> ext_to_int(qvCrdOf<double> const& p, qvMathRectOf<double> const& box) noexcept {
        const double w = box.x2 - box.x1;
        const double h = box.y2 - box.y1;
        const double dx = p.x - box.x1;
        const double dy = p.y - box.y1;
        const double fy = std::fabs(h) > DBL_EPSILON ? 65535.0 * dy / h : 0.0;
        const double fx = std::fabs(w) > DBL_EPSILON ? 65535.0 * dx / w : 0.0;
        return {fraction(fx), fraction(fy)};
    }

    // The point of word w in box.
    static qvCrdOf<double> int_to_ext(qvCrdOf<std::uint16_t> w, qvMathRectOf<double> const& box) noexcept {
        return {box.x1 + (box.x2 - box.x1) * w.x / 65535.0, box.y1 + w.y * (box.y2 - box.y1) / 65535.0};
    }

    // The frame rule, applied to every new frame before it is used.
    static void apply_minimum_extent(qvMathRectOf<double>& box) noexcept {
        if (box.x2 - box.x1 < 1.0) {
            box.x2 += 100.0;
            if (box.x2 < box.x1)
                std::swap(box.x1, box.x2);
        }
        if (box.y2 - box.y1 < 1.0) {
            box.y2 += 100.0;
            if (box.y2 < box.y1)
                std::swap(box.y1, box.y2);
        }
    }

protected:
    qvRelativeNodeSetProxyBase() noexcept = default;

private:
    static std::uint16_t fraction(double f) noexcept {
        return static_cast<std::uint16_t>(static_cast<std::uint32_t>(qvTruncToInt(f)) & 0xFFFFu);
    }
};
