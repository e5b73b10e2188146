// The background layer's collector: one attribute of one palette.

#include <orvane/views/qvViewBkAttrCollector.hpp>

#include <orvane/views/qvViewManagerObject.hpp>

qvViewBkAttrCollector::~qvViewBkAttrCollector() { disconnect_all(); }

void qvViewBkAttrCollector::connect(qvViewManagerObject* view) {
    qvViewBackgroundLayerObject* const layer = layer_.get();
    qvPalette* const palette = layer != nullptr ? layer->background_palette() : nullptr;
    listen(palette, view != nullptr ? view->driver() : qvISafePtr<qvDriverObject>());
}

qvViewArea* qvViewBkAttrCollector::target() const { return layer_.get(); }

void qvViewBkAttrCollector::invalidate(long const& handle, int) {
    qvViewBackgroundLayerObject* const layer = layer_.get();
    if (layer == nullptr || handle != layer->background_attribute())
        return;
    invalidate_once(*layer);
    drop(handle);
}

// The palette is dying: nothing may call it, so the handle is forgotten
// without releasing it, and the layer stops drawing.
void qvViewBkAttrCollector::palette_gone() {
    qvViewBackgroundLayerObject* const layer = layer_.get();
    if (layer == nullptr)
        return;
    layer->attr_handle(0);
    layer->attr_source(nullptr);
    layer->has_background(false);
}
