#pragma once
// qvViewSceneLayer: the counted handle of a scene layer. Built from a handle
// of another kind of layer it is empty. See qvViewHandle for the rules.

#include <orvane/views/qvViewDataLayer.hpp>
#include <orvane/views/qvViewSceneLayerObject.hpp>

class qvViewSceneLayer : public qvViewHandle<qvViewSceneLayerObject, qvViewBaseLayerObject, qvViewBaseLayer,
                                             qvViewLayer, qvViewDataLayer> {
public:
    using qvViewHandle::qvViewHandle;
    // A new scene layer over `scene`'s layer `layer` (-1: all layers).
    qvViewSceneLayer(qvScene& scene, int layer)
        : qvViewHandle(qvViewSceneLayer(qvViewSceneLayerObject::create(scene, layer))) {}
};
