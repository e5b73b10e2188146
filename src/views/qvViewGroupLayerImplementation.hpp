#pragma once
// qvViewGroupLayerImplementation: the plain active layer. It draws its
// children inside its own device clip, with no buffer of its own; children,
// order and direction are the active layer's.
//
// Keeps true: render leaves the render buffer's clipping, origin and clip
// stack as it found them, also when a child throws.

#include <orvane/views/qvViewGroupLayerObject.hpp>

#include "views/qvViewActiveLayerImplementation.hpp"

class qvViewGroupLayerImplementation : public virtual qvViewGroupLayerObject,
                                       public qvViewActiveLayerImplementation {
public:
    qvViewGroupLayerImplementation() = default;
    ~qvViewGroupLayerImplementation() override;

    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override;
    // A new group with this layer's flags, filter and area state and no
    // children.
    qvViewBaseLayer clone() override;
    void* query_interface(qvInterfaceInfo const& info) override;
};
