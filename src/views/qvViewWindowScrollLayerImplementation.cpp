// The window-scroll layer: the pending scroll, the window move at render
// and the invalid area carried along with the picture.
//
// On a pure whole-unit translation the layer's invalid area moves with the
// picture (the active layer carries it) and gains the strips the move uncovers (one scroll per rectangle
// of its local device clip, else of the window); everything else in the
// window is already right once the pixels have moved. When those strips
// cover the whole area there is nothing to save: the whole layer is
// repainted and no pixel moves.

#include "views/qvViewWindowScrollLayerImplementation.hpp"

#include "views/qvViewWindowPlace.hpp"
#include "views/qvViewWindowScrollNotice.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvRectIterator.hpp>
#include <orvane/geometry/qvScrollInfo.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvDeviceRendererObject.hpp>
#include <orvane/views/qvViewManagerObject.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <climits>
#include <cmath>
#include <new>

namespace {

qvViewBaseLayer window_scroll_handle(qvViewWindowScrollLayerImplementation* layer) {
    return qvViewBaseLayer(
        static_cast<qvViewBaseLayerObject*>(static_cast<qvViewWindowScrollLayerObject*>(layer)));
}

bool window_scroll_whole(double v) { return std::isfinite(v) && std::trunc(v) == v && qvTruncToInt(v) != INT_MIN; }

// Adds the strips a move by `by` uncovers in `area` to `out`.
void window_scroll_add_strips(qvBaseRegion& out, qvMathRectOf<double> const& area, qvCrdOf<double> by) {
    const qvScrollInfo moved(qvWinRectOf<double>(area.x1, area.y1, area.x2, area.y2), by);
    qvMathRectOf<double> exposed[2];
    const int strips = moved.invalid(exposed);
    for (int i = 0; i < strips; ++i)
        out += exposed[i];
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and identity

qvViewBaseLayer qvViewWindowScrollLayerObject::create() {
    return window_scroll_handle(new (std::nothrow) qvViewWindowScrollLayerImplementation(false));
}

qvViewBaseLayer qvViewWindowScrollLayerObject::create(bool on) {
    return window_scroll_handle(new (std::nothrow) qvViewWindowScrollLayerImplementation(on));
}

// The switch is set after the first reinitialize, without the parent
// condition: a new layer has no parent yet.
qvViewWindowScrollLayerImplementation::qvViewWindowScrollLayerImplementation(bool on) {
    reinitialize();
    copy_scroll_on_ = on;
}

qvViewWindowScrollLayerImplementation::~qvViewWindowScrollLayerImplementation() = default;

void* qvViewWindowScrollLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewActiveLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewWindowScrollLayerObject>(this, info);
}

qvViewBaseLayer qvViewWindowScrollLayerImplementation::clone() {
    auto* const twin = new (std::nothrow) qvViewWindowScrollLayerImplementation(false);
    QV_ASSERT_TEXT(twin != nullptr, "p");
    const qvViewBaseLayer held = window_scroll_handle(twin);
    twin->copy(*this);
    twin->copy_scroll(copy_scroll_on_);
    return held;
}

// ---------------------------------------------------------------------------
// The switch and the view

bool qvViewWindowScrollLayerImplementation::at_root() const {
    qvViewActiveLayerObject* const up = parent();
    return up != nullptr && up->parent() == nullptr;
}

void qvViewWindowScrollLayerImplementation::copy_scroll(bool on) {
    copy_scroll_on_ = on && at_root();
    if (!copy_scroll_on_)
        pending_ = {0.0, 0.0};
}

void qvViewWindowScrollLayerImplementation::reinitialize() {
    qvViewActiveLayerImplementation::reinitialize();
    qvViewManagerObject* const manager = view();
    const qvBaseRenderer renderer = manager != nullptr ? manager->renderer() : qvBaseRenderer();
    const qvISafePtr<qvDriverObject> driver = renderer ? renderer->driver() : qvISafePtr<qvDriverObject>();
    if (renderer && driver) {
        renderer_ = renderer;
        driver_ = driver;
    } else {
        renderer_ = qvIWeakPtr<qvBaseRendererObject>();
        driver_ = qvIWeakPtr<qvDriverObject>();
    }
    if (copy_scroll_on_ && parent() != nullptr)
        copy_scroll(true);
}

bool qvViewWindowScrollLayerImplementation::window_rect(qvMathRectOf<double>& out) const {
    qvBaseRendererObject* const renderer = renderer_.get();
    if (renderer == nullptr)
        return false;
    out = qvViewWindowRect(*renderer);
    return true;
}

bool qvViewWindowScrollLayerImplementation::renderer_buffers() const {
    auto* const device = qvQueryInterface<qvDeviceRendererObject>(renderer_.get());
    return device != nullptr && (device->backing_store() || device->double_buffered());
}

// ---------------------------------------------------------------------------
// Prepare and render

// Inside its own area the layer asks the layers behind for no more than its
// own invalid part: the rest of the window is right once the pixels moved.
void qvViewWindowScrollLayerImplementation::prepare(qvBaseRegion& region, bool front_to_back) {
    qvViewActiveLayerImplementation::prepare(region, front_to_back);
    if (!copy_scroll_on_ || redraw_all(false))
        return;
    qvGridRegion inside(region);
    inside *= redraw_area(false);
    if (no_local_device_clipping()) {
        region = inside;
        return;
    }
    qvGridRegion outside(region);
    outside -= local_device_clipping();
    outside += inside;
    region = outside;
}

bool qvViewWindowScrollLayerImplementation::render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    qvGridRegion repaint(prepared_region());
    repaint *= vbuf.clipping();
    if (repaint.empty())
        return true;
    // The window moves through the target buffer, not through the pushed
    // clip and origin, so it may move inside the bracket.
    return render_in_local_clip(vbuf, [&] {
        if (copy_scroll_on_) {
            if (redraw_all(false))
                pending_ = {0.0, 0.0};
            else if (pending_.x != 0.0 || pending_.y != 0.0)
                move_window(vbuf);
        }
        return qvViewActiveLayerImplementation::render(vbuf, origin);
    });
}

