// Selections at work: spot, box and polygon (10 to 5,000 vertices) proxy
// selections over memory and paged scenes of 10^3 to 10^6 rectangles of
// mixed sizes, a small area (few hits) and a large one (many), flags 0x01
// and 0x02. Setup (scene, selection, list) is outside the timing; each
// iteration is one select, the list cleared in between (0x10) except for
// the toggling cases, which alternate adding and removing.

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/interaction/qvPointCallbackSelection.hpp>
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
#if ORVANE_BENCH_GEOS
#define GEOS_USE_ONLY_R_API
#include <geos_c.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>
#include <type_traits>
#include <utility>
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
        name = bench_support::scratch_path("selection");
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
// Scene edits between selects: range(0) edits (one shape moved about) before
// each small spot select over 10^4 shapes; range(1) 0 runs the edits with no
// selection alive, so the difference is what the selection's view pays.
// Parked between selects, that is the same small sum for every edit, and
// the select after many edits costs what it costs after none.

namespace {

void BM_SelectionEditsBetweenSelects(benchmark::State& state) {
    qvMemoryScene scene;
    fill_selection_scene(scene, 10000);
    qvRectangle roving(scene, qvMathRectOf<double>(0, 0, 10, 10));
    const long edits = state.range(0);
    std::unique_ptr<qvPointSelection> selection;
    if (state.range(1) != 0)
        selection = std::make_unique<qvPointSelection>(scene);
    qvGraphicList list;
    for (auto _ : state) {
        for (long i = 0; i < edits; ++i) {
            const double x = static_cast<double>(i % 9000);
            roving->rectangle(qvMathRectOf<double>(x, x, x + 10, x + 10));
        }
        if (selection)
            selection->select(list, qvCrdOf<double>(5000, 5000), 5, 0x11);
    }
    state.counters["edits"] = static_cast<double>(edits);
}

// The spot of the listed cases: 10^5 rectangles over (5000, 5000) in a
// paged scene, every one listed (so connected: the scene hands over its
// connected copies). range(0): flags, 0x01 (each hit found listed and kept)
// or 0x04 (query only: the first listed hit ends the select).
void BM_PagedSelectionListedHits(benchmark::State& state) {
    PagedSelectionScene paged;
    const long n = 100000;
    const auto corners = bench_support::random_points(static_cast<std::size_t>(n), 13, 4960, 5000);
    const auto sizes = bench_support::random_points(static_cast<std::size_t>(n), 17, 40, 80);
    qvGraphicList list;
    for (std::size_t i = 0; i < corners.size(); ++i)
        list->add(qvRectangle(*paged.scene, qvMathRectOf<double>(corners[i].x, corners[i].y,
                                                                  corners[i].x + sizes[i].x,
                                                                  corners[i].y + sizes[i].y)));
    qvPointSelection selection(*paged.scene);
    const unsigned flags = static_cast<unsigned>(state.range(0)) | 0x20u;
    bool found = false;
    for (auto _ : state)
        found = selection.select(list, qvCrdOf<double>(5000, 5000), 1, flags);
    if (!found || list->size() != n)
        state.SkipWithError("the listed hits were not found, or the list changed");
    state.counters["listed"] = static_cast<double>(list->size());
}

}  // namespace

// ---------------------------------------------------------------------------
// One spot among many shapes: the fixed cost of a select. The scene holds
// range(0) rectangles placed as above, less those whose box comes within the
// selection's reach of the spot (5000.5, 5000.5), so that nothing there is
// hit ("none"); "one" adds a small rectangle around the spot, whose outline
// lies within the tolerance (so also a hollow one is hit). Tolerance 1, flags
// 0x31. "peer/spot-query/boost" is Boost.Geometry's rtree answering the
// same box query (the spot grown by tolerance and reach) over the same
// boxes, for scale.

