// Broadcasting a rectangle invalidation to 1, 4 and 64 receivers: the walk
// lives on the stack, so the cost is the list walk and one virtual call per
// receiver.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvSenderInvalidate.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

class CountingReceiver : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
public:
    void invalidate() override { ++calls; }
    void invalidate(qvMathRectOf<double> const& r, int layer) override {
        benchmark::DoNotOptimize(r.x1 + layer);
        ++calls;
    }
    long calls = 0;
};

void BM_InvalidateRect(benchmark::State& state) {
    qvSenderInvalidate<qvMathRectOf<double>> sender;
    std::vector<std::unique_ptr<CountingReceiver>> receivers;
    for (int i = 0; i < state.range(0); ++i) {
        receivers.push_back(std::make_unique<CountingReceiver>());
        receivers.back()->connect(sender);
    }
    const qvMathRectOf<double> area(1.5, 2.5, 10.0, 20.0);
    for (auto _ : state)
        sender.invalidate(area, 3);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InvalidateRect)->Arg(1)->Arg(4)->Arg(64);

}  // namespace
