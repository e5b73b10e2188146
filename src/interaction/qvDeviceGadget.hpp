#pragma once
// The life of a manipulator drawing one gadget shape on the device-space
// gadget scene of its gadget layer, shared by the drag box, the drag circle
// and the polygon manipulators: attach, detach, and drop the gadget. A
// gadget whose scene is gone has lost its record: it is dropped without
// erasing, and nothing raises.

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <utility>

// Attaches `manipulator` (deactivated first when active) to the device-space
// gadget scene layer of `gadget_layer`; false, leaving it inactive, when the
// gadget layer is in no view.
template <class Manipulator>
bool qvActivateOnDeviceGadgets(Manipulator& manipulator, qvViewGadgetLayer const& gadget_layer,
                               qvViewSceneLayer& device_layer, bool& active) {
    if (active)
        manipulator.deactivate();
    if (!gadget_layer)
        qvRaise(qvErrorFrom<Manipulator>("Gadget layer is not initialized"));
    qvViewSceneLayer device = gadget_layer->gadget_scene_layer();
    if (!device)
        return false;
    device_layer = std::move(device);
    active = true;
    return true;
}

// Erases the gadget through `drop_gadget`, then lets go of the layer.
template <class DropGadget>
void qvDeactivateOnDeviceGadgets(qvViewSceneLayer& device_layer, bool& active, DropGadget drop_gadget) {
    if (!active)
        return;
    drop_gadget();
    device_layer = qvViewSceneLayer();
    active = false;
}

// Empties `gadget` and removes its shape from the scene that still holds it.
template <class Shape>
void qvDropDeviceGadget(Shape& gadget) {
    if (!gadget)
        return;
    const Shape gone = std::move(gadget);
    gadget = Shape();
    if (gone->record() != nullptr)
        gone->destroy_shape();
}
