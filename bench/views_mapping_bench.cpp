// A mapping control driving 10, 100 and 1,000 scene layers of one view: a
// scroll step, a zoom step and a new mapping pushed through set_mapping.
// Each step walks the control's entries once per axis and changes every
// layer's mapping, the layer's own invalidation included (it ends at the
// view manager, which has no renderer here); nothing is allocated per
// entry beyond the walk's iterator.

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/views/qvMappingControl.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct MappingBenchViews {
    qvMemoryScene scene;
    qvViewManager view = qvViewCreator::create();
    std::vector<qvViewSceneLayer> layers;
    qvMappingControl control = qvMappingControlObject::create();

    explicit MappingBenchViews(long count) {
        view->defer_update(true, false);
        for (long i = 0; i < count; ++i) {
            layers.emplace_back(scene, -1);
            view->add(layers.back(), qvOrderFirst);
            control->add(layers.back(), 3, {static_cast<double>(i % 7) * 10, 0});
        }
        view->defer_update(false, false);
        control->resize(qvMathRectOf<double>(0, 0, 400, 300));
        control->mapping(control->mapping());
    }
};

void BM_MappingControlScroll(benchmark::State& state) {
    MappingBenchViews views(state.range(0));
    double step = 30;
    for (auto _ : state) {
        views.control->scroll(step, 0);
        step = -step;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MappingControlScroll)->Arg(10)->Arg(100)->Arg(1000);

void BM_MappingControlZoom(benchmark::State& state) {
    MappingBenchViews views(state.range(0));
    double factor = 2;
    for (auto _ : state) {
        views.control->zoom(factor);
        factor = 1 / factor;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MappingControlZoom)->Arg(10)->Arg(100)->Arg(1000);

void BM_MappingControlSetMapping(benchmark::State& state) {
    MappingBenchViews views(state.range(0));
    double offset = 0;
    for (auto _ : state) {
        views.control->mapping(qvRestrictedTransformation(2, 2, offset, offset));
        offset = offset == 0 ? 5 : 0;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MappingControlSetMapping)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace
