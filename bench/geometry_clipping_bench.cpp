// Polygon clipping: the closed-mode join on many pieces along one edge (a
// comb, whose pieces chain into one polygon, and a spiral, whose pieces nest
// k deep), and open mode on a long polyline. The join should grow clearly
// below k^2; the complexity fit reports it. Then a random walk of 1,000 to
// 100,000 points clipped as a polyline, as a polygon and segment by segment,
// and the flattening of a Bezier curve and an ellipse at tolerances from
// 1 to 0.001 (a hundred units across, so the point counts grow as the
// tolerance shrinks).

#include <orvane/geometry/qvBezierGenerator.hpp>
#include <orvane/geometry/qvClipping.hpp>
#include <orvane/geometry/qvEllipseGenerator.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
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

// A random walk of n points wandering in and out of the rectangle
// (0, 0, 100, 100), so the clip cuts it into many pieces.
Poly random_walk(int n) {
    std::mt19937 rng(20240617);
    std::normal_distribution<double> step(0, 4);
    Poly walk(static_cast<std::size_t>(n));
    P at{50, 50};
    for (P& p : walk) {
        at = {std::clamp(at.x + step(rng), -50.0, 150.0), std::clamp(at.y + step(rng), -50.0, 150.0)};
        p = at;
    }
    return walk;
}

const qvMathRectOf<double> walk_clip(0, 0, 100, 100);

void clip_walk(benchmark::State& state, bool open) {
    const Poly walk = random_walk(static_cast<int>(state.range(0)));
    std::list<std::vector<P>> out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            qvClipPolygon2Rect(walk.data(), walk.data() + walk.size(), walk_clip, out, open));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ClipWalkPolyline(benchmark::State& state) { clip_walk(state, true); }
void BM_ClipWalkPolygon(benchmark::State& state) { clip_walk(state, false); }
BENCHMARK(BM_ClipWalkPolyline)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClipWalkPolygon)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMicrosecond);

void BM_ClipWalkSegments(benchmark::State& state) {
    const Poly walk = random_walk(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int kept = 0;
        for (std::size_t i = 1; i < walk.size(); ++i) {
            P a, b;
            kept += qvClipLine2Rect(walk[i - 1], walk[i], walk_clip, a, b);
        }
        benchmark::DoNotOptimize(kept);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ClipWalkSegments)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMicrosecond);

// Tolerances 1, 0.1, 0.01 and 0.001 as the argument's negative power of 10.
double tolerance_of(benchmark::State const& state) {
    return std::pow(10.0, -static_cast<double>(state.range(0)));
}

template <class Generator>
void count_points(benchmark::State& state, Generator& generator) {
    long points = 0;
    for (; !generator.at_end(); generator.next()) {
        benchmark::DoNotOptimize(generator.get()->x);
        ++points;
    }
    state.counters["points"] = static_cast<double>(points);
}

void BM_FlattenBezier(benchmark::State& state) {
    const double tolerance = tolerance_of(state);
    for (auto _ : state) {
        qvBezierGenerator curve(P{0, 0}, P{30, 120}, P{70, -60}, P{100, 40}, tolerance);
        count_points(state, curve);
    }
}
BENCHMARK(BM_FlattenBezier)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_FlattenEllipse(benchmark::State& state) {
    const double tolerance = tolerance_of(state);
    for (auto _ : state) {
        qvEllipseGenerator ellipse(qvMathRectOf<double>(0, 0, 100, 60), tolerance);
        count_points(state, ellipse);
    }
}
BENCHMARK(BM_FlattenEllipse)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace
