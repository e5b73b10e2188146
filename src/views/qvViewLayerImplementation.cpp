// The layer base: links, preparation and the invalidation climb.

#include <orvane/views/qvViewLayerImplementation.hpp>
#include "views/qvViewHeldForCall.hpp"

#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewFilter.hpp>
#include <orvane/views/qvViewManager.hpp>

namespace {

// A climb longer than this has met a cycle (a manager registered in its own
// tree); it ends without a superior instead of looping.
constexpr int max_superior_climb = 1 << 16;

}  // namespace

// ---------------------------------------------------------------------------
// Construction and links

qvViewLayerImplementation::~qvViewLayerImplementation() = default;

void qvViewLayerImplementation::view(qvViewManager const& manager) {
    view_ = manager;
    reinitialize();
}

void qvViewLayerImplementation::parent(qvViewActiveLayer const& parent) { parent_ = parent; }

void* qvViewLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvViewBaseLayerObject, qvViewLayerObject>(this, info);
}

void qvViewLayerImplementation::copy(qvViewLayerObject const& source) {
    flags(source.flags());
    view_filter(source.view_filter());
    copy_area_data(source);
}

void qvViewLayerImplementation::reinitialize() {
    open_gate();
    stop_notification();
    find_superior();
}

// ---------------------------------------------------------------------------
// The redraw

void qvViewLayerImplementation::prepare(qvBaseRegion& region, bool front_to_back) {
    if (qvViewFilter* filter = view_filter()) {
        // The extra count keeps a layer that no handle owns yet (one under
        // construction, or a host's own on the stack) from being deleted
        // when the handle made for the filter lets go.
        const qvViewHeldForCall hold(*this);
        const qvViewLayer self(static_cast<qvViewLayerObject*>(this));
        if (!filter->accept_layer(self, -1)) {
            prepared_.erase();
            return;
        }
    }
    direction_ = front_to_back;
    prepared_ = region;
    if (!no_local_device_clipping()) {
        qvBaseRegion const& clip = local_device_clipping();
        prepared_ *= clip;
        if (has_background())
            region -= clip;
    } else if (has_background()) {
        region.erase();
    }
}

void qvViewLayerImplementation::cleanup() {
    validate();
    open_gate();
}

// ---------------------------------------------------------------------------
// Invalidation and the climb

bool qvViewLayerImplementation::local_redraw_all() const {
    return always_dirty() || qvViewAreaImplementation::local_redraw_all();
}

bool qvViewLayerImplementation::invalidate(qvBaseRegion const& region, bool notify) {
    qvViewAreaImplementation::invalidate(region, notify);
    return notify && !restrict_notification() && notify_redraw_area();
}

bool qvViewLayerImplementation::invalidate(qvMathRectOf<double> const& rect, bool notify) {
    qvViewAreaImplementation::invalidate(rect, notify);
    return notify && !restrict_notification() && notify_redraw_area();
}

bool qvViewLayerImplementation::invalidate(bool notify) {
    qvViewAreaImplementation::invalidate(notify);
    return notify && !restrict_notification() && notify_redraw_area();
}

// What travels is the whole redraw area, not only the piece just added: a
// station that missed an earlier notification catches up with this one.
bool qvViewLayerImplementation::notify_redraw_area() {
    qvBaseRendererObject* superior = ready_superior();
    if (superior == nullptr)
        return false;
    if (!local_redraw_all())
        return deliver(*superior, local_redraw_area());
    if (no_local_device_clipping())
        return deliver(*superior);
    return deliver(*superior, local_device_clipping());
}

bool qvViewLayerImplementation::notify_superior() {
    qvBaseRendererObject* superior = ready_superior();
    return superior != nullptr && deliver(*superior);
}

bool qvViewLayerImplementation::notify_superior(qvMathRectOf<double> const& rect) {
    qvBaseRendererObject* superior = ready_superior();
    return superior != nullptr && deliver(*superior, rect);
}

bool qvViewLayerImplementation::notify_superior(qvBaseRegion const& region) {
    qvBaseRendererObject* superior = ready_superior();
    return superior != nullptr && deliver(*superior, region);
}

qvBaseRendererObject* qvViewLayerImplementation::ready_superior() {
    if (!superior_)
        find_superior();
    qvBaseRendererObject* superior = superior_.get();
    if (superior == nullptr || !superior->callback_ready())
        return nullptr;
    return superior;
}

template <class... Area>
bool qvViewLayerImplementation::deliver(qvBaseRendererObject& superior, Area const&... area) {
    bool delivered;
    if (qvViewActiveLayerObject* up = parent())
        delivered = up->invalidate(area..., true);
    else if (qvViewManagerObject* manager = view())
        delivered = manager->invalidate(area..., true);
    else
        delivered = superior.invalidate(area...);
    gate(!delivered);
    return delivered;
}

void qvViewLayerImplementation::find_superior() {
    stop_notification();
    qvViewLayerObject* current = this;
    for (int step = 0; current != nullptr && step < max_superior_climb; ++step) {
        if (auto* manager = qvQueryInterface<qvViewManagerObject>(current)) {
            const qvBaseRenderer renderer = manager->renderer();
            if (renderer) {
                superior_ = renderer;
                return;
            }
        }
        qvViewLayerObject* up = current->view();
        current = up != nullptr ? up : current->parent();
    }
}
