#pragma once
// qvViewDataLayer: the counted handle of a data layer. Built from a handle
// of another kind of layer it is empty. See qvViewHandle for the rules.

#include <orvane/views/qvViewDataLayerObject.hpp>
#include <orvane/views/qvViewLayer.hpp>

class qvViewDataLayer : public qvViewHandle<qvViewDataLayerObject, qvViewBaseLayerObject,
                                            qvViewBaseLayer, qvViewLayer> {
public:
    using qvViewHandle::qvViewHandle;
};
