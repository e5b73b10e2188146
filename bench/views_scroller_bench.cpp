// Scroller broadcasts: one scroll step on a scroller in a dimension of 1 to
// 1,000 scrollers, along a chain of 100 dimensions, and a page step with
// round-off and limits on one scroller. A committed operation costs one
// replay and one commit per object reached, and allocates nothing.

#include <orvane/views/qvMappingDimension.hpp>
#include <orvane/views/qvScrollerObject.hpp>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_ScrollInDimension(benchmark::State& state) {
    qvMappingDimension dimension(0, true);
    std::vector<qvScroller> scrollers;
    for (int i = 0; i < state.range(0); ++i) {
        scrollers.push_back(qvScrollerObject::create());
        dimension->add(scrollers.back());
    }
    double step = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scrollers.front()->scroll(step));
        step = -step;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScrollInDimension)->Arg(1)->Arg(10)->Arg(100)->Arg(1000);

// s0 - d1 - s1 - d2 - ... - d100 - s100: the step travels the whole chain.
void BM_ScrollAlongChainOfDimensions(benchmark::State& state) {
    const int dimensions = 100;
    std::vector<qvMappingDimension> chain;
    std::vector<qvScroller> scrollers{qvScrollerObject::create()};
    for (int i = 0; i < dimensions; ++i) {
        chain.emplace_back(0, true);
        chain.back()->add(scrollers.back());
        scrollers.push_back(qvScrollerObject::create());
        chain.back()->add(scrollers.back());
    }
    double step = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scrollers.front()->scroll(step));
        step = -step;
    }
    state.SetItemsProcessed(state.iterations() * (2 * dimensions + 1));
}
BENCHMARK(BM_ScrollAlongChainOfDimensions);

void BM_PageStepWithRoundOffAndLimits(benchmark::State& state) {
    qvScroller s = qvScrollerObject::create();
    s->resize(0, 333);
    s->mapping(1.7, 0.3);
    s->limits(0, 10000);
    s->round_off(true);
    s->position(5000);
    bool forward = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(forward ? s->page_add() : s->page_sub());
        forward = !forward;
    }
}
BENCHMARK(BM_PageStepWithRoundOffAndLimits);

}  // namespace
