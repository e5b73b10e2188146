// The whole road on the raster test host driver: a memory scene with a
// drawing scene of labels and symbols above it, in one view (background,
// two scene layers, a gadget layer) written to orvane_pipeline.bmp; a
// point selection at a spot names the shape hit; the scale manipulator
// drags a handle of that shape; the box before and after, and the window
// again in orvane_pipeline_edited.bmp.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/drawings/qvDrawingScene.hpp>
#include <orvane/drawings/qvLabelDrawing.hpp>
#include <orvane/drawings/qvStandardSymbolPainters.hpp>
#include <orvane/drawings/qvSymbolDrawing.hpp>
#include <orvane/interaction/qvPointSelection.hpp>
#include <orvane/interaction/qvScaleManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvRasterDriver.hpp"

#include <iostream>

namespace {

char const* const pipeline_names[] = {"?", "field", "well"};

void print_pipeline_box(char const* what, qvRectangle const& shape) {
    const qvMathRectOf<double> b = shape->rectangle();
    std::cout << "  " << what << ": (" << b.x1 << ", " << b.y1 << ")-(" << b.x2 << ", " << b.y2 << ")\n";
}

void save_pipeline_window(qvRasterDriver& window, qvDeviceRenderer const& renderer, char const* file) {
    const qvRegion invalid = window.take_invalid();   // the host's expose
    if (!invalid.empty())
        renderer->redraw(invalid, false);
    if (window.save_bmp(file))
        std::cout << "  wrote " << file << '\n';
    else
        std::cout << "  could not write " << file << " here\n";
}

}  // namespace

void example_pipeline() {
    std::cout << "The whole road\n";
    qvMemoryScene scene;
    const qvRectangle field(scene, qvMathRectOf<double>(10, 10, 60, 40));
    field->user_handle(1);
    qvEllipse(scene, qvCrdOf<double>(75, 30), 8)->user_handle(2);

    // Labels and symbols live outside the memory scene, in a drawing scene
    // the application owns; they are drawn above it.
    qvDrawingScene marks;
    const qvSharedAttribute ink(qvCreateAttributeProxy(&marks.palette(), 0));
    ink->line_color(0.6f, 0.1f, 0.1f);
    qvLabelDrawing title;
    title.text_attribute(ink);
    title.text("field A");
    title.anchor(qvCrdOf<double>(35, 45));
    const qvSymbolPainterPtr star(new qvStarSymbolPainter(ink));
    qvSymbolDrawing marker(star.get(), qvCrdOf<double>(75, 30), 10, 10, false);
    marks.items()->add(&title, qvOrderLast);
    marks.items()->add(&marker, qvOrderLast);

    qvViewManager view = qvViewCreator::create();
    view->background()->fill_color(qvRgbColor(0.95f, 0.95f, 0.85f));
    view->background()->fill_style(qvFillStyle(2));
    const qvRestrictedTransformation mapping(2, 2, 10, 10);
    qvViewGadgetLayer gadgets(0);
    qvViewSceneLayer shapes(scene, -1);
    qvViewSceneLayer drawings(marks, -1);
    shapes->mapping(mapping);
    drawings->mapping(mapping);
    view->add(qvViewLayer(gadgets), qvOrderLast);
    view->add(qvViewLayer(drawings), qvOrderLast);
    view->add(qvViewLayer(shapes), qvOrderLast);
    qvRasterSettings settings;
    settings.window_width = 200;
    settings.window_height = 120;
    const qvISafePtr<qvRasterDriver> window = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(qvISafePtr<qvDriverObject>(window, window.get()), view);
    renderer->backing_store(true);
    renderer->redraw(qvRegion(qvMathRectOf<double>(0, 0, 200, 120)), false);
    save_pipeline_window(*window, renderer, "orvane_pipeline.bmp");

    // The host's click at device (50, 50), model (20, 20).
    qvGraphicList hits;
    qvPointSelection(shapes).select(hits, qvCrdOf<double>(50, 50), 0x20);
    qvIndirectIterator<qvGraphic> it = hits->enumerate();
    if (!it) {
        std::cout << "  nothing under (50, 50)\n";
        return;
    }
    const qvGraphic hit = *it;
    auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(hit.get());
    const long name = proxy != nullptr ? proxy->user_handle() : 0;
    std::cout << "  under (50, 50): " << pipeline_names[name > 0 && name < 3 ? name : 0] << '\n';

    qvScaleManipulator scale;
    if (!scale.activate(gadgets, shapes, hit)) {
        std::cout << "  the shape cannot be scaled\n";
        return;
    }
    print_pipeline_box("before", field);
    // Handle 7, the top-right corner: model (60, 40), device (130, 90).
    if (scale.begin(qvCrdOf<double>(130, 90))) {
        scale.move(qvCrdOf<double>(150, 100));
        scale.end();
    }
    print_pipeline_box("after", field);
    scale.deactivate();
    save_pipeline_window(*window, renderer, "orvane_pipeline_edited.bmp");
    marks.items()->clear();
}