namespace {

constexpr double spot_tolerance = 1.0;
// The farthest a selection's area reaches beyond the spot here: the
// tolerance, the default marker diameter 5 the scene's plain attributes
// give, and the added width 1.
constexpr double spot_reach = spot_tolerance + 5.0 + 1.0;
constexpr qvCrdOf<double> one_spot{5000.5, 5000.5};

std::vector<qvMathRectOf<double>> one_spot_boxes(long n, bool hit) {
    const auto corners = bench_support::random_points(static_cast<std::size_t>(n), 7, 0, selection_side - 40);
    const auto sizes = bench_support::random_points(static_cast<std::size_t>(n), 11, 1, 40);
    std::vector<qvMathRectOf<double>> out;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const qvMathRectOf<double> r(static_cast<float>(corners[i].x), static_cast<float>(corners[i].y),
                                     static_cast<float>(corners[i].x + sizes[i].x),
                                     static_cast<float>(corners[i].y + sizes[i].y));
        const bool near = r.x2 > one_spot.x - spot_reach - 1 && r.x1 < one_spot.x + spot_reach + 1 &&
                          r.y2 > one_spot.y - spot_reach - 1 && r.y1 < one_spot.y + spot_reach + 1;
        if (!near)
            out.push_back(r);
    }
    if (hit)
        out.push_back(qvMathRectOf<double>(5000, 5000.25, 5001.5, 5001));  // its outline within the tolerance
    return out;
}

// range(0): shapes; range(1): hits wanted (0 or 1).
template <class Scene>
void one_spot_case(benchmark::State& state, Scene& scene) {
    for (auto const& r : one_spot_boxes(state.range(0), state.range(1) != 0))
        qvRectangle(scene, r);
    qvPointSelection selection(scene);
    qvGraphicList list;
    bool found = false;
    for (auto _ : state)
        found = selection.select(list, one_spot, spot_tolerance, 0x31);
    if (found != (state.range(1) != 0))
        state.SkipWithError("a different answer");
    state.counters["hits"] = static_cast<double>(list->size());
}

// The same through a callback selection, which only counts the hit: what
// the select itself costs without making a graphic of the hit shape.
template <class Scene>
void one_spot_callback_case(benchmark::State& state, Scene& scene) {
    for (auto const& r : one_spot_boxes(state.range(0), state.range(1) != 0))
        qvRectangle(scene, r);
    qvPointCallbackSelection selection(scene);
    qvSelectionCallback counter;
    for (auto _ : state)
        selection.select(counter, one_spot, spot_tolerance);
    const double per_select = static_cast<double>(counter.count()) / static_cast<double>(state.iterations());
    if (per_select != static_cast<double>(state.range(1)))
        state.SkipWithError("a different answer");
    state.counters["hits"] = per_select;
}

constexpr long one_spot_counts[] = {1000, 100000, 1000000};

void one_spot_sizes(benchmark::internal::Benchmark* b) {
    for (long n : one_spot_counts)
        for (long hits : {0L, 1L})
            b->Args({n, hits});
}

template <class Scene, bool Callback = false>
void BM_OneSpot(benchmark::State& state) {
    if constexpr (std::is_same_v<Scene, qvMemoryScene>) {
        qvMemoryScene scene;
        Callback ? one_spot_callback_case(state, scene) : one_spot_case(state, scene);
    } else {
        PagedSelectionScene paged;
        Callback ? one_spot_callback_case(state, *paged.scene) : one_spot_case(state, *paged.scene);
    }
}

}  // namespace

