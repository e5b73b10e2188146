#pragma once
// qvWindowScript: a seeded script over a whole view, for the window layers.
// It builds a memory scene of rectangles (each moved later through its own
// proxy), a view manager with the layer under test registered first and a
// scene layer under it (the background goes last, inside it), and a device
// renderer with the given flags on a raster test host driver. Steps edit,
// scroll by one of three roads, zoom and redraw; after a redraw the window
// can be compared with a fresh full render (qvFreshRenderCheck), and the
// raster call log tells what the children drew (the clip of every draw
// object that drew a shape) and how often the window was scrolled.
//
// Roads of a scroll: at the device renderer (it moves the window and its
// memory buffer itself), through the view manager's own scroll (nothing
// moves the pixels), and through a mapping control linked to the layer
// under test (link type 3, no offset, sized to the window), which moves
// the layer alone.
//
// The layer under test has notify_invalidation on, so each road tells the
// window what it has to repaint; the scene layer keeps it off.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvMappingControl.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>
#include <orvane/views/qvViewWindowCacheLayer.hpp>
#include <orvane/views/qvViewWindowScrollLayer.hpp>

#include "qvDriverHandle.hpp"
#include "qvFreshRenderCheck.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterLog.hpp"

#include <random>
#include <string>
#include <vector>

enum class qvWindowLayerKind { group, cache_buffered, cache_copy_back, cache_double, scroll };
enum class qvWindowRoad { renderer, manager, control };

inline char const* qvWindowLayerName(qvWindowLayerKind kind) {
    switch (kind) {
    case qvWindowLayerKind::group: return "group";
    case qvWindowLayerKind::cache_buffered: return "cache buffered";
    case qvWindowLayerKind::cache_copy_back: return "cache copy-back";
    case qvWindowLayerKind::cache_double: return "cache copy-back double";
    case qvWindowLayerKind::scroll: return "scroll";
    }
    return "?";
}

struct qvWindowScriptSetup {
    qvWindowLayerKind layer = qvWindowLayerKind::scroll;
    unsigned renderer_flags = 0;   // 0x1 backing store, 0x2 double buffering
    int shapes = 500;
    long width = 400, height = 300;
    unsigned seed = 1;
    bool pixels = true;
    bool log = true;
    // When set, the layer under test instead of one of `layer`'s kind.
    qvViewLayer custom;
    // Buffer types of the driver (qvRasterSettings::buffer_types).
    std::vector<unsigned> buffer_types{0x2, 0};
    // Off: the constructor leaves the window undrawn.
    bool first_redraw = true;
};

class qvWindowScript {
public:
    explicit qvWindowScript(qvWindowScriptSetup const& setup) : setup_(setup), rng_(setup.seed) {
        build_scene();
        view = qvViewCreator::create();
        qvViewBackgroundLayerObject& bg = *view->background();
        bg.fill_color(qvRgbColor(0.95f, 0.90f, 0.75f));
        bg.fill_background_color(qvRgbColor(0.95f, 0.90f, 0.75f));
        bg.fill_style(qvFillStyle(2));
        tested = setup.custom ? setup.custom : layer_of_kind(setup.layer);
        tested->notify_invalidation(true);
        scene_layer = qvViewSceneLayer(scene, -1);
        view->add(tested, qvOrderFirst);   // 6: behind every registered layer
        view->add(scene_layer, qvOrderFirst);

        qvRasterSettings settings;
        settings.window_width = setup.width;
        settings.window_height = setup.height;
        settings.pixels = setup.pixels;
        settings.log = setup.log;
        settings.buffer_types = setup.buffer_types;
        driver = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
        renderer->backing_store((setup.renderer_flags & 1u) != 0);
        renderer->double_buffered((setup.renderer_flags & 2u) != 0);
        control = qvMappingControlObject::create();
        control->add(tested, 3, qvCrdOf<double>{0, 0});
        control->resize(qvMathRectOf<double>(0, 0, static_cast<double>(setup.width), static_cast<double>(setup.height)));
        if (setup.first_redraw)
            redraw_all();
    }
    qvWindowScript(qvWindowScript const&) = delete;
    qvWindowScript& operator=(qvWindowScript const&) = delete;

