// Hit tests at work: check_selection of the spot and box selectors per kind
// (polyline, polygon with its area, markers; compact and exact records of
// 10 to 10,000 points on a circle, a spot and a box that miss, so every
// point is visited), and polygon selectors of 10 to 5,000 vertices against
// a 1,000-point polygon, containment and touch. A polygon selection costs
// points x vertices per shape; the vertex box rejects points outside it
// before the winding pass, which the "far" cases show.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>

#include "qvSelectorTestRecords.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace selector_test;

std::vector<Pt> circle(Pt centre, double radius, long n) {
    std::vector<Pt> out;
    for (long i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        out.push_back({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
    }
    return out;
}

struct HitBench {
    qvStandardPalette palette;
    qvRestrictedTransformation t{2.0, -2.0, 10.0, 5000.0};
    long attribute_handle = 0;
    HitBench() { attribute_handle = attribute(palette, {.line_width = 1, .marker_diameter = 3}); }
    qvSelector::Info info() { return {&t, &palette}; }
};

void spot_kind(benchmark::State& state, long kind) {
    HitBench b;
    const Record r = kind > -13 ? compact(kind, circle({500, 500}, 400, state.range(0)), b.attribute_handle)
                                : exact(kind, circle({500, 500}, 400, state.range(0)), b.attribute_handle);
    qvSpotSelectorObject spot(Pt{1010, 4000}, nullptr);  // inside the circle, far from its outline
    spot.options(qvSelector::whole_area);
    for (auto _ : state)
        benchmark::DoNotOptimize(spot.check_selection(r.get(), b.info()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void box_kind(benchmark::State& state, long kind) {
    HitBench b;
    const Record r = kind > -13 ? compact(kind, circle({500, 500}, 400, state.range(0)), b.attribute_handle)
                                : exact(kind, circle({500, 500}, 400, state.range(0)), b.attribute_handle);
    qvBoxSelectorObject box(Box(0, 0, 2000, 4000), nullptr, false);  // holds all but the top
    for (auto _ : state)
        benchmark::DoNotOptimize(box.check_selection(r.get(), b.info()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void polygon_selection(benchmark::State& state, bool touch, bool far) {
    HitBench b;
    const Record shape = exact(qvExactPolygonKind, circle({500, 500}, 400, 1000), b.attribute_handle);
    // Device coordinates of the shape: x 210..1810, y 3210..4810.
    std::vector<Pt> selection = circle(far ? Pt{5000, 4000} : Pt{1010, 4010}, far ? 500 : 1000, state.range(0));
    qvPolygonSelectorObject selector(static_cast<int>(selection.size()), selection.data(), nullptr, touch);
    for (auto _ : state)
        benchmark::DoNotOptimize(selector.check_selection(shape.get(), b.info()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK_CAPTURE(spot_kind, compact_polyline, long{qvCompactPolylineKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(spot_kind, exact_polyline, long{qvExactPolylineKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(spot_kind, compact_polygon, long{qvCompactPolygonKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(spot_kind, exact_polygon, long{qvExactPolygonKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(spot_kind, compact_markers, long{qvCompactPolyMarkerKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(spot_kind, exact_markers, long{qvExactPolyMarkerKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(box_kind, compact_polyline, long{qvCompactPolylineKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(box_kind, exact_polyline, long{qvExactPolylineKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(box_kind, compact_polygon, long{qvCompactPolygonKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(box_kind, exact_polygon, long{qvExactPolygonKind})->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(polygon_selection, contain, false, false)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000);
BENCHMARK_CAPTURE(polygon_selection, touch, true, false)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000);
BENCHMARK_CAPTURE(polygon_selection, touch_far, true, true)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000);
