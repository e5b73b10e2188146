#pragma once
// qvViewGroupLayer: the counted handle of a group layer. Built from a handle
// of another kind of layer it is empty. See qvViewHandle for the rules.

#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewGroupLayerObject.hpp>

class qvViewGroupLayer : public qvViewHandle<qvViewGroupLayerObject, qvViewBaseLayerObject, qvViewBaseLayer,
                                             qvViewLayer, qvViewActiveLayer> {
public:
    using qvViewHandle::qvViewHandle;
    // True: a new group layer (qvViewGroupLayerObject::create); false: empty.
    explicit qvViewGroupLayer(bool make)
        : qvViewHandle(make ? qvViewGroupLayer(qvViewGroupLayerObject::create()) : qvViewGroupLayer()) {}
};
