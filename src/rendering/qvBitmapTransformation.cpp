// qvBitmapTransformation: frame arithmetic, the request checks and the
// dispatch to a worker; see the header for the conventions and the errors.
//
// A request runs in three steps. (1) Checks, all before any pixel is
// written: the headers, then the nine checks in their fixed order; frame
// edges are combined in 64 bits, so no frame can make a width overflow.
// (2) Classification: the mode, and the RGB-to-index table that indexed and
// monochrome destinations convert colours through (the caller's, or one
// built for the call from the destination's colours, or from the source's
// when the destination has none). (3) One worker from the tables: the 1:1
// table for an exact identity, else the affine table.

#include <orvane/rendering/qvBitmapTransformation.hpp>

#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>

#include "attributes/qvBitmapHeaderCheck.hpp"
#include "rendering/qvBitmapTransformationErrors.hpp"
#include "rendering/qvBitmapTransformationTables.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

// ---- errors -------------------------------------------------------------------------------

void qvRaiseBitmapTransformationError(char const* message) {
    qvRaise(qvErrorFrom<qvBitmapTransformation>(message));
}

int qvBitmapFrameEdge(double v) {
    // NaN fails both comparisons.
    if (!(v >= -2147483648.0 && v <= 2147483647.0))
        qvRaiseBitmapTransformationError("Bitmap frame out of range");
    return qvTruncToInt(v);
}

qvBitmapTransformation qvBitmapWorkerForm(qvTransformation const& w, bool smooth) noexcept {
    qvBitmapTransformation form(w, smooth);
    form.a_[4] = w.m4();
    form.a_[5] = w.m5();
    return form;
}

namespace {

using std::int64_t;

[[noreturn]] void raise_transform(char const* message) { qvRaiseBitmapTransformationError(message); }

int frame_int(int64_t v) {
    if (v < INT32_MIN || v > INT32_MAX) raise_transform("Bitmap frame out of range");
    return static_cast<int>(v);
}

int64_t width_of(qvBitmapFrame const& f) noexcept { return int64_t{f.right()} - f.left(); }
int64_t height_of(qvBitmapFrame const& f) noexcept { return int64_t{f.bottom()} - f.top(); }

bool same_size(qvBitmapFrame const& a, qvBitmapFrame const& b) noexcept {
    return width_of(a) == width_of(b) && height_of(a) == height_of(b);
}

// A reversed frame (possible through its public fields) is outside too.
bool outside(qvBitmapFrame const& f, qvBitmapReference const& bitmap) noexcept {
    return f.left() < 0 || f.right() > bitmap.width() || f.top() < 0 ||
           f.bottom() > bitmap.height() || f.left() > f.right() || f.top() > f.bottom();
}

bool standard_type(int type) noexcept { return type >= qvMonochromeBitmap && type <= qvRgbaBitmap; }

void check_header(qvBitmapReference const& bitmap) {
    if (standard_type(bitmap.type()) && !qvBitmapViewIsValid(bitmap)) raise_transform("Invalid bitmap header");
}

}  // namespace

// ---- frames -------------------------------------------------------------------------------

// The corners are mapped with the linear part transposed, as frames are.
qvBitmapFrame qvBitmapTransformation::query_frame(qvBitmapFrame const& f) const {
    auto X = [this](double x, double y) { return a_[0] * x + a_[2] * y + a_[4]; };
    auto Y = [this](double x, double y) { return a_[1] * x + a_[3] * y + a_[5]; };
    const double L = f.left(), T = f.top(), R = f.right(), B = f.bottom();
    const double xs[4] = {X(L, B), X(L, T), X(R, B), X(R, T)};
    const double ys[4] = {Y(L, B), Y(L, T), Y(R, B), Y(R, T)};
    const double min_x = std::min({xs[0], xs[1], xs[2], xs[3]});
    const double max_x = std::max({xs[0], xs[1], xs[2], xs[3]});
    const double min_y = std::min({ys[0], ys[1], ys[2], ys[3]});
    const double max_y = std::max({ys[0], ys[1], ys[2], ys[3]});
    const int64_t shift = a_[3] > 0 ? 0 : 1;
    auto edge = [](double v) -> int64_t { return qvBitmapFrameEdge(v); };
    // Every corner first: a NaN would slip through min and max.
    for (int c = 0; c < 4; ++c) {
        edge(std::floor(xs[c])), edge(std::ceil(xs[c]));
        edge(std::floor(ys[c])), edge(std::ceil(ys[c]));
    }
    const int64_t x_lb_down = edge(std::floor(xs[0])), x_lb_up = edge(std::ceil(xs[0]));
    const int64_t y_lb_down = edge(std::floor(ys[0])), y_lb_up = edge(std::ceil(ys[0]));
    return qvBitmapFrame(frame_int(edge(std::floor(min_x)) - x_lb_up),
                         frame_int(shift + edge(std::floor(min_y)) - y_lb_down),
                         frame_int(edge(std::ceil(max_x)) - x_lb_down),
                         frame_int(shift + edge(std::ceil(max_y)) - y_lb_up));
}

