// The rectangle collector: model rectangles of a scene into device areas
// of one scene layer. Per event: one mapping, one growth, one window test,
// one rounding and one invalidation; only the first event of a redraw
// cycle climbs the tree.

#include <orvane/views/qvViewRectCollector.hpp>

#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/shapes/qvScene.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

#include <cmath>

#include "views/qvViewWindowPlace.hpp"

qvViewRectCollector::~qvViewRectCollector() { disconnect_all(); }

void qvViewRectCollector::connect(qvScene* scene) {
    disconnect_all();
    grow_x_ = grow_y_ = 0.0;
    notify_ = true;
    viewed_ = false;
    scene_ = nullptr;
    renderer_ = qvIWeakPtr<qvBaseRendererObject>();
    qvViewSceneLayerObject* const layer = layer_.get();
    if (layer == nullptr || scene == nullptr)
        return;
    scene_ = scene;
    if (qvViewManagerObject* const view = layer->view()) {
        viewed_ = true;
        renderer_ = view->renderer();
        if (const qvISafePtr<qvDriverObject> driver = view->driver())
            grow_x_ = grow_y_ = static_cast<double>(driver->added_width());
    }
    // Unviewed, the collector still hears the scene's end.
    ordered(viewed_);
    qvBroadcastReceiver::connect(scene->rect_sender());
}

void qvViewRectCollector::rearm() {
    ordered(viewed_);
    notify_ = true;
}

void qvViewRectCollector::invalidate_once(qvMathRectOf<double> const* rect) {
    qvViewSceneLayerObject* const layer = layer_.get();
    if (layer == nullptr)
        return;
    const bool notify = notify_;
    const bool arrived = rect != nullptr ? layer->invalidate(*rect, notify) : layer->invalidate(notify);
    if (notify)
        notify_ = !arrived;
}

void qvViewRectCollector::invalidate() { invalidate_once(nullptr); }

void qvViewRectCollector::invalidate(qvMathRectOf<double> const& rect, int layer_number) {
    qvViewSceneLayerObject* const layer = layer_.get();
    if (layer == nullptr)
        return;
    if (!qvIsFinite(rect) || rect.x2 < rect.x1 || rect.y2 < rect.y1)
        return;
    const int own = layer->layer();
    if (own != -1 && layer_number != -1 && own != layer_number)
        return;
    const qvMathRectOf<double> image = qvTransformRect(rect, layer->mapping());
    const qvMathRectOf<double> grown(image.x1 - grow_x_, image.y1 - grow_y_, image.x2 + grow_x_,
                                     image.y2 + grow_y_);
    // The window's place is asked for every event: the host may resize or
    // move it between two events of one cycle without telling the layers.
    // The size read for the test is the size tested against.
    if (qvBaseRendererObject* const renderer = renderer_.get()) {
        const long w = renderer->width(), h = renderer->height();
        if (w > 0 && h > 0) {
            const qvISafePtr<qvVBufObject> window = renderer->vbuf();
            if (!qvRectsOverlap(grown, qvViewPlacedRect(qvViewBufferOffset(window.get()), w, h)))
                return;
        }
    }
    const qvMathRectOf<double> rounded(std::floor(grown.x1), std::floor(grown.y1), std::ceil(grown.x2),
                                       std::ceil(grown.y2));
    invalidate_once(&rounded);
}

// The scene is going: the layer forgets it. Its reset reconnects nothing
// (there is no scene), so nothing is filed with the dying sender.
void qvViewRectCollector::partner_destroyed(qvSenderBase*) {
    scene_ = nullptr;
    viewed_ = false;
    renderer_ = qvIWeakPtr<qvBaseRendererObject>();
    if (qvViewSceneLayerObject* const layer = layer_.get())
        layer->reset(nullptr, -1);
}
