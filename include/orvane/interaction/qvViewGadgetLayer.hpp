#pragma once
// qvViewGadgetLayer: the counted handle of a gadget layer. Built from a
// handle of another kind of layer it is empty. See qvViewHandle for the
// rules.

#include <orvane/interaction/qvViewGadgetLayerObject.hpp>
#include <orvane/views/qvViewActiveLayer.hpp>

class qvPalette;

class qvViewGadgetLayer : public qvViewHandle<qvViewGadgetLayerObject, qvViewBaseLayerObject, qvViewBaseLayer,
                                              qvViewLayer, qvViewActiveLayer> {
public:
    using qvViewHandle::qvViewHandle;
    // A new gadget layer with memory scenes of its own; the argument is not
    // used.
    explicit qvViewGadgetLayer(int)
        : qvViewHandle(qvViewGadgetLayer(qvViewGadgetLayerObject::create(nullptr))) {}
    // A new gadget layer whose gadgets go into `scene` (not owned; it must
    // outlive the layer).
    explicit qvViewGadgetLayer(qvContainerScene* scene)
        : qvViewHandle(qvViewGadgetLayer(qvViewGadgetLayerObject::create(scene))) {}

    // The gadget palette while some gadget scene holds it, else null.
    static qvPalette* palette();
};
