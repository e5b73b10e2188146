// A memory scene of 100,000 mixed records (rectangles, ellipses, 16-point
// compact and exact polylines, 10-point polymarkers) drawn into a dump
// driver whose sink only counts, over k = 1, 16, 17, 64 and 1000 distinct
// attributes (the palette's cookie cache holds 64 cookies: 16 attributes
// of 4 kinds, so 17 is the edge):
//   cmp/scene_port/direct/<k>    straight to the dump port;
//   cmp/scene_port/unscaled/<k>  through a scene port turning by 30 degrees
//                                and scaling by 2, scale_line_width off;
//   cmp/scene_port/scaled/<k>    the same with scale_line_width on: the
//                                render is one draw, so each of the k
//                                attributes is copied into the private
//                                palette (and baked) once, not per record.
// Peer (ORVANE_BENCH_CAIRO): the same paths, with k colour and width
// states, recorded once as Cairo paths and replayed, each stroked with its
// state, through the same transform into a recording surface (which keeps
// them in device space, as our dump port receives them):
//   peer/scene_port/cairo/<k>.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include <benchmark/benchmark.h>

#include "qvCountingDumpUser.hpp"

#if defined(ORVANE_BENCH_CAIRO)
#include <cairo.h>
#endif

#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr long scene_port_records = 100000;

// The geometry of record i, shared by our scene and the peer's recording.
struct MixedGeometry {
    int kind;   // 0 rectangle, 1 ellipse, 2 compact polyline, 3 exact polyline, 4 polymarker
    double x, y;
    qvCrdOf<double> points[16];
    int count;
};

MixedGeometry mixed_geometry(long i) {
    MixedGeometry g{};
    g.kind = static_cast<int>(i % 5);
    g.x = static_cast<double>((i * 37) % 900);
    g.y = static_cast<double>((i * 91) % 900);
    g.count = g.kind == 4 ? 10 : 16;
    for (int j = 0; j < g.count; ++j)
        g.points[j] = {g.x + 3.0 * j, g.y + ((j * 7) % 11)};
    return g;
}

// The scene and its k attributes; built once per k and kept.
struct MixedScene {
    qvMemoryScene scene;
    std::vector<std::unique_ptr<qvAttributeProxy>> attributes;

    explicit MixedScene(long k) {
        for (long a = 0; a < k; ++a) {
            attributes.push_back(std::make_unique<qvAttributeProxy>(scene.palette(), 0));
            qvAttributeProxy& attribute = *attributes.back();
            attribute.line_width(1.0 + static_cast<double>(a % 8));
            attribute.line_color(static_cast<float>(a % 3) / 2, 0.25f, 0.5f);
            attribute.marker_style(qvMarkerStyle{6});
            attribute.marker_size(qvMarkerSize(2.0));
        }
        for (long i = 0; i < scene_port_records; ++i) {
            const MixedGeometry g = mixed_geometry(i);
            qvAttributeProxy* const a = attributes[static_cast<std::size_t>(i % k)].get();
            switch (g.kind) {
            case 0:
                qvRectangle(scene, g.x, g.y, g.x + 40, g.y + 20, a);
                break;
            case 1:
                qvEllipse(scene, qvMathRectOf<double>(g.x, g.y, g.x + 30, g.y + 15), a);
                break;
            case 2:
                qvPolyline(scene, g.count, g.points, a);
                break;
            case 3:
                qvExactPolyline(scene, g.count, g.points, a);
                break;
            default:
                qvPolyMarker(scene, g.count, g.points, a);
                break;
            }
        }
    }
};

MixedScene& mixed_scene(long k) {
    static std::map<long, std::unique_ptr<MixedScene>> built;
    std::unique_ptr<MixedScene>& slot = built[k];
    if (!slot)
        slot = std::make_unique<MixedScene>(k);
    return *slot;
}

qvTransformation scene_port_mapping() { return qvRotation(30) * qvTransformation(qvScaling(2)); }

enum class Road { direct, unscaled, scaled };

