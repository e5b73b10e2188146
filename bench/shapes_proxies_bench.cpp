// Shape proxies at work: 1,000,000 rectangle setters through a typed
// handle, each inside its own modification guard, with the scene's
// notification on (one receiver) and off; the creation of 100,000
// rectangles; and the rectangle handle of an existing shape, whose proxy is
// live (a proxy-site hit) or must be made (and dies again).

#include <orvane/shapes/qvRectangle.hpp>

#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using bench_support::CountingReceiver;
using bench_support::VectorScene;

constexpr std::int64_t setters = 1'000'000;

// Two boxes set in turn, so every setter really changes the record.
void set_rectangles(benchmark::State& state, bool notify) {
    VectorScene scene;
    CountingReceiver receiver;
    receiver.connect(scene.rect_sender());
    scene.update_notification(notify, true);
    const qvRectangle r(scene, qvMathRectOf<double>(0, 0, 1, 1));
    const qvMathRectOf<double> boxes[2] = {{0, 0, 10, 10}, {5, 5, 20, 20}};
    for (auto _ : state) {
        for (std::int64_t i = 0; i < setters; ++i)
            r->rectangle(boxes[i & 1]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * setters);
    state.counters["reports"] = static_cast<double>(receiver.received) / static_cast<double>(state.iterations());
}

void BM_RectangleSetterNotifying(benchmark::State& state) { set_rectangles(state, true); }
BENCHMARK(BM_RectangleSetterNotifying)->Unit(benchmark::kMillisecond);

void BM_RectangleSetterSilent(benchmark::State& state) { set_rectangles(state, false); }
BENCHMARK(BM_RectangleSetterSilent)->Unit(benchmark::kMillisecond);

constexpr std::int64_t created = 100'000;

void BM_CreateRectangles(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<VectorScene>();
        scene->reserve(created);
        state.ResumeTiming();
        for (std::int64_t i = 0; i < created; ++i) {
            const double x = static_cast<double>(i);
            const qvRectangle r(*scene, qvMathRectOf<double>(x, 0, x + 1, 1));
        }
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * created);
}
BENCHMARK(BM_CreateRectangles)->Unit(benchmark::kMillisecond);

// The handle of a shape whose proxy another handle keeps alive.
void BM_RectangleOfLiveProxy(benchmark::State& state) {
    VectorScene scene;
    const qvRectangle held(scene, qvMathRectOf<double>(0, 0, 1, 1));
    const long h = held->shape_handle();
    for (auto _ : state) {
        const qvRectangle r(scene, h);
        benchmark::DoNotOptimize(r.get());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RectangleOfLiveProxy);

// The handle of a shape without a live proxy: the proxy class makes one,
// and the handle's release destroys it again.
void BM_RectangleOfFreshProxy(benchmark::State& state) {
    VectorScene scene;
    const long h = qvRectangle(scene, qvMathRectOf<double>(0, 0, 1, 1))->shape_handle();
    for (auto _ : state) {
        const qvRectangle r(scene, h);
        benchmark::DoNotOptimize(r.get());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RectangleOfFreshProxy);

}  // namespace
