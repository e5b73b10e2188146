// The parts every renderer shares: invalidation forwarding, the manager
// link, clipping and like renderers.

#include "views/qvRendererImplementation.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvDeviceRendererObject.hpp>
#include <orvane/views/qvViewManager.hpp>

#include "views/qvViewHeldForCall.hpp"

qvRendererImplementation::qvRendererImplementation() noexcept = default;
qvRendererImplementation::~qvRendererImplementation() = default;

// ---------------------------------------------------------------------------
// Invalidation towards the window

void qvRendererImplementation::open_callback(bool open) {
    if (channel_ != nullptr)
        channel_->open_callback(open);
}

bool qvRendererImplementation::callback_ready() { return channel_ != nullptr && channel_->callback_ready(); }

// A host may hand a layer an area with an infinity or a NaN in it, and a
// layer passes its area up as it got it. The window is never given such
// coordinates: an area it cannot hold asks for the whole window instead,
// so nothing the host meant to repaint is lost.
bool qvRendererImplementation::invalidate(qvBaseRegion const& region) {
    if (!region.empty() && !qvIsFinite(region.bbox()))
        return invalidate();
    return channel_ != nullptr && channel_->invalidate(region);
}

bool qvRendererImplementation::invalidate(qvMathRectOf<double> const& rect) {
    if (!qvIsFinite(rect))
        return invalidate();
    return channel_ != nullptr && channel_->invalidate(rect);
}

bool qvRendererImplementation::invalidate(qvCrdOf<double> const& point) {
    if (!qvIsFinite(point))
        return invalidate();
    return channel_ != nullptr && channel_->invalidate(point);
}

bool qvRendererImplementation::invalidate() { return channel_ != nullptr && channel_->invalidate(); }

// ---------------------------------------------------------------------------
// Settings

// The manager hears of this renderer through a counted handle; a renderer
// that no handle owns yet (inside create) would be deleted when that
// handle let go, hence the hold. An old manager that has meanwhile been
// given another renderer keeps it.
void qvRendererImplementation::view_manager(qvViewManager const& manager) {
    const qvViewHeldForCall hold(*this);
    const qvViewManager old(manager_);
    manager_ = manager;
    if (old && old.get() != manager.get()) {
        if (old->renderer().get() == static_cast<qvBaseRendererObject*>(this))
            old->renderer(qvBaseRenderer());
        old->reinitialize();
    }
    if (manager)
        manager->renderer(qvBaseRenderer(static_cast<qvBaseRendererObject*>(this)));
    update();
}

void qvRendererImplementation::clipping(qvBaseRegion const* region) {
    clipping_on_ = region != nullptr;
    if (region != nullptr)
        clipping_ = *region;
    else
        clipping_.erase();
}

// ---------------------------------------------------------------------------
// Like renderers

namespace {

qvBaseRenderer renderer_like(qvBaseRenderer made, qvCrdOf<double> const& origin) {
    QV_ASSERT_TEXT(made, "p");
    made->origin(origin);
    return made;
}

}  // namespace

qvBaseRenderer qvRendererImplementation::like(qvISafePtr<qvVBufObject> const& window) {
    return renderer_like(qvDeviceRendererObject::create(window), origin_);
}

qvBaseRenderer qvRendererImplementation::like(qvISafePtr<qvDriverObject> const& driver) {
    return renderer_like(qvDeviceRendererObject::create(driver), origin_);
}
