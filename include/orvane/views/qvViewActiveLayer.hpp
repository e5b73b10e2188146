#pragma once
// qvViewActiveLayer: the counted handle of a active layer. Built from a handle
// of another kind of layer it is empty. See qvViewHandle for the rules.

#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewLayer.hpp>

class qvViewActiveLayer : public qvViewHandle<qvViewActiveLayerObject, qvViewBaseLayerObject,
                                            qvViewBaseLayer, qvViewLayer> {
public:
    using qvViewHandle::qvViewHandle;
};
