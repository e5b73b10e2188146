#pragma once
// qvViewMultiBufferLayer: the counted handle of a multi-buffer layer. Built
// from a handle of another kind of layer it is empty. See qvViewHandle for
// the rules.

#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewMultiBufferLayerObject.hpp>

class qvViewMultiBufferLayer : public qvViewHandle<qvViewMultiBufferLayerObject, qvViewBaseLayerObject,
                                                   qvViewBaseLayer, qvViewLayer, qvViewActiveLayer> {
public:
    using qvViewHandle::qvViewHandle;
    // 0: empty; otherwise a new layer of n buffers
    // (qvViewMultiBufferLayerObject::create).
    explicit qvViewMultiBufferLayer(int n)
        : qvViewHandle(n == 0 ? qvViewMultiBufferLayer()
                              : qvViewMultiBufferLayer(qvViewMultiBufferLayerObject::create(n))) {}
};
