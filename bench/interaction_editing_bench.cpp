// Editing manipulators on a view (a memory scene at scale 2 and offset 10,
// a gadget layer in front, a device renderer on a 400 x 300 raster test
// window, not repaired between steps: what is timed is the manipulator and
// the scene changes it makes):
//  - the point-set edit manipulator's check over a polyline of 10,000
//    points: one handle-bar pick, so the cost follows the handles in the
//    spot's box;
//  - notify(2) after 1,000 points were added to or removed from a polyline
//    of 10,000: the handles are moved in place, the surplus made or
//    destroyed at the top, one invalidation for the batch;
//  - a drag polygon of 5,000 moves ending in a selection over 10,000
//    rectangles: the outline's growth, then what the polygon selector
//    costs.

#include <orvane/interaction/qvPointSetEditManipulator.hpp>
#include <orvane/interaction/qvPolygonSelectionManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvBenchGadgetView.hpp"
#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// n points on a grid of 100 columns, 50 model units apart.
std::vector<qvCrdOf<double>> editing_grid(int n) {
    std::vector<qvCrdOf<double>> points;
    points.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        points.emplace_back(50.0 * (i % 100), 50.0 * (i / 100));
    return points;
}

void BM_PointSetEditCheck(benchmark::State& state) {
    bench_support::GadgetBenchView v;
    const int n = static_cast<int>(state.range(0));
    const std::vector<qvCrdOf<double>> points = editing_grid(n);
    const qvExactPolyline line(v.scene, n, points.data());
    qvPointSetEditManipulator edit;
    edit.activate(v.gadgets, v.layer, line);
    const qvCrdOf<double> middle = points[static_cast<std::size_t>(n / 2)];
    const qvCrdOf<double> spot(2 * middle.x + 10, 2 * middle.y + 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(edit.check(spot));
}
BENCHMARK(BM_PointSetEditCheck)->Arg(10000);

// Arg 0: 1,000 points added before each rebuild; arg 1: removed.
void BM_PointSetEditRebuild(benchmark::State& state) {
    bench_support::GadgetBenchView v;
    const bool removing = state.range(0) != 0;
    const std::vector<qvCrdOf<double>> points = editing_grid(11000);
    const qvExactPolyline line(v.scene, removing ? 11000 : 10000, points.data());
    qvPointSetEditManipulator edit;
    edit.activate(v.gadgets, v.layer, line);
    for (auto _ : state) {
        state.PauseTiming();
        if (removing)
            line->remove(10000, 1000);
        else
            line->insert(10000, 1000, points.data() + 10000);
        state.ResumeTiming();
        edit.notify(2);
        state.PauseTiming();
        if (removing)
            line->insert(10000, 1000, points.data() + 10000);
        else
            line->remove(10000, 1000);
        edit.notify(2);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PointSetEditRebuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DragPolygonSelection(benchmark::State& state) {
    bench_support::GadgetBenchView v;
    // 10,000 small rectangles on a 100 x 100 grid, 2 model units apart.
    for (int i = 0; i < 10000; ++i) {
        const double x = 2.0 * (i % 100), y = 2.0 * (i / 100);
        qvRectangle(v.scene, qvMathRectOf<double>(x, y, x + 1, y + 1));
    }
    qvDragPolygonSelectionManipulator drag;
    for (auto _ : state) {
        qvGraphicList list;
        drag.activate(v.gadgets, v.layer, list);
        // 5,000 positions around a circle over the grid's device box.
        for (int k = 0; k < 5000; ++k) {
            const double a = 6.283185307179586 * k / 5000.0;
            const qvCrdOf<double> p(210 + 150 * std::cos(a), 210 + 150 * std::sin(a));
            if (k == 0)
                drag.begin(p);
            else
                drag.move(p);
        }
        benchmark::DoNotOptimize(drag.end(0));
        benchmark::DoNotOptimize(list->size());
        drag.deactivate();
    }
}
BENCHMARK(BM_DragPolygonSelection)->Unit(benchmark::kMillisecond);

}  // namespace