// ---- requests -----------------------------------------------------------------------------

void qvBitmapTransformation::transform(qvBitmapReference const& source,
                                       qvBitmapReference const& destination,
                                       qvBitmapReference const& mask,
                                       qvRgbToIndex const* table) const {
    const qvBitmapFrame source_frame(source);
    transform_extended(source, source_frame, query_frame(source_frame), destination,
                       qvBitmapFrame(destination), mask, qvBitmapFrame(mask), table);
}

void qvBitmapTransformation::transform_extended(
    qvBitmapReference const& source, qvBitmapFrame const& source_frame,
    qvBitmapFrame const& clipping, qvBitmapReference const& destination,
    qvBitmapFrame const& destination_frame, qvBitmapReference const& mask,
    qvBitmapFrame const& mask_frame, qvRgbToIndex const* table) const {
    const int with_mask = mask.size() != 0 ? 1 : 0;

    // ---- checks
    check_header(source);
    check_header(destination);
    if (with_mask) check_header(mask);
    if (outside(source_frame, source)) raise_transform("The frame of the source bitmap is outside limits");
    if (outside(destination_frame, destination))
        raise_transform("The frame of the destination bitmap is outside limits");
    if (!same_size(destination_frame, clipping))
        raise_transform("The frame of the destination bitmap does not match the clipping");
    if (with_mask) {
        if (outside(mask_frame, mask)) raise_transform("The frame of the mask bitmap is outside limits");
        if (mask.type() != qvMonochromeBitmap) raise_transform("Mask should be a monochrome bitmap");
        if (!same_size(mask_frame, clipping))
            raise_transform("The frame of the mask bitmap does not match the clipping");
    }

    // ---- classification
    const int source_type = source.type(), destination_type = destination.type();
    const bool destination_colors = destination.header()->color_count != 0;
    const bool source_colors = source.header()->color_count != 0;
    int mode = 1;
    if (smooth_)
        mode = 2;
    else if (source_type == destination_type &&
             (source_type == qvRgbaBitmap || (!destination_colors && !table)))
        mode = 0;

    // Freed on every exit, also when a worker raises.
    std::unique_ptr<qvRgbToIndex> local;
    qvRgbToIndex const* passed = table;
    if (!table && (destination_type == qvMonochromeBitmap || destination_type == qvIndexedBitmap)) {
        if (destination_colors)
            local = std::make_unique<qvRgbToIndex>(destination.colormap());
        else if (mode != 0 && source_colors)
            local = std::make_unique<qvRgbToIndex>(source.colormap());   // indices name source colours
        else if (mode != 0)
            raise_transform("Cannot deduce the destination colormap");
        passed = mode != 0 ? local.get() : nullptr;
    }
    if ((source_type == qvMonochromeBitmap || source_type == qvIndexedBitmap) && mode != 0 &&
        !source_colors)
        raise_transform("Indexed or monochrome source should have a colormap");

    // ---- 1:1
    if (a_[0] == 1 && a_[1] == 0 && a_[2] == 0 && a_[3] == 1 && a_[4] == 0 && a_[5] == 0) {
        const int64_t left = int64_t{clipping.left()} + source_frame.left();
        const int64_t right = int64_t{clipping.right()} + source_frame.left();
        const int64_t top = int64_t{clipping.top()} + source_frame.bottom();
        const int64_t bottom = int64_t{clipping.bottom()} + source_frame.bottom();
        if (std::min(left, right) < source_frame.left() || std::max(left, right) > source_frame.right() ||
            std::min(top, bottom) < source_frame.top() || std::max(top, bottom) > source_frame.bottom())
            raise_transform("In 1:1 transformation the clipping should be within the source frame");
        if (auto worker = qvFindBitmapTransformation(qvExactBitmapTransformations, source_type,
                                                     destination_type, with_mask, mode)) {
            // Within the source frame, so every edge fits an int.
            const qvBitmapFrame source_rect(static_cast<int>(left), static_cast<int>(top),
                                            static_cast<int>(right), static_cast<int>(bottom));
            worker->transform(*this, source, source_rect, clipping, destination, destination_frame,
                              mask, mask_frame, passed);
            return;
        }
    }

    // ---- affine: the source frame's top-left corner moved to the origin, then the
    // linear part transposed (the worker form).
    auto worker = qvFindBitmapTransformation(qvAffineBitmapTransformations, source_type,
                                             destination_type, with_mask, mode);
    if (!worker) return;
    const double L = source_frame.left(), T = source_frame.top();
    const double px = a_[0] * L + a_[2] * T + a_[4];
    const double py = a_[1] * L + a_[3] * T + a_[5];
    const qvTransformation w(a_[0], a_[2], a_[1], a_[3], a_[4] - px, a_[5] - py);
    worker->transform(qvBitmapWorkerForm(w, smooth_), source, source_frame, clipping, destination,
                      destination_frame, mask, mask_frame, passed);
}
