#pragma once
// qvViewWindowScrollLayer: the counted handle of a window-scroll layer.
// Built from a handle of another kind of layer it is empty. See
// qvViewHandle for the rules.

#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewWindowScrollLayerObject.hpp>

class qvViewWindowScrollLayer : public qvViewHandle<qvViewWindowScrollLayerObject, qvViewBaseLayerObject,
                                                    qvViewBaseLayer, qvViewLayer, qvViewActiveLayer> {
public:
    using qvViewHandle::qvViewHandle;
    // Always a new layer (qvViewWindowScrollLayerObject::create(on)).
    explicit qvViewWindowScrollLayer(bool on)
        : qvViewHandle(qvViewWindowScrollLayer(qvViewWindowScrollLayerObject::create(on))) {}
};
