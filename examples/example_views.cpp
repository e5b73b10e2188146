// Views: the whole road from a scene to a picture on a host's window.
//
// The every-kind scene (one shape of every drawable kind, with its own
// palette) is shown by a scene layer at scale 2 and offset 10, under a view
// manager with a coloured background. A device renderer with backing store
// draws the view onto a 400 x 300 window of the raster test host driver
// (the stand-in for a host's screen driver). Then one rectangle is moved
// through its proxy: the scene layer hears the old and the new box, the
// window collects their device area, and the host redraws just that, from
// the backing store where it can. The window goes to orvane_scene.bmp and
// orvane_scene.gif; a second view of the same scene, on a dump driver,
// writes what it was handed for the same repair to orvane_scene.txt.
//
// tests/views/qvExampleOutput_test.cpp probes the two pictures: keep the
// colours and the move below in step with it.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvDumpDriverUser.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvEveryKindScene.hpp"
#include "qvRasterDriver.hpp"

#include <fstream>
#include <iostream>
#include <sstream>

namespace {

// One line per call a dump driver makes: what a second view hands a device.
class TextSink : public qvDumpDriverUser {
public:
    explicit TextSink(std::ostream& out) : out_(out) {}

    void transformation(qvRestrictedTransformation const&) override {}
    void clip(qvRegion const& region) override {
        out_ << "clip";
        for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
            out_ << " " << box(*it);
        out_ << "\n";
    }
    void fill_attributes(qvRgbColor c, long style, qvBitmap const&) override {
        out_ << "fill " << c.red() << " " << c.green() << " " << c.blue() << " style " << style << "\n";
    }
    void line_attributes(qvRgbColor c, double width, long style, qvLinePattern) override {
        out_ << "line " << c.red() << " " << c.green() << " " << c.blue() << " width " << width << " style " << style
             << "\n";
    }
    void marker_attributes(long style, qvBitmap const&) override { out_ << "marker style " << style << "\n"; }
    void font_attributes(long family, char const*, long, long) override { out_ << "font " << family << "\n"; }
    void rectangle(qvMathRectOf<double> const& r) override { out_ << "rectangle " << box(r) << "\n"; }
    void ellipse(qvMathRectOf<double> const& r) override { out_ << "ellipse " << box(r) << "\n"; }
    void polymarker(qvCrdOf<double> const*, long n) override { out_ << "polymarker " << n << "\n"; }
    void polyline(qvCrdOf<double> const*, long n) override { out_ << "polyline " << n << "\n"; }
    void polygon(qvCrdOf<double> const*, long n) override { out_ << "polygon " << n << "\n"; }
    void bezier(qvCrdOf<double> const*, qvPointTag const*, long n) override { out_ << "bezier " << n << "\n"; }
    void restricted_text(char const* text, qvCrdOf<double> const&, double, unsigned) override {
        out_ << "restricted_text \"" << text << "\"\n";
    }
    void scaled_text(char const* text, qvCrdOf<double> const&, double, double, double, unsigned) override {
        out_ << "scaled_text \"" << text << "\"\n";
    }
    void restricted_image(qvCrdOf<double> const&, unsigned, qvBitmapHeader const& h, qvColorMapEntry const*,
                          unsigned char const*) override {
        out_ << "restricted_image " << h.width << "x" << h.height << "\n";
    }
    void scaled_image(qvCrdOf<double> const&, qvCrdOf<double> const&, qvCrdOf<double> const&,
                      qvBitmapHeader const& h, qvColorMapEntry const*, unsigned char const*) override {
        out_ << "scaled_image " << h.width << "x" << h.height << "\n";
    }

private:
    static std::string box(qvMathRectOf<double> const& r) {
        std::ostringstream text;
        text << "(" << r.x1 << " " << r.y1 << " " << r.x2 << " " << r.y2 << ")";
        return text.str();
    }
    std::ostream& out_;
};

// The first rectangle of the scene, through its proxy.
qvRectangle first_rectangle(qvMemoryScene& scene) {
    for (qvIndirectIterator<qvGraphic> it = scene.enumerate(-1); it; ++it)
        if (const qvRectangle rectangle(*it); rectangle)
            return rectangle;
    return qvRectangle();
}

template <class D>
qvISafePtr<qvDriverObject> as_driver(qvISafePtr<D> const& driver) {
    return qvISafePtr<qvDriverObject>(driver, static_cast<qvDriverObject*>(driver.get()));
}

void print_pixel(qvRasterDriver const& driver, long x, long y, char const* what) {
    const qvRgbaQuad p = driver.pixel(x, y);
    std::cout << "    pixel (" << x << ", " << y << ") " << what << ": red " << int(p.red()) << ", green "
              << int(p.green()) << ", blue " << int(p.blue()) << '\n';
}

}  // namespace

void example_views() {
    std::cout << "Views: a scene layer on a device renderer, one edit repaired\n";
    qvEveryKindScene every;
    qvMemoryScene& scene = every.scene();
    std::cout << "  the scene's palette holds the style of each of its " << scene.size(-1) << " shapes\n";

    // The view: background, then the scene at scale 2 and offset 10.
    const qvViewManager view = qvViewCreator::create();
    // A solid brush: fill style 2 with colour and background colour alike.
    qvViewBackgroundLayerObject& paper = *view->background();
    paper.fill_color(qvRgbColor(0.95f, 0.90f, 0.75f));
    paper.fill_background_color(qvRgbColor(0.95f, 0.90f, 0.75f));
    paper.fill_style(qvFillStyle(2));
    const qvViewSceneLayer layer(scene, -1);
    layer->mapping(qvRestrictedTransformation(2, 2, 10, 10));
    view->add(layer, qvOrderFirst);

    // The host's window and the renderer that keeps a copy of it.
    qvRasterSettings settings;
    settings.window_width = 400;
    settings.window_height = 300;
    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(as_driver(driver), view);
    renderer->backing_store(true);
    renderer->redraw(qvGridRegion(qvMathRectOf<double>(0, 0, 400, 300)), false);
    driver->take_invalid();
    std::cout << "  first redraw: " << driver->draw_count() << " shapes drawn\n";

    // A second view of the scene (the same layers, copied) on a dump driver,
    // brought up to date before the edit.
    std::ostringstream transcript;
    TextSink sink(transcript);
    const qvViewManager second = qvViewCreator::create(view);
    const qvDeviceRenderer dump_renderer(as_driver(qvDumpDriverObject::create(&sink, 0, 0, 400, 300)), second);
    dump_renderer->redraw(qvGridRegion(qvMathRectOf<double>(0, 0, 400, 300)), false);
    transcript.str("");

    // The edit: the scene tells both views; the window collects its area.
    qvRectangle rectangle = first_rectangle(scene);
    const qvMathRectOf<double> before = rectangle->rectangle();
    rectangle->rectangle(qvMathRectOf<double>(before.x1 + 3, before.y1 + 2, before.x2 + 3, before.y2 + 2));
    const qvRegion collected = driver->take_invalid();
    std::cout << "  moved a rectangle by (3, 2); the window was told of " << qvRasterText(collected)
              << ", the view keeps the rest\n";
    const long drawn = driver->draw_count();
    renderer->redraw(collected, false);
    std::cout << "  the repair drew " << driver->draw_count() - drawn << " shapes\n";
    dump_renderer->redraw(qvGridRegion(), false);

    const bool written = driver->save_bmp("orvane_scene.bmp") && driver->save_gif("orvane_scene.gif");
    std::ofstream text("orvane_scene.txt");
    text << transcript.str();
    if (written && text.flush())
        std::cout << "  wrote orvane_scene.bmp, orvane_scene.gif and orvane_scene.txt in the current folder\n";
    else
        std::cout << "  could not write orvane_scene.bmp, .gif and .txt here\n";
    print_pixel(*driver, 5, 5, "background");
    print_pixel(*driver, static_cast<long>(2 * before.x1 + 10 + 8), static_cast<long>(2 * before.y2 + 10 + 2),
                "the rectangle's new strip");
}
