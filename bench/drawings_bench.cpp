// Drawings drawn and reported, into a flavour port that only counts:
//   drawings/scene/whole/<n>     a drawing scene of n drawings (a grid of
//                                unit boxes) rendered over all of it;
//   drawings/scene/percent/<n>   the same over 1% of its area: every box is
//                                still asked (no index), few are drawn;
//   drawings/scene/percent_packed/<n>
//                                the same with the drawings side by side in
//                                one array: the walk runs the same
//                                instructions, so the two rows tell apart
//                                what the walk costs and what reading
//                                drawings scattered over the heap costs;
//   drawings/report/on, /off     10,000 invalidations of a drawing in a
//                                scene with one listener, notification on
//                                or suspended;
//   drawings/adapter/whole       a scene adapter over a memory scene of
//                                100,000 rectangles, rendered whole.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/drawings/qvDrawingScene.hpp>
#include <orvane/drawings/qvSceneAdapter.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>

#include <benchmark/benchmark.h>

#include "qvCountingPort.hpp"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// One unit box that draws one prebuilt rectangle record.
class BenchDrawing : public qvDrawing {
public:
    explicit BenchDrawing(qvMathRectOf<double> const& box) : box_(box) { shape_->rectangle(box); }
    void render(qvFlavorPort& port, qvMathRectOf<double> const&) override { port.draw_shape(*shape_->record()); }
    qvMathRectOf<double> bbox(qvRestrictedTransformation const*) const override { return box_; }

private:
    qvMathRectOf<double> box_;
    qvSimpleRectangle shape_;
};

// n drawings on a square grid of side ceil(sqrt(n)), boxes 1 x 1 at
// spacing 2; the scene owns them.
struct BenchDrawingGrid {
    qvDrawingScene scene;
    double side = 0;
    explicit BenchDrawingGrid(long n) {
        scene.items()->auto_delete(true);
        const long columns = static_cast<long>(std::ceil(std::sqrt(static_cast<double>(n))));
        side = 2.0 * static_cast<double>(columns);
        for (long i = 0; i < n; ++i) {
            const double x = 2.0 * static_cast<double>(i % columns), y = 2.0 * static_cast<double>(i / columns);
            scene.items()->add(new BenchDrawing(qvMathRectOf<double>(x, y, x + 1, y + 1)), qvOrderLast);
        }
    }
};

void drawing_scene_whole(benchmark::State& state) {
    BenchDrawingGrid grid(state.range(0));
    qvCountingPort port;
    const qvMathRectOf<double> all(-1, -1, grid.side + 1, grid.side + 1);
    for (auto _ : state) {
        grid.scene.render(port, 0, all, false);
        benchmark::DoNotOptimize(port.drawn);
    }
    state.counters["drawn_per_pass"] = static_cast<double>(port.drawn) / static_cast<double>(state.iterations());
}

void drawing_scene_percent(benchmark::State& state) {
    BenchDrawingGrid grid(state.range(0));
    qvCountingPort port;
    const double edge = grid.side * 0.1;   // a tenth of each side: 1% of the area
    const qvMathRectOf<double> corner(0, 0, edge, edge);
    for (auto _ : state) {
        grid.scene.render(port, 0, corner, false);
        benchmark::DoNotOptimize(port.drawn);
    }
    state.counters["drawn_per_pass"] = static_cast<double>(port.drawn) / static_cast<double>(state.iterations());
}

// The same grid, the drawings side by side in one array (not owned by the
// scene): the walk's reads are the same, only where the drawings lie differs.
void drawing_scene_percent_packed(benchmark::State& state) {
    const long n = state.range(0);
    std::vector<BenchDrawing> drawings;
    drawings.reserve(static_cast<std::size_t>(n));
    const long columns = static_cast<long>(std::ceil(std::sqrt(static_cast<double>(n))));
    qvDrawingScene scene;
    for (long i = 0; i < n; ++i) {
        const double x = 2.0 * static_cast<double>(i % columns), y = 2.0 * static_cast<double>(i / columns);
        drawings.emplace_back(qvMathRectOf<double>(x, y, x + 1, y + 1));
    }
    for (auto& d : drawings)
        scene.items()->add(&d, qvOrderLast);
    qvCountingPort port;
    const double edge = 2.0 * static_cast<double>(columns) * 0.1;
    const qvMathRectOf<double> corner(0, 0, edge, edge);
    for (auto _ : state) {
        scene.render(port, 0, corner, false);
        benchmark::DoNotOptimize(port.drawn);
    }
    scene.items()->clear();
    state.counters["drawn_per_pass"] = static_cast<double>(port.drawn) / static_cast<double>(state.iterations());
}

class BenchRectCounter : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
public:
    long heard = 0;
    BenchRectCounter() : qvBroadcastReceiver(true) {}
    ~BenchRectCounter() override { disconnect_all(); }
    void invalidate() override { ++heard; }
    void invalidate(qvMathRectOf<double> const&, int) override { ++heard; }
};

void drawing_reports(benchmark::State& state, bool notify) {
    qvDrawingScene scene;
    BenchDrawing drawing(qvMathRectOf<double>(0, 0, 1, 1));
    scene.items()->add(&drawing, qvOrderLast);
    BenchRectCounter counter;
    counter.connect(scene.rect_sender());
    scene.update_notification(notify, true);
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i)
            drawing.invalidate();
        benchmark::DoNotOptimize(counter.heard);
    }
    scene.items()->clear();
}

void drawing_reports_on(benchmark::State& state) { drawing_reports(state, true); }
void drawing_reports_off(benchmark::State& state) { drawing_reports(state, false); }

void scene_adapter_whole(benchmark::State& state) {
    qvMemoryScene scene;
    for (long i = 0; i < 100000; ++i) {
        const double x = static_cast<double>(i % 316) * 3.0, y = static_cast<double>(i / 316) * 3.0;
        qvRectangle(scene, x, y, x + 2, y + 2);
    }
    qvSceneAdapter adapter(&scene, qvMathRectOf<double>(0, 0, 960, 960), false);
    adapter.rectangle(qvMathRectOf<double>(0, 0, 96, 96));
    qvCountingPort port;
    for (auto _ : state) {
        adapter.render(port, qvMathRectOf<double>(-1, -1, 97, 97));
        benchmark::DoNotOptimize(port.drawn);
    }
    state.counters["drawn_per_pass"] = static_cast<double>(port.drawn) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(drawing_scene_whole)->Name("drawings/scene/whole")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(drawing_scene_percent)->Name("drawings/scene/percent")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(drawing_scene_percent_packed)->Name("drawings/scene/percent_packed")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(drawing_reports_on)->Name("drawings/report/on");
BENCHMARK(drawing_reports_off)->Name("drawings/report/off");
BENCHMARK(scene_adapter_whole)->Name("drawings/adapter/whole");
