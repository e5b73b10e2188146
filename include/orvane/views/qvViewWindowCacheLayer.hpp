#pragma once
// qvViewWindowCacheLayer: the counted handle of a window-cache layer. Built
// from a handle of another kind of layer it is empty. See qvViewHandle for
// the rules.

#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewWindowCacheLayerObject.hpp>

class qvViewWindowCacheLayer : public qvViewHandle<qvViewWindowCacheLayerObject, qvViewBaseLayerObject,
                                                   qvViewBaseLayer, qvViewLayer, qvViewActiveLayer> {
public:
    using qvViewHandle::qvViewHandle;
    // Always a new layer (qvViewWindowCacheLayerObject::create(cache)).
    explicit qvViewWindowCacheLayer(bool cache)
        : qvViewHandle(qvViewWindowCacheLayer(qvViewWindowCacheLayerObject::create(cache))) {}
};
