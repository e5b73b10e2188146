// The rectangle collector: model rectangles of a scene into device areas
// of one scene layer. Per event: one mapping, one growth, one window test,
// one rounding and one invalidation; only the first event of a redraw
// cycle climbs the tree.
//
// Cost model: an event is a few loads and virtual calls with no allocation
// and no interface query. The window test asks the renderer for its size
// and its window buffer, and the buffer for its offset, every time (none
// of them tells anyone when it changes); the buffer's offset interface is
// looked up again only when the renderer hands out another buffer.

#include <orvane/views/qvViewRectCollector.hpp>

#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvVBufOffset.hpp>
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
    window_ = qvIWeakPtr<qvVBufObject>();
    window_offset_ = nullptr;
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

void qvViewRectCollector::invalidate_once(qvViewSceneLayerObject& layer, qvMathRectOf<double> const* rect) {
    const bool notify = notify_;
    const bool arrived = rect != nullptr ? layer.invalidate(*rect, notify) : layer.invalidate(notify);
    if (notify)
        notify_ = !arrived;
}

void qvViewRectCollector::invalidate() {
    if (qvViewSceneLayerObject* const layer = layer_.get())
        invalidate_once(*layer, nullptr);
}

qvVBufOffset* qvViewRectCollector::window_offset(qvBaseRendererObject& renderer) {
    const qvISafePtr<qvVBufObject> window = renderer.vbuf();
    qvVBufObject* const current = window.get();
    if (current == nullptr)
        return nullptr;
    // A buffer that died clears the weak pointer, so a new one at its
    // address is never taken for it.
    if (current != window_.get()) {
        window_ = window;
        window_offset_ = qvQueryInterface<qvVBufOffset>(current);
    }
    return window_offset_;
}

// The size is read first and the place of the same window after it; the
// size read is the size tested against.
bool qvViewRectCollector::may_show(qvMathRectOf<double> const& grown) {
    qvBaseRendererObject* const renderer = renderer_.get();
    if (renderer == nullptr)
        return true;
    const long w = renderer->width(), h = renderer->height();
    if (w <= 0 || h <= 0)
        return true;
    qvCrdOf<long> at{0, 0};
    if (qvVBufOffset* const offset = window_offset(*renderer))
        at = qvCrdOf<long>{offset->x_offset(), offset->y_offset()};
    return qvRectsOverlap(grown, qvViewPlacedRect(at, w, h));
}

// The layer's own number is asked only when the event names one: an event
// for every layer (-1) reaches any layer.
void qvViewRectCollector::invalidate(qvMathRectOf<double> const& rect, int layer_number) {
    qvViewSceneLayerObject* const layer = layer_.get();
    if (layer == nullptr)
        return;
    if (!qvIsFinite(rect) || rect.x2 < rect.x1 || rect.y2 < rect.y1)
        return;
    if (layer_number != -1) {
        const int own = layer->layer();
        if (own != -1 && own != layer_number)
            return;
    }
    const qvMathRectOf<double> image = qvTransformRect(rect, layer->mapping());
    const qvMathRectOf<double> grown(image.x1 - grow_x_, image.y1 - grow_y_, image.x2 + grow_x_,
                                     image.y2 + grow_y_);
    if (!may_show(grown))
        return;
    const qvMathRectOf<double> rounded(std::floor(grown.x1), std::floor(grown.y1), std::ceil(grown.x2),
                                       std::ceil(grown.y2));
    // Asked again: the renderer's answers ran code that could let it go.
    if (qvViewSceneLayerObject* const still = layer_.get())
        invalidate_once(*still, &rounded);
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
