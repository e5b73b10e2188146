// The render buffer of one redraw (see qvViewVBuf.hpp).

#include <orvane/views/qvViewVBuf.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

namespace {

qvMathRectOf<double> vbuf_moved(qvMathRectOf<double> const& r, qvCrdOf<double> const& by) noexcept {
    return qvMathRectOf<double>(qvCrdOf<double>{r.x1 + by.x, r.y1 + by.y},
                                qvCrdOf<double>{r.x2 + by.x, r.y2 + by.y});
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

qvViewVBuf::qvViewVBuf(qvISafePtr<qvVBufObject> const& buffer, qvBaseRegion const& clipping,
                       qvCrdOf<double> const& origin)
    : buffer_(buffer), clipping_(clipping), origin_(origin) {
    QV_ASSERT_TEXT(buffer_.get() != nullptr, "pvbuf");
    draw();
}

// The stack, the clipping and then the handles go in reverse declaration
// order: the draw object is released before the buffer that made it.
qvViewVBuf::~qvViewVBuf() = default;

// ---------------------------------------------------------------------------
// Saved state and clipping

void qvViewVBuf::push() { stack_.push_back(Saved{clipping_, origin_}); }

void qvViewVBuf::pop() {
    QV_ASSERT_TEXT(!stack_.empty(), "!stack.empty()");
    clipping_ = std::move(stack_.back().clipping);
    origin_ = stack_.back().origin;
    stack_.pop_back();
}

void qvViewVBuf::set_clipping(qvBaseRegion const& region) { clipping_ = region; }
void qvViewVBuf::set_clipping(qvMathRectOf<double> const& rect) { clipping_ = rect; }
void qvViewVBuf::add_clipping(qvBaseRegion const& region) { clipping_ += region; }
void qvViewVBuf::add_clipping(qvMathRectOf<double> const& rect) { clipping_ += rect; }
void qvViewVBuf::mul_clipping(qvBaseRegion const& region) { clipping_ *= region; }
void qvViewVBuf::mul_clipping(qvMathRectOf<double> const& rect) { clipping_ *= rect; }

void qvViewVBuf::enforce_settings() {
    qvDrawObject* const draw = draw_.get();
    if (draw == nullptr)
        return;
    if (!(clipping_ == draw->clip()))
        draw->clip(clipping_);
    const qvCrdOf<double> held = draw->brush_origin();
    // Written so that a NaN on either side counts as a change.
    if (!(held.x == origin_.x) || !(held.y == origin_.y))
        draw->brush_origin(origin_);
}

// ---------------------------------------------------------------------------
// The draw object

qvISafePtr<qvDrawObject> qvViewVBuf::draw() {
    if (!draw_) {
        draw_ = buffer_->new_draw();
        port_ = qvQueryInterface<qvFlavorPort>(draw_.get());
    }
    return draw_;
}

qvFlavorPort* qvViewVBuf::port() {
    draw();
    return draw_ ? port_ : nullptr;
}

void qvViewVBuf::destroy_draw() {
    port_ = nullptr;
    draw_ = qvISafePtr<qvDrawObject>();
}

// ---------------------------------------------------------------------------
// Copying pixels in

bool qvViewVBuf::copy(qvISafePtr<qvVBufObject> const& source, qvBaseRegion const& region,
                      qvCrdOf<double> const& offset, bool split) {
    if (region.empty())
        return true;
    const qvISafePtr<qvDrawObject> target = draw();
    if (!target || !source)
        return false;
    if (!split) {
        const qvMathRectOf<double> box = region.bbox();
        return target->copy(*source, box, vbuf_moved(box, offset));
    }
    bool all = true;
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
        all = target->copy(*source, *it, vbuf_moved(*it, offset)) && all;
    return all;
}
