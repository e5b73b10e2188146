// Labels, symbols and trace statistics, into a flavour port that only
// counts:
//   drawings/labels/<kind>/whole, /percent   10,000 labels (restricted or
//                                scalable) on a grid in a drawing scene,
//                                rendered over all of it or over 1% of it:
//                                each label measures its text per render;
//   drawings/symbols/whole, /percent         100,000 plus symbols sharing
//                                one painter, the same two areas;
//   drawings/statistics/<type>   one calculation over 10^6 samples.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/drawings/qvDrawingScene.hpp>
#include <orvane/drawings/qvLabelDrawing.hpp>
#include <orvane/drawings/qvSeismicTraceStatistics.hpp>
#include <orvane/drawings/qvStandardSymbolPainters.hpp>
#include <orvane/drawings/qvSymbolDrawing.hpp>

#include <benchmark/benchmark.h>

#include "qvCountingPort.hpp"

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr long bench_label_count = 10000;
constexpr long bench_symbol_count = 100000;

double bench_grid_side(long n) { return 2.0 * std::ceil(std::sqrt(static_cast<double>(n))); }

qvCrdOf<double> bench_grid_cell(long i, long n) {
    const long columns = static_cast<long>(std::ceil(std::sqrt(static_cast<double>(n))));
    return {2.0 * static_cast<double>(i % columns) + 0.5, 2.0 * static_cast<double>(i / columns) + 0.5};
}

void bench_render(benchmark::State& state, qvDrawingScene& scene, double side, bool percent) {
    qvCountingPort port;
    const double edge = percent ? side * 0.1 : side + 1;
    const qvMathRectOf<double> area(-1, -1, edge, edge);
    for (auto _ : state) {
        scene.render(port, 0, area, false);
        benchmark::DoNotOptimize(port.drawn);
    }
    state.counters["drawn_per_pass"] = static_cast<double>(port.drawn) / static_cast<double>(state.iterations());
}

void labels(benchmark::State& state, bool scalable, bool percent) {
    qvDrawingScene scene;
    scene.items()->auto_delete(true);
    const qvSharedAttribute text(qvCreateAttributeProxy(&scene.palette(), 0));
    for (long i = 0; i < bench_label_count; ++i) {
        auto* l = new qvLabelDrawing();
        l->scalable(scalable);
        l->text_attribute(text);
        l->text("label");
        l->anchor(bench_grid_cell(i, bench_label_count));
        l->width(1);
        l->height(1);
        scene.items()->add(l, qvOrderLast);
    }
    bench_render(state, scene, bench_grid_side(bench_label_count), percent);
}

void symbols(benchmark::State& state, bool percent) {
    qvDrawingScene scene;
    scene.items()->auto_delete(true);
    const qvSymbolPainterPtr painter(new qvPlusSymbolPainter(qvCreateAttributeProxy(&scene.palette(), 0)));
    for (long i = 0; i < bench_symbol_count; ++i)
        scene.items()->add(new qvSymbolDrawing(painter.get(), bench_grid_cell(i, bench_symbol_count), 1, 1, true),
                           qvOrderLast);
    bench_render(state, scene, bench_grid_side(bench_symbol_count), percent);
}

template <class T>
void statistics(benchmark::State& state) {
    std::mt19937 rng(76);
    std::uniform_int_distribution<int> value(-100, 100);
    std::vector<T> samples(1000000);
    for (auto& s : samples) s = static_cast<T>(value(rng));
    qvSeismicTraceStatistics<T> stats;
    for (auto _ : state) {
        stats.calculate_trace_statistics(samples.data(), static_cast<int>(samples.size()));
        benchmark::DoNotOptimize(stats.rms);
    }
}

}  // namespace

BENCHMARK_CAPTURE(labels, restricted_whole, false, false)->Name("drawings/labels/restricted/whole");
BENCHMARK_CAPTURE(labels, restricted_percent, false, true)->Name("drawings/labels/restricted/percent");
BENCHMARK_CAPTURE(labels, scalable_whole, true, false)->Name("drawings/labels/scalable/whole");
BENCHMARK_CAPTURE(labels, scalable_percent, true, true)->Name("drawings/labels/scalable/percent");
BENCHMARK_CAPTURE(symbols, whole, false)->Name("drawings/symbols/whole");
BENCHMARK_CAPTURE(symbols, percent, true)->Name("drawings/symbols/percent");
BENCHMARK(statistics<signed char>)->Name("drawings/statistics/int8");
BENCHMARK(statistics<short>)->Name("drawings/statistics/int16");
BENCHMARK(statistics<int>)->Name("drawings/statistics/int32");
BENCHMARK(statistics<float>)->Name("drawings/statistics/float");
BENCHMARK(statistics<double>)->Name("drawings/statistics/double");