// Within each rectangle of the local device clip, as the strips were
// computed: the render buffer's clip is only what this redraw repairs.
void qvViewWindowScrollLayerImplementation::move_window(qvViewVBuf& vbuf) {
    const int dx = qvTruncToInt(pending_.x), dy = qvTruncToInt(pending_.y);
    if (dx == INT_MIN || dy == INT_MIN) {
        repaint_all();
        return;
    }
    if (dx == 0 && dy == 0)
        return;
    const qvISafePtr<qvVBufObject> target = vbuf.vbuf();
    bool moved = static_cast<bool>(target);
    if (moved) {
        if (no_local_device_clipping()) {
            moved = target->scroll(dx, dy, nullptr);
        } else {
            for (qvIndirectRectIterator it = local_device_clipping().enumerate(); it; ++it) {
                const qvMathRectOf<double> r = *it;
                moved = target->scroll(dx, dy, &r) && moved;
            }
        }
    }
    pending_ = {pending_.x - static_cast<double>(dx), pending_.y - static_cast<double>(dy)};
    // Half-moved or stale pixels: the next redraw repaints everything.
    if (!moved)
        repaint_all();
}

void qvViewWindowScrollLayerImplementation::repaint_all() {
    pending_ = {0.0, 0.0};
    invalidate(true);
}

// ---------------------------------------------------------------------------
// Transformation changes

void qvViewWindowScrollLayerImplementation::apply_right(qvRestrictedTransformation const& t) {
    require_finite(t);
    if (t == qvRestrictedTransformation::identity())
        return;
    qvViewActiveLayerImplementation::apply_right(t);
}

// A part goes to the window's channel, not into the parent's area: the
// parent moves its own waiting area after its children have moved, so a
// part put there during the climb would move twice. The renderer finds it
// in this layer's area anyway (an active layer answers for its children).
void qvViewWindowScrollLayerImplementation::notify_parent() {
    if (!notify_invalidation())
        return;
    if (redraw_all(true)) {
        if (qvViewActiveLayerObject* const up = parent())
            up->invalidate(true);
        return;
    }
    qvBaseRendererObject* const renderer = renderer_.get();
    if (renderer != nullptr && renderer->callback_ready())
        renderer->invalidate(redraw_area(true));
}

void qvViewWindowScrollLayerImplementation::apply_left(qvRestrictedTransformation const& t) {
    require_finite(t);
    if (t == qvRestrictedTransformation::identity())
        return;
    qvMathRectOf<double> window;
    const bool pure = t.m0() == 1.0 && t.m3() == 1.0 && window_scroll_whole(t.m4()) && window_scroll_whole(t.m5());
    // A clip that is not independent moves with the picture: the pixels in
    // it are not a fixed part of the window, so nothing is shifted.
    const bool fixed_clip = no_local_device_clipping() || is_independent();
    if (!copy_scroll_on_ || !at_root() || !window_rect(window) || !pure || !fixed_clip || redraw_all(true)) {
        qvViewActiveLayerImplementation::apply_left(t);
        return;
    }
    const bool renderer_moves = qvViewWindowScrollNotice::moving(renderer_.get());
    // An independent layer's own waiting area stays where it is in the
    // active layer's apply_left; it moves with the picture here.
    qvGridRegion own;
    if (is_independent()) {
        own = local_redraw_area();
        own.translate(qvTranslation(t.m4(), t.m5()));
        validate();
    }
    apply_left_unnoticed(t);

    const bool pending = pending_.x != 0.0 || pending_.y != 0.0;
    if ((renderer_moves && pending) || (!renderer_moves && renderer_buffers())) {
        invalidate(false);
        pending_ = {0.0, 0.0};
        notify_parent();
        return;
    }

    // The active layer has already carried the waiting areas (this layer's
    // and its children's) along with the picture.
    const qvCrdOf<double> by{t.m4(), t.m5()};
    qvGridRegion moved(redraw_area(true));
    moved += own;
    bool covered;
    if (no_local_device_clipping()) {
        window_scroll_add_strips(moved, window, by);
        moved *= window;
        covered = moved > window;
    } else {
        const qvGridRegion clip(local_device_clipping());
        for (qvIndirectRectIterator it = clip.enumerate(); it; ++it)
            window_scroll_add_strips(moved, *it, by);
        moved *= window;
        covered = moved == clip;
    }
    if (covered) {
        invalidate(false);
        pending_ = {0.0, 0.0};
    } else {
        validate();
        invalidate(moved, false);
        if (!renderer_moves)
            pending_ = {pending_.x + by.x, pending_.y + by.y};
    }
    notify_parent();
}
