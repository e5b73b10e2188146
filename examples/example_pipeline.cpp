// The whole road on the raster test host driver: a memory scene with a
// drawing scene of labels and symbols above it, in one view (background,
// two scene layers, a gadget layer and the host's cursor, a layer the
// application wrote itself) written to orvane_pipeline.bmp; a point
// selection at a spot names the shape hit; the scale manipulator drags the
// corner of that shape at its largest x and y (top-right in the model,
// bottom-right in the picture: device y grows downwards) inwards while the
// cursor follows; the cursor layer is removed, and the window, repaired, is
// written again to orvane_pipeline_edited.bmp.
//
// What makes a shape visible: the standard cook bakes a line only when its
// attribute has a line style other than 1 (unset reads as 1) and a colour,
// and a fill only with a fill style other than 1 and a colour; the raster
// host paints style 0 (the cook's fallback when a colour is missing) as
// nothing. The background layer paints only when it is opaque: a fill
// style other than 0 needs its colour and its background colour. Every
// attribute below sets style and colour together.
//
// tests/views/qvExampleOutput_test.cpp probes both pictures: keep the
// colours, places and the drag below in step with it.

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

#include "example_cursor_layer.hpp"
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
    const qvRgbColor paper(0.95f, 0.95f, 0.85f), grass(0.55f, 0.75f, 0.45f), water(0.3f, 0.5f, 0.85f),
        edge(0.2f, 0.3f, 0.2f), red(0.75f, 0.15f, 0.1f), cursor_color(0.5f, 0.2f, 0.6f);
    qvMemoryScene scene;
    const qvRectangle field(scene, qvMathRectOf<double>(10, 10, 60, 40));
    field->user_handle(1);
    field->line_style(qvLineStyle(2));
    field->line_color(edge);
    field->fill_style(qvFillStyle(2));
    field->fill_color(grass);
    const qvEllipse well(scene, qvCrdOf<double>(75, 30), 8);
    well->user_handle(2);
    well->line_style(qvLineStyle(2));
    well->line_color(edge);
    well->fill_style(qvFillStyle(2));
    well->fill_color(water);

    // Labels and symbols live outside the memory scene, in a drawing scene
    // the application owns; they are drawn above it. A label's text is
    // drawn with the fill of its attribute (the raster host fills its box),
    // the star with both line and fill.
    qvDrawingScene marks;
    const qvSharedAttribute ink(qvCreateAttributeProxy(&marks.palette(), 0));
    ink->line_style(qvLineStyle(2));
    ink->line_color(red);
    ink->fill_style(qvFillStyle(2));
    ink->fill_color(red);
    qvLabelDrawing title;
    title.text_attribute(ink);
    title.text("field A");
    title.anchor(qvCrdOf<double>(35, 45));
    const qvSymbolPainterPtr star(new qvStarSymbolPainter(ink));
    qvSymbolDrawing marker(star.get(), qvCrdOf<double>(75, 30), 10, 10, false);
    marks.items()->add(&title, qvOrderLast);
    marks.items()->add(&marker, qvOrderLast);

    qvViewManager view = qvViewCreator::create();
    // Opaque: a fill style other than 0 with both colours.
    view->background()->fill_color(paper);
    view->background()->fill_background_color(paper);
    view->background()->fill_style(qvFillStyle(2));
    const qvRestrictedTransformation mapping(2, 2, 10, 10);
    qvViewGadgetLayer gadgets(0);
    qvViewSceneLayer shapes(scene, -1);
    qvViewSceneLayer drawings(marks, -1);
    shapes->mapping(mapping);
    drawings->mapping(mapping);
    // The host's cursor at the spot it will click, device (50, 50).
    auto* const pointer = new CursorLayer(qvCrdOf<double>(50, 50), 3, cursor_color);
    const qvViewLayer cursor(static_cast<qvViewBaseLayerObject*>(pointer));  // owns it
    // Each added to the end, drawn over what came before: the shapes, the
    // labels and symbols, the manipulators' gadgets, the cursor on top.
    view->add(qvViewLayer(shapes), qvOrderLast);
    view->add(qvViewLayer(drawings), qvOrderLast);
    view->add(qvViewLayer(gadgets), qvOrderLast);
    view->add(cursor, qvOrderLast);
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
    // Handle 7, the model's top-right corner (the picture's bottom-right):
    // model (60, 40), device (130, 90),
    // dragged in to device (110, 80); the cursor follows the pointer.
    if (scale.begin(qvCrdOf<double>(130, 90))) {
        pointer->move_to(qvCrdOf<double>(130, 90));
        scale.move(qvCrdOf<double>(110, 80));
        pointer->move_to(qvCrdOf<double>(110, 80));
        scale.end();
    }
    print_pipeline_box("after", field);
    scale.deactivate();
    // The host hides its cursor: the layer leaves the view, which repaints
    // what it covered.
    view->remove(cursor, false);
    save_pipeline_window(*window, renderer, "orvane_pipeline_edited.bmp");
    marks.items()->clear();
}