    // ---- steps -------------------------------------------------------------------
    // Moves one rectangle, chosen by the seed, through its proxy.
    void edit() {
        qvRectangle& shape = shapes_[pick(shapes_.size())];
        const qvMathRectOf<double> r = shape->rectangle();
        const double dx = between(-40, 40), dy = between(-40, 40);
        shape->rectangle(qvMathRectOf<double>(r.x1 + dx, r.y1 + dy, r.x2 + dx, r.y2 + dy));
    }
    void scroll(qvWindowRoad road, int dx, int dy) {
        const double x = dx, y = dy;
        switch (road) {
        case qvWindowRoad::renderer: renderer->scroll(x, y); break;
        case qvWindowRoad::manager: view->scroll(x, y); break;
        case qvWindowRoad::control: {
            // The control moves its window over the model (at its own scale,
            // 1): the picture moves the other way.
            control->scroll(-x, -y);
            break;
        }
        }
    }
    void zoom(double factor) {
        const qvCrdOf<double> centre{static_cast<double>(setup_.width / 2), static_cast<double>(setup_.height / 2)};
        renderer->zoom(centre, factor, factor);
        zoom_level_ *= factor;
    }
    // The host's redraw: what the window collected. Returns the renderer's
    // answer; the log holds only this redraw's calls afterwards.
    bool redraw() {
        driver->clear_log();
        return renderer->redraw(driver->take_invalid(), false);
    }
    // Redraws until the window reports nothing more to repaint (at most
    // four times); false when it still does.
    bool settle() {
        for (int i = 0; i < 4; ++i) {
            if (!driver->window().whole && driver->window().area.empty())
                return true;
            redraw();
        }
        return !driver->window().whole && driver->window().area.empty();
    }
    void redraw_all() {
        driver->take_invalid();
        driver->clear_log();
        renderer->redraw(qvRegion(qvMathRectOf<double>(0, 0, static_cast<double>(setup_.width),
                                                       static_cast<double>(setup_.height))),
                         false);
    }
    // One random step: an edit, a scroll by a random road (whole units,
    // -50 to 50 on each axis), a zoom by 2 or 1/2 (kept within 1/4 to 4), or
    // a redraw. `last_road` tells which road the scroll took.
    enum class Step { edit, scroll, zoom, redraw };
    Step random_step(int roads) {
        const int what = static_cast<int>(pick(10));
        if (what < 3) {
            edit();
            return Step::edit;
        }
        if (what < 6) {
            last_road = static_cast<qvWindowRoad>(pick(static_cast<std::size_t>(roads)));
            last_scroll = {static_cast<int>(between(-50, 50)), static_cast<int>(between(-50, 50))};
            scroll(last_road, last_scroll.x, last_scroll.y);
            return Step::scroll;
        }
        if (what < 7) {
            const double f = zoom_level_ >= 4 ? 0.5 : zoom_level_ <= 0.25 ? 2.0 : (pick(2) == 0 ? 2.0 : 0.5);
            zoom(f);
            return Step::zoom;
        }
        redraw();
        return Step::redraw;
    }

    // ---- what the log and the window say ---------------------------------------------
    ::testing::AssertionResult fresh() { return qvFreshRenderCheck(*driver, view, renderer->origin()); }
    // The union of the clips under which shapes were drawn since the log was
    // last cleared (window, memory buffer and caches alike). A draw object
    // that was never clipped draws on its whole buffer, taken as the
    // window's size (the memory buffers and caches here are).
    qvGridRegion children_drew() const {
        return qvRasterDrawnRegion(driver->log(), setup_.width, setup_.height);
    }
    int count(std::string const& prefix) const {
        int n = 0;
        for (std::string const& line : driver->log())
            n += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    qvMemoryScene scene;
    qvViewManager view;
    qvViewLayer tested;
    qvViewSceneLayer scene_layer;
    qvISafePtr<qvRasterDriver> driver;
    qvDeviceRenderer renderer;
    qvMappingControl control;
    qvWindowRoad last_road = qvWindowRoad::renderer;
    qvCrdOf<int> last_scroll{0, 0};

private:
    static qvViewLayer layer_of_kind(qvWindowLayerKind kind) {
        switch (kind) {
        case qvWindowLayerKind::group: return qvViewLayer(qvViewGroupLayer(true));
        case qvWindowLayerKind::cache_buffered: {
            const qvViewWindowCacheLayer cache(false);
            cache->buffered(true);
            return qvViewLayer(cache);
        }
        case qvWindowLayerKind::cache_copy_back:
        case qvWindowLayerKind::cache_double: {
            const qvViewWindowCacheLayer cache(false);
            cache->copy_back(true);
            cache->double_render(kind == qvWindowLayerKind::cache_double);
            return qvViewLayer(cache);
        }
        case qvWindowLayerKind::scroll: break;
        }
        return qvViewLayer(qvViewWindowScrollLayer(true));
    }
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
    double between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // Rectangles over three windows' width and height around the window,
    // in twelve solid colours.
    void build_scene() {
        for (int i = 0; i < 12; ++i) {
            qvAttributeProxy& a = attributes_.emplace_back(scene, 0);
            const qvRgbColor colour(0.08f * static_cast<float>(i), 0.9f - 0.07f * static_cast<float>(i),
                                    0.2f + 0.05f * static_cast<float>(i % 5));
            a.line_style(qvLineStyle{2});
            a.line_color(qvRgbColor(0.1f, 0.1f, 0.1f));
            a.fill_style(qvFillStyle{2});
            a.fill_color(colour);
            a.fill_background_color(colour);
        }
        const double w = static_cast<double>(setup_.width), h = static_cast<double>(setup_.height);
        for (int i = 0; i < setup_.shapes; ++i) {
            const double x = between(static_cast<int>(-w), static_cast<int>(2 * w));
            const double y = between(static_cast<int>(-h), static_cast<int>(2 * h));
            const double sw = between(4, 60), sh = between(4, 40);
            shapes_.emplace_back(scene, x, y, x + sw, y + sh, &attributes_[pick(attributes_.size())]);
        }
    }

    qvWindowScriptSetup setup_;
    std::mt19937 rng_;
    // The styles live as long as the script holds them.
    std::vector<qvAttributeProxy> attributes_;
    std::vector<qvRectangle> shapes_;
    double zoom_level_ = 1.0;
};
