// The rendering helper's overhead and a group layer's redraw steps.
//
// Helper: 10k, 100k and 1M mixed rectangle and ellipse records (fixed seed,
// so the smaller sets are the start of the larger) drawn into a
// raster test host window with pixels off, once straight into the port and
// once through a rendering helper in front of it; the helper's cost per
// record (kind, one record check, one "attribute_flavor" look-up) should
// stay within 20% of the straight run. Group: prepare, render and cleanup of
// a group of 1000 children, each clipped to a cell of a 40 x 25 grid and
// every third opaque, over a region of 10k rectangles.

#include "qvBenchSupport.hpp"
#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/views/qvRenderingHelper.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

// A raster window without pixels or log, a port on it and its palette.
struct LayersBenchPort {
    qvISafePtr<qvRasterDriver> driver;
    qvISafePtr<qvVBufObject> window;
    qvISafePtr<qvDrawObject> draw;
    qvFlavorPort* port = nullptr;
    qvStandardPalette palette;
    qvAttributeProxy attributes{palette, 0};

    LayersBenchPort() {
        driver = qvRasterDriver::create(bench_support::view_bench_window(false));
        window = driver->new_master_vbuf();
        draw = window->new_draw();
        port = qvQueryInterface<qvFlavorPort>(draw.get());
        attributes.fill_style(qvFillStyle{2});
        port->palette(&palette);
    }
};

std::vector<qvShape<qvRectangleData>> layers_bench_records(long attribute, long count) {
    std::vector<qvShape<qvRectangleData>> records(static_cast<std::size_t>(count),
                                                  qvShape<qvRectangleData>(qvRectangleKind));
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<float> at(0, 992);
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto& r = records[i];
        const float x = at(rng), y = at(rng);
        r.size = static_cast<std::int32_t>(sizeof r);
        r.kind = (i % 2 == 0) ? qvRectangleKind : qvEllipseKind;   // both 48-byte layouts
        r.box = qvMathRectOf<float>(x, y, x + 8, y + 8);
        r.attribute_handle = static_cast<std::int32_t>(attribute);
    }
    return records;
}

void BM_RenderingHelper_Straight(benchmark::State& state) {
    LayersBenchPort p;
    const auto records = layers_bench_records(p.attributes.attribute_handle(), state.range(0));
    for (auto _ : state)
        for (auto const& r : records)
            benchmark::DoNotOptimize(p.port->draw_shape(r));
    state.SetItemsProcessed(state.iterations() * static_cast<long>(records.size()));
}
BENCHMARK(BM_RenderingHelper_Straight)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_RenderingHelper_ThroughHelper(benchmark::State& state) {
    LayersBenchPort p;
    const auto records = layers_bench_records(p.attributes.attribute_handle(), state.range(0));
    qvRenderingHelper helper(*p.port, nullptr);
    for (auto _ : state)
        for (auto const& r : records)
            benchmark::DoNotOptimize(helper.draw_shape(r));
    state.SetItemsProcessed(state.iterations() * static_cast<long>(records.size()));
}
BENCHMARK(BM_RenderingHelper_ThroughHelper)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A leaf that draws nothing: the group's own cost alone.
class LayersBenchLeaf : public qvViewLayerImplementation {
public:
    bool render(qvViewVBuf&, qvCrdOf<double> const&) override { return true; }
    qvViewBaseLayer clone() override { return {}; }
};

void BM_GroupLayer_PrepareRenderCleanup(benchmark::State& state) {
    LayersBenchPort p;
    qvViewGroupLayer group(true);
    for (int i = 0; i < 1000; ++i) {
        auto* leaf = new LayersBenchLeaf;
        const qvViewLayer held(static_cast<qvViewLayerObject*>(leaf));
        const double x = 25.0 * (i % 40), y = 40.0 * (i / 40);
        const qvGridRegion cell(Rect(x, y, x + 25, y + 40));
        leaf->clipping(&cell);
        leaf->has_background(i % 3 == 0);
        group->add(held, qvOrder(6));
    }
    qvGridRegion area;
    for (int i = 0; i < 10000; ++i) {
        const double x = 10.0 * (i % 100), y = 10.0 * (i / 100);
        area += Rect(x, y, x + 7, y + 7);
    }
    qvViewVBuf vbuf(p.window, qvRegion(Rect(0, 0, 1000, 1000)), {0, 0});
    for (auto _ : state) {
        qvGridRegion region(area);
        group->prepare(region, false);
        benchmark::DoNotOptimize(group->render(vbuf, {0, 0}));
        group->cleanup();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_GroupLayer_PrepareRenderCleanup)->Unit(benchmark::kMillisecond);

}  // namespace
