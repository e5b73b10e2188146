// The view manager's tree work and a background-only redraw.
//
// Rebuild: 1000 registered leaf layers, one rebuild per iteration (linear
// in the list). Add/remove: one layer taken out of 1000 and put back.
// Adds: n = 100, 1000, 10000 adds to an empty manager, each bringing the
// tree up to date (an append, linear in all) or deferred into one rebuild
// at the end. Redraw: prepare, render and cleanup
// of a manager holding only its background over a 2000 x 1500 raster
// window, as a renderer calls them.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

std::vector<qvViewLayer> manager_bench_layers(int n) {
    std::vector<qvViewLayer> layers;
    layers.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        layers.emplace_back(static_cast<qvViewLayerObject*>(new qvTestLayer));
    return layers;
}

qvViewManager manager_bench_filled(std::vector<qvViewLayer> const& layers) {
    qvViewManager manager = qvViewCreator::create();
    manager->defer_update(true, false);
    for (qvViewLayer const& layer : layers)
        manager->add(layer, qvOrder(6), qvViewLayer(), true);
    manager->defer_update(false, false);
    return manager;
}

void BM_ViewManager_Rebuild(benchmark::State& state) {
    const std::vector<qvViewLayer> layers = manager_bench_layers(1000);
    const qvViewManager manager = manager_bench_filled(layers);
    for (auto _ : state)
        manager->defer_update(false, false);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ViewManager_Rebuild)->Unit(benchmark::kMicrosecond);

void BM_ViewManager_AddRemoveOne(benchmark::State& state) {
    const std::vector<qvViewLayer> layers = manager_bench_layers(1000);
    const qvViewManager manager = manager_bench_filled(layers);
    qvViewLayer const& middle = layers[500];
    for (auto _ : state) {
        manager->remove(middle, false);
        manager->add(middle, qvOrder(1), layers[501], false);
    }
}
BENCHMARK(BM_ViewManager_AddRemoveOne)->Unit(benchmark::kMicrosecond);

void BM_ViewManager_Adds(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const bool deferred = state.range(1) != 0;
    const std::vector<qvViewLayer> layers = manager_bench_layers(n);
    for (auto _ : state) {
        const qvViewManager manager = qvViewCreator::create();
        if (deferred)
            manager->defer_update(true, false);
        for (qvViewLayer const& layer : layers)
            manager->add(layer, qvOrder(6), qvViewLayer(), true);
        if (deferred)
            manager->defer_update(false, false);
        benchmark::DoNotOptimize(manager.get());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ViewManager_Adds)
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}})
    ->ArgNames({"n", "deferred"})
    ->Unit(benchmark::kMillisecond);

void BM_ViewManager_BackgroundRedraw(benchmark::State& state) {
    qvRasterSettings settings;
    settings.window_width = 2000;
    settings.window_height = 1500;
    settings.log = false;
    const qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);
    const qvISafePtr<qvVBufObject> window = driver->new_master_vbuf();
    const qvViewManager manager = qvViewCreator::create();
    auto* renderer = new qvRecordingRenderer;
    const qvBaseRenderer renderer_handle(static_cast<qvBaseRendererObject*>(renderer));
    renderer->driver(qvAsDriverHandle(driver));
    renderer->window_width = 2000;
    renderer->window_height = 1500;
    manager->renderer(renderer_handle);
    // A fill the raster host paints.
    qvViewBackgroundLayerObject& bg = *manager->background();
    bg.fill_background_color(qvRgbColor(1, 1, 1));
    bg.fill_style(qvFillStyle(2));
    const Rect whole(0, 0, 2000, 1500);
    for (auto _ : state) {
        qvGridRegion region(whole);
        manager->prepare(region, false);
        qvViewVBuf vbuf(window, qvGridRegion(whole), {0, 0});
        benchmark::DoNotOptimize(manager->render(vbuf, {0, 0}));
        manager->cleanup();
    }
}
BENCHMARK(BM_ViewManager_BackgroundRedraw)->Unit(benchmark::kMillisecond);

}  // namespace
