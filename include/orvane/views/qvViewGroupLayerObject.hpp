#pragma once
// qvViewGroupLayerObject: the plain active layer: holds children and draws
// them inside its own device clipping, with no buffer of its own. Every
// view manager keeps one as the root of its tree.

#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewBaseLayer.hpp>

class qvViewGroupLayerObject : public virtual qvViewActiveLayerObject {
public:
    ~qvViewGroupLayerObject() override = default;

    // A new group layer, no children; empty when none can be made.
    static qvViewBaseLayer create();

protected:
    qvViewGroupLayerObject() noexcept = default;
    qvViewGroupLayerObject(qvViewGroupLayerObject const&) noexcept = default;
    qvViewGroupLayerObject& operator=(qvViewGroupLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewGroupLayerObject);
