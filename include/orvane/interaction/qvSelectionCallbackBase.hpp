#pragma once
// qvSelectionCallbackBase: the view of a callback selection, which hands
// every hit record to an application callback and works on any scene. Its
// view is made once (a view manager whose background paints nothing, a
// scene layer in front); each select makes a fresh selector, and a fresh
// renderer when it takes the view's road (see qvSelectionRenderDirect).
//
// Built on a scene, coordinates are the scene layer's default mapping and
// no driver is wrapped; built on a view's scene layer, a clone of that
// layer is drawn and the driver of that layer's view is wrapped (it
// supplies resolutions and the default spot tolerance). A spot's box is
// grown by the farthest the scene's pens and markers reach, as for the
// proxy selections; copies share that knowledge.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewManager.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <memory>

class qvScene;
class qvSelectionReach;

class qvSelectionCallbackBase {
protected:
    qvSelectionCallbackBase() = default;
    ~qvSelectionCallbackBase() = default;

    void mirror_view(qvScene& scene);
    void mirror_view(qvViewSceneLayer& layer);
    // Renders `area` through `selector` with a renderer made for it.
    void run(qvISafePtr<qvDriverObject> const& selector, qvMathRectOf<double> const& area);
    qvISafePtr<qvDriverObject> const& wrapped_driver() const noexcept { return driver_; }
    // The farthest the ink of the scene's records reaches beyond their boxes.
    double reach();

private:
    qvViewManager view_;
    qvViewSceneLayer layer_;
    qvDeviceRenderer renderer_;
    qvISafePtr<qvDriverObject> driver_;
    std::shared_ptr<qvSelectionReach> reach_;
};
