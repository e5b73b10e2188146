// Printing: page formats, a print preview and switchable prepared pictures.
//
// A page format knows the paper's size in points and the print area inside
// the margins. A page scene lays a view's picture out on sheets of paper:
// shown by a scene layer of a second (preview) view, it draws a sheet with
// a shadow per page and the printed view inside it, here two pages side by
// side at half size on a 700 x 440 raster test window, written to
// orvane_preview.bmp. The page scene draws its sheets and shadows with fill
// style 0, which the raster test host paints as nothing (a host's driver
// gives the style its own look), so the picture shows each page's print
// area, white with the printed view's background, on the preview's grey.
// Last, a multi-buffer layer keeps two rendered pictures of a view and
// shows either with one copy, drawing nothing anew.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvPageFormat.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewMultiBufferLayer.hpp>
#include <orvane/views/qvViewPageScene.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvRasterDriver.hpp"

#include <iostream>

namespace {

using PrintRect = qvMathRectOf<double>;

qvISafePtr<qvDriverObject> printing_driver(qvISafePtr<qvRasterDriver> const& driver) {
    return qvISafePtr<qvDriverObject>(driver, static_cast<qvDriverObject*>(driver.get()));
}

// A solid rectangle of one colour.
void printing_box(qvMemoryScene& scene, PrintRect const& box, float r, float g, float b) {
    qvAttributeProxy style(scene, 0);
    style.fill_style(qvFillStyle{2});
    style.fill_color(r, g, b);
    style.line_style(qvLineStyle{2});
    style.line_color(r, g, b);
    qvRectangle(scene, box, &style);
}

void printing_paper(qvViewManager const& view, float grey) {
    qvViewBackgroundLayerObject& paper = *view->background();
    paper.fill_color(qvRgbColor(grey, grey, grey));
    paper.fill_background_color(qvRgbColor(grey, grey, grey));
    paper.fill_style(qvFillStyle(2));
}

void printing_formats() {
    std::cout << "  A4 is " << qvHardcopyUnits::paper_width(qvHardcopyUnits::a4) << " x "
              << qvHardcopyUnits::paper_height(qvHardcopyUnits::a4) << " points\n";
    qvPageFormat format;
    PrintRect area = format.print_area();
    std::cout << "  the default format (US Letter, half-inch margins) prints in (" << area.x1 << ", " << area.y1
              << ")-(" << area.x2 << ", " << area.y2 << ")";
    format.orientation(qvPageFormat::landscape);
    area = format.print_area();
    std::cout << ", turned in (" << area.x1 << ", " << area.y1 << ")-(" << area.x2 << ", " << area.y2 << ")\n";
}

void printing_preview() {
    // The picture to print: 1080 x 720 device units, two print areas wide.
    qvMemoryScene drawing;
    printing_box(drawing, PrintRect(100, 100, 980, 250), 0.2f, 0.3f, 0.9f);
    printing_box(drawing, PrintRect(200, 350, 420, 620), 0.9f, 0.2f, 0.2f);
    printing_box(drawing, PrintRect(700, 420, 1000, 660), 0.2f, 0.7f, 0.3f);
    const qvViewManager printed = qvViewCreator::create();
    printed->add(qvViewSceneLayer(drawing, -1), qvOrderFirst);
    printing_paper(printed, 1.0f);

    // Each page shows one print area's worth of the picture; the second
    // page's sheet stands 650 points right of the first.
    qvViewPageScene pages(printed);
    pages.addPage(PrintRect(0, 0, 540, 720), qvTranslation(36, 36));
    pages.addPage(PrintRect(540, 0, 1080, 720), qvTranslation(146, 36));

    const qvViewManager preview = qvViewCreator::create();
    printing_paper(preview, 0.6f);
    const qvViewSceneLayer sheets(pages, 0);
    sheets->mapping(qvRestrictedTransformation(0.5, 0.5, 20, 20));
    preview->add(sheets, qvOrderFirst);
    qvRasterSettings settings;
    settings.window_width = 700;
    settings.window_height = 440;
    const qvISafePtr<qvRasterDriver> window = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(printing_driver(window), preview);
    renderer->redraw(qvGridRegion(PrintRect(0, 0, 700, 440)), false);
    std::cout << "  previewed " << pages.totalPages() << " pages: " << window->draw_count()
              << " shapes drawn (a sheet and a shadow per page, in fill style 0, and the printed view in each)\n";
    if (window->save_bmp("orvane_preview.bmp"))
        std::cout << "  wrote orvane_preview.bmp in the current folder\n";
    else
        std::cout << "  could not write orvane_preview.bmp here\n";
}

void printing_prepared_pictures() {
    qvMemoryScene scene;
    printing_box(scene, PrintRect(20, 20, 80, 60), 0.9f, 0.2f, 0.2f);
    const qvViewManager view = qvViewCreator::create();
    printing_paper(view, 1.0f);
    const qvViewMultiBufferLayer pictures(2);
    view->add(pictures, qvOrderFirst);
    view->add(qvViewSceneLayer(scene, -1), qvOrderFirst);
    qvRasterSettings settings;
    settings.window_width = 200;
    settings.window_height = 150;
    settings.image_types = {3};
    const qvISafePtr<qvRasterDriver> window = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(printing_driver(window), view);

    pictures->render_into(0);
    // The second picture: the rectangle moved to the right.
    const qvRectangle box(*scene.enumerate(-1));
    box->rectangle(PrintRect(120, 80, 180, 120));
    pictures->render_into(1);
    for (const int shown : {0, 1}) {
        pictures->select(shown);
        const long drawn = window->draw_count();
        renderer->redraw(qvGridRegion(PrintRect(0, 0, 200, 150)), false);
        const qvRgbaQuad left = window->pixel(50, 40), right = window->pixel(150, 100);
        std::cout << "  picture " << shown << " shown with " << window->draw_count() - drawn
                  << " shapes drawn: the left spot is " << (left.green() < 128 ? "red" : "white")
                  << ", the right one " << (right.green() < 128 ? "red" : "white") << '\n';
    }
}

}  // namespace

void example_printing() {
    std::cout << "Printing: page formats, a print preview of two pages, prepared pictures\n";
    printing_formats();
    printing_preview();
    printing_prepared_pictures();
}
