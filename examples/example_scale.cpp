// Scaling: a host drags a handle of the scale manipulator. A rectangle on
// a view at scale 2 and offset 10 gets the eight handles of a scale
// manipulator; the host's press, drag and release (device coordinates)
// pull handle 7, top-right in the model and bottom-right in the picture
// (device y grows downwards), and the rectangle follows, keeping its
// aspect ratio (the default style). The window is written before and after
// to orvane_scale_before.bmp and orvane_scale_after.bmp. The handles take
// their look from the gadget palette's "HandleBar" style, a square marker
// filled grey 0.25 (with fill style 0), which the raster host paints as a
// small grey square over the rectangle's corners and edges.
//
// The rectangle is drawn because its attribute has a line style and a fill
// style (other than 1, which is also what an unset style reads as) each
// with a colour; the background because its fill style, other than 0, has
// both its colour and its background colour.
// tests/views/qvExampleOutput_test.cpp probes both pictures: keep the
// colours and the drag below in step with it.

#include <orvane/interaction/qvScaleManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvRasterDriver.hpp"

#include <iostream>

namespace {

void print_scale_box(char const* what, qvRectangle const& shape) {
    const qvMathRectOf<double> b = shape->rectangle();
    std::cout << "  " << what << ": (" << b.x1 << ", " << b.y1 << ")-(" << b.x2 << ", " << b.y2 << ")\n";
}

void save_scale_window(qvRasterDriver& window, qvDeviceRenderer const& renderer, char const* file) {
    const qvRegion invalid = window.take_invalid();  // the host's expose
    if (!invalid.empty())
        renderer->redraw(invalid, false);
    if (window.save_bmp(file))
        std::cout << "  wrote " << file << " in the current folder\n";
    else
        std::cout << "  could not write " << file << " here\n";
}

}  // namespace

void example_scale() {
    std::cout << "Scaling\n";
    qvMemoryScene scene;
    const qvRgbColor paper(0.95f, 0.95f, 0.85f), brick(0.8f, 0.4f, 0.25f), edge(0.35f, 0.15f, 0.1f);
    const qvRectangle shape(scene, qvMathRectOf<double>(10, 10, 50, 30));
    shape->line_style(qvLineStyle(2));
    shape->line_color(edge);
    shape->fill_style(qvFillStyle(2));
    shape->fill_color(brick);

    qvViewManager view = qvViewCreator::create();
    view->background()->fill_color(paper);
    view->background()->fill_background_color(paper);
    view->background()->fill_style(qvFillStyle(2));
    qvViewGadgetLayer gadgets(0);
    qvViewSceneLayer layer(scene, -1);
    layer->mapping(qvRestrictedTransformation(2, 2, 10, 10));
    // Each add with qvOrderLast goes in front of what the view holds: the
    // gadget layer, added second, shows its handles over the rectangle.
    view->add(qvViewLayer(layer), qvOrderLast);
    view->add(qvViewLayer(gadgets), qvOrderLast);
    qvRasterSettings settings;
    settings.window_width = 200;
    settings.window_height = 150;
    const qvISafePtr<qvRasterDriver> window = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(qvISafePtr<qvDriverObject>(window, window.get()), view);
    renderer->backing_store(true);
    renderer->redraw(qvRegion(qvMathRectOf<double>(0, 0, 200, 150)), false);

    qvScaleManipulator scale;
    if (!scale.activate(gadgets, layer, shape)) {
        std::cout << "  the rectangle cannot be scaled\n";
        return;
    }
    print_scale_box("before", shape);
    save_scale_window(*window, renderer, "orvane_scale_before.bmp");

    // Handle 7 sits on the model's top-right corner, (50, 30): device
    // (110, 70), the picture's bottom-right.
    const bool grabbed = scale.begin(qvCrdOf<double>(110, 70));
    std::cout << "  pressed on handle 7: " << (grabbed ? "grabbed" : "missed") << '\n';
    if (grabbed) {
        scale.move(qvCrdOf<double>(170, 110));  // model (80, 50)
        scale.end();
    }
    print_scale_box("after", shape);
    save_scale_window(*window, renderer, "orvane_scale_after.bmp");
}
