// Selections at work: spot, box and polygon (10 to 5,000 vertices) proxy
// selections over memory and paged scenes of 10^3 to 10^6 rectangles of
// mixed sizes, a small area (few hits) and a large one (many), flags 0x01
// and 0x02. Setup (scene, selection, list) is outside the timing; each
// iteration is one select, the list cleared in between (0x10) except for
// the toggling cases, which alternate adding and removing.

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/interaction/qvPointSelection.hpp>
#include <orvane/interaction/qvPolygonSelection.hpp>
#include <orvane/interaction/qvRectangleSelection.hpp>
#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/scenes/qvPagedSceneSegment.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#if ORVANE_BENCH_BOOST
// g++ 12 sees maybe-uninitialized heap elements in the rtree's R* split,
// inlined into this file: Boost's, not ours.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#endif

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr double selection_side = 10000.0;

// n rectangles of sides 1 to 40 placed at seeded random corners.
template <class Scene>
void fill_selection_scene(Scene& scene, long n) {
    const std::vector<qvCrdOf<double>> corners = bench_support::random_points(static_cast<std::size_t>(n), 7, 0, selection_side - 40);
    const std::vector<qvCrdOf<double>> sizes = bench_support::random_points(static_cast<std::size_t>(n), 11, 1, 40);
    for (long i = 0; i < n; ++i) {
        const auto c = corners[static_cast<std::size_t>(i)], s = sizes[static_cast<std::size_t>(i)];
        qvRectangle(scene, qvMathRectOf<double>(c.x, c.y, c.x + s.x, c.y + s.y));
    }
}

struct PagedSelectionScene {
    std::string name;
    qvMatchingPalette palette;
    qvPagedSceneFile file;
    std::unique_ptr<qvPagedSceneSegment> segment;
    std::unique_ptr<qvBasicPagedScene> scene;
    PagedSelectionScene() {
        char const* dir = std::getenv("TMPDIR");
        name = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/qvbench_selection_" +
               std::to_string(::getpid());
        file.create(name.c_str(), std::size_t{512} << 20);
        segment = std::make_unique<qvPagedSceneSegment>(file);
        scene = std::make_unique<qvBasicPagedScene>(file, &palette, false);
        scene->add_segment(*segment, true);
        scene->create(qvMathRectOf<double>(qvRectOf<double>(0, 0, selection_side, selection_side)));
        scene->insert_layer(0);
    }
    ~PagedSelectionScene() {
        if (scene->is_open())
            scene->close();
        scene.reset();
        segment.reset();
        file.close();
        std::remove(name.c_str());
    }
};

// The area of the "few" (a 100-unit square) and "many" (a 2,000-unit
// square) cases, both around the middle.
qvMathRectOf<double> selection_area(bool many) {
    const double half = many ? 1000 : 50;
    return qvMathRectOf<double>(5000 - half, 5000 - half, 5000 + half, 5000 + half);
}

std::vector<qvCrdOf<double>> selection_polygon(long vertices, bool many) {
    const double radius = many ? 1000 : 50;
    std::vector<qvCrdOf<double>> out;
    for (long i = 0; i < vertices; ++i) {
        const double a = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(vertices);
        out.push_back({5000 + radius * std::cos(a), 5000 + radius * std::sin(a)});
    }
    return out;
}

template <class Run>
void time_selection(benchmark::State& state, qvGraphicList& list, Run&& run) {
    long hits = 0;
    for (auto _ : state) {
        run();
        hits = list->size();
    }
    state.counters["hits"] = static_cast<double>(hits);
}

// range(0): shapes; range(1): 1 for many hits; range(2): flags.
template <class Scene>
void spot_case(benchmark::State& state, Scene& scene) {
    qvPointSelection selection(scene);
    qvGraphicList list;
    const double tolerance = state.range(1) != 0 ? 200 : 5;
    const unsigned flags = static_cast<unsigned>(state.range(2)) | (state.range(2) == 0x02 ? 0x01u : 0x10u);
    time_selection(state, list, [&] { selection.select(list, qvCrdOf<double>(5000, 5000), tolerance, flags | 0x20u); });
}

template <class Scene>
void box_case(benchmark::State& state, Scene& scene) {
    qvRectangleSelection selection(scene);
    qvGraphicList list;
    const unsigned flags = static_cast<unsigned>(state.range(2)) | (state.range(2) == 0x02 ? 0u : 0x10u);
    const qvMathRectOf<double> area = selection_area(state.range(1) != 0);
    time_selection(state, list, [&] { selection.select(list, area, flags); });
}

template <class Scene>
void polygon_case(benchmark::State& state, Scene& scene) {
    qvPolygonSelection selection(scene);
    qvGraphicList list;
    std::vector<qvCrdOf<double>> polygon = selection_polygon(state.range(3), state.range(1) != 0);
    const unsigned flags = static_cast<unsigned>(state.range(2)) | (state.range(2) == 0x02 ? 0u : 0x10u);
    time_selection(state, list, [&] {
        selection.select(list, static_cast<int>(polygon.size()), polygon.data(), flags);
    });
}

template <void (*Case)(benchmark::State&, qvMemoryScene&)>
void BM_MemorySelection(benchmark::State& state) {
    qvMemoryScene scene;
    fill_selection_scene(scene, state.range(0));
    Case(state, scene);
}

