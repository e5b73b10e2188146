// The active layer: child list, the redraw passed down, and the caches of
// the clipping and redraw queries (see qvViewActiveLayerImplementation.hpp).
//
// Orders are read by number, as stored orders are: 5 puts a layer at the
// front of the list (drawn last under the background-first direction), 6 at
// the back; with a reference, 1 puts it before the reference (nearer the
// front) and 2 after it.

#include "views/qvViewActiveLayerImplementation.hpp"

#include "views/qvViewHeldForCall.hpp"
#include "views/qvViewLayerIterator.hpp"

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewManager.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr int active_order_before = 1, active_order_after = 2;
constexpr int active_order_front = 5, active_order_back = 6;

// A climb longer than this has met a cycle made outside add (links set by
// hand); it is treated as reaching the layer, so add refuses.
constexpr int max_active_climb = 1 << 16;

// The device rectangle of a clip rectangle: mapped, floored on every
// coordinate, ordered; false when a coordinate is NaN.
bool active_device_rect(qvMathRectOf<double> const& rect, qvRestrictedTransformation const& t,
                        qvMathRectOf<double>& out) {
    const qvMathRectOf<double> r = qvTransformRect(rect, t);
    const double x1 = std::floor(r.x1), y1 = std::floor(r.y1);
    const double x2 = std::floor(r.x2), y2 = std::floor(r.y2);
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2))
        return false;
    out = qvMathRectOf<double>(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

qvViewActiveLayerImplementation::qvViewActiveLayerImplementation() {
    qvViewLayerImplementation::flags(active_flag);
}

// The extra count keeps a child that makes a handle of its old parent while
// it is let go from deleting this layer a second time.
qvViewActiveLayerImplementation::~qvViewActiveLayerImplementation() {
    const qvViewHeldForCall hold(*this);
    try {
        clear();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

unsigned qvViewActiveLayerImplementation::flags(unsigned value) {
    return qvViewLayerImplementation::flags(value | active_flag);
}

unsigned qvViewActiveLayerImplementation::flags() const { return qvViewLayerImplementation::flags(); }

void* qvViewActiveLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewActiveLayerObject>(this, info);
}

// ---------------------------------------------------------------------------
// The child list

qvIndirectIterator<qvViewLayer> qvViewActiveLayerImplementation::layers() {
    return qvIndirectIterator<qvViewLayer>(new qvViewLayerIterator(children_));
}

// A layer is a child at most once (an add first takes it from its old
// place), so the direction of the search is not seen. It runs from the back
// because that is where adds happen: the view manager appends before the
// background, its last child, and a run of n appends stays linear.
std::vector<qvViewLayer>::iterator qvViewActiveLayerImplementation::find(qvViewLayer const& layer) {
    const auto last = std::find_if(children_.rbegin(), children_.rend(), [&layer](qvViewLayer const& child) {
        return child.counter() == layer.counter();
    });
    return last == children_.rend() ? children_.end() : std::prev(last.base());
}

bool qvViewActiveLayerImplementation::contains(qvViewLayer const& layer) {
    return layer && find(layer) != children_.end();
}

// Climbs parent links, and the view link of a layer without parent, so a
// view manager holding this layer counts as an ancestor.
bool qvViewActiveLayerImplementation::is_self_or_ancestor(qvViewLayer const& layer) const {
    qvViewLayerObject const* current = this;
    for (int step = 0; current != nullptr; ++step) {
        if (step == max_active_climb || current->ref_base() == layer.counter())
            return true;
        qvViewLayerObject const* up = current->parent();
        current = up != nullptr ? up : current->view();
    }
    return false;
}

void qvViewActiveLayerImplementation::leave_old_parent(qvViewLayer const& layer) {
    qvViewActiveLayerObject* const old = layer->parent();
    if (old == nullptr)
        return;
    if (old->ref_base() == ref_base()) {
        const auto at = find(layer);
        if (at != children_.end())
            children_.erase(at);
        subtree_changed();
        return;
    }
    // The old parent may be held by nothing but its child's weak link while
    // it works: hold it.
    const qvViewHeldForCall hold(*old);
    old->remove(layer);
}

void qvViewActiveLayerImplementation::insert(std::vector<qvViewLayer>::iterator at, qvViewLayer const& layer) {
    children_.insert(at, layer);
    subtree_changed();
    const qvViewHeldForCall hold(*this);
    layer->parent(qvViewActiveLayer(static_cast<qvViewActiveLayerObject*>(this)));
}

bool qvViewActiveLayerImplementation::add(qvViewLayer const& layer, qvOrder order) {
    if (!layer || (order != active_order_front && order != active_order_back) || is_self_or_ancestor(layer))
        return false;
    // `layer` may be an element of a list that leave_old_parent changes.
    const qvViewLayer held = layer;
    leave_old_parent(held);
    insert(order == active_order_front ? children_.begin() : children_.end(), held);
    return true;
}

bool qvViewActiveLayerImplementation::add(qvViewLayer const& layer, qvOrder order, qvViewLayer const& reference) {
    if (!layer || (order != active_order_before && order != active_order_after) || !reference ||
        layer.counter() == reference.counter() || find(reference) == children_.end() ||
        is_self_or_ancestor(layer))
        return false;
    const qvViewLayer held = layer;
    const qvViewLayer anchor = reference;
    leave_old_parent(held);
    auto at = find(anchor);
    if (order == active_order_after)
        ++at;
    insert(at, held);
    return true;
}

bool qvViewActiveLayerImplementation::remove(qvViewLayer const& layer) {
    if (!layer)
        return false;
    const qvViewLayer held = layer;
    for (auto at = find(held); at != children_.end(); at = find(held)) {
        const qvViewLayer child = *at;
        children_.erase(at);
        subtree_changed();
        child->parent(qvViewActiveLayer());
    }
    return true;
}

bool qvViewActiveLayerImplementation::clear() {
    if (children_.empty())
        return false;
    std::vector<qvViewLayer> gone;
    gone.swap(children_);
    subtree_changed();
    for (qvViewLayer const& child : gone)
        child->parent(qvViewActiveLayer());
    return true;
}

// ---------------------------------------------------------------------------
// The redraw

template <class Step>
void qvViewActiveLayerImplementation::each_child(bool front_to_back, Step&& step) const {
    // By index, re-checked on every step: a child may change the list.
    const std::size_t n = children_.size();
    for (std::size_t k = 0; k < n && k < children_.size(); ++k) {
        const qvViewLayer child = children_[front_to_back ? k : children_.size() - 1 - k];
        step(*child);
    }
}

void qvViewActiveLayerImplementation::prepare(qvBaseRegion& region, bool front_to_back) {
    redraw_area_current_ = false;
    redraw_all_current_ = false;
    qvViewLayerImplementation::prepare(region, front_to_back);
    qvGridRegion left(prepared_region());
    each_child(true, [&](qvViewLayerObject& child) { child.prepare(left, front_to_back); });
    region -= prepared_region();
    region += left;
}

bool qvViewActiveLayerImplementation::render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    if (prepared_region().empty())
        return true;
    bool finished = true;
    each_child(drawing_direction(), [&](qvViewLayerObject& child) {
        if (!child.render(vbuf, origin))
            finished = false;
    });
    return finished;
}

void qvViewActiveLayerImplementation::cleanup() {
    qvViewLayerImplementation::cleanup();
    subtree_computed_ = false;
    subtree_clip_current_ = false;
    each_child(drawing_direction(), [](qvViewLayerObject& child) { child.cleanup(); });
    redraw_area_current_ = false;
    redraw_all_current_ = false;
}

void qvViewActiveLayerImplementation::reinitialize() {
    qvViewLayerImplementation::reinitialize();
    each_child(true, [](qvViewLayerObject& child) { child.reinitialize(); });
}

// ---------------------------------------------------------------------------
// Clipping

void qvViewActiveLayerImplementation::subtree_changed() noexcept {
    subtree_computed_ = false;
    subtree_clip_current_ = false;
    redraw_area_current_ = false;
    redraw_all_current_ = false;
}

void qvViewActiveLayerImplementation::clipping(qvBaseRegion const* region) {
    qvViewLayerImplementation::clipping(region);
    clip_transformation_ = qvRestrictedTransformation::identity();
    if (region != nullptr)
        own_clip_ = *region;
    else
        own_clip_.erase();
    own_clip_current_ = true;
    subtree_changed();
}

qvBaseRegion const& qvViewActiveLayerImplementation::clipping() const { return local_device_clipping(); }

qvBaseRegion const& qvViewActiveLayerImplementation::local_device_clipping() const {
    if (no_local_device_clipping() || own_clip_current_)
        return own_clip_;
    own_clip_.erase();
    qvMathRectOf<double> device;
    qvBaseRegion const& stored = qvViewLayerImplementation::clipping();
    if (stored.simple()) {
        if (!stored.empty() && active_device_rect(stored.bbox(), clip_transformation_, device))
            own_clip_ += device;
    } else {
        for (qvIndirectRectIterator it = stored.enumerate(); it; ++it)
            if (active_device_rect(*it, clip_transformation_, device))
                own_clip_ += device;
    }
    own_clip_current_ = true;
    return own_clip_;
}

bool qvViewActiveLayerImplementation::no_device_clipping() const {
    if (subtree_computed_)
        return subtree_unclipped_;
    bool unclipped = false;
    if (no_local_device_clipping())
        each_child(true, [&](qvViewLayerObject& child) { unclipped = unclipped || child.no_device_clipping(); });
    subtree_unclipped_ = unclipped;
    subtree_computed_ = true;
    return unclipped;
}

qvBaseRegion const& qvViewActiveLayerImplementation::device_clipping() const {
    if (subtree_clip_current_)
        return subtree_clip_;
    subtree_clip_.erase();
    bool complete = true;
    for (qvViewLayer const& child : children_) {
        if (child->no_device_clipping()) {
            subtree_clip_ = local_device_clipping();
            complete = false;
            break;
        }
        subtree_clip_ += child->device_clipping();
    }
    if (complete && !no_local_device_clipping())
        subtree_clip_ *= local_device_clipping();
    subtree_clip_current_ = true;
    return subtree_clip_;
}

// ---------------------------------------------------------------------------
// Redraw queries

bool qvViewActiveLayerImplementation::redraw_all(bool recompute) const {
    if (redraw_all_current_ && !recompute)
        return redraw_all_;
    bool all = false;
    if (no_local_device_clipping()) {
        all = local_redraw_all();
        for (std::size_t k = 0; !all && k < children_.size(); ++k) {
            const qvViewLayer child = children_[k];
            all = child->redraw_all(recompute);
        }
    }
    redraw_all_ = all;
    redraw_all_current_ = true;
    return all;
}

qvBaseRegion const& qvViewActiveLayerImplementation::redraw_area(bool recompute) const {
    if (redraw_area_current_ && !recompute)
        return redraw_area_;
    redraw_area_current_ = false;
    if (local_redraw_all()) {
        redraw_area_ = local_device_clipping();
    } else {
        redraw_area_ = local_redraw_area();
        bool complete = true;
        for (std::size_t k = 0; k < children_.size(); ++k) {
            const qvViewLayer child = children_[k];
            if (child->redraw_all(recompute)) {
                redraw_area_ = local_device_clipping();
                complete = false;
                break;
            }
            redraw_area_ += child->redraw_area(recompute);
        }
        if (complete && !no_local_device_clipping())
            redraw_area_ *= local_device_clipping();
    }
    redraw_area_current_ = true;
    return redraw_area_;
}

// ---------------------------------------------------------------------------
// Transformation changes
//
// The waiting area is read before the clip moves: read afterwards it would
// be cut by the moved clip, and what waits near the edge the layer leaves
// would never be redrawn. The clip transformation is composed whenever the
// layer has a clipping region, whatever state the device-clip cache is in,
// so no change is lost to a cache emptied by a redraw in between.

void qvViewActiveLayerImplementation::invalidate_covered() {
    if (no_local_device_clipping())
        invalidate(true);
    else
        invalidate(local_device_clipping(), true);
}

template <class Compose>
void qvViewActiveLayerImplementation::change_clip(qvRestrictedTransformation const& carry, Compose&& compose) {
    const bool notify = notify_invalidation();
    if (notify)
        invalidate_covered();
    qvListRegion waiting(local_redraw_area());
    if (!no_clipping()) {
        clip_transformation_ = compose(clip_transformation_);
        own_clip_.erase();
        own_clip_current_ = false;
        subtree_changed();
    }
    if (!redraw_all(true) && !waiting.empty()) {
        qvListRegion moved;
        if (waiting.simple()) {
            moved = qvTransformRect(waiting.bbox(), carry);
        } else {
            for (qvIndirectRectIterator it = waiting.enumerate(); it; ++it)
                moved += qvTransformRect(*it, carry);
        }
        validate();
        if (moved.simple()) {
            if (!moved.empty())
                invalidate(moved.bbox(), false);
        } else {
            for (qvIndirectRectIterator it = moved.enumerate(); it; ++it)
                invalidate(*it, false);
        }
    }
    if (notify)
        invalidate_covered();
}

void qvViewActiveLayerImplementation::apply_left(qvRestrictedTransformation const& t) {
    qvViewLayerImplementation::apply_left(t);
    each_child(true, [&t](qvViewLayerObject& child) { child.apply_left(t); });
    if (is_independent())
        return;
    change_clip(t, [&t](qvRestrictedTransformation const& c) { return t * c; });
}

void qvViewActiveLayerImplementation::apply_left_unnoticed(qvRestrictedTransformation const& t) {
    if (!notify_invalidation()) {
        qvViewActiveLayerImplementation::apply_left(t);
        return;
    }
    notify_invalidation(false);
    try {
        qvViewActiveLayerImplementation::apply_left(t);
    } catch (...) {
        notify_invalidation(true);
        throw;
    }
    notify_invalidation(true);
}

void qvViewActiveLayerImplementation::apply_right(qvRestrictedTransformation const& t) {
    qvViewLayerImplementation::apply_right(t);
    each_child(true, [&t](qvViewLayerObject& child) { child.apply_right(t); });
    if (is_independent())
        return;
    const qvRestrictedTransformation carry = (clip_transformation_ * t) * qvInvert(clip_transformation_);
    change_clip(carry, [&t](qvRestrictedTransformation const& c) { return c * t; });
}
