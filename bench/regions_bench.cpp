// Grid regions at N from 10^3 to 10^5 rectangles, with complexity fits:
//  - N scattered small additions, reading bbox() after each (the cached box
//    grows with each rectangle instead of being rebuilt from every row);
//  - `*=` and `-=` with a list region of N rectangles (collected into one
//    temporary grid, not walked rectangle by rectangle);
//  - translating a region of N bands (the grid mapped directly), beside the
//    rectangle-by-rectangle translation of the generic region;
//  - enumerating a region and comparing two equal ones.
// The first three must grow clearly below N^2.
//
// Rectangles sit in a jittered lattice of cells, one per cell, each cell
// row forming one band of the grid; the order of additions is shuffled with
// a fixed seed, so runs are comparable.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegion.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

// n rectangles, one per cell of a square lattice of 10 x 10 cells; `shift`
// moves every rectangle right, so two patterns overlap partly.
std::vector<Rect> scattered(int n, double shift = 0) {
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<int> jitter(0, 3), width(2, 6);
    const int side = static_cast<int>(std::ceil(std::sqrt(n)));
    std::vector<Rect> rects;
    rects.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double x = 10.0 * (i % side) + jitter(rng) + shift;
        const double y = 10.0 * (i / side);
        rects.emplace_back(x, y + 1, x + width(rng), y + 9);
    }
    std::shuffle(rects.begin(), rects.end(), rng);
    return rects;
}

template <class Region>
Region region_of(std::vector<Rect> const& rects) {
    Region region;
    for (Rect const& r : rects) region.add(r);
    return region;
}

// n bands one unit high, alternating between two widths, with a gap above
// each.
qvGridRegion bands(int n) {
    qvGridRegion region;
    for (int i = 0; i < n; ++i) region.add(Rect(i % 2, 2.0 * i, 10 + i % 3, 2.0 * i + 1));
    return region;
}

void sizes(benchmark::internal::Benchmark* b) {
    for (int n : {1000, 3000, 10000, 30000, 100000}) b->Arg(n);
    b->Complexity(benchmark::oAuto)->Unit(benchmark::kMillisecond);
}

void BM_ScatteredAddsReadingTheBox(benchmark::State& state) {
    const std::vector<Rect> rects = scattered(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        qvGridRegion region;
        region.erase();
        for (Rect const& r : rects) {
            region.add(r);
            benchmark::DoNotOptimize(region.bbox());
        }
        benchmark::DoNotOptimize(region.simple());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScatteredAddsReadingTheBox)->Apply(sizes);

void BM_GridTimesList(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const qvGridRegion grid = region_of<qvGridRegion>(scattered(n));
    const qvListRegion list = region_of<qvListRegion>(scattered(n, 3));
    for (auto _ : state) {
        qvGridRegion region(grid);
        region *= list;
        benchmark::DoNotOptimize(region.bbox());
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_GridTimesList)->Apply(sizes);

void BM_GridMinusList(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const qvGridRegion grid = region_of<qvGridRegion>(scattered(n));
    const qvListRegion list = region_of<qvListRegion>(scattered(n, 3));
    for (auto _ : state) {
        qvGridRegion region(grid);
        region -= list;
        benchmark::DoNotOptimize(region.bbox());
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_GridMinusList)->Apply(sizes);

// A mirror in y with a shift: applied twice it gives the region back, so
// every iteration maps a region of the same size.
const qvRestrictedTransformation mirror(2, -1, 5, 7);
const qvRestrictedTransformation unmirror = qvInvert(mirror);

void BM_TranslateBands(benchmark::State& state) {
    qvGridRegion region = bands(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        region.translate(mirror);
        region.translate(unmirror);
        benchmark::DoNotOptimize(region.bbox());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TranslateBands)->Apply(sizes);

// The peer: every rectangle mapped and added to a new region.
void BM_TranslateBandsRectangleByRectangle(benchmark::State& state) {
    qvGridRegion region = bands(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        region.qvGenericRegion::translate(mirror);
        region.qvGenericRegion::translate(unmirror);
        benchmark::DoNotOptimize(region.bbox());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TranslateBandsRectangleByRectangle)->Apply(sizes);

void BM_Enumerate(benchmark::State& state) {
    const qvRegion region(region_of<qvGridRegion>(scattered(static_cast<int>(state.range(0)))));
    for (auto _ : state) {
        double sum = 0;
        for (qvIndirectRectIterator it = region.enumerate(); it; ++it) sum += it->x1;
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Enumerate)->Apply(sizes);

void BM_EqualRegions(benchmark::State& state) {
    const std::vector<Rect> rects = scattered(static_cast<int>(state.range(0)));
    const qvRegion a(region_of<qvGridRegion>(rects));
    std::vector<Rect> reversed(rects.rbegin(), rects.rend());
    const qvRegion b(region_of<qvGridRegion>(reversed));
    for (auto _ : state) benchmark::DoNotOptimize(a == b);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_EqualRegions)->Apply(sizes);

}  // namespace
