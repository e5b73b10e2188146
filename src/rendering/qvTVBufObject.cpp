// The transformed buffer (see qvTVBufObject.hpp).

#include <orvane/rendering/qvTVBufObject.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvTFlavorPort.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The delta as a whole number of pixels, when it is one that fits an int.
bool tvbuf_whole_pixels(double v, long& out) noexcept {
    if (!(std::fabs(v) <= 2147483647.0) || std::floor(v) != v)
        return false;
    out = static_cast<long>(v);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and state

qvTVBufObject::qvTVBufObject(qvVBufObject& real) { vbuf(real); }

qvTVBufObject::~qvTVBufObject() {
    qvRestoreOrAbort([this] { real_->driver().added_width(saved_added_width_); });
    draw_ = qvISafePtr<qvDrawObject>();
    real_ = qvISafePtr<qvVBufObject>();
}

void qvTVBufObject::vbuf(qvVBufObject& real) {
    if (real_.get() != nullptr)
        real_->driver().added_width(saved_added_width_);
    real_ = qvISafePtr<qvVBufObject>(&real);
    qvDriverObject& driver = real_->driver();
    saved_added_width_ = driver.added_width();
    // Widths drawn through the mapping are already device widths.
    driver.added_width(0);
    listener_ = qvQueryInterface<qvVBufInvalidate>(real_.get());
    recalculate_area();
}

void qvTVBufObject::transformation(qvTransformation const& t) {
    transformation_ = t;
    recalculate_area();
}

void qvTVBufObject::bbox(qvMathRectOf<double> const& box) {
    box_ = box;
    recalculate_area();
}

// An area without limits (an unbounded window's redraw) keeps its infinite
// edges under a transformation without cross terms: through the general
// map, 0 times an infinity would make every corner NaN and the area would
// clip everything away. Finite areas take the general map, bit for bit.
qvMathRectOf<double> qvTVBufObject::transform_area(qvMathRectOf<double> const& r, qvTransformation const& t) {
    const bool per_axis = t.m1() == 0 && t.m2() == 0 && !qvIsFinite(r);
    const auto map = [&t, per_axis](double x, double y) {
        return per_axis ? t.apply_scale_offset(qvCrdOf<double>(x, y)) : t * qvCrdOf<double>(x, y);
    };
    const qvCrdOf<double> c[4] = {map(r.x1, r.y2), map(r.x1, r.y1), map(r.x2, r.y1), map(r.x2, r.y2)};
    qvRectOf<double> out(c[0].x, c[0].y, c[0].x, c[0].y);
    for (int i = 1; i < 4; ++i) {
        out.x1 = std::min(out.x1, c[i].x);
        out.y1 = std::min(out.y1, c[i].y);
        out.x2 = std::max(out.x2, c[i].x);
        out.y2 = std::max(out.y2, c[i].y);
    }
    // Ordered as a math rectangle is; NaN corners stay as they are.
    return qvMathRectOf<double>(out.x1, out.y1, out.x2, out.y2);
}

qvMathRectOf<double> qvTVBufObject::to_virtual_area(qvMathRectOf<double> const& r) const {
    return transform_area(r, qvInvert(transformation_));
}

qvMathRectOf<double> qvTVBufObject::to_actual_area(qvMathRectOf<double> const& r) const {
    return transform_area(r, transformation_);
}

void qvTVBufObject::recalculate_area() {
    const double w = static_cast<double>(real_->width());
    const double h = static_cast<double>(real_->height());
    area_ = to_virtual_area(qvMathRectOf<double>(0, 0, w, h));
}

void* qvTVBufObject::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvVBufInvalidate, qvTVBufObject>(this, info);
}

// ---------------------------------------------------------------------------
// The buffer

int qvTVBufObject::type() const { return real_->type(); }

long qvTVBufObject::width() const { return qvTruncToInt(area_.x2); }

long qvTVBufObject::height() const { return qvTruncToInt(area_.y2); }

unsigned qvTVBufObject::info() const { return real_->info(); }

qvDriverObject& qvTVBufObject::driver() const { return real_->driver(); }

double qvTVBufObject::h_dpi() const { return real_->h_dpi(); }

double qvTVBufObject::v_dpi() const { return real_->v_dpi(); }

long qvTVBufObject::zero_point_x() const { return real_->zero_point_x(); }

long qvTVBufObject::zero_point_y() const { return real_->zero_point_y(); }

unsigned qvTVBufObject::axes() const { return real_->axes(); }

qvISafePtr<qvDrawObject> qvTVBufObject::new_draw() {
    // The real draw object is held counted by the port: a buffer that keeps
    // its draw objects weakly (the dump buffer) would free it at once.
    const qvISafePtr<qvDrawObject> real_draw = real_->new_draw();
    qvFlavorPort* const fp = qvQueryInterface<qvFlavorPort>(real_draw.get());
    QV_ASSERT_TEXT(fp != nullptr, "_fp != 0");
    if (port_ != nullptr) {
        if (&port_->port() != fp)
            port_->retarget(*fp, real_draw);
        if (!(port_->mapping() == transformation_))
            port_->mapping(transformation_);
    } else {
        auto port = std::make_unique<qvTFlavorPort>(*fp, transformation_, this, real_draw);
        draw_ = qvISafePtr<qvDrawObject>(static_cast<qvDrawObject*>(port.get()));
        port_ = port.release();
    }
    fp_ = fp;
    return draw_;
}

bool qvTVBufObject::scroll(long dx, long dy, qvMathRectOf<double> const* area) {
    qvTransformation const& t = transformation_;
    long real_dx = 0, real_dy = 0;
    if (t.m1() != 0 || t.m2() != 0 || !tvbuf_whole_pixels(t.m0() * static_cast<double>(dx), real_dx) ||
        !tvbuf_whole_pixels(t.m3() * static_cast<double>(dy), real_dy))
        return false;
    if (area == nullptr)
        return real_->scroll(real_dx, real_dy, nullptr);
    const qvMathRectOf<double> mapped = to_actual_area(*area);
    return real_->scroll(real_dx, real_dy, &mapped);
}

// ---------------------------------------------------------------------------
// Invalidation

void qvTVBufObject::open_callback(bool open) {
    open_ = open;
    if (listener_ != nullptr)
        listener_->open_callback(open);
}

bool qvTVBufObject::callback_ready() { return open_ && support_invalidation(); }

bool qvTVBufObject::invalidate(qvBaseRegion const& region) {
    if (!callback_ready())
        return false;
    const std::unique_ptr<qvBaseRegion> mapped(region.create());
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
        mapped->add(to_actual_area(*it));
    return listener_->invalidate(*mapped);
}

bool qvTVBufObject::invalidate(qvMathRectOf<double> const& rect) {
    if (!callback_ready())
        return false;
    return listener_->invalidate(to_actual_area(rect));
}

bool qvTVBufObject::invalidate(qvCrdOf<double> const& point) {
    if (!callback_ready())
        return false;
    return listener_->invalidate(to_actual_area(qvMathRectOf<double>(point.x, point.y, point.x + 1, point.y + 1)));
}

bool qvTVBufObject::invalidate() {
    if (!callback_ready())
        return false;
    return listener_->invalidate();
}