template <void (*Case)(benchmark::State&, qvBasicPagedScene&)>
void BM_PagedSelection(benchmark::State& state) {
    PagedSelectionScene paged;
    fill_selection_scene(*paged.scene, state.range(0));
    Case(state, *paged.scene);
}

void selection_sizes(benchmark::internal::Benchmark* b, long largest) {
    for (long n = 1000; n <= largest; n *= 10)
        for (long many : {0, 1})
            for (long flags : {0x01, 0x02})
                b->Args({n, many, flags, 100});
}

void polygon_sizes(benchmark::internal::Benchmark* b, long largest) {
    for (long n = 1000; n <= largest; n *= 100)
        for (long many : {0, 1})
            for (long vertices : {10, 500, 5000})
                b->Args({n, many, 0x01, vertices});
}

}  // namespace

BENCHMARK(BM_MemorySelection<spot_case<qvMemoryScene>>)->Apply([](auto* b) { selection_sizes(b, 1000000); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemorySelection<box_case<qvMemoryScene>>)->Apply([](auto* b) { selection_sizes(b, 1000000); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemorySelection<polygon_case<qvMemoryScene>>)->Apply([](auto* b) { polygon_sizes(b, 100000); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PagedSelection<spot_case<qvBasicPagedScene>>)->Apply([](auto* b) { selection_sizes(b, 100000); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PagedSelection<box_case<qvBasicPagedScene>>)->Apply([](auto* b) { selection_sizes(b, 100000); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PagedSelection<polygon_case<qvBasicPagedScene>>)->Apply([](auto* b) { polygon_sizes(b, 100000); })
    ->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// Side by side (bench/compare): a box selection, shapes wholly inside, over
// a memory scene ("cmp/selection-box/memory/<n>-<few|many>") and the same
// rectangles in Boost.Geometry's rtree, queried with covered_by
// ("peer/selection-box/boost/<n>-<few|many>"). Index and scene are built
// outside the timing; each case checks that both count the same hits.

#if ORVANE_BENCH_BOOST
namespace {

namespace sbg = boost::geometry;
namespace sbgi = boost::geometry::index;
using SelectionPoint = sbg::model::point<double, 2, sbg::cs::cartesian>;
using SelectionBox = sbg::model::box<SelectionPoint>;

std::vector<qvMathRectOf<double>> selection_rects(long n) {
    const auto corners = bench_support::random_points(static_cast<std::size_t>(n), 7, 0, selection_side - 40);
    const auto sizes = bench_support::random_points(static_cast<std::size_t>(n), 11, 1, 40);
    std::vector<qvMathRectOf<double>> out;
    for (std::size_t i = 0; i < corners.size(); ++i)
        out.emplace_back(corners[i].x, corners[i].y, corners[i].x + sizes[i].x, corners[i].y + sizes[i].y);
    return out;
}

long boost_selection_count(std::vector<qvMathRectOf<double>> const& rects, qvMathRectOf<double> const& area) {
    std::vector<SelectionBox> boxes;
    for (auto const& r : rects)
        boxes.emplace_back(SelectionPoint(r.x1, r.y1), SelectionPoint(r.x2, r.y2));
    const sbgi::rtree<SelectionBox, sbgi::rstar<16>> tree(boxes);
    const SelectionBox query(SelectionPoint(area.x1, area.y1), SelectionPoint(area.x2, area.y2));
    std::vector<SelectionBox> hits;
    tree.query(sbgi::covered_by(query), std::back_inserter(hits));
    return static_cast<long>(hits.size());
}

const bool selection_compare_registered = [] {
    for (long n : {1000L, 10000L, 100000L})
        for (bool many : {false, true}) {
            const std::string size = std::to_string(n) + (many ? "-many" : "-few");
            benchmark::RegisterBenchmark(("cmp/selection-box/memory/" + size).c_str(),
                                         [n, many](benchmark::State& state) {
                                             qvMemoryScene scene;
                                             for (auto const& r : selection_rects(n))
                                                 qvRectangle(scene, r);
                                             qvRectangleSelection selection(scene);
                                             qvGraphicList list;
                                             const qvMathRectOf<double> area = selection_area(many);
                                             for (auto _ : state)
                                                 selection.select(list, area, 0x11);
                                             const long theirs = boost_selection_count(selection_rects(n), area);
                                             if (list->size() != theirs)
                                                 state.SkipWithError("ours and boost count different hits");
                                             state.counters["hits"] = static_cast<double>(list->size());
                                         })
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("peer/selection-box/boost/" + size).c_str(),
                                         [n, many](benchmark::State& state) {
                                             std::vector<SelectionBox> boxes;
                                             for (auto const& r : selection_rects(n))
                                                 boxes.emplace_back(SelectionPoint(r.x1, r.y1),
                                                                    SelectionPoint(r.x2, r.y2));
                                             const sbgi::rtree<SelectionBox, sbgi::rstar<16>> tree(boxes);
                                             const qvMathRectOf<double> area = selection_area(many);
                                             const SelectionBox query(SelectionPoint(area.x1, area.y1),
                                                                      SelectionPoint(area.x2, area.y2));
                                             std::vector<SelectionBox> hits;
                                             for (auto _ : state) {
                                                 hits.clear();
                                                 tree.query(sbgi::covered_by(query), std::back_inserter(hits));
                                             }
                                             state.counters["hits"] = static_cast<double>(hits.size());
                                         })
                ->Unit(benchmark::kMicrosecond);
        }
    return true;
}();

}  // namespace
#endif
