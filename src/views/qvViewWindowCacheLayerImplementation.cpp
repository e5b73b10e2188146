// The window-cache layer: the cache, the three render procedures and the
// valid region's life across scrolls.
//
// One redraw splits what the layer must repaint (its pending region cut to
// the render buffer's clip) into the part the cache holds correctly and the
// missing part. Buffered: the children draw the missing part into the
// cache, then the whole repaint is copied from it. Copy-back: the cached
// part is copied, the children draw the missing part into the window, and
// the cache receives it by a second render or by reading the window back.
// The procedure table below is constant data; buffered wins when both
// modes are on.

#include "views/qvViewWindowCacheLayerImplementation.hpp"
#include "views/qvViewWindowPlace.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvScrollInfo.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvVBufOffset.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvViewManagerObject.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

namespace {

// The inverted rectangle stands for "no cache"; the plain constructor keeps
// it inverted (the corner constructors would order it into a unit square).
qvMathRectOf<double> window_cache_no_rect() noexcept { return qvMathRectOf<double>(qvRectOf<double>(1, 1, 0, 0)); }

// A climb longer than this along view() has met a cycle made by hand.
constexpr int window_cache_max_climb = 1 << 16;

qvViewBaseLayer window_cache_handle(qvViewWindowCacheLayerImplementation* layer) {
    return qvViewBaseLayer(
        static_cast<qvViewBaseLayerObject*>(static_cast<qvViewWindowCacheLayerObject*>(layer)));
}

bool window_cache_contains(qvMathRectOf<double> const& outer, qvMathRectOf<double> const& inner) {
    return outer.x1 <= inner.x1 && outer.x2 >= inner.x2 && outer.y1 <= inner.y1 && outer.y2 >= inner.y2;
}

qvMathRectOf<double> window_cache_meet(qvMathRectOf<double> const& a, qvMathRectOf<double> const& b) {
    return qvMathRectOf<double>(
        qvRectOf<double>(std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and identity

qvViewBaseLayer qvViewWindowCacheLayerObject::create() {
    return window_cache_handle(new (std::nothrow) qvViewWindowCacheLayerImplementation(0));
}

qvViewBaseLayer qvViewWindowCacheLayerObject::create(bool cache) {
    const unsigned modes = cache ? qvViewWindowCacheLayerImplementation::copy_back_mode |
                                       qvViewWindowCacheLayerImplementation::buffered_mode
                                 : 0u;
    return window_cache_handle(new (std::nothrow) qvViewWindowCacheLayerImplementation(modes));
}

qvViewWindowCacheLayerImplementation::qvViewWindowCacheLayerImplementation(unsigned modes) : modes_(modes) {
    reinitialize();
}

qvViewWindowCacheLayerImplementation::~qvViewWindowCacheLayerImplementation() = default;

void* qvViewWindowCacheLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewActiveLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewWindowCacheLayerObject>(this, info);
}

qvViewBaseLayer qvViewWindowCacheLayerImplementation::clone() {
    auto* const twin = new (std::nothrow) qvViewWindowCacheLayerImplementation(0);
    QV_ASSERT_TEXT(twin != nullptr, "p");
    const qvViewBaseLayer held = window_cache_handle(twin);
    twin->copy(*this);
    twin->buffered(buffered());
    twin->copy_back(copy_back());
    return held;
}

// ---------------------------------------------------------------------------
// The switches

void qvViewWindowCacheLayerImplementation::buffered(bool on) {
    modes_ = on ? (modes_ | buffered_mode) : (modes_ & ~buffered_mode);
    if (!any_mode())
        release_cache();
}

void qvViewWindowCacheLayerImplementation::copy_back(bool on) {
    modes_ = on ? (modes_ | copy_back_mode) : (modes_ & ~copy_back_mode);
    if (!any_mode())
        release_cache();
}

void qvViewWindowCacheLayerImplementation::double_render(bool on) {
    modes_ = on ? (modes_ | double_render_mode) : (modes_ & ~double_render_mode);
}

void qvViewWindowCacheLayerImplementation::release_cache() {
    cache_ = qvISafePtr<qvVBufObject>();
    valid_.erase();
}

// ---------------------------------------------------------------------------
// Reinitialize and prepare

// The last type that may serve as a memory buffer is the cache's type.
void qvViewWindowCacheLayerImplementation::reinitialize() {
    qvViewActiveLayerImplementation::reinitialize();
    buffer_type_ = -1;
    qvViewManagerObject* const manager = view();
    const qvBaseRenderer renderer = manager != nullptr ? manager->renderer() : qvBaseRenderer();
    const qvISafePtr<qvDriverObject> driver = renderer ? renderer->driver() : qvISafePtr<qvDriverObject>();
    if (!driver) {
        driver_ = qvIWeakPtr<qvDriverObject>();
        renderer_ = qvIWeakPtr<qvBaseRendererObject>();
        release_cache();
        return;
    }
    if (qvISafePtr<qvDriverObject>(driver_).counter() != driver.counter())
        release_cache();
    renderer_ = renderer;
    driver_ = driver;
    const int types = driver->available();
    for (int type = 0; type < types; ++type)
        if ((driver->info(type) & qvVBufInfoNoMemoryBuffer) == 0)
            buffer_type_ = type;
    if (buffer_type_ < 0) {
        buffered(false);
        copy_back(false);
    }
    offsettable_ = buffer_type_ >= 0 && (driver->info(buffer_type_) & qvVBufInfoPlacementOffset) != 0;
}

bool qvViewWindowCacheLayerImplementation::window_rect(qvMathRectOf<double>& out) const {
    qvBaseRendererObject* const renderer = renderer_.get();
    if (renderer == nullptr || renderer->width() <= 0 || renderer->height() <= 0)
        return false;
    out = qvViewWindowRect(*renderer);
    return true;
}

// The region the layers behind still repair loses everything inside this
// layer: the cache (or the children) answer for it.
void qvViewWindowCacheLayerImplementation::prepare(qvBaseRegion& region, bool front_to_back) {
    qvViewActiveLayerImplementation::prepare(region, front_to_back);
    if (!any_mode())
        return;
    if (no_local_device_clipping())
        region.erase();
    else
        region -= local_device_clipping();
    update_cache();
}

qvMathRectOf<double> qvViewWindowCacheLayerImplementation::cache_rect() const {
    if (!cache_)
        return window_cache_no_rect();
    return qvViewPlacedRect(qvViewBufferOffset(cache_.get()), cache_->width(), cache_->height());
}

// The wanted rectangle is the window where it stands; a cache type without
// an offset can only stand at (0, 0), so a window elsewhere gets no cache
// (its pixels would show at the wrong place) and the layer draws directly.
void qvViewWindowCacheLayerImplementation::update_cache() {
    qvMathRectOf<double> wanted = window_cache_no_rect();
    qvMathRectOf<double> window;
    if (any_mode() && window_rect(window)) {
        wanted = window;
        if (offsettable_) {
            if (!no_clipping()) {
                wanted = window_cache_meet(wanted, clipping().bbox());
            } else {
                qvViewManagerObject* up = view();
                for (int step = 0; up != nullptr && step < window_cache_max_climb; ++step, up = up->view())
                    if (!up->no_clipping()) {
                        wanted = window_cache_meet(wanted, up->clipping().bbox());
                        break;
                    }
            }
        }
    }
    // Whole pixels covering the wanted rectangle: a cache at the floored
    // corner with the truncated extent would miss its last column and row.
    wanted = qvMathRectOf<double>(qvRectOf<double>(std::floor(wanted.x1), std::floor(wanted.y1),
                                                   std::ceil(wanted.x2), std::ceil(wanted.y2)));
    const double w = wanted.x2 - wanted.x1, h = wanted.y2 - wanted.y1;
    if (!(w > 0) || !(h > 0)) {
        release_cache();
        return;
    }
    if (cache_ && window_cache_contains(cache_rect(), wanted)) {
        valid_ *= wanted;
        return;
    }
    release_cache();
    const qvISafePtr<qvDriverObject> driver(driver_);
    if (buffer_type_ < 0 || !driver)
        return;
    const int x = qvTruncToInt(wanted.x1), y = qvTruncToInt(wanted.y1);
    const int width = qvTruncToInt(w), height = qvTruncToInt(h);
    if (width <= 0 || height <= 0 || x == INT_MIN || y == INT_MIN)
        return;
    if (!offsettable_ && (x != 0 || y != 0))
        return;
    qvBaseRendererObject* const renderer = renderer_.get();
    qvISafePtr<qvVBufObject> made =
        driver->new_vbuf(buffer_type_, width, height,
                         renderer != nullptr ? renderer->vbuf() : qvISafePtr<qvVBufObject>());
    // A buffer without area is no cache: the driver failed to make one.
    if (!made || made->width() <= 0 || made->height() <= 0)
        return;
    if (offsettable_) {
        auto* const offset = qvQueryInterface<qvVBufOffset>(made.get());
        if (offset != nullptr) {
            offset->x_offset(x);
            offset->y_offset(y);
        } else if (x != 0 || y != 0) {
            return;
        }
    }
    cache_ = made;
}

// ---------------------------------------------------------------------------
// Render

const qvViewWindowCacheLayerImplementation::Procedure qvViewWindowCacheLayerImplementation::procedures[4] = {
    &qvViewWindowCacheLayerImplementation::render_direct,
    &qvViewWindowCacheLayerImplementation::render_copy_back,
    &qvViewWindowCacheLayerImplementation::render_buffered,
    &qvViewWindowCacheLayerImplementation::render_buffered,
};

bool qvViewWindowCacheLayerImplementation::render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    qvGridRegion repaint(prepared_region());
    repaint *= vbuf.clipping();
    if (repaint.empty())
        return true;
    if (any_mode()) {
        const qvMathRectOf<double> held = cache_rect();
        if (redraw_all(false)) {
            if (cache_)
                valid_ -= held;
        } else {
            qvGridRegion changed(redraw_area(false));
            if (cache_)
                changed *= held;
            valid_ -= changed;
        }
        cached_part_ = repaint;
        cached_part_ *= valid_;
        missing_part_ = repaint;
        missing_part_ -= cached_part_;
    }
    const unsigned index = cache_ ? (modes_ & 3u) : 0u;
    return (this->*procedures[index])(vbuf, origin);
}

bool qvViewWindowCacheLayerImplementation::render_direct(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    return render_in_local_clip(vbuf, [&] { return qvViewActiveLayerImplementation::render(vbuf, origin); });
}

bool qvViewWindowCacheLayerImplementation::render_into_cache(qvBaseRegion const& area) {
    qvViewVBuf target(cache_, area, cache_origin_);
    if (!no_local_device_clipping())
        target.mul_clipping(local_device_clipping());
    if (!qvViewActiveLayerImplementation::render(target, qvCrdOf<double>{0.0, 0.0}))
        return false;
    valid_ += area;
    valid_ *= cache_rect();
    return true;
}

// Device positions on both sides: the cache stands at its offset, so the
// buffers place the pixels and no corner is added here.
bool qvViewWindowCacheLayerImplementation::copy_from_cache(qvViewVBuf& vbuf, qvBaseRegion const& area,
                                                           qvCrdOf<double> const& origin) {
    qvGridRegion from(area);
    from *= cache_rect();
    vbuf.enforce_settings();
    return vbuf.copy(cache_, from, origin, disassemble_region());
}

bool qvViewWindowCacheLayerImplementation::render_buffered(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    return render_in_local_clip(vbuf, [&] {
        const bool drawn = missing_part_.empty() || render_into_cache(missing_part_);
        qvGridRegion shown(prepared_region());
        shown *= vbuf.clipping();
        if (shown.empty())
            return drawn;
        return copy_from_cache(vbuf, shown, origin) && drawn;
    });
}

// The missing part becomes valid only when the window render succeeded
// too: a read-back of a half-drawn window would keep unfinished pixels as
// correct ones.
bool qvViewWindowCacheLayerImplementation::render_copy_back(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    return render_in_local_clip(vbuf, [&] {
        bool copied = true, drawn = true, kept = true;
        if (!cached_part_.empty())
            copied = copy_from_cache(vbuf, cached_part_, origin);
        if (missing_part_.empty())
            return copied;
        const qvGridRegion missing(missing_part_);
        vbuf.set_clipping(missing);
        vbuf.origin(cache_origin_);
        if (!no_local_device_clipping())
            vbuf.mul_clipping(local_device_clipping());
        drawn = qvViewActiveLayerImplementation::render(vbuf, origin);
        if (double_render()) {
            kept = render_into_cache(missing);
        } else {
            qvViewVBuf target(cache_, missing, cache_origin_);
            if (!no_local_device_clipping())
                target.mul_clipping(local_device_clipping());
            qvGridRegion from(missing);
            from.translate(qvTranslation(origin.x, origin.y));
            target.enforce_settings();
            kept = target.copy(vbuf.vbuf(), from, qvCrdOf<double>{-origin.x, -origin.y}, disassemble_region());
            if (kept && drawn) {
                valid_ += missing;
                valid_ *= cache_rect();
            }
        }
        return copied && drawn && kept;
    });
}

// ---------------------------------------------------------------------------
// Transformation changes

void qvViewWindowCacheLayerImplementation::apply_right(qvRestrictedTransformation const& t) {
    if (t == qvRestrictedTransformation::identity())
        return;
    qvViewActiveLayerImplementation::apply_right(t);
    if (cache_ && !(t.m0() == 1.0 && t.m3() == 1.0 && t.m4() == 0.0 && t.m5() == 0.0))
        valid_.erase();
}

// The cache pixels move by the truncated offset, and so does the valid
// region: a fractional rest is the renderer's seam, never the cache's. An
// offset without finite numbers (or beyond int) is no translation at all.
void qvViewWindowCacheLayerImplementation::apply_left(qvRestrictedTransformation const& t) {
    if (t == qvRestrictedTransformation::identity())
        return;
    const bool notify = notify_invalidation();
    apply_left_unnoticed(t);

    if (cache_) {
        const int dx = qvTruncToInt(t.m4()), dy = qvTruncToInt(t.m5());
        const bool pure = t.m0() == 1.0 && t.m3() == 1.0 && dx != INT_MIN && dy != INT_MIN;
        if (pure && !redraw_all(true)) {
            if (valid_.empty()) {
                cache_origin_ = {0.0, 0.0};
            } else if (dx != 0 || dy != 0) {
                const qvMathRectOf<double> held = cache_rect();
                const qvCrdOf<double> by{static_cast<double>(dx), static_cast<double>(dy)};
                valid_.translate(qvTranslation(by.x, by.y));
                const qvScrollInfo moved(qvWinRectOf<double>(held.x1, held.y1, held.x2, held.y2), by);
                qvMathRectOf<double> exposed[2];
                const int strips = moved.invalid(exposed);
                for (int i = 0; i < strips; ++i)
                    valid_ -= exposed[i];
                valid_ *= held;
                if (!valid_.empty()) {
                    if (cache_->scroll(dx, dy, nullptr)) {
                        cache_origin_ = {cache_origin_.x + by.x, cache_origin_.y + by.y};
                    } else {
                        valid_.erase();
                        cache_origin_ = {0.0, 0.0};
                    }
                }
            }
        } else {
            valid_.erase();
        }
    }

    if (!notify)
        return;
    qvViewActiveLayerObject* const up = parent();
    qvViewManagerObject* const manager = view();
    if (!no_local_device_clipping()) {
        const qvGridRegion covered(local_device_clipping());
        notify_superior(covered);
        if (up != nullptr)
            up->invalidate(covered, true);
        if (manager != nullptr)
            manager->invalidate(covered, true);
    } else {
        notify_superior();
        if (up != nullptr)
            up->invalidate(true);
        if (manager != nullptr)
            manager->invalidate(true);
    }
}
