#pragma once
// qvViewManagerImplementation: the root of a view's layer tree. The
// application registers layers in one flat list (front to back); the
// manager builds the drawn tree from it under its root group `head`: each
// registered active layer receives the layers registered after it, and the
// background `bg` goes last into the innermost one. Towards the renderer the
// manager is one layer: flags and clipping are head's, prepare and render go
// to head, and invalidations end at the renderer.
//
// Keeps true:
//  - head and bg exist from construction to destruction;
//  - a layer is registered at most once, never the manager itself nor a
//    manager whose tree holds this one (add refuses those before changing
//    anything), and every registered layer's view names this manager;
//  - unless deferred, head's subtree is the rebuild of the list: the
//    rebuild clears head and then adds every layer in list order, each
//    add taking the layer out of its old active layer first, so no layer
//    keeps a stale parent or a child it no longer owns;
//  - the renderer is held weakly, so a destroyed renderer leaves the
//    manager with an empty renderer() and driver();
//  - the two cached redraw answers live from their first computation to
//    cleanup() or a forced recomputation.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvViewBackgroundLayer.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>
#include <orvane/views/qvViewManager.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

#include <orvane/views/qvViewLayerImplementation.hpp>

#include <cstddef>
#include <vector>

class qvViewManagerImplementation : public virtual qvViewManagerObject, public qvViewLayerImplementation {
public:
    enum : unsigned { frozen_mapping_flag = 0x200 };

    qvViewManagerImplementation();
    // A manager holding clones of `other`'s registered layers, in order,
    // with its flags, filter, area state and clipping.
    explicit qvViewManagerImplementation(qvViewManagerObject& other);
    qvViewManagerImplementation& operator=(qvViewManagerImplementation const&) = delete;
    ~qvViewManagerImplementation() override;

    // ---- the registered list -----------------------------------------------
    using qvViewManagerObject::add;
    qvIndirectIterator<qvViewLayer> layers() override;
    bool add(qvViewLayer const& layer, qvOrder order, qvViewLayer const& reference, bool quiet) override;
    bool remove(qvViewLayer const& layer, bool quiet) override;
    bool contains(qvViewLayer const& layer) override;
    void defer_update(bool defer, bool keep) override;
    std::size_t layer_count() const noexcept { return layers_.size(); }
    qvViewLayer const& layer_at(std::size_t index) const { return layers_[index]; }

    // ---- renderer ---------------------------------------------------------------
    void renderer(qvBaseRenderer const& renderer) override;
    qvBaseRenderer renderer() const override;
    qvISafePtr<qvDriverObject> driver() const override;
    qvViewBackgroundLayerObject* background() const override { return bg_.get(); }
    bool redraw(qvBaseRegion const& region, bool front_to_back) override;
    qvViewGroupLayerObject* head() const noexcept { return head_.get(); }

    // ---- the layer a renderer draws --------------------------------------------
    unsigned flags(unsigned value) override;
    unsigned flags() const override;
    bool no_clipping() const override;
    void clipping(qvBaseRegion const* region) override;
    qvBaseRegion const& clipping() const override;
    bool no_local_device_clipping() const override;
    qvBaseRegion const& local_device_clipping() const override;
    bool no_device_clipping() const override;
    qvBaseRegion const& device_clipping() const override;
    void prepare(qvBaseRegion& region, bool front_to_back) override;
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override;
    void cleanup() override;
    void apply_left(qvRestrictedTransformation const& rt) override;
    void apply_right(qvRestrictedTransformation const& rt) override;
    bool redraw_all(bool force) const override;
    qvBaseRegion const& redraw_area(bool force) const override;

    void reinitialize() override;
    qvViewBaseLayer clone() override;
    void* query_interface(qvInterfaceInfo const& info) override;

private:
    void make_head_and_bg(char const* head_line, char const* bg_line);
    void rebuild();
    // Brings the tree up to date after `held` was registered at the end of
    // the list: appended in front of the background when the tree is as
    // the last rebuild left it and holds no active layer but head, else
    // rebuilt.
    void update_after_append(qvViewLayer const& held);
    std::vector<qvViewLayer>::iterator find(qvViewLayer const& layer);
    // Whether `layer` is this manager or a manager whose registered tree
    // holds this one.
    bool would_cycle(qvViewLayer const& layer) const;
    qvBaseRendererObject* live_renderer() const { return renderer_.get(); }

    std::vector<qvViewLayer> layers_;
    qvViewGroupLayer head_;
    qvViewBackgroundLayer bg_;
    qvIWeakPtr<qvBaseRendererObject> renderer_;
    bool deferred_ = false;
    // The tree is what rebuild() makes of the list (no deferred change
    // since), and head is the only active layer in it.
    bool tree_current_ = false;
    bool tree_flat_ = false;
    mutable bool redraw_area_known_ = false;
    mutable qvGridRegion redraw_region_;
    mutable bool redraw_all_known_ = false;
    mutable bool redraw_all_ = true;
};
