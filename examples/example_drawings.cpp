// Drawings: a scene shown a second time, as a drawing.
//
// The every-kind scene is drawn by its own scene layer at scale 2 and
// offset 10 on a 400 x 300 window of the raster test host driver. Above it,
// a second scene layer shows a drawing scene that holds one scene adapter:
// the same memory scene again, scaled down to a quarter into the window's
// lower right corner. Moving one rectangle through its proxy repaints both
// places: the first layer hears the memory scene directly, the second
// through the adapter, which maps the change into its corner and reports
// it to its drawing scene. The window goes to orvane_drawings.bmp.

#include <orvane/drawings/qvDrawingScene.hpp>
#include <orvane/drawings/qvSceneAdapter.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvEveryKindScene.hpp"
#include "qvRasterDriver.hpp"

#include <iostream>

void example_drawings() {
    std::cout << "Drawings: a scene adapter shows a scene again, scaled into a corner\n";
    qvEveryKindScene every;
    qvMemoryScene& scene = every.scene();

    // The drawing scene with its one drawing: limits are the scene's area,
    // the rectangle a quarter of its size on screen (the layer maps 1:1).
    qvDrawingScene drawings;
    qvSceneAdapter corner(&scene, qvEveryKindScene::area(), false);
    corner.rectangle(qvMathRectOf<double>(300, 230, 390, 295));
    drawings.items()->add(&corner, qvOrderLast);

    const qvViewManager view = qvViewCreator::create();
    qvViewBackgroundLayerObject& paper = *view->background();
    paper.fill_color(qvRgbColor(0.95f, 0.90f, 0.75f));
    paper.fill_background_color(qvRgbColor(0.95f, 0.90f, 0.75f));
    paper.fill_style(qvFillStyle(2));
    const qvViewSceneLayer shapes(scene, -1);
    shapes->mapping(qvRestrictedTransformation(2, 2, 10, 10));
    view->add(shapes, qvOrderFirst);
    // Added last, the overlay is drawn after the shapes, over them.
    const qvViewSceneLayer overlay(drawings, 0);
    view->add(overlay, qvOrderLast);

    qvRasterSettings settings;
    settings.window_width = 400;
    settings.window_height = 300;
    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(qvISafePtr<qvDriverObject>(driver, static_cast<qvDriverObject*>(driver.get())),
                                    view);
    renderer->backing_store(true);
    renderer->redraw(qvGridRegion(qvMathRectOf<double>(0, 0, 400, 300)), false);
    driver->take_invalid();
    std::cout << "  first redraw: " << driver->draw_count() << " shapes drawn, each scene shape twice\n";

    // The edit: one rectangle moves; both of its pictures are repaired.
    qvRectangle rectangle;
    for (qvIndirectIterator<qvGraphic> it = scene.enumerate(-1); it && !rectangle; ++it)
        rectangle = qvRectangle(*it);
    const qvMathRectOf<double> before = rectangle->rectangle();
    rectangle->rectangle(qvMathRectOf<double>(before.x1 + 20, before.y1 + 10, before.x2 + 20, before.y2 + 10));
    const qvRegion collected = driver->take_invalid();
    std::cout << "  moved a rectangle by (20, 10); the window was told of " << qvRasterText(collected) << '\n';
    const long drawn = driver->draw_count();
    renderer->redraw(collected, false);
    std::cout << "  the repair drew " << driver->draw_count() - drawn << " shapes\n";

    if (driver->save_bmp("orvane_drawings.bmp"))
        std::cout << "  wrote orvane_drawings.bmp in the current folder\n";
    else
        std::cout << "  could not write orvane_drawings.bmp here\n";
    drawings.items()->clear();
}
