#pragma once
// qvViewBaseLayer: the counted handle of any layer, through its base layer
// interface; what layer factories return. See qvViewHandle for the rules.

#include <orvane/views/qvViewBaseLayerObject.hpp>
#include <orvane/views/qvViewHandle.hpp>

class qvViewBaseLayer : public qvViewHandle<qvViewBaseLayerObject, qvViewBaseLayerObject> {
public:
    using qvViewHandle::qvViewHandle;
};
