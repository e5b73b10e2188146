// Point sets at work, compact (qvPolygon) against exact (qvExactPolygon),
// in a memory scene with its notification on (one receiver) and off:
// 100,000 single-point inserts, appended to shapes of n points each (a new
// shape every n points), and 100,000 single-point sets going round a shape
// of n points. Both edits are linear in n as specified: a compact point set
// rebuilds its frame from every point, an exact edit in a scene recomputes
// the header's box over every point. Points stay inside the first two
// corners, so compact inserts keep their frame and leave the other words
// alone; records grow in place in the memory scene.

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvPolygon.hpp>

#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using bench_support::CountingReceiver;

constexpr std::int64_t edits = 100'000;

// Points inside the square of the two corners every shape starts with.
std::vector<qvCrdOf<double>> inner_points(std::size_t n) { return bench_support::random_points(n, 20240928, 1, 999); }

const qvCrdOf<double> corners[] = {{0, 0}, {1000, 1000}};

template <class Handle>
void inserts(benchmark::State& state, bool notify) {
    const auto per_shape = static_cast<std::int64_t>(state.range(0));
    const auto points = inner_points(static_cast<std::size_t>(per_shape));
    std::int64_t reports = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<qvMemoryScene>();
        CountingReceiver receiver;
        receiver.connect(scene->rect_sender());
        scene->update_notification(notify, true);
        state.ResumeTiming();
        Handle shape;
        for (std::int64_t i = 0; i < edits; ++i) {
            const std::int64_t k = i % per_shape;
            if (k == 0)
                shape = Handle(*scene, 2, corners);
            shape->push_back(points[static_cast<std::size_t>(k)]);
        }
        state.PauseTiming();
        shape = Handle();
        reports += receiver.received;
        scene.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * edits);
    state.counters["reports"] = static_cast<double>(reports) / static_cast<double>(state.iterations());
}

template <class Handle>
void point_sets(benchmark::State& state, bool notify) {
    const auto n = static_cast<int>(state.range(0));
    const auto points = inner_points(static_cast<std::size_t>(n) + 64);
    qvMemoryScene scene;
    CountingReceiver receiver;
    receiver.connect(scene.rect_sender());
    const Handle shape(scene, 2, corners);
    for (int i = 2; i < n; ++i)
        shape->push_back(points[static_cast<std::size_t>(i)]);
    scene.update_notification(notify, true);
    receiver.received = 0;
    // Points 0 and 1 keep the frame's corners; the others take turns.
    for (auto _ : state) {
        for (std::int64_t i = 0; i < edits; ++i) {
            const int at = 2 + static_cast<int>(i % (n - 2));
            shape->point(at, points[static_cast<std::size_t>(i % 64)]);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * edits);
    state.counters["reports"] = static_cast<double>(receiver.received) / static_cast<double>(state.iterations());
}

void BM_CompactInsertsNotifying(benchmark::State& state) { inserts<qvPolygon>(state, true); }
void BM_CompactInsertsSilent(benchmark::State& state) { inserts<qvPolygon>(state, false); }
void BM_ExactInsertsNotifying(benchmark::State& state) { inserts<qvExactPolygon>(state, true); }
void BM_ExactInsertsSilent(benchmark::State& state) { inserts<qvExactPolygon>(state, false); }
BENCHMARK(BM_CompactInsertsNotifying)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompactInsertsSilent)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactInsertsNotifying)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactInsertsSilent)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond);

void BM_CompactPointSetsNotifying(benchmark::State& state) { point_sets<qvPolygon>(state, true); }
void BM_CompactPointSetsSilent(benchmark::State& state) { point_sets<qvPolygon>(state, false); }
void BM_ExactPointSetsNotifying(benchmark::State& state) { point_sets<qvExactPolygon>(state, true); }
void BM_ExactPointSetsSilent(benchmark::State& state) { point_sets<qvExactPolygon>(state, false); }
BENCHMARK(BM_CompactPointSetsNotifying)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompactPointSetsSilent)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactPointSetsNotifying)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactPointSetsSilent)->Arg(16)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace
