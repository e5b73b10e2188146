#pragma once
// qvViewRectCollector: hears a scene's changed model rectangles for one
// scene layer and invalidates their device image in it: mapped by the
// layer's mapping, grown by the driver's added width, dropped when wholly
// outside a window of known size, rounded outward to whole device units.
// Only the first invalidation after a re-arm notifies the layer's
// superiors; later ones only add to the invalid area.
//
// Keeps true:
//  - the layer and the renderer are referred to weakly: the layer owns the
//    collector, and a renderer that dies only skips the window test;
//  - connected to the scene's rectangle sender whenever the layer has a
//    scene; without a view the receiver option is off, so it hears only the
//    scene's end and collects nothing;
//  - when the scene's sender dies the layer is reset to no scene and layer
//    -1, so it never points at a freed scene; nothing reconnects inside the
//    sender's teardown;
//  - rectangles that are inverted or have a NaN or infinite coordinate are
//    ignored;
//  - the window's size and offset are read for every event, as the host may
//    resize or move the window between two events without telling anyone;
//    only the buffer's offset interface is kept, and only while the
//    renderer still hands out the very buffer it was asked of (a buffer's
//    interfaces do not change over its life, its offset may).

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/views/qvBaseRendererObject.hpp>
#include <orvane/views/qvViewSceneLayerObject.hpp>

class qvScene;
class qvVBufObject;
class qvVBufOffset;

class qvViewRectCollector : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
public:
    qvViewRectCollector() : qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>>(true) {}
    ~qvViewRectCollector() override;

    void attach(qvViewSceneLayerObject* layer) { layer_ = layer; }
    // Listens to `scene` (the layer's, none when null) as the layer's view
    // allows; see the file comment.
    void connect(qvScene* scene);
    // For the next redraw: notifies once more (and hears again in a view).
    void rearm();
    qvScene* scene() const noexcept { return scene_; }
    double grow() const noexcept { return grow_x_; }

    void invalidate() override;
    void invalidate(qvMathRectOf<double> const& rect, int layer) override;

protected:
    void partner_destroyed(qvSenderBase* sender) override;

private:
    void invalidate_once(qvViewSceneLayerObject& layer, qvMathRectOf<double> const* rect);
    // Whether `grown` may show in the renderer's window: no renderer, or a
    // window without a positive size, tests nothing.
    bool may_show(qvMathRectOf<double> const& grown);
    // The window buffer's offset interface (null: the buffer stands at
    // (0, 0)), asked of a buffer only when the renderer hands out another.
    qvVBufOffset* window_offset(qvBaseRendererObject& renderer);

    qvIWeakPtr<qvViewSceneLayerObject> layer_;
    qvScene* scene_ = nullptr;
    qvIWeakPtr<qvBaseRendererObject> renderer_;
    bool notify_ = true;
    bool viewed_ = false;
    double grow_x_ = 0.0, grow_y_ = 0.0;
    qvIWeakPtr<qvVBufObject> window_;
    qvVBufOffset* window_offset_ = nullptr;
};
