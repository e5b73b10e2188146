#pragma once
// qvViewAttrCollector: hears the attribute changes of a scene layer's
// palette. A change of a shared attribute invalidates the whole layer (a
// change of an attribute one shape uses reaches the view through that
// shape's own rectangle); every change drops the attribute's baked form
// from the view driver's cache.
//
// Keeps true: connected only while the layer has a scene and a view with a
// driver; the layer is referred to weakly and owns the collector.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/views/qvViewAttrCollectorBase.hpp>
#include <orvane/views/qvViewSceneLayerObject.hpp>

class qvScene;

class qvViewAttrCollector : public qvViewAttrCollectorBase {
public:
    qvViewAttrCollector() = default;
    ~qvViewAttrCollector() override;

    void attach(qvViewSceneLayerObject* layer) { layer_ = layer; }
    // Listens to `scene`'s palette (the layer's scene, none when null) for
    // the layer's view's driver.
    void connect(qvScene* scene);
    void invalidate(long const& handle, int shared) override;
    using qvViewAttrCollectorBase::invalidate;

protected:
    qvViewArea* target() const override;

private:
    qvIWeakPtr<qvViewSceneLayerObject> layer_;
};
