#pragma once
// qvViewBkAttrCollector: tells a background layer that its fill changed.
// It stays connected to the layer's palette whenever the layer has one,
// with or without a view, and hears only the layer's own attribute: every
// change of it invalidates the whole layer (shared or not: no shape reports
// a change of the background's attribute), and drops it from the driver's
// cache. It chains to no further receiver.
//
// Keeps true: the layer is referred to weakly; the layer owns the collector.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/views/qvViewAttrCollectorBase.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>

class qvViewManagerObject;

class qvViewBkAttrCollector : public qvViewAttrCollectorBase {
public:
    qvViewBkAttrCollector() = default;
    ~qvViewBkAttrCollector() override;

    void attach(qvViewBackgroundLayerObject* layer) { layer_ = layer; }
    // Listens to the layer's palette; with `view` set, for its driver.
    void connect(qvViewManagerObject* view);
    // The layer's own attribute changed: whole layer, once notifying.
    void invalidate(long const& handle, int shared) override;
    using qvViewAttrCollectorBase::invalidate;

protected:
    qvViewArea* target() const override;
    void palette_gone() override;

private:
    qvIWeakPtr<qvViewBackgroundLayerObject> layer_;
};
