// Broadcasting a rectangle invalidation to 1, 4 and 64 receivers: the walk
// lives on the stack, so the cost is the list walk and one virtual call per
// receiver.
//   core/notification/teardown/<order>/<n>   n receivers connected to one
//       sender, then destroyed in connection order (the oldest filing is at
//       the far end of the sender's list) or in a shuffled order; the total
//       should grow linearly with n.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvSenderInvalidate.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
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

void connect_and_tear_down(benchmark::State& state, bool shuffled) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    if (shuffled) std::shuffle(order.begin(), order.end(), std::mt19937(20261207));
    for (auto _ : state) {
        qvSenderInvalidate<qvMathRectOf<double>> sender;
        std::vector<std::unique_ptr<CountingReceiver>> receivers(n);
        for (auto& r : receivers) {
            r = std::make_unique<CountingReceiver>();
            r->connect(sender);
        }
        for (std::size_t i : order) receivers[i].reset();
        benchmark::DoNotOptimize(sender.empty(true));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(connect_and_tear_down, in_order, false)
    ->Name("core/notification/teardown/in_order")->Unit(benchmark::kMillisecond)
    ->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK_CAPTURE(connect_and_tear_down, shuffled, true)
    ->Name("core/notification/teardown/shuffled")->Unit(benchmark::kMillisecond)
    ->Arg(1000)->Arg(10000)->Arg(100000);

}  // namespace
