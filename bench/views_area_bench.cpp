// Layer areas: recording invalidations and reading the redraw area back,
// and the climb of a notification while the renderer's channel is closed.
//
// An invalidation without clip or restriction is one append to the pending
// list region; with either it makes one temporary. Strips: adjacent ones
// (x = i .. i + 1, a scan over a window) or scattered ones (fixed seed).
// Modes: 0 plain, 1 clipped, 2 restricted, 3 both. Each iteration records
// n invalidations on a fresh area and then reads local_redraw_area(), where
// a clipped area pays its one intersection with everything pending. That
// read dominates the clipped scattered cases: at 100k strips the grid
// intersection with the pending list region takes tens of seconds, the
// merge cost the renderer's region handling has to answer.
//
// The climb case sends 1M invalidate(rect, true) from a clipped layer in a
// stub manager whose renderer's channel is closed: the layer asks
// callback_ready() before it computes its redraw area, so each event costs
// its own recording only, never an intersection with all that is pending.

#include "qvViewTestDoubles.hpp"

#include <orvane/views/qvViewAreaImplementation.hpp>

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

struct BenchArea : qvViewAreaImplementation {};

std::vector<Rect> area_bench_strips(int n, bool scattered) {
    std::vector<Rect> strips;
    strips.reserve(static_cast<std::size_t>(n));
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<double> at(0, 10000);
    for (int i = 0; i < n; ++i) {
        if (scattered) {
            const double x = at(rng), y = at(rng);
            strips.emplace_back(x, y, x + 3, y + 40);
        } else {
            const double x = i % 10000;
            strips.emplace_back(x, 0, x + 1, 800);
        }
    }
    return strips;
}

void BM_AreaInvalidateThenRedrawArea(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const bool scattered = state.range(1) != 0;
    const int mode = static_cast<int>(state.range(2));
    const std::vector<Rect> strips = area_bench_strips(n, scattered);
    qvGridRegion clip(Rect(0, 0, 6000, 6000));
    clip += Rect(7000, 7000, 9000, 9000);
    const qvListRegion restriction(Rect(1000, 0, 9000, 9500));
    for (auto _ : state) {
        BenchArea area;
        if (mode & 1)
            area.clipping(&clip);
        if (mode & 2)
            area.restrict_invalidation(restriction);
        for (Rect const& r : strips)
            area.invalidate(r, false);
        benchmark::DoNotOptimize(area.local_redraw_area().bbox());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AreaInvalidateThenRedrawArea)
    ->ArgNames({"n", "scattered", "mode"})
    ->ArgsProduct({{10000, 100000}, {0, 1}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

// The root of the climb: holds its renderer weakly; everything else inert.
class AreaBenchManager : public virtual qvViewManagerObject, public qvViewLayerImplementation {
public:
    qvIndirectIterator<qvViewLayer> layers() override { return {}; }
    bool add(qvViewLayer const&, qvOrder, qvViewLayer const&, bool) override { return false; }
    bool remove(qvViewLayer const&, bool) override { return false; }
    void defer_update(bool, bool) override {}
    void renderer(qvBaseRenderer const& renderer) override {
        renderer_ = renderer;
        reinitialize();
    }
    qvBaseRenderer renderer() const override { return qvBaseRenderer(renderer_); }
    qvISafePtr<qvDriverObject> driver() const override { return {}; }
    qvViewBackgroundLayerObject* background() const override { return nullptr; }
    bool redraw(qvBaseRegion const&, bool) override { return false; }
    qvViewBaseLayer clone() override { return {}; }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* found = qvViewLayerImplementation::query_interface(info))
            return found;
        return qvOfferInterfaces<qvViewManagerObject>(this, info);
    }

private:
    qvIWeakPtr<qvBaseRendererObject> renderer_;
};

void BM_NotifyWithClosedChannel(benchmark::State& state) {
    const int n = 1000000;
    const std::vector<Rect> strips = area_bench_strips(1000, false);
    auto* renderer_object = new qvRecordingRenderer;
    renderer_object->ready = false;
    const qvBaseRenderer renderer(static_cast<qvBaseRendererObject*>(renderer_object));
    const qvViewManager manager(static_cast<qvViewManagerObject*>(new AreaBenchManager));
    manager->renderer(renderer);
    const qvGridRegion clip(Rect(0, 0, 500, 600));
    for (auto _ : state) {
        const qvViewLayer layer(static_cast<qvViewLayerObject*>(new qvTestLayer));
        layer->clipping(&clip);
        layer->view(manager);
        bool delivered = false;
        for (int i = 0; i < n; ++i)
            delivered |= layer->invalidate(strips[static_cast<std::size_t>(i % 1000)], true);
        benchmark::DoNotOptimize(delivered);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_NotifyWithClosedChannel)->Unit(benchmark::kMillisecond);

}  // namespace
