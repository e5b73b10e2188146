// Example section: a host window glued to a view. A host subclass of
// qvUIView reports its scroll bars; the view shows a 2000 x 1500 canvas of
// rectangles through a 400 x 300 raster window, under a window-cache layer,
// so that each scroll step has the scene draw only the strips it uncovered.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvUIView.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>
#include <orvane/views/qvViewWindowCacheLayer.hpp>

#include "qvRasterDriver.hpp"
#include "qvRasterLog.hpp"

#include <iostream>
#include <vector>

namespace {

// The host's window: it would move its scroll bars; here it prints them.
class ExampleWindowHost : public qvUIView {
public:
    void update_scrollbar(ScrollOrientation orientation, ScrollBarInfo const& info) override {
        std::cout << "    " << (orientation == HORIZONTAL ? "horizontal" : "vertical") << " bar shows " << info.first
                  << " to " << info.last << " of " << info.min << " to " << info.max << "\n";
    }
};

// Pixels of the clips under which the driver drew shapes since its log was
// cleared: what the layers under the cache had to draw.
long example_window_drawn_pixels(qvRasterDriver const& driver, long width, long height) {
    return static_cast<long>(qvRasterRegionPixels(qvRasterDrawnRegion(driver.log(), width, height)));
}

}  // namespace

void example_window() {
    std::cout << "Window glue: a 2000 x 1500 canvas scrolled through a 400 x 300 window\n";
    qvMemoryScene scene;
    std::vector<qvAttributeProxy> styles;
    for (int i = 0; i < 6; ++i) {
        qvAttributeProxy& style = styles.emplace_back(scene, 0);
        const qvRgbColor colour(0.15f * static_cast<float>(i), 0.8f - 0.1f * static_cast<float>(i), 0.4f);
        style.fill_style(qvFillStyle{2});
        style.fill_color(colour);
        style.fill_background_color(colour);
    }
    unsigned seed = 7;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(n));
    };
    for (int i = 0; i < 600; ++i) {
        const double x = next(1960), y = next(1470);
        qvRectangle(scene, x, y, x + 10 + next(30), y + 8 + next(22), &styles[static_cast<std::size_t>(i % 6)]);
    }

    qvRasterSettings settings;
    settings.window_width = 400;
    settings.window_height = 300;
    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);

    ExampleWindowHost host;
    qvViewBackgroundLayerObject& paper = *host.view()->background();
    paper.fill_color(qvRgbColor(0.95f, 0.90f, 0.75f));
    paper.fill_background_color(qvRgbColor(0.95f, 0.90f, 0.75f));
    paper.fill_style(qvFillStyle(2));
    const qvViewWindowCacheLayer cache(true);
    cache->notify_invalidation(true);
    host.view()->add(cache, qvOrderFirst);
    cache->add(qvViewSceneLayer(scene, -1), qvOrderFirst);

    host.virtual_limits(qvWinRectOf<double>(0, 0, 2000, 1500));
    host.viewport_limits(qvWinRectOf<double>(0, 0, 400, 300));
    host.initialize(qvISafePtr<qvDriverObject>(driver, static_cast<qvDriverObject*>(driver.get())));
    std::cout << "  feedback on:\n";
    host.mode(qvUIView::FEEDBACK);
    driver->clear_log();
    host.renderer()->redraw(driver->take_invalid(), false);
    std::cout << "  first redraw: the scene drew " << example_window_drawn_pixels(*driver, 400, 300) << " pixels\n";

    for (int step = 1; step <= 20; ++step) {
        const qvCrdOf<double> by{static_cast<double>(next(61) - 20), static_cast<double>(next(41) - 10)};
        std::cout << "  step " << step << ": scroll by (" << by.x << ", " << by.y << ")\n";
        host.scroll(by);
        driver->clear_log();
        host.renderer()->redraw(driver->take_invalid(), false);
        const qvCrdOf<double> at = host.position(qvUIView::X0_Y0);
        std::cout << "    viewport at (" << at.x << ", " << at.y << "), the scene drew "
                  << example_window_drawn_pixels(*driver, 400, 300) << " pixels\n";
    }
}
