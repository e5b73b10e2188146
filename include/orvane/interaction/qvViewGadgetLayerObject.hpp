#pragma once
// qvViewGadgetLayerObject: the active layer manipulators draw their gadgets
// on. It keeps one gadget scene per target scene, each shown by a scene
// layer registered in the view manager right after the gadget layer, and
// one device-space gadget scene whose layer maps with the identity.
//
// A gadget layer suits views whose scene layers map their scene by
// translation and scale. Over a container scene that holds other scenes
// (the gadget layer built on such a scene puts every gadget into it) every
// gadget is drawn through every gadget scene layer.

#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewBaseLayer.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

class qvContainerScene;

class qvViewGadgetLayerObject : public virtual qvViewActiveLayerObject {
public:
    ~qvViewGadgetLayerObject() override = default;

    // The device-space gadget scene layer (identity mapping, independent),
    // made on first use; empty while the layer is in no view.
    virtual qvViewSceneLayer gadget_scene_layer() = 0;
    // The companion of `target`: a gadget scene layer that follows the
    // target's current mapping, one per scene shown. Raises
    // qvErrorFrom<qvViewGadgetLayerImplementation> "Gadget layer must be
    // connected to a view" when it would have to be made while the layer is
    // in no view.
    virtual qvViewSceneLayer gadget_scene_layer(qvViewSceneLayer const& target) = 0;

    // A new gadget layer; its gadget scenes use `scene` (not owned) when it
    // is given, else memory scenes of their own. Empty when none can be made.
    static qvViewBaseLayer create(qvContainerScene* scene);

protected:
    qvViewGadgetLayerObject() noexcept = default;
    qvViewGadgetLayerObject(qvViewGadgetLayerObject const&) noexcept = default;
    qvViewGadgetLayerObject& operator=(qvViewGadgetLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewGadgetLayerObject);
