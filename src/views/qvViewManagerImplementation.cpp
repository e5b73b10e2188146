// The view manager: the registered list, the rebuild of the drawn tree, and
// the manager as the one layer its renderer draws.
//
// The list runs front to back. Placement codes are the manager's own:
// 1 before the reference (first without one), 2 after it (last without
// one), 5 first, 6 last; anything else is refused.

#include "views/qvViewManagerImplementation.hpp"

#include "views/qvViewHeldForCall.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>

#include <algorithm>
#include <new>

namespace {

constexpr int manager_order_before = 1, manager_order_after = 2;
constexpr int manager_order_first = 5, manager_order_last = 6;

// An iterator over the registered list that keeps its manager alive.
class qvViewManagerIterator : public qvIterator<qvViewLayer> {
public:
    explicit qvViewManagerIterator(qvViewManagerImplementation& manager)
        : manager_(static_cast<qvViewManagerObject*>(&manager)), owner_(&manager) {}
    qvViewLayer* get() override {
        return at_end() ? nullptr : const_cast<qvViewLayer*>(&owner_->layer_at(position_));
    }
    void next() override {
        if (!at_end())
            ++position_;
    }
    bool at_end() const override { return position_ >= owner_->layer_count(); }

private:
    qvViewManager manager_;
    qvViewManagerImplementation* owner_;
    std::size_t position_ = 0;
};

qvViewManager manager_handle(qvViewManagerImplementation* manager) {
    return qvViewManager(static_cast<qvViewManagerObject*>(manager));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

void qvViewManagerImplementation::make_head_and_bg(char const* head_text, char const* bg_text) {
    // The handles given to head and bg would delete a manager that no handle
    // owns yet when they let go.
    const qvViewHeldForCall hold(*this);
    const qvViewManager self = manager_handle(this);
    head_ = qvViewGroupLayer(qvViewGroupLayerObject::create());
    QV_ASSERT_TEXT(head_, head_text);
    head_->view(self);
    bg_ = qvViewBackgroundLayer(qvViewBackgroundLayerObject::create());
    QV_ASSERT_TEXT(bg_, bg_text);
    bg_->view(self);
    rebuild();
}

qvViewManagerImplementation::qvViewManagerImplementation() { make_head_and_bg("head", "bg"); }

qvViewManagerImplementation::qvViewManagerImplementation(qvViewManagerObject& other) {
    make_head_and_bg("head", "bg");
    copy(other);
    remove(qvViewLayer(), false);
    for (qvIndirectIterator<qvViewLayer> at = other.layers(); at; ++at) {
        const qvViewLayer twin((*at)->clone());
        add(twin, qvOrder(manager_order_last), qvViewLayer(), false);
    }
    rebuild();
    flags(other.flags());
    clipping(other.no_clipping() ? nullptr : &other.clipping());
    // The copy shows what the original shows: its own palette takes the
    // original background's fill.
    if (qvViewBackgroundLayerObject* source = other.background())
        if (source->attribute_handle() != 0 && source->attribute_palette() != nullptr)
            bg_->connect_attribute(*static_cast<qvAttributeFolderInterface const*>(source));
    rebuild();
}

qvViewManagerImplementation::~qvViewManagerImplementation() { remove(qvViewLayer(), false); }

qvViewBaseLayer qvViewManagerImplementation::clone() {
    const qvViewManager twin = qvViewCreator::create(manager_handle(this));
    return qvViewBaseLayer(twin);
}

qvViewManager qvViewCreator::create() { return manager_handle(new (std::nothrow) qvViewManagerImplementation); }

qvViewManager qvViewCreator::create(qvViewManager const& other) {
    if (!other)
        return create();
    return manager_handle(new (std::nothrow) qvViewManagerImplementation(*other));
}

qvViewManager::qvViewManager(bool make) : qvViewHandle(make ? qvViewCreator::create() : qvViewManager()) {}

qvViewManager::qvViewManager(bool, qvViewManager const& other) : qvViewHandle(qvViewCreator::create(other)) {}

void* qvViewManagerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewManagerObject>(this, info);
}

// ---------------------------------------------------------------------------
// The registered list

qvIndirectIterator<qvViewLayer> qvViewManagerImplementation::layers() {
    return qvIndirectIterator<qvViewLayer>(new qvViewManagerIterator(*this));
}

std::vector<qvViewLayer>::iterator qvViewManagerImplementation::find(qvViewLayer const& layer) {
    return std::find_if(layers_.begin(), layers_.end(),
                        [&](qvViewLayer const& held) { return held.counter() == layer.counter(); });
}

bool qvViewManagerImplementation::contains(qvViewLayer const& layer) {
    return layer && find(layer) != layers_.end();
}

bool qvViewManagerImplementation::would_cycle(qvViewLayer const& layer) const {
    if (layer.counter() == ref_base())
        return true;
    auto* const manager = qvQueryInterface<qvViewManagerObject>(layer.get());
    if (manager == nullptr)
        return false;
    for (qvIndirectIterator<qvViewLayer> at = manager->layers(); at; ++at)
        if (would_cycle(*at))
            return true;
    return false;
}

bool qvViewManagerImplementation::add(qvViewLayer const& layer, qvOrder order, qvViewLayer const& reference,
                                      bool quiet) {
    if (!layer || layer.counter() == reference.counter() || would_cycle(layer))
        return false;
    if (reference && reference->view() != static_cast<qvViewManagerObject*>(this))
        return false;
    // `layer` may be an element of a list that the removal below changes.
    const qvViewLayer held = layer;
    if (qvViewManagerObject* const old = held->view()) {
        const qvViewHeldForCall hold_old(*old);
        old->remove(held, false);
    }
    auto at = layers_.end();
    if (reference) {
        at = find(reference);
        if (at == layers_.end())
            return false;
    }
    switch (static_cast<int>(order)) {
    case manager_order_before:
        at = reference ? at : layers_.begin();
        break;
    case manager_order_after:
        at = reference ? at + 1 : layers_.end();
        break;
    case manager_order_first:
        at = layers_.begin();
        break;
    case manager_order_last:
        at = layers_.end();
        break;
    default:
        return false;
    }
    const bool appended = at == layers_.end();
    layers_.insert(at, held);
    {
        const qvViewHeldForCall hold(*this);
        held->view(manager_handle(this));
    }
    if (!quiet && !held->safe_to_remove()) {
        held->invalidate(false);
        if (qvBaseRendererObject* const target = live_renderer()) {
            if (held->no_local_device_clipping())
                target->invalidate();
            else
                target->invalidate(held->local_device_clipping());
        }
    }
    if (deferred_)
        tree_current_ = false;
    else if (appended)
        update_after_append(held);
    else
        rebuild();
    return true;
}

// What a rebuild would give, without its walk over the whole list: the
// layer goes last among head's children, before the background. So a run
// of n adds costs n appends, not n rebuilds of a growing list.
void qvViewManagerImplementation::update_after_append(qvViewLayer const& held) {
    if (!tree_current_ || !tree_flat_ || !bg_ || qvQueryInterface<qvViewActiveLayerObject>(held.get()) != nullptr) {
        rebuild();
        return;
    }
    // Not current while the add runs: if it raises, the next change rebuilds.
    tree_current_ = false;
    if (!head_->add(held, qvOrder(manager_order_before), qvViewLayer(bg_))) {
        rebuild();
        return;
    }
    tree_current_ = true;
}

bool qvViewManagerImplementation::remove(qvViewLayer const& layer, bool quiet) {
    if (!layer) {
        layers_.clear();
        rebuild();
        return true;
    }
    const auto at = find(layer);
    if (at == layers_.end())
        return false;
    const qvViewLayer held = *at;
    const bool tell = !quiet && !held->safe_to_remove();
    // Device coordinates, as add tells them: a data layer's clipping() is in
    // scene coordinates.
    const bool everything = held->no_local_device_clipping();
    const qvRegion area(everything ? qvRegion() : qvRegion(held->local_device_clipping()));
    if (tell)
        if (qvViewActiveLayerObject* const up = held->parent())
            up->invalidate(false);
    held->parent(qvViewActiveLayer());
    held->view(qvViewManager());
    layers_.erase(find(held));
    tree_current_ = false;
    if (tell)
        if (qvBaseRendererObject* const target = live_renderer()) {
            if (everything)
                target->invalidate();
            else
                target->invalidate(area);
        }
    if (!deferred_)
        rebuild();
    return true;
}

void qvViewManagerImplementation::defer_update(bool defer, bool keep) {
    deferred_ = defer;
    if (!defer && !keep)
        rebuild();
}

void qvViewManagerImplementation::rebuild() {
    tree_current_ = false;
    if (!head_)
        return;
    head_->clear();
    qvViewActiveLayerObject* target = head_.get();
    bool flat = true;
    // Holds the target while later adds run: the list holds it too, but a
    // layer's add may call out.
    qvViewLayer target_held(head_);
    for (qvViewLayer const& layer : std::vector<qvViewLayer>(layers_)) {
        target->add(layer, qvOrder(manager_order_last));
        if (auto* const active = qvQueryInterface<qvViewActiveLayerObject>(layer.get())) {
            active->clear();
            target = active;
            target_held = layer;
            flat = false;
        }
    }
    if (bg_)
        target->add(qvViewLayer(bg_), qvOrder(manager_order_last));
    tree_flat_ = flat;
    tree_current_ = true;
}

// ---------------------------------------------------------------------------
// Renderer

void qvViewManagerImplementation::renderer(qvBaseRenderer const& renderer) {
    renderer_ = renderer;
    reinitialize();
}

qvBaseRenderer qvViewManagerImplementation::renderer() const { return qvBaseRenderer(renderer_); }

qvISafePtr<qvDriverObject> qvViewManagerImplementation::driver() const {
    qvBaseRendererObject* const target = live_renderer();
    return target != nullptr ? target->driver() : qvISafePtr<qvDriverObject>();
}

bool qvViewManagerImplementation::redraw(qvBaseRegion const& region, bool front_to_back) {
    const qvBaseRenderer target(renderer_);
    return target && target->redraw(region, front_to_back);
}

void qvViewManagerImplementation::reinitialize() {
    if (qvViewManagerObject* const outer = view())
        renderer_ = outer->renderer();
    qvViewLayerImplementation::reinitialize();
    const bool was_deferred = deferred_;
    deferred_ = true;
    head_->reinitialize();
    defer_update(was_deferred, false);
}

// ---------------------------------------------------------------------------
// The layer a renderer draws

unsigned qvViewManagerImplementation::flags(unsigned value) { return head_->flags(value); }
unsigned qvViewManagerImplementation::flags() const { return head_->flags(); }
bool qvViewManagerImplementation::no_clipping() const { return head_->no_clipping(); }
void qvViewManagerImplementation::clipping(qvBaseRegion const* region) { head_->clipping(region); }
qvBaseRegion const& qvViewManagerImplementation::clipping() const { return head_->clipping(); }
bool qvViewManagerImplementation::no_local_device_clipping() const { return head_->no_local_device_clipping(); }
qvBaseRegion const& qvViewManagerImplementation::local_device_clipping() const {
    return head_->local_device_clipping();
}
bool qvViewManagerImplementation::no_device_clipping() const { return head_->no_device_clipping(); }
qvBaseRegion const& qvViewManagerImplementation::device_clipping() const { return head_->device_clipping(); }

void qvViewManagerImplementation::prepare(qvBaseRegion& region, bool front_to_back) {
    if (!local_redraw_all())
        head_->invalidate(local_redraw_area(), false);
    else
        head_->invalidate(false);
    head_->prepare(region, front_to_back);
}

bool qvViewManagerImplementation::render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    return head_->render(vbuf, origin);
}

