// Polygon clipping: the closed-mode join on many pieces along one edge (a
// comb, whose pieces chain into one polygon, and a spiral, whose pieces nest
// k deep), and open mode on a long polyline. The join should grow clearly
// below k^2; the complexity fit reports it.

#include <orvane/geometry/qvClipping.hpp>

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

using P = qvCrdOf<double>;
using Poly = std::vector<P>;

// k teeth rising from a base across the top edge y = 10: k + 1 pieces that
// join into one polygon.
Poly comb(int k) {
    Poly p{{2.0 * k, 0}, {0, 0}};
    for (int i = 0; i < k; ++i) {
        p.push_back({2.0 * i, 20});
        p.push_back({2.0 * i + 1, 20});
        p.push_back({2.0 * i + 1, 5});
        p.push_back({2.0 * i + 2, 5});
    }
    return p;
}

// A spiral strip centred on the top edge line: two nested pieces per turn.
Poly spiral(int pieces) {
    constexpr int per_turn = 16;
    const int turns = pieces / 2 + 1;
    Poly outer, inner;
    for (int i = per_turn; i <= turns * per_turn; ++i) {
        const double t = 2 * std::numbers::pi * i / per_turn + 0.1;
        const double r = 4 * t / (2 * std::numbers::pi);
        outer.push_back({(r + 1) * std::cos(t), 10 + (r + 1) * std::sin(t)});
        inner.push_back({(r - 1) * std::cos(t), 10 + (r - 1) * std::sin(t)});
    }
    outer.insert(outer.end(), inner.rbegin(), inner.rend());
    return outer;
}

void clip_closed(benchmark::State& state, Poly const& poly, qvMathRectOf<double> const& rect) {
    std::list<std::vector<P>> out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            qvClipPolygon2Rect(poly.data(), poly.data() + poly.size(), rect, out, false));
        benchmark::ClobberMemory();
    }
    state.SetComplexityN(state.range(0));
}

void BM_ClipComb(benchmark::State& state) {
    const int k = static_cast<int>(state.range(0));
    clip_closed(state, comb(k), qvMathRectOf<double>(-1, -1, 2.0 * k + 1, 10));
}
BENCHMARK(BM_ClipComb)->RangeMultiplier(10)->Range(100, 10000)->Complexity();

void BM_ClipSpiral(benchmark::State& state) {
    const int k = static_cast<int>(state.range(0));
    const double reach = 4.0 * (k / 2 + 3);
    clip_closed(state, spiral(k), qvMathRectOf<double>(-reach, -reach, reach, 10));
}
BENCHMARK(BM_ClipSpiral)->RangeMultiplier(10)->Range(100, 10000)->Complexity();

void BM_ClipOpenPolyline(benchmark::State& state) {
    std::mt19937 rng(20240616);
    std::uniform_real_distribution<double> coord(-5, 15);
    Poly line(static_cast<std::size_t>(state.range(0)));
    for (P& p : line) p = {coord(rng), coord(rng)};
    const qvMathRectOf<double> rect(0, 0, 10, 10);
    std::list<std::vector<P>> out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            qvClipPolygon2Rect(line.data(), line.data() + line.size(), rect, out, true));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ClipOpenPolyline)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
