#pragma once
// qvViewManagerObject: the root of a view's layer tree and the layer a
// renderer draws. Applications register their layers with it in one flat,
// ordered list (front to back); it ends the invalidation climb at its
// renderer.
//
// Keeps true: the manager refers to its renderer weakly; the renderer
// answer is empty when none is set or the renderer is gone.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/shapes/qvOrder.hpp>
#include <orvane/views/qvViewLayerObject.hpp>

class qvBaseRenderer;
class qvDriverObject;
class qvViewBackgroundLayerObject;
class qvViewLayer;

class qvViewManagerObject : public virtual qvViewLayerObject {
public:
    ~qvViewManagerObject() override = default;

    // The registered layers, first to last.
    virtual qvIndirectIterator<qvViewLayer> layers() = 0;
    // Registers `layer` relative to `reference`; `quiet` adds without
    // invalidating.
    virtual bool add(qvViewLayer const& layer, qvOrder order, qvViewLayer const& reference,
                     bool quiet) = 0;
    virtual bool remove(qvViewLayer const& layer, bool quiet) = 0;
    // Whether `layer` is registered; the walk of layers().
    virtual bool contains(qvViewLayer const& layer);
    // While deferred, adding and removing do not rebuild the tree; both
    // false rebuilds at once.
    virtual void defer_update(bool defer, bool keep) = 0;
    // Held weakly; an empty handle detaches.
    virtual void renderer(qvBaseRenderer const& renderer) = 0;
    virtual qvBaseRenderer renderer() const = 0;
    // The renderer's driver; empty without a renderer.
    virtual qvISafePtr<qvDriverObject> driver() const = 0;
    virtual qvViewBackgroundLayerObject* background() const = 0;
    // Has the renderer redraw `region` of the tree at once; false without a
    // renderer.
    virtual bool redraw(qvBaseRegion const& region, bool front_to_back) = 0;

    // add(layer, order, no reference, not quiet). An implementation that
    // overrides the four-argument add brings this one back with a
    // using-declaration.
    bool add(qvViewLayer const& layer, qvOrder order);

protected:
    qvViewManagerObject() noexcept = default;
    qvViewManagerObject(qvViewManagerObject const&) noexcept = default;
    qvViewManagerObject& operator=(qvViewManagerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewManagerObject);