void qvViewManagerImplementation::cleanup() {
    qvViewLayerImplementation::cleanup();
    head_->cleanup();
    redraw_area_known_ = false;
    redraw_all_known_ = false;
}

void qvViewManagerImplementation::apply_left(qvRestrictedTransformation const& rt) {
    require_finite(rt);
    if ((head_->flags() & frozen_mapping_flag) != 0)
        return;
    qvViewLayerImplementation::apply_left(rt);
    head_->apply_left(rt);
    if (rt.m0() != 1.0 || rt.m3() != 1.0)
        invalidate(false);
}

void qvViewManagerImplementation::apply_right(qvRestrictedTransformation const& rt) {
    qvViewLayerImplementation::apply_right(rt);
    head_->apply_right(rt);
}

bool qvViewManagerImplementation::redraw_all(bool force) const {
    if (!redraw_all_known_ || force) {
        redraw_all_known_ = true;
        if (!no_local_device_clipping())
            redraw_all_ = false;
        else
            redraw_all_ = local_redraw_all() || head_->redraw_all(force);
    }
    return redraw_all_;
}

qvBaseRegion const& qvViewManagerImplementation::redraw_area(bool force) const {
    if (!redraw_area_known_ || force) {
        redraw_area_known_ = true;
        if (local_redraw_all()) {
            redraw_region_ = local_device_clipping();
        } else {
            redraw_region_ = local_redraw_area();
            redraw_region_ += head_->redraw_area(force);
            if (!no_local_device_clipping())
                redraw_region_ *= local_device_clipping();
        }
    }
    return redraw_region_;
}
