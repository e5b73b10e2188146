// Print preview and prepared pictures.
//
// Preview: a 10,000-rectangle view (fixed seed) laid out on 16 pages, 4 x 4
// print areas of 540 x 720, shown at half size on a 1300 x 1700 raster test
// window without pixels or log. Redrawn whole, every page renders its part
// of the view; redrawn over 1% of the window (one corner of the first
// sheet), only that page renders, the other 15 cost one region computation
// each. Switch: a multi-buffer layer with two prepared 1000 x 1000 pictures
// (pixels on), shown alternately: one rectangle copy per redraw and no
// child rendering.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewMultiBufferLayer.hpp>
#include <orvane/views/qvViewPageScene.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using Rect = qvMathRectOf<double>;

void printing_bench_fill(qvMemoryScene& scene, int count, double width, double height) {
    qvAttributeProxy style(scene, 0);
    style.fill_style(qvFillStyle{2});
    style.fill_color(0.2f, 0.4f, 0.8f);
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<double> x(0, width - 20), y(0, height - 20);
    for (int i = 0; i < count; ++i) {
        const double x1 = x(rng), y1 = y(rng);
        qvRectangle(scene, x1, y1, x1 + 20, y1 + 20, &style);
    }
}

struct PrintingBenchPreview {
    qvMemoryScene content;
    qvViewManager printed = qvViewCreator::create();
    qvViewPageScene pages{printed};
    qvViewManager preview = qvViewCreator::create();
    qvISafePtr<qvRasterDriver> driver;
    qvDeviceRenderer renderer;

    PrintingBenchPreview() {
        printing_bench_fill(content, 10'000, 4 * 540, 4 * 720);
        printed->add(qvViewSceneLayer(content, -1), qvOrderFirst);
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                pages.addPage(Rect(column * 540, row * 720, (column + 1) * 540, (row + 1) * 720),
                              qvTranslation(36 + column * (650 - 540), 36 + row * (850 - 720)));
        const qvViewSceneLayer shown(pages, 0);
        shown->mapping(qvRestrictedTransformation(0.5, 0.5, 0, 0));
        preview->add(shown, qvOrderFirst);
        qvRasterSettings settings;
        settings.window_width = 1300;
        settings.window_height = 1700;
        settings.pixels = false;
        settings.log = false;
        driver = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), preview);
    }
};

void printing_bench_preview(benchmark::State& state, Rect const& area) {
    PrintingBenchPreview p;
    const qvGridRegion region(area);
    long drawn = 0;
    for (auto _ : state) {
        const long before = p.driver->draw_count();
        benchmark::DoNotOptimize(p.renderer->redraw(region, false));
        drawn = p.driver->draw_count() - before;
    }
    state.counters["shapes_drawn"] = static_cast<double>(drawn);
}

void BM_PagePreview_Whole(benchmark::State& state) { printing_bench_preview(state, Rect(0, 0, 1300, 1700)); }
BENCHMARK(BM_PagePreview_Whole)->Unit(benchmark::kMillisecond);

// 130 x 170: 1% of the window, inside the first sheet.
void BM_PagePreview_OnePercent(benchmark::State& state) { printing_bench_preview(state, Rect(40, 40, 170, 210)); }
BENCHMARK(BM_PagePreview_OnePercent)->Unit(benchmark::kMillisecond);

void BM_MultiBuffer_SwitchPrepared(benchmark::State& state) {
    qvMemoryScene scene;
    printing_bench_fill(scene, 1000, 1000, 1000);
    const qvViewManager view = qvViewCreator::create();
    const qvViewMultiBufferLayer pictures(2);
    view->add(pictures, qvOrderFirst);
    const qvViewSceneLayer layer(scene, -1);
    view->add(layer, qvOrderFirst);
    qvRasterSettings settings;
    settings.window_width = 1000;
    settings.window_height = 1000;
    settings.image_types = {3};
    settings.log = false;
    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(qvAsDriverHandle(driver), view);
    pictures->render_into(0);
    layer->mapping(qvRestrictedTransformation(1, 1, 7, 3));
    pictures->render_into(1);
    const qvGridRegion whole(Rect(0, 0, 1000, 1000));
    const long prepared = driver->draw_count();
    int shown = 0;
    for (auto _ : state) {
        pictures->select(shown);
        benchmark::DoNotOptimize(renderer->redraw(whole, false));
        shown = 1 - shown;
    }
    state.counters["shapes_drawn"] = static_cast<double>(driver->draw_count() - prepared);
}
BENCHMARK(BM_MultiBuffer_SwitchPrepared)->Unit(benchmark::kMillisecond);

}  // namespace
