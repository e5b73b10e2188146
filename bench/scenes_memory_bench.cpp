// The memory scene at 1,000,000 shapes: creation through typed handles,
// full and 1% renders to a counting port, enumerate(-1), size(-1), 10,000
// z-order changes per placement code, 10,000 layer moves of shapes,
// deleting a layer of 100,000 shapes (each through its proxy), and saving
// and loading the whole scene. Shapes are rectangles with unit boxes on a
// 1000 x 1000 grid, in three layers (fixed seeds).

#include "qvCountingPort.hpp"
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int side = 1000;
constexpr int shapes = side * side;

// A rectangle with a unit box at grid cell i, made through its typed
// handle, which is released at once (the shape stays).
long add(qvMemoryScene& scene, int i) {
    const double x = i % side, y = i / side;
    const qvRectangle r(scene, qvMathRectOf<double>(x, y, x + 1, y + 1));
    return r->shape_handle();
}

// `n` shapes, every third one moved to layer 1 and 2 in turn; their handles.
std::vector<long> fill(qvMemoryScene& scene, int n) {
    std::vector<long> handles;
    handles.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        handles.push_back(add(scene, i));
        if (i % 3 != 0)
            scene.shape_layer(handles.back(), i % 3);
    }
    return handles;
}

// One scene of a million shapes shared by the read-only cases.
struct Shared {
    qvStandardPalette palette;
    qvMemoryScene scene{3, &palette, false};
    std::vector<long> handles = fill(scene, shapes);
};

Shared& shared() {
    static Shared* const instance = new Shared;
    return *instance;
}

void BM_CreateShapes(benchmark::State& state) {
    qvStandardPalette palette;
    for (auto _ : state) {
        auto scene = std::make_unique<qvMemoryScene>(3, &palette, false);
        for (int i = 0; i < shapes; ++i)
            add(*scene, i);
        benchmark::DoNotOptimize(scene->size(-1));
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * shapes);
}
BENCHMARK(BM_CreateShapes)->Unit(benchmark::kMillisecond);

void BM_Render(benchmark::State& state) {
    Shared& s = shared();
    // The whole grid, or a tenth of it each way: 1% of the shapes.
    const double extent = state.range(0) == 100 ? side : side / 10.0;
    const qvMathRectOf<double> area(0, 0, extent, extent);
    long drawn = 0;
    for (auto _ : state) {
        qvCountingPort port;
        s.scene.render(port, -1, area, false);
        drawn = port.drawn;
    }
    state.counters["drawn"] = static_cast<double>(drawn);
    state.SetItemsProcessed(state.iterations() * shapes);
}
BENCHMARK(BM_Render)->Arg(100)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EnumerateAll(benchmark::State& state) {
    Shared& s = shared();
    for (auto _ : state) {
        long count = 0;
        for (auto it = s.scene.enumerate(-1); it; ++it)
            ++count;
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * shapes);
}
BENCHMARK(BM_EnumerateAll)->Unit(benchmark::kMillisecond);

void BM_SizeAll(benchmark::State& state) {
    Shared& s = shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.scene.size(-1));
}
BENCHMARK(BM_SizeAll);

void BM_ShapeOrder(benchmark::State& state) {
    Shared& s = shared();
    const auto code = static_cast<qvOrder>(state.range(0));
    const std::size_t n = s.handles.size();
    std::mt19937 rng(20240613);
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) {
            const std::size_t at = rng() % n;
            const long h = s.handles[at];
            // A reference in the same layer where there is one.
            const long other = s.handles[(at + 3) % n];
            s.scene.shape_order(h, code, s.scene.shape_layer(h) == s.scene.shape_layer(other) ? other : h);
        }
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ShapeOrder)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

void BM_ShapeLayer(benchmark::State& state) {
    Shared& s = shared();
    std::mt19937 rng(20240614);
    for (auto _ : state)
        for (int i = 0; i < 10000; ++i)
            s.scene.shape_layer(s.handles[rng() % s.handles.size()], static_cast<int>(rng() % 3));
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ShapeLayer)->Unit(benchmark::kMicrosecond);

void BM_DeleteLayer(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        qvStandardPalette palette;
        auto scene = std::make_unique<qvMemoryScene>(2, &palette, false);
        for (int i = 0; i < 100000; ++i)
            add(*scene, i);
        state.ResumeTiming();
        scene->delete_layer(0);
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_DeleteLayer)->Unit(benchmark::kMillisecond);

std::string saved_scene() {
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(), false);
    shared().scene.save(out);
    return buffer.str();
}

void BM_Save(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = saved_scene().size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
    const std::string bytes = saved_scene();
    for (auto _ : state) {
        qvStandardPalette palette;
        qvMemoryScene scene(&palette, false);
        std::stringbuf buffer(bytes);
        qvInputStream in(&buffer);
        scene.load(in);
        benchmark::DoNotOptimize(scene.size(-1));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

}  // namespace
