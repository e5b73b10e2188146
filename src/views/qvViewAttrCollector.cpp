// The scene layer's attribute collector: the scene's palette, for the
// layer's view's driver.

#include <orvane/views/qvViewAttrCollector.hpp>

#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/shapes/qvScene.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

qvViewAttrCollector::~qvViewAttrCollector() { disconnect_all(); }

void qvViewAttrCollector::connect(qvScene* scene) {
    qvViewSceneLayerObject* const layer = layer_.get();
    qvViewManagerObject* const view = layer != nullptr && scene != nullptr ? layer->view() : nullptr;
    const qvISafePtr<qvDriverObject> driver = view != nullptr ? view->driver() : qvISafePtr<qvDriverObject>();
    listen(driver ? &scene->palette() : nullptr, driver);
}

qvViewArea* qvViewAttrCollector::target() const { return layer_.get(); }

void qvViewAttrCollector::invalidate(long const& handle, int shared) {
    qvViewSceneLayerObject* const layer = layer_.get();
    if (layer == nullptr)
        return;
    if (shared != 0)
        invalidate_once(*layer);
    drop(handle);
}
