#pragma once
// qvViewActiveLayerImplementation: the layer that holds other layers. It
// keeps an ordered list of children (the front one first), passes prepare,
// render, cleanup, reinitialize and every transformation change down to
// them, and answers the clipping and redraw queries for itself and its
// children together. Base of the group layer and of every buffering layer.
//
// Its own clipping region is stored as it was set; the clip transformation
// is every transformation change composed since then, and the layer's
// device clip is the region mapped through it.
//
// Keeps true:
//  - the flags word always has bit 0x01;
//  - each child is held by a counted handle and its parent link names this
//    layer; a layer is at most once in the list and never this layer or one
//    of its ancestors (add refuses those before changing anything), so
//    prepare and render always end;
//  - the three caches (device clip of this layer, clipping of the subtree,
//    redraw answers) are only read while current: the device clip stops
//    being current at every change of clipping or clip transformation, the
//    subtree clipping and the redraw answers at every change of the child
//    list, the clipping or the clip transformation, the subtree clipping
//    also at cleanup, the redraw answers at prepare and cleanup (the
//    renderer's forced queries recompute them);
//  - device-clip rectangles are floored on every coordinate and ordered; a
//    rectangle with a NaN coordinate is dropped; nothing converts a double
//    to an integer type;
//  - a child is held by a local handle while it is called, so a child that
//    changes the list (or lets go of itself) never runs deleted.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewLayer.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <orvane/views/qvViewLayerImplementation.hpp>

#include <cstddef>
#include <vector>

class qvViewActiveLayerImplementation : public virtual qvViewActiveLayerObject,
                                        public qvViewLayerImplementation {
public:
    enum : unsigned { active_flag = 0x01 };

    ~qvViewActiveLayerImplementation() override;

    // Stores the word with bit 0x01 set.
    unsigned flags(unsigned value) override;
    unsigned flags() const override;

    // ---- the child list ---------------------------------------------------------
    qvIndirectIterator<qvViewLayer> layers() override;
    // Order 1 before the reference, 2 after it; false (nothing changed) for
    // an empty handle, another order, a reference that is no child, the
    // layer itself as reference, or a layer that is this one or an
    // ancestor. Otherwise the layer leaves its old parent first and its
    // parent link then names this layer.
    bool add(qvViewLayer const& layer, qvOrder order, qvViewLayer const& reference) override;
    // Order 5 at the front, 6 at the back; refusals as above.
    bool add(qvViewLayer const& layer, qvOrder order) override;
    // False when there were no children; clears every child's parent link.
    bool clear() override;
    // False only for an empty handle; true also when it was no child.
    bool remove(qvViewLayer const& layer) override;
    bool contains(qvViewLayer const& layer) override;
    std::size_t child_count() const noexcept { return children_.size(); }

    // ---- the redraw --------------------------------------------------------------
    // Children are prepared front to back whatever the direction, each
    // shrinking one copy of this layer's prepared region.
    void prepare(qvBaseRegion& region, bool front_to_back) override;
    // Every child, in the drawing direction; true when all of them finished.
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override;
    void cleanup() override;
    void reinitialize() override;

    // ---- clipping and redraw queries ---------------------------------------------
    void clipping(qvBaseRegion const* region) override;
    // The device clip of this layer (the stored region mapped).
    qvBaseRegion const& clipping() const override;
    qvBaseRegion const& local_device_clipping() const override;
    bool no_device_clipping() const override;
    qvBaseRegion const& device_clipping() const override;
    bool redraw_all(bool recompute) const override;
    qvBaseRegion const& redraw_area(bool recompute) const override;
    // The transformation from the stored clipping region to the device.
    qvRestrictedTransformation const& clip_transformation() const noexcept { return clip_transformation_; }

    // ---- transformation changes ----------------------------------------------------
    void apply_left(qvRestrictedTransformation const& t) override;
    void apply_right(qvRestrictedTransformation const& t) override;

    // Adds qvViewActiveLayerObject to the layer base's answers.
    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    qvViewActiveLayerImplementation();
    qvViewActiveLayerImplementation(qvViewActiveLayerImplementation const&) = delete;
    qvViewActiveLayerImplementation& operator=(qvViewActiveLayerImplementation const&) = delete;

    // Pushes, applies the local device clip, runs `step` (the drawing),
    // pops and enforces the settings; the pop also runs when `step` raises.
    template <class Step>
    bool render_in_local_clip(qvViewVBuf& vbuf, Step&& step);
    // This class's apply_left with invalidation notices held back; the
    // notice switch is back on every exit.
    void apply_left_unnoticed(qvRestrictedTransformation const& t);

private:
    // The position of the child naming `layer`'s object, or the end.
    std::vector<qvViewLayer>::iterator find(qvViewLayer const& layer);
    // Whether `layer` is this layer or one above it.
    bool is_self_or_ancestor(qvViewLayer const& layer) const;
    // Takes `layer` out of the active layer its parent link names.
    void leave_old_parent(qvViewLayer const& layer);
    // Puts `layer` at `at` and points its parent link here.
    void insert(std::vector<qvViewLayer>::iterator at, qvViewLayer const& layer);
    // Calls `step` on each child, front to back or back to front, holding
    // the child while it runs.
    template <class Step>
    void each_child(bool front_to_back, Step&& step) const;
    // One transformation change: `carry` maps the waiting area, `compose`
    // makes the new clip transformation from the old.
    template <class Compose>
    void change_clip(qvRestrictedTransformation const& carry, Compose&& compose);
    // Invalidates the device clip, or the whole layer, with notification.
    void invalidate_covered();
    void subtree_changed() noexcept;

    qvRestrictedTransformation clip_transformation_;
    mutable qvGridRegion own_clip_;
    mutable bool own_clip_current_ = false;
    mutable bool subtree_computed_ = false;
    mutable bool subtree_unclipped_ = false;
    mutable bool subtree_clip_current_ = false;
    mutable qvGridRegion subtree_clip_;
    mutable bool redraw_area_current_ = false;
    mutable qvGridRegion redraw_area_;
    mutable bool redraw_all_current_ = false;
    mutable bool redraw_all_ = false;
    std::vector<qvViewLayer> children_;
};

template <class Step>
bool qvViewActiveLayerImplementation::render_in_local_clip(qvViewVBuf& vbuf, Step&& step) {
    vbuf.push();
    bool finished;
    try {
        if (!no_local_device_clipping())
            vbuf.mul_clipping(local_device_clipping());
        finished = step();
    } catch (...) {
        vbuf.pop();
        throw;
    }
    vbuf.pop();
    vbuf.enforce_settings();
    return finished;
}
