#pragma once
// qvViewBackgroundLayer: the counted handle of a background layer. Built
// from a handle of another kind of layer it is empty. See qvViewHandle for
// the rules.

#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewHandle.hpp>
#include <orvane/views/qvViewLayer.hpp>

class qvViewBackgroundLayer
    : public qvViewHandle<qvViewBackgroundLayerObject, qvViewBaseLayerObject, qvViewBaseLayer, qvViewLayer> {
public:
    using qvViewHandle::qvViewHandle;
    // True: a new layer over a palette of its own, grey 1.0; false: empty.
    explicit qvViewBackgroundLayer(bool make)
        : qvViewHandle(make ? qvViewBackgroundLayer(qvViewBackgroundLayerObject::create())
                            : qvViewBackgroundLayer()) {}
    explicit qvViewBackgroundLayer(qvRgbColor const& color)
        : qvViewHandle(qvViewBackgroundLayer(qvViewBackgroundLayerObject::create(color))) {}
    qvViewBackgroundLayer(qvPalette* palette, char const* name)
        : qvViewHandle(qvViewBackgroundLayer(qvViewBackgroundLayerObject::create(palette, name))) {}
};