BENCHMARK(BM_OneSpot<qvMemoryScene>)->Apply(one_spot_sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneSpot<qvBasicPagedScene>)->Apply(one_spot_sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneSpot<qvBasicPagedScene, true>)->Apply(one_spot_sizes)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_SelectionEditsBetweenSelects)->ArgsProduct({{0, 100, 10000}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PagedSelectionListedHits)->Arg(0x01)->Arg(0x04)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// Side by side (bench/compare): spot, box and polygon selections over the
// same rectangles, in a memory and a paged scene ("cmp/selection-<kind>/
// <memory|paged>/<n>-<few|many>[-<vertices>v]"), and the peers doing the
// same work: an index query by box, then the exact test. Boost.Geometry's
// rtree then comparable_distance (spot), covered_by (box, polygon inside)
// or intersects (polygon touching) ("peer/selection-<kind>/boost/..."); GEOS's
// STRtree then the selection prepared once, PreparedDistanceWithin,
// PreparedCovers or PreparedIntersects ("peer/selection-<kind>/geos/...").
// Indexes, scenes and prepared geometry are built outside the timing. Our
// spot is a square, theirs round, and our polygon test meets theirs only
// away from the polygon's edge: rectangles in the bands where the answers
// may differ are left out of the data, so every side must count the same
// hits (each cmp case checks against every peer built in).

#if ORVANE_BENCH_BOOST || ORVANE_BENCH_GEOS
namespace {

enum class CompareKind { spot, box, polygon_inside, polygon_touching };

char const* compare_kind_name(CompareKind kind) {
    switch (kind) {
    case CompareKind::spot:
        return "spot";
    case CompareKind::box:
        return "box";
    case CompareKind::polygon_inside:
        return "polygon-inside";
    case CompareKind::polygon_touching:
        break;
    }
    return "polygon-touching";
}

struct CompareCase {
    CompareKind kind = CompareKind::box;
    std::vector<qvMathRectOf<double>> rects;  // as our scenes store them (floats)
    qvCrdOf<double> spot{5000, 5000};
    double tolerance = 0;
    qvMathRectOf<double> area;  // the box, else the selection's bounding box
    std::vector<qvCrdOf<double>> polygon;
};

double compare_float(double v) { return static_cast<double>(static_cast<float>(v)); }

// Distances from the middle to a rectangle's nearest and farthest points.
void compare_distances(qvMathRectOf<double> const& r, double& nearest, double& farthest) {
    const double dx = std::max({r.x1 - 5000, 0.0, 5000 - r.x2}), dy = std::max({r.y1 - 5000, 0.0, 5000 - r.y2});
    const double fx = std::max(std::abs(r.x1 - 5000), std::abs(r.x2 - 5000));
    const double fy = std::max(std::abs(r.y1 - 5000), std::abs(r.y2 - 5000));
    nearest = std::hypot(dx, dy);
    farthest = std::hypot(fx, fy);
}

// Whether a rectangle's answers may differ between the sides: near the
// round band of the spot (square for us), or near the polygon's edge
// (between its inscribed circle and its circle).
bool compare_in_band(CompareCase const& c, qvMathRectOf<double> const& r, long vertices) {
    double nearest = 0, farthest = 0;
    compare_distances(r, nearest, farthest);
    if (c.kind == CompareKind::spot) {
        const double chebyshev = std::max({r.x1 - 5000, 0.0, 5000 - r.x2, r.y1 - 5000, 5000 - r.y2});
        return !(nearest <= c.tolerance - 1 || chebyshev > c.tolerance + 1);
    }
    if (c.kind == CompareKind::box)
        return false;
    const double outer = (c.area.x2 - c.area.x1) / 2;
    const double inner = outer * std::cos(std::numbers::pi / static_cast<double>(vertices));
    const auto clear = [&](double d) { return d < inner - 1 || d > outer + 1; };
    return !(clear(nearest) && clear(farthest));
}

CompareCase make_compare_case(CompareKind kind, long n, bool many, long vertices) {
    CompareCase c;
    c.kind = kind;
    c.tolerance = many ? 200 : 5;
    c.area = selection_area(many);
    if (kind == CompareKind::spot)
        c.area = qvMathRectOf<double>(5000 - c.tolerance, 5000 - c.tolerance, 5000 + c.tolerance, 5000 + c.tolerance);
    if (kind == CompareKind::polygon_inside || kind == CompareKind::polygon_touching)
        c.polygon = selection_polygon(vertices, many);
    const auto corners = bench_support::random_points(static_cast<std::size_t>(n), 7, 0, selection_side - 40);
    const auto sizes = bench_support::random_points(static_cast<std::size_t>(n), 11, 1, 40);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const qvMathRectOf<double> r(compare_float(corners[i].x), compare_float(corners[i].y),
                                     compare_float(corners[i].x + sizes[i].x), compare_float(corners[i].y + sizes[i].y));
        if (!compare_in_band(c, r, vertices))
            c.rects.push_back(r);
    }
    return c;
}

#if ORVANE_BENCH_BOOST
namespace cbg = boost::geometry;
namespace cbgi = boost::geometry::index;
using ComparePoint = cbg::model::point<double, 2, cbg::cs::cartesian>;
using CompareBox = cbg::model::box<ComparePoint>;
using ComparePolygon = cbg::model::polygon<ComparePoint>;
using CompareEntry = std::pair<CompareBox, std::size_t>;
using CompareTree = cbgi::rtree<CompareEntry, cbgi::rstar<16>>;

// Boost 1.74 has no covered_by for a box in a polygon: the inside test takes
// each rectangle as a polygon, made with the index.
struct BoostSelection {
    CompareTree tree;
    std::vector<ComparePolygon> shapes;
    ComparePoint spot;
    CompareBox area;
    ComparePolygon polygon;
    std::vector<CompareEntry> candidates;

    explicit BoostSelection(CompareCase const& c) : spot(c.spot.x, c.spot.y) {
        std::vector<CompareEntry> boxes;
        for (auto const& r : c.rects) {
            boxes.emplace_back(CompareBox(ComparePoint(r.x1, r.y1), ComparePoint(r.x2, r.y2)), boxes.size());
            if (c.kind == CompareKind::polygon_inside) {
                shapes.emplace_back();
                cbg::convert(boxes.back().first, shapes.back());
            }
        }
        tree = CompareTree(boxes);
        area = CompareBox(ComparePoint(c.area.x1, c.area.y1), ComparePoint(c.area.x2, c.area.y2));
        for (auto const& p : c.polygon)
            cbg::append(polygon.outer(), ComparePoint(p.x, p.y));
        cbg::correct(polygon);
    }

    long hits(CompareCase const& c) {
        candidates.clear();
        long found = 0;
        switch (c.kind) {
        case CompareKind::spot: {
            tree.query(cbgi::intersects(area), std::back_inserter(candidates));
            const double reach = c.tolerance * c.tolerance;
            for (CompareEntry const& e : candidates)
                found += cbg::comparable_distance(spot, e.first) <= reach ? 1 : 0;
            return found;
        }
        case CompareKind::box:
            tree.query(cbgi::covered_by(area), std::back_inserter(candidates));
            return static_cast<long>(candidates.size());
        case CompareKind::polygon_inside:
            tree.query(cbgi::covered_by(area), std::back_inserter(candidates));
            for (CompareEntry const& e : candidates)
                found += cbg::covered_by(shapes[e.second], polygon) ? 1 : 0;
            return found;
        case CompareKind::polygon_touching:
            break;
        }
        tree.query(cbgi::intersects(area), std::back_inserter(candidates));
        for (CompareEntry const& e : candidates)
            found += cbg::intersects(e.first, polygon) ? 1 : 0;
        return found;
    }
};
#endif

#if ORVANE_BENCH_GEOS
// The reentrant API: one context per selection, everything it made freed
// with it.
struct GeosSelection {
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSSTRtree* tree = nullptr;
    std::vector<GEOSGeometry*> shapes;
    GEOSGeometry* selection = nullptr;
    GEOSGeometry* query = nullptr;
    GEOSPreparedGeometry const* prepared = nullptr;
    std::vector<GEOSGeometry const*> candidates;

    explicit GeosSelection(CompareCase const& c) {
        tree = GEOSSTRtree_create_r(context, 10);
        for (auto const& r : c.rects) {
            shapes.push_back(GEOSGeom_createRectangle_r(context, r.x1, r.y1, r.x2, r.y2));
            GEOSSTRtree_insert_r(context, tree, shapes.back(), shapes.back());
        }
        query = GEOSGeom_createRectangle_r(context, c.area.x1, c.area.y1, c.area.x2, c.area.y2);
        if (c.kind == CompareKind::spot) {
            selection = GEOSGeom_createPointFromXY_r(context, c.spot.x, c.spot.y);
        } else if (c.kind == CompareKind::box) {
            selection = GEOSGeom_createRectangle_r(context, c.area.x1, c.area.y1, c.area.x2, c.area.y2);
        } else {
            GEOSCoordSequence* ring = GEOSCoordSeq_create_r(context, static_cast<unsigned>(c.polygon.size() + 1), 2);
            for (std::size_t i = 0; i <= c.polygon.size(); ++i) {
                auto const& p = c.polygon[i % c.polygon.size()];
                GEOSCoordSeq_setXY_r(context, ring, static_cast<unsigned>(i), p.x, p.y);
            }
            selection = GEOSGeom_createPolygon_r(context, GEOSGeom_createLinearRing_r(context, ring), nullptr, 0);
        }
        prepared = GEOSPrepare_r(context, selection);
        hits(c);  // the STRtree builds itself at its first query
    }
    GeosSelection(GeosSelection const&) = delete;
    GeosSelection& operator=(GeosSelection const&) = delete;
    ~GeosSelection() {
        GEOSPreparedGeom_destroy_r(context, prepared);
        GEOSGeom_destroy_r(context, selection);
        GEOSGeom_destroy_r(context, query);
        GEOSSTRtree_destroy_r(context, tree);
        for (GEOSGeometry* g : shapes)
            GEOSGeom_destroy_r(context, g);
        GEOS_finish_r(context);
    }

    static void collect(void* item, void* self) {
        static_cast<GeosSelection*>(self)->candidates.push_back(static_cast<GEOSGeometry const*>(item));
    }

    long hits(CompareCase const& c) {
        candidates.clear();
        GEOSSTRtree_query_r(context, tree, query, &GeosSelection::collect, this);
        long found = 0;
        for (GEOSGeometry const* g : candidates) {
            char hit = 0;
            switch (c.kind) {
            case CompareKind::spot:
                hit = GEOSPreparedDistanceWithin_r(context, prepared, g, c.tolerance);
                break;
            case CompareKind::box:
            case CompareKind::polygon_inside:
                hit = GEOSPreparedCovers_r(context, prepared, g);
                break;
            case CompareKind::polygon_touching:
                hit = GEOSPreparedIntersects_r(context, prepared, g);
                break;
            }
            found += hit == 1 ? 1 : 0;
        }
        return found;
    }
};
#endif

#if ORVANE_BENCH_BOOST
// The rtree's answer to the one-spot box query (see one_spot_case), named
// as bench/compare reads a peer's case: "peer/spot-query/boost/<n>-<hits>".
void peer_spot_query(benchmark::State& state, long n, bool hit) {
    std::vector<CompareEntry> boxes;
    for (auto const& r : one_spot_boxes(n, hit))
        boxes.emplace_back(CompareBox(ComparePoint(r.x1, r.y1), ComparePoint(r.x2, r.y2)), boxes.size());
    const CompareTree tree(boxes);
    const qvCrdOf<double> p = one_spot;
    const CompareBox area(ComparePoint(p.x - spot_reach, p.y - spot_reach), ComparePoint(p.x + spot_reach, p.y + spot_reach));
    std::vector<CompareEntry> found;
    for (auto _ : state) {
        found.clear();
        tree.query(cbgi::intersects(area), std::back_inserter(found));
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["hits"] = static_cast<double>(found.size());
}
const bool peer_spot_query_registered = [] {
    for (long n : one_spot_counts)
        for (bool hit : {false, true})
            benchmark::RegisterBenchmark(("peer/spot-query/boost/" + std::to_string(n) + (hit ? "-one" : "-none")).c_str(),
                                         peer_spot_query, n, hit)
                ->Unit(benchmark::kMicrosecond);
    return true;
}();
#endif

// One select of ours, repeated; the list cleared each time.
template <class Scene>
void compare_ours(benchmark::State& state, Scene& scene, CompareCase const& c) {
    for (auto const& r : c.rects)
        qvRectangle(scene, r);
    qvGraphicList list;
    if (c.kind == CompareKind::spot) {
        qvPointSelection selection(scene);
        for (auto _ : state)
            selection.select(list, c.spot, c.tolerance, 0x31);
    } else if (c.kind == CompareKind::box) {
        qvRectangleSelection selection(scene);
        for (auto _ : state)
            selection.select(list, c.area, 0x11);
    } else {
        qvPolygonSelection selection(scene);
        std::vector<qvCrdOf<double>> polygon = c.polygon;
        const unsigned flags = c.kind == CompareKind::polygon_touching ? 0x19u : 0x11u;
        for (auto _ : state)
            selection.select(list, static_cast<int>(polygon.size()), polygon.data(), flags);
    }
    const long ours = list->size();
#if ORVANE_BENCH_BOOST
    if (BoostSelection(c).hits(c) != ours)
        state.SkipWithError("ours and boost count different hits");
#endif
#if ORVANE_BENCH_GEOS
    if (GeosSelection(c).hits(c) != ours)
        state.SkipWithError("ours and geos count different hits");
#endif
    state.counters["hits"] = static_cast<double>(ours);
}

template <class Peer>
void compare_peer(benchmark::State& state, CompareCase const& c) {
    Peer peer(c);
    long found = 0;
    for (auto _ : state)
        found = peer.hits(c);
    state.counters["hits"] = static_cast<double>(found);
}

void register_compare(CompareKind kind, long n, bool many, long vertices) {
    std::string size = std::to_string(n) + (many ? "-many" : "-few");
    if (vertices > 0)
        size += "-" + std::to_string(vertices) + "v";
    const std::string operation = std::string("selection-") + compare_kind_name(kind);
    benchmark::RegisterBenchmark(("cmp/" + operation + "/memory/" + size).c_str(), [=](benchmark::State& state) {
        qvMemoryScene scene;
        compare_ours(state, scene, make_compare_case(kind, n, many, vertices));
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("cmp/" + operation + "/paged/" + size).c_str(), [=](benchmark::State& state) {
        PagedSelectionScene paged;
        compare_ours(state, *paged.scene, make_compare_case(kind, n, many, vertices));
    })->Unit(benchmark::kMicrosecond);
#if ORVANE_BENCH_BOOST
    benchmark::RegisterBenchmark(("peer/" + operation + "/boost/" + size).c_str(), [=](benchmark::State& state) {
        compare_peer<BoostSelection>(state, make_compare_case(kind, n, many, vertices));
    })->Unit(benchmark::kMicrosecond);
#endif
#if ORVANE_BENCH_GEOS
    benchmark::RegisterBenchmark(("peer/" + operation + "/geos/" + size).c_str(), [=](benchmark::State& state) {
        compare_peer<GeosSelection>(state, make_compare_case(kind, n, many, vertices));
    })->Unit(benchmark::kMicrosecond);
#endif
}

const bool selection_compare_registered = [] {
    for (long n : {1000L, 10000L, 100000L})
        for (bool many : {false, true}) {
            register_compare(CompareKind::spot, n, many, 0);
            register_compare(CompareKind::box, n, many, 0);
            for (long vertices : {10L, 5000L}) {
                register_compare(CompareKind::polygon_inside, n, many, vertices);
                register_compare(CompareKind::polygon_touching, n, many, vertices);
            }
        }
    return true;
}();

}  // namespace
#endif
