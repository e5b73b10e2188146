// Manipulators on a view (a memory scene at scale 2 and offset 10, a
// gadget layer in front, a device renderer on a 400 x 300 raster test
// window; the window is not repaired between steps, so what is timed is
// the manipulator and the scene changes it makes):
//  - the handle bar's pick with 8 and 10,000 handles: one throw-away view
//    redraws the spot's box of the handle layer; the hit record is found
//    through the handle map, so the cost follows the handles drawn in the
//    spot's box, not the bar's length;
//  - a scale drag of 100 moves on a rectangle and on a compact polygon of
//    10,000 points (each move rescales the shape, one frame change, and
//    moves 8 handles);
//  - point-set creation of 10,000 points with a track between each.

#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvHandleBarManipulator.hpp>
#include <orvane/interaction/qvPointSetCreationManipulator.hpp>
#include <orvane/interaction/qvScaleManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvBenchGadgetView.hpp"
#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_HandleBarSelected(benchmark::State& state) {
    bench_support::GadgetBenchView v;
    qvHandleBarManipulator bar;
    bar.activate(v.gadgets, v.layer);
    const int n = static_cast<int>(state.range(0));
    // A grid of 100 columns, 50 model units apart (a handle's record box
    // spans 100); the pick aims at the middle handle.
    for (int i = 0; i < n; ++i)
        bar.add_handle(qvCrdOf<double>(50.0 * (i % 100), 50.0 * (i / 100)));
    const qvCrdOf<double> middle(50.0 * ((n / 2) % 100), 50.0 * ((n / 2) / 100));
    const qvCrdOf<double> spot(2 * middle.x + 10, 2 * middle.y + 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(bar.selected(spot));
    state.SetComplexityN(n);
}
BENCHMARK(BM_HandleBarSelected)->Arg(8)->Arg(10000);

void BM_ScaleDrag100Moves(benchmark::State& state) {
    bench_support::GadgetBenchView v;
    qvGraphic shape;
    if (state.range(0) == 0) {
        shape = qvRectangle(v.scene, qvMathRectOf<double>(10, 10, 60, 40));
    } else {
        const std::vector<qvCrdOf<double>> points = bench_support::random_points(10000, 20261207, 10, 60);
        shape = qvPolygon(v.scene, static_cast<int>(points.size()), points.data());
    }
    qvScaleManipulator scale(0);
    scale.activate(v.gadgets, v.layer, shape);
    for (auto _ : state) {
        // Handle 7 (the top-right corner) out and back, 50 moves each way.
        qvMathRectOf<double> model;
        {
            qvAdapter<qvScaleInteraction> interaction(shape);
            model = interaction->bbox();
        }
        const qvMathRectOf<double> box = v.layer->scene_to_device(model);
        if (!scale.begin(qvCrdOf<double>(box.x2, box.y2))) {
            state.SkipWithError("handle 7 not found");
            break;
        }
        for (int i = 1; i <= 100; ++i) {
            const double d = i <= 50 ? i : 100 - i;
            scale.move(qvCrdOf<double>(box.x2 + d, box.y2 + d));
        }
        scale.end();
        v.window->take_invalid();
    }
}
// 0 rectangle, 1 compact polygon of 10,000 points
BENCHMARK(BM_ScaleDrag100Moves)->Arg(0)->Arg(1);

void BM_PointSetCreation(benchmark::State& state) {
    const std::vector<qvCrdOf<double>> points = bench_support::random_points(10000, 20261207, 0, 300);
    for (auto _ : state) {
        state.PauseTiming();
        bench_support::GadgetBenchView v;
        const qvExactPolyline target(v.scene);
        qvPointSetCreationManipulator create;
        create.activate(v.gadgets, v.layer, target);
        state.ResumeTiming();
        for (std::size_t i = 0; i < points.size(); ++i) {
            create.add_point(points[i]);
            create.track(points[(i + 1) % points.size()]);
        }
        create.end();
        state.PauseTiming();
        create.deactivate();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PointSetCreation)->Unit(benchmark::kMillisecond);

}  // namespace
