// The interaction adapters at work, in a memory scene with one connected
// receiver (the notifications each edit sends are reported per iteration):
//  - the qvAdapter look-up per kind (the graphic's own answer, a walk of
//    the short adapter list, the adapter built in the caller's storage);
//  - move, scale and rotate of exact and compact polygons of 10, 1,000 and
//    100,000 points. A compact move or scale is one frame change; an exact
//    one writes point by point inside one guard of the shape (and each
//    write keeps the record's box tight, so it grows with n per point);
//    a rotation is one removal and one insertion either way;
//  - a scale of a group of 1,000 rectangles.

#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>

#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using bench_support::CountingReceiver;

std::vector<qvCrdOf<double>> ring_points(std::size_t n) { return bench_support::random_points(n, 20261207, 0, 1000); }

template <class I>
void adapter_lookup(benchmark::State& state, qvGraphic const& graphic) {
    for (auto _ : state) {
        qvAdapter<I> adapter(graphic);
        benchmark::DoNotOptimize(adapter.get());
    }
}

void BM_AdapterLookup(benchmark::State& state) {
    qvMemoryScene scene;
    const qvCrdOf<double> triangle[] = {{0, 0}, {2, 0}, {1, 2}};
    qvGraphicList group;
    switch (state.range(0)) {
    case 0: adapter_lookup<qvScaleInteraction>(state, qvRectangle(scene, 0, 0, 1, 1)); break;
    case 1: adapter_lookup<qvScaleInteraction>(state, qvPolygon(scene, 3, triangle)); break;
    case 2: adapter_lookup<qvRotateInteraction>(state, qvExactPolygon(scene, 3, triangle)); break;
    case 3:
        adapter_lookup<qvExtendedScaleInteraction>(state, qvRestrictedText(scene, {0, 0}, "t", nullptr, nullptr));
        break;
    default:
        group->add(qvRectangle(scene, 0, 0, 1, 1));
        adapter_lookup<qvScaleInteraction>(state, group);
        break;
    }
}
// 0 rectangle/scale, 1 compact polygon/scale, 2 exact polygon/rotate, 3 restricted text/extended scale, 4 group/scale
BENCHMARK(BM_AdapterLookup)->DenseRange(0, 4);

enum class Edit { move, scale, rotate };

template <class Handle>
void polygon_edit(benchmark::State& state, Edit edit) {
    const auto n = static_cast<int>(state.range(0));
    const auto points = ring_points(static_cast<std::size_t>(n));
    qvMemoryScene scene;
    CountingReceiver receiver;
    receiver.connect(scene.rect_sender());
    const Handle polygon(scene, n, points.data());
    receiver.received = 0;
    bool grow = true;
    for (auto _ : state) {
        switch (edit) {
        case Edit::move: qvAdapter<qvMoveInteraction>(polygon)->move(qvCrdOf<double>(1, -1)); break;
        case Edit::scale: qvAdapter<qvScaleInteraction>(polygon)->scale(15, grow ? 2.0 : 0.5); break;
        case Edit::rotate: qvAdapter<qvRotateInteraction>(polygon)->rotate(qvCrdOf<double>(500, 500), 30); break;
        }
        grow = !grow;
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["reports"] = static_cast<double>(receiver.received) / static_cast<double>(state.iterations());
}

void BM_ExactPolygonMove(benchmark::State& s) { polygon_edit<qvExactPolygon>(s, Edit::move); }
void BM_ExactPolygonScale(benchmark::State& s) { polygon_edit<qvExactPolygon>(s, Edit::scale); }
void BM_ExactPolygonRotate(benchmark::State& s) { polygon_edit<qvExactPolygon>(s, Edit::rotate); }
void BM_CompactPolygonMove(benchmark::State& s) { polygon_edit<qvPolygon>(s, Edit::move); }
void BM_CompactPolygonScale(benchmark::State& s) { polygon_edit<qvPolygon>(s, Edit::scale); }
void BM_CompactPolygonRotate(benchmark::State& s) { polygon_edit<qvPolygon>(s, Edit::rotate); }
BENCHMARK(BM_ExactPolygonMove)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExactPolygonScale)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExactPolygonRotate)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompactPolygonMove)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompactPolygonScale)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompactPolygonRotate)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_GroupScale(benchmark::State& state) {
    qvMemoryScene scene;
    CountingReceiver receiver;
    receiver.connect(scene.rect_sender());
    qvGraphicList group;
    for (int i = 0; i < 1000; ++i)
        group->add(qvRectangle(scene, i % 40 * 10.0, i / 40 * 10.0, i % 40 * 10.0 + 8, i / 40 * 10.0 + 8));
    receiver.received = 0;
    bool grow = true;
    for (auto _ : state) {
        qvAdapter<qvScaleInteraction>(group)->scale(15, grow ? 2.0 : 0.5);
        grow = !grow;
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.counters["reports"] = static_cast<double>(receiver.received) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GroupScale)->Unit(benchmark::kMicrosecond);

}  // namespace
