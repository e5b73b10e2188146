// Selections: picking shapes the way a user points at them. A few named
// shapes (their user handle indexes the names) are selected under a spot,
// inside a box, and by a drag box that a host drives with device
// coordinates on a view at scale 2 and offset 10.

#include <orvane/interaction/qvDragBoxSelectionManipulator.hpp>
#include <orvane/interaction/qvPointSelection.hpp>
#include <orvane/interaction/qvRectangleSelection.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvRasterDriver.hpp"

#include <iostream>

namespace {

char const* const selection_names[] = {"?", "paper", "stamp", "seal", "coin"};

void print_selection(char const* what, qvGraphicList& list) {
    std::cout << "  " << what << ":";
    for (qvIndirectIterator<qvGraphic> it = list->enumerate(); it; ++it) {
        auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(it->get());
        const long name = proxy != nullptr ? proxy->user_handle() : 0;
        std::cout << " " << selection_names[name > 0 && name < 5 ? name : 0];
    }
    std::cout << "\n";
}

}  // namespace

void example_selections() {
    std::cout << "Selections\n";
    qvMemoryScene scene;
    qvRectangle(scene, qvMathRectOf<double>(0, 0, 60, 40))->user_handle(1);
    qvRectangle(scene, qvMathRectOf<double>(10, 10, 20, 20))->user_handle(2);
    qvEllipse(scene, qvCrdOf<double>(45, 25), 8)->user_handle(3);
    qvRectangle(scene, qvMathRectOf<double>(70, 5, 80, 15))->user_handle(4);

    // Model coordinates: without 0x01 only the topmost shape under the spot.
    qvGraphicList list;
    qvPointSelection(scene).select(list, qvCrdOf<double>(15, 15), 0x20);
    print_selection("under (15, 15)", list);

    // 0x01 every shape wholly inside, 0x10 the list cleared first.
    qvRectangleSelection(scene).select(list, qvMathRectOf<double>(5, 2, 85, 35), 0x11);
    print_selection("inside (5, 2, 85, 35)", list);

    // A view: the gadget layer in front, the scene at scale 2 and offset 10.
    qvViewManager view = qvViewCreator::create();
    qvViewGadgetLayer gadgets(0);
    qvViewSceneLayer layer(scene, -1);
    layer->mapping(qvRestrictedTransformation(2, 2, 10, 10));
    view->add(qvViewLayer(gadgets), qvOrderLast);
    view->add(qvViewLayer(layer), qvOrderLast);
    qvRasterSettings settings;
    settings.window_width = 200;
    settings.window_height = 120;
    const qvISafePtr<qvRasterDriver> window = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(qvISafePtr<qvDriverObject>(window, window.get()), view);

    // The host's mouse: press, drag, release (device coordinates).
    qvGraphicList picked;
    qvDragBoxSelectionManipulator drag;
    drag.activate(gadgets, layer, picked);
    drag.begin(qvCrdOf<double>(20, 20));
    drag.move(qvCrdOf<double>(120, 80));
    drag.end(0x01);
    print_selection("dragged over (20, 20, 120, 80)", picked);
}