void draw_mixed_scene(benchmark::State& state, Road road) {
    MixedScene& mixed = mixed_scene(state.range(0));
    qvCountingDumpUser sink;
    auto driver = qvDumpDriverObject::create(&sink, 0, 0, 1000, 1000);
    auto buffer = driver->new_master_vbuf();
    auto draw = buffer->new_draw();
    qvFlavorPort& dump = *qvQueryInterface<qvFlavorPort>(draw.get());
    dump.device_bbox(qvMathRectOf<double>(0, 0, 1000, 1000));
    qvViewTScenePort port(dump);
    port.mapping(scene_port_mapping());
    port.scale_line_width(road == Road::scaled);
    qvFlavorPort& used = road == Road::direct ? dump : static_cast<qvFlavorPort&>(port);
    const qvMathRectOf<double> everywhere(-1e9, -1e9, 1e9, 1e9);
    for (auto _ : state)
        mixed.scene.render(used, -1, everywhere, false);
    benchmark::DoNotOptimize(sink.calls);
    state.SetItemsProcessed(state.iterations() * scene_port_records);
}

#if defined(ORVANE_BENCH_CAIRO)

// The 100,000 paths, each with its state (colour and width, one of k),
// recorded once and kept per k.
struct CairoRecorded {
    struct Item {
        cairo_path_t* path;
        long state;
    };
    std::vector<Item> items;
};

CairoRecorded& cairo_recorded(long k) {
    static std::map<long, std::unique_ptr<CairoRecorded>> recorded;
    std::unique_ptr<CairoRecorded>& slot = recorded[k];
    if (slot)
        return *slot;
    slot = std::make_unique<CairoRecorded>();
    cairo_surface_t* scratch = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
    cairo_t* cr = cairo_create(scratch);
    for (long i = 0; i < scene_port_records; ++i) {
        const MixedGeometry g = mixed_geometry(i);
        cairo_new_path(cr);
        switch (g.kind) {
        case 0:
            cairo_rectangle(cr, g.x, g.y, 40, 20);
            break;
        case 1:
            cairo_save(cr);
            cairo_translate(cr, g.x + 15, g.y + 7.5);
            cairo_scale(cr, 15, 7.5);
            cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
            cairo_restore(cr);
            break;
        case 4:
            for (int j = 0; j < g.count; ++j)
                cairo_rectangle(cr, g.points[j].x - 2, g.points[j].y - 2, 4, 4);
            break;
        default:
            cairo_move_to(cr, g.points[0].x, g.points[0].y);
            for (int j = 1; j < g.count; ++j)
                cairo_line_to(cr, g.points[j].x, g.points[j].y);
            break;
        }
        slot->items.push_back({cairo_copy_path(cr), i % k});
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return *slot;
}

// Each path stroked with its state through the mapping into a new
// recording surface, which stores it in device space.
void cairo_replay(benchmark::State& state) {
    CairoRecorded const& recorded = cairo_recorded(state.range(0));
    const qvTransformation m = scene_port_mapping();
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, m.m0(), m.m2(), m.m1(), m.m3(), m.m4(), m.m5());
    for (auto _ : state) {
        cairo_surface_t* target = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
        cairo_t* cr = cairo_create(target);
        cairo_set_matrix(cr, &matrix);
        for (CairoRecorded::Item const& item : recorded.items) {
            cairo_set_source_rgb(cr, static_cast<double>(item.state % 3) / 2, 0.25, 0.5);
            cairo_set_line_width(cr, 1.0 + static_cast<double>(item.state % 8));
            cairo_new_path(cr);
            cairo_append_path(cr, item.path);
            cairo_stroke(cr);
        }
        cairo_destroy(cr);
        cairo_surface_finish(target);
        cairo_surface_destroy(target);
    }
    state.SetItemsProcessed(state.iterations() * scene_port_records);
}

#endif

void scene_port_attribute_counts(benchmark::internal::Benchmark* b) {
    for (long k : {1L, 16L, 17L, 64L, 1000L})
        b->Arg(k);
    b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(draw_mixed_scene, direct, Road::direct)
    ->Name("cmp/scene_port/direct")
    ->Apply(scene_port_attribute_counts);
BENCHMARK_CAPTURE(draw_mixed_scene, unscaled, Road::unscaled)
    ->Name("cmp/scene_port/unscaled")
    ->Apply(scene_port_attribute_counts);
BENCHMARK_CAPTURE(draw_mixed_scene, scaled, Road::scaled)
    ->Name("cmp/scene_port/scaled")
    ->Apply(scene_port_attribute_counts);
#if defined(ORVANE_BENCH_CAIRO)
BENCHMARK(cairo_replay)->Name("peer/scene_port/cairo")->Apply(scene_port_attribute_counts);
#endif
