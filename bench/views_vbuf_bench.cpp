// The render buffer, the data layer's mapping change and the raster test
// host's fill rate.
//
// Cycle: push, mul_clipping(rect), pop, enforce_settings with nothing
// changed: the comparison before each set is the whole cost, no driver
// call is made. Split copy: a region of 1k separate rectangles copied one
// by one between two raster buffers of 1000 x 1000 (the draw object's
// per-rectangle cost, pixels included). apply_left: a data layer with 10k
// pending rectangles moved by a translation (back and forth), the carry of
// the waiting area. Fill rate: 1M 8 x 8 rectangle records (fixed seed) drawn
// into a 1000 x 1000 raster window, the baseline of the redraw benchmarks.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

qvISafePtr<qvRasterDriver> vbuf_bench_driver(bool log) {
    qvRasterSettings settings;
    settings.window_width = 1000;
    settings.window_height = 1000;
    settings.log = log;
    return qvRasterDriver::create(settings);
}

void BM_ViewVBuf_UnchangedCycle(benchmark::State& state) {
    auto driver = vbuf_bench_driver(false);
    qvViewVBuf vbuf(driver->new_master_vbuf(), qvRegion(Rect(0, 0, 1000, 1000)), {0, 0});
    vbuf.enforce_settings();
    const Rect inner(100, 100, 900, 900);
    for (auto _ : state) {
        vbuf.push();
        vbuf.mul_clipping(inner);
        vbuf.pop();
        vbuf.enforce_settings();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ViewVBuf_UnchangedCycle)->Iterations(1'000'000);

void BM_ViewVBuf_SplitCopy(benchmark::State& state) {
    auto driver = vbuf_bench_driver(false);
    auto source = driver->new_vbuf(1, 1000, 1000, {});
    qvViewVBuf vbuf(driver->new_master_vbuf(), qvRegion(Rect(0, 0, 1000, 1000)), {0, 0});
    qvRegion region;
    for (int i = 0; i < 1000; ++i) {
        const double x = 30.0 * (i % 32), y = 30.0 * (i / 32);
        region += Rect(x, y, x + 20, y + 20);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(vbuf.copy(source, region, {5, 5}, true));
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ViewVBuf_SplitCopy);

void BM_ViewDataLayer_ApplyLeftCarriesPending(benchmark::State& state) {
    qvTestDataLayer layer;
    for (int i = 0; i < 10000; ++i) {
        const double x = 3.0 * (i % 100), y = 3.0 * (i / 100);
        layer.invalidate(Rect(x, y, x + 2, y + 2), false);
    }
    double step = 1;
    for (auto _ : state) {
        layer.apply_left(qvRestrictedTransformation(1, 1, step, 0));
        step = -step;
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ViewDataLayer_ApplyLeftCarriesPending)->Unit(benchmark::kMillisecond);

void BM_RasterHost_FillRate(benchmark::State& state) {
    auto driver = vbuf_bench_driver(false);
    auto window = driver->new_master_vbuf();
    auto draw = window->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    qvStandardPalette palette;
    qvAttributeProxy attributes(palette, 0);
    attributes.fill_style(qvFillStyle{2});
    attributes.fill_color(qvRgbColor(0.2, 0.4, 0.6));
    port.palette(&palette);

    std::vector<qvShape<qvRectangleData>> records(1'000'000, qvShape<qvRectangleData>(qvRectangleKind));
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<float> at(0, 992);
    for (auto& r : records) {
        const float x = at(rng), y = at(rng);
        r.size = static_cast<std::int32_t>(sizeof r);
        r.box = qvMathRectOf<float>(x, y, x + 8, y + 8);
        r.attribute_handle = static_cast<std::int32_t>(attributes.attribute_handle());
    }
    for (auto _ : state)
        for (auto const& r : records)
            benchmark::DoNotOptimize(port.draw_shape(r));
    state.SetItemsProcessed(state.iterations() * static_cast<long>(records.size()));
}
BENCHMARK(BM_RasterHost_FillRate)->Unit(benchmark::kMillisecond);

}  // namespace
