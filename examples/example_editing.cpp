// Editing: a host drags the third point of a polygon through the point-set
// edit manipulator, then traces a click polygon around two of three shapes
// and selects them. The view maps at scale 2 and offset 10; the host passes
// device coordinates, the shapes keep model coordinates.

#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvPointSetEditManipulator.hpp>
#include <orvane/interaction/qvPolygonSelectionManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvRasterDriver.hpp"

#include <iostream>

namespace {

void print_editing_points(char const* what, qvGraphic const& shape) {
    qvAdapter<qvPointSetDataAccess> points(shape);
    std::cout << "  " << what << ":";
    for (int i = 0; i < points->size(); ++i)
        std::cout << " (" << points->point(i).x << ", " << points->point(i).y << ")";
    std::cout << "\n";
}

}  // namespace

void example_editing() {
    std::cout << "Editing\n";
    qvMemoryScene scene;
    const qvCrdOf<double> corners[] = {{0, 0}, {10, 0}, {20, 20}, {10, 30}, {0, 20}};
    const qvExactPolygon polygon(scene, 5, corners);

    qvViewManager view = qvViewCreator::create();
    qvViewGadgetLayer gadgets(0);
    qvViewSceneLayer layer(scene, -1);
    layer->mapping(qvRestrictedTransformation(2, 2, 10, 10));
    view->add(qvViewLayer(gadgets), qvOrderLast);
    view->add(qvViewLayer(layer), qvOrderLast);
    qvRasterSettings settings;
    settings.window_width = 200;
    settings.window_height = 150;
    const qvISafePtr<qvRasterDriver> window = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(qvISafePtr<qvDriverObject>(window, window.get()), view);

    {
        qvPointSetEditManipulator edit;
        edit.activate(gadgets, layer, polygon);
        print_editing_points("polygon before", polygon);
        // The third point stands at model (20, 20), device (50, 50).
        if (edit.begin(qvCrdOf<double>(50, 50))) {
            edit.move(qvCrdOf<double>(60, 40));
            edit.move(qvCrdOf<double>(70, 30));
            edit.end();
        }
        print_editing_points("polygon after", polygon);
    }

    polygon->destroy_shape();
    const qvRectangle a(scene, qvMathRectOf<double>(0, 0, 10, 10));
    const qvRectangle b(scene, qvMathRectOf<double>(20, 20, 30, 30));
    const qvRectangle c(scene, qvMathRectOf<double>(60, 50, 70, 60));
    qvGraphicList selected;
    qvClickPolygonSelectionManipulator click;
    click.activate(gadgets, layer, selected);
    // Device points: a square around a and b, c left outside.
    click.begin(qvCrdOf<double>(5, 5));
    click.track(qvCrdOf<double>(80, 5));
    click.add_point(qvCrdOf<double>(80, 5));
    click.track(qvCrdOf<double>(80, 80));
    click.add_point(qvCrdOf<double>(80, 80));
    click.track(qvCrdOf<double>(5, 80));
    const bool found = click.end(0);
    std::cout << "  click polygon selected " << selected->size() << " of 3 shapes (" << (found ? "a hit" : "none")
              << ")\n";
    for (qvIndirectIterator<qvGraphic> it = selected->enumerate(); it; ++it) {
        const qvMathRectOf<double> r = qvRectangle(*it)->rectangle();
        std::cout << "    rectangle (" << r.x1 << ", " << r.y1 << ")-(" << r.x2 << ", " << r.y2 << ")\n";
    }
}
