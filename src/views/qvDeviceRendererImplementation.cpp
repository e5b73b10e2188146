// The device renderer: the window, the optional memory buffer, and the four
// roads of a redraw.
//
// A redraw first settles what must be brought up to date: the host's area
// plus what the view manager wants redrawn, cut to the window and to the
// renderer's clipping. The part the memory buffer already holds (the copy
// area) is copied; the rest (the render area) is rendered through the
// manager. Which buffer receives the render, and which way pixels are then
// copied, is the procedure the flags select; the table below is constant
// data, so nothing has to be registered at start-up.

#include "views/qvDeviceRendererImplementation.hpp"
#include "views/qvViewWindowPlace.hpp"
#include "views/qvViewWindowScrollNotice.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvScrollInfo.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvVBufOffset.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewManager.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <climits>
#include <new>

namespace {

[[noreturn]] void device_renderer_raise_no_memory() {
    qvRaise(qvErrorFrom<qvDeviceRendererImplementation>("Memory buffer allocation failed"));
}

qvBaseRenderer device_renderer_make(qvViewManager const& view, bool owned,
                                    qvISafePtr<qvDriverObject> const& driver,
                                    qvISafePtr<qvVBufObject> const& window) {
    auto* const made = new (std::nothrow) qvDeviceRendererImplementation;
    const qvBaseRenderer held(static_cast<qvBaseRendererObject*>(static_cast<qvDeviceRendererObject*>(made)));
    if (made == nullptr)
        return held;
    if (owned)
        made->driver(driver);
    else
        made->vbuf(window);
    if (view)
        made->view_manager(view);
    return held;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and identity

qvBaseRenderer qvDeviceRendererObject::create(qvISafePtr<qvDriverObject> const& driver) {
    return device_renderer_make(qvViewManager(), true, driver, {});
}

qvBaseRenderer qvDeviceRendererObject::create(qvISafePtr<qvDriverObject> const& driver, qvViewManager const& view) {
    return device_renderer_make(view, true, driver, {});
}

qvBaseRenderer qvDeviceRendererObject::create(qvISafePtr<qvVBufObject> const& window) {
    return device_renderer_make(qvViewManager(), false, {}, window);
}

qvBaseRenderer qvDeviceRendererObject::create(qvISafePtr<qvVBufObject> const& window, qvViewManager const& view) {
    return device_renderer_make(view, false, {}, window);
}

qvDeviceRenderer::qvDeviceRenderer(qvISafePtr<qvDriverObject> const& driver)
    : qvViewHandle(qvDeviceRendererObject::create(driver)) {}

qvDeviceRenderer::qvDeviceRenderer(qvISafePtr<qvDriverObject> const& driver, qvViewManager const& view)
    : qvViewHandle(qvDeviceRendererObject::create(driver, view)) {}

qvDeviceRenderer::qvDeviceRenderer(qvISafePtr<qvVBufObject> const& window)
    : qvViewHandle(qvDeviceRendererObject::create(window)) {}

qvDeviceRenderer::qvDeviceRenderer(qvISafePtr<qvVBufObject> const& window, qvViewManager const& view)
    : qvViewHandle(qvDeviceRendererObject::create(window, view)) {}

qvDeviceRendererImplementation::~qvDeviceRendererImplementation() = default;

void* qvDeviceRendererImplementation::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvBaseRendererObject, qvRendererObject, qvDeviceRendererObject>(this, info);
}

// ---------------------------------------------------------------------------
// Driver, buffers and flags

void qvDeviceRendererImplementation::driver(qvISafePtr<qvDriverObject> const& driver) {
    window_owned_ = true;
    driver_ = driver;
    update();
}

void qvDeviceRendererImplementation::vbuf(qvISafePtr<qvVBufObject> const& window) {
    window_owned_ = false;
    window_ = window;
    driver_ = window ? qvISafePtr<qvDriverObject>(&window->driver()) : qvISafePtr<qvDriverObject>();
    update();
}

long qvDeviceRendererImplementation::width() const { return window_ ? window_->width() : 0; }
long qvDeviceRendererImplementation::height() const { return window_ ? window_->height() : 0; }

// The memory type is searched from -1 every time: a driver without a memory
// type must not inherit the type an earlier driver offered.
void qvDeviceRendererImplementation::update() {
    channel_ = nullptr;
    if (window_owned_)
        window_ = qvISafePtr<qvVBufObject>();
    release_memory();
    if (!driver_)
        return;
    if (window_owned_) {
        window_ = driver_->new_master_vbuf();
        QV_ASSERT_TEXT(window_, "window_vbuf");
    }
    memory_type_ = -1;
    const int types = driver_->available();
    for (int type = 0; type < types; ++type)
        if ((driver_->info(type) & qvVBufInfoNoMemoryBuffer) == 0)
            memory_type_ = type;
    if (memory_type_ == -1) {
        double_buffered(false);
        backing_store(false);
    }
    channel_ = qvQueryInterface<qvVBufInvalidate>(window_.get());
    added_width_ = static_cast<double>(driver_->added_width());
    const qvViewManager manager(manager_);
    if (manager)
        manager->reinitialize();
}

void qvDeviceRendererImplementation::set_flag(unsigned bit, bool on) {
    flags_ = on ? (flags_ | bit) : (flags_ & ~bit);
    if ((flags_ & (backing_store_flag | double_buffered_flag)) == 0)
        release_memory();
}

void qvDeviceRendererImplementation::release_memory() {
    memory_ = qvISafePtr<qvVBufObject>();
    valid_.erase();
}

qvCrdOf<long> qvDeviceRendererImplementation::window_offset() const { return qvViewBufferOffset(window_.get()); }

namespace {

// Puts a memory buffer where the window stands. False when it cannot stand
// there; `moved` tells that its pixels now mean other device positions.
bool device_renderer_place(qvVBufObject& memory, qvCrdOf<long> at, bool& moved) {
    moved = false;
    auto* const offset = qvQueryInterface<qvVBufOffset>(&memory);
    if (offset == nullptr)
        return at.x == 0 && at.y == 0;
    if (offset->x_offset() != at.x || offset->y_offset() != at.y) {
        offset->x_offset(at.x);
        offset->y_offset(at.y);
        moved = true;
    }
    return true;
}

}  // namespace

void qvDeviceRendererImplementation::resize_memory(long w, long h, qvCrdOf<long> at) {
    if (w <= 0 && h <= 0) {
        release_memory();
        return;
    }
    bool moved = false;
    if (memory_ && memory_->width() >= w && memory_->height() >= h) {
        if (!device_renderer_place(*memory_, at, moved)) {
            release_memory();
            return;
        }
        if (moved)
            valid_.erase();
        valid_ *= qvViewPlacedRect(at, w, h);
        return;
    }
    release_memory();
    if (memory_type_ < 0 || !driver_)
        return;
    // A memory buffer that cannot take the window's offset would show its
    // pixels at the wrong place: draw unbuffered instead.
    if ((at.x != 0 || at.y != 0) && (driver_->info(memory_type_) & qvVBufInfoPlacementOffset) == 0)
        return;
    qvISafePtr<qvVBufObject> made = driver_->new_vbuf(memory_type_, w, h, window_);
    if (!made || made->width() <= 0 || made->height() <= 0)
        device_renderer_raise_no_memory();
    if (!device_renderer_place(*made, at, moved))
        return;
    memory_ = made;
    valid_.erase();
}

// ---------------------------------------------------------------------------
// The redraw

const qvDeviceRendererImplementation::Procedure qvDeviceRendererImplementation::procedures[4] = {
    &qvDeviceRendererImplementation::straight,
    &qvDeviceRendererImplementation::backed,
    &qvDeviceRendererImplementation::double_buffer,
    &qvDeviceRendererImplementation::double_buffer,
};

bool qvDeviceRendererImplementation::redraw(qvBaseRegion const& area, bool prepare_flag) {
    const qvViewManager manager(manager_);
    if (!driver_ || !manager)
        return false;
    if (!window_) {
        update();
        if (!window_)
            return false;
    }
    prepare_flag_ = prepare_flag;
    const qvCrdOf<long> at = window_offset();
    const long w = width(), h = height();
    if ((flags_ & (backing_store_flag | double_buffered_flag)) != 0) {
        try {
            resize_memory(w, h, at);
        } catch (...) {
            open_callback(true);
            throw;
        }
    }
    const unsigned index = memory_ ? (flags_ & 3u) : 0u;

    // A window negative on either axis has an empty rectangle (right < left
    // or bottom < top) and is unbounded: it adds and clips nothing. A
    // selector's buffer is one, and so is a transformed buffer whose real
    // window lies at negative coordinates on one axis or both (its sizes are
    // its area's right and bottom edges). The sizes decide it: the placed
    // rectangle has its corners in order, and cutting by it would cut the
    // redraw away. What such a redraw may reach without limit, the
    // background bounds by the real window.
    const bool unbounded = w < 0 || h < 0;
    const qvMathRectOf<double> window_rect = qvViewPlacedRect(at, w, h);
    redraw_ = area;
    qvGridRegion wanted;
    if (manager->redraw_all(true)) {
        if (!unbounded)
            wanted = window_rect;
    } else {
        wanted = manager->redraw_area(true);
        if (!unbounded)
            wanted *= window_rect;
    }
    redraw_ += wanted;
    if (!unbounded)
        redraw_ *= window_rect;
    if (!clipping_.empty())
        redraw_ *= clipping_;
    if (redraw_.empty()) {
        // Nothing to draw, but the cycle ends: collectors re-arm, so later
        // edits notify again.
        manager->cleanup();
        open_callback(true);
        return false;
    }

    valid_ -= wanted;
    copy_ = redraw_;
    copy_ *= valid_;
    render_ = redraw_;
    render_ -= copy_;
    undone_ = redraw_;
    bool result;
    try {
        result = (this->*procedures[index])();
    } catch (...) {
        open_callback(true);
        if (!undone_.empty())
            invalidate(undone_);
        throw;
    }
    open_callback(true);
    return result;
}

// A buffer without a draw object renders nothing: the step fails, so no
// area counts as repaired.
bool qvDeviceRendererImplementation::render_into(qvViewVBuf& target) {
    qvViewManagerObject* const manager = view_manager();
    target.set_clipping(render_);
    target.origin(origin_);
    qvGridRegion prepared(render_);
    bool finished = false;
    try {
        manager->prepare(prepared, prepare_flag_);
        if (target.draw())
            finished = manager->render(target, qvCrdOf<double>{0.0, 0.0});
    } catch (...) {
        manager->cleanup();
        throw;
    }
    manager->cleanup();
    return finished;
}

bool qvDeviceRendererImplementation::copy_into(qvViewVBuf& target, qvISafePtr<qvVBufObject> const& source,
                                               qvBaseRegion const& region) {
    target.set_clipping(region);
    target.enforce_settings();
    return target.copy(source, region, qvCrdOf<double>{0.0, 0.0}, by_rectangles_);
}

bool qvDeviceRendererImplementation::straight() {
    qvViewVBuf window(window_, render_, origin_);
    return render_into(window);
}

// The window is drawn first, so the host sees the picture as early as it
// can; the memory copy follows. The render area becomes valid only when
// both the window render and the memory step succeeded: a copy back from a
// half-drawn window would otherwise keep unfinished pixels as valid.
bool qvDeviceRendererImplementation::backed() {
    bool all = true;
    qvViewVBuf window(window_, copy_.empty() ? render_ : copy_, origin_);
    if (!copy_.empty())
        all = copy_into(window, memory_, copy_);
    undone_ = render_;
    if (render_.empty())
        return all;
    const bool drawn = render_into(window);
    undone_.erase();
    qvViewVBuf memory(memory_, render_, origin_);
    const bool kept = render_backing_store() ? render_into(memory) : copy_into(memory, window_, render_);
    if (drawn && kept)
        valid_ += render_;
    return all && drawn && kept;
}

bool qvDeviceRendererImplementation::double_buffer() {
    bool rendered = true;
    if (!render_.empty()) {
        qvViewVBuf memory(memory_, render_, origin_);
        rendered = render_into(memory);
        if (rendered)
            valid_ += render_;
    }
    qvViewVBuf window(window_, redraw_, origin_);
    if (!copy_into(window, memory_, redraw_))
        return false;
    undone_.erase();
    return rendered;
}

// ---------------------------------------------------------------------------
// Transformation

void qvDeviceRendererImplementation::invalidate_all_pixels() {
    valid_.erase();
    invalidate();
}

// Whole-pixel translations scroll the pixels already drawn; everything else
// (scales, and translations that do not fit a pixel count) redraws all.
void qvDeviceRendererImplementation::apply_left(qvRestrictedTransformation const& t) {
    require_finite(t);
    if (t == qvRestrictedTransformation::identity())
        return;
    const qvViewManager manager(manager_);
    const int dx = qvTruncToInt(t.m4()), dy = qvTruncToInt(t.m5());
    if (t.m0() != 1.0 || t.m3() != 1.0 || dx == INT_MIN || dy == INT_MIN) {
        qvViewTransformationImplementation::apply_left(t);
        invalidate_all_pixels();
        if (manager)
            manager->apply_left(t);
        return;
    }
    if (dx == 0 && dy == 0)
        return;
    qvViewTransformationImplementation::apply_left(t);

    if (!manager) {
        origin_ = {0.0, 0.0};
    } else {
        // The window and memory pixels are moved below: layers that shift
        // pixels themselves must not move them again.
        {
            const qvViewWindowScrollNotice notice(this);
            manager->scroll(static_cast<double>(dx), static_cast<double>(dy));
        }
        if (manager->redraw_all(true)) {
            origin_ = {0.0, 0.0};
            invalidate();
        } else {
            origin_ = {origin_.x + static_cast<double>(dx), origin_.y + static_cast<double>(dy)};
        }
    }
    if (window_ && !window_->scroll(dx, dy, nullptr))
        invalidate();

    if (memory_ && !valid_.empty()) {
        const qvCrdOf<long> at = window_offset();
        const qvMathRectOf<double> bounds = qvViewPlacedRect(at, memory_->width(), memory_->height());
        valid_.translate(qvTranslation(static_cast<double>(dx), static_cast<double>(dy)));
        const qvScrollInfo moved(qvWinRectOf<double>(bounds.x1, bounds.y1, bounds.x2, bounds.y2),
                                 qvCrdOf<double>{static_cast<double>(dx), static_cast<double>(dy)});
        qvMathRectOf<double> exposed[2];
        const int strips = moved.invalid(exposed);
        for (int i = 0; i < strips; ++i)
            valid_ -= exposed[i];
        valid_ *= bounds;
        if (!memory_->scroll(dx, dy, nullptr))
            valid_.erase();
    }
}
