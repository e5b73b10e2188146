// Redrawing a view of 1M shapes (rectangles, ellipses, compact polylines
// and compact polygons in turn; 16 attributes; 3 layers) in a 1000 x 1000
// raster test window through a scene layer and a device renderer. The
// shapes lie over the model area (0, 0, 1000, 1000), mapped one to one.
//
//   cmp/<case>/memory/1M     a memory scene (a linear scan per work box)
//   cmp/<case>/paged/1M      a paged scene (its quadtree bounds a query)
//   count/<case>/<scene>/1M  the same with the raster host only decoding
//                            and counting records (no pixels): the
//                            library's own share, printed by bench/compare
//                            beside the ratios of the cmp rows
// Cases: redraw_whole (the window), redraw_1pct (100 x 100 in the middle),
// redraw_edit (one rectangle moved through its proxy: collector,
// notification, the host's collected area, one redraw of the union),
// redraw_repeat (backing store holding the whole window: copies only).
//
// Peers, each built from the same geometry and the same 16 attribute
// states before timing, antialiasing off and 1-pixel pens:
//   peer/<case>/paged/cairo/1M  Cairo: a recording surface replayed into a
//                               1000 x 1000 image surface (whole, and
//                               clipped to the 1% square); ORVANE_BENCH_CAIRO
//   peer/<case>/memory/qt/1M    Qt Graphics View, QGraphicsScene::NoIndex,
//   peer/<case>/paged/qt/1M     and BspTreeIndex, rendered into a QImage on
//                               the offscreen platform; ORVANE_BENCH_QT

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <benchmark/benchmark.h>

#include "qvBenchQt.hpp"
#include "qvBenchSupport.hpp"
#include "qvDriverHandle.hpp"
#include "qvRasterDriver.hpp"

#if defined(ORVANE_BENCH_CAIRO)
#include <cairo.h>
#endif
#if defined(ORVANE_BENCH_QT)
#include <QGraphicsEllipseItem>
#include <QGraphicsPathItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#endif

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr long redraw_shapes = 1000000;
constexpr int redraw_states = 16;
constexpr int redraw_layers = 3;
constexpr double redraw_side = 1000.0;
const qvMathRectOf<double> redraw_window(0, 0, redraw_side, redraw_side);
const qvMathRectOf<double> redraw_one_percent(450, 450, 550, 550);

// ---------------------------------------------------------------------------
// The shared input: geometry and attribute states

struct RedrawState {
    double fill[3];
    double line[3];
};

RedrawState redraw_state(int s) {
    const double k = static_cast<double>(s) / redraw_states;
    return {{0.2 + 0.7 * k, 0.9 - 0.6 * k, 0.4}, {0.1, 0.3 * k, 0.8 - 0.5 * k}};
}

// Shape i: kind i % 4 (rectangle, ellipse, polyline, polygon), state
// i % 16, layer (i / 7) % 3, placed by a fixed hash over the model area.
struct RedrawShape {
    int kind, state, layer;
    qvMathRectOf<double> box;
    std::array<qvCrdOf<double>, 5> points;
    int count;
};

RedrawShape redraw_shape(long i) {
    std::uint64_t h = static_cast<std::uint64_t>(i) * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    const double x = static_cast<double>(h % 990), y = static_cast<double>((h >> 16) % 990);
    const double w = 2 + static_cast<double>((h >> 32) % 9), hgt = 2 + static_cast<double>((h >> 40) % 9);
    RedrawShape s{};
    s.kind = static_cast<int>(i % 4);
    s.state = static_cast<int>(i % redraw_states);
    s.layer = static_cast<int>((i / 7) % redraw_layers);
    s.box = qvMathRectOf<double>(x, y, x + w, y + hgt);
    s.count = s.kind == 2 ? 4 : 5;
    s.points = {qvCrdOf<double>{x, y}, {x + w, y + hgt / 3}, {x + w / 2, y + hgt}, {x + w / 4, y + hgt / 2},
                {x + w / 3, y + hgt / 4}};
    return s;
}

// ---------------------------------------------------------------------------
// Our side: the two scenes and a view on each

struct RedrawScenes {
    qvStandardPalette palette;
    std::vector<std::unique_ptr<qvAttributeProxy>> states;
    qvMemoryScene memory{1, &palette, false};
    std::string paged_name;
    qvPagedScene paged{&palette};
    qvRectangle memory_edit, paged_edit;

    RedrawScenes() {
        for (int s = 0; s < redraw_states; ++s) {
            states.push_back(std::make_unique<qvAttributeProxy>(palette, 0));
            const RedrawState st = redraw_state(s);
            qvAttributeProxy& a = *states.back();
            a.line_width(1.0);
            a.line_color(static_cast<float>(st.line[0]), static_cast<float>(st.line[1]), static_cast<float>(st.line[2]));
            a.fill_style(qvFillStyle{2});
            a.fill_color(qvRgbColor(st.fill[0], st.fill[1], st.fill[2]));
        }
        paged_name = bench_support::scratch_path("redraw");
        paged.create(paged_name.c_str(), 1, redraw_window, 256 << 20);
        fill(memory, memory_edit);
        fill(paged, paged_edit);
    }
    ~RedrawScenes() {
        memory_edit = qvRectangle();
        paged_edit = qvRectangle();
        if (paged.is_open())
            paged.close();
        std::remove(paged_name.c_str());
    }

    // New shapes land in layer 0: the last layer is filled first and pushed
    // back by inserting a layer in front of it.
    void fill(qvContainerScene& scene, qvRectangle& edit) {
        for (int layer = redraw_layers - 1; layer >= 0; --layer) {
            for (long i = 0; i < redraw_shapes; ++i) {
                const RedrawShape s = redraw_shape(i);
                if (s.layer != layer)
                    continue;
                qvAttributeProxy* const a = states[static_cast<std::size_t>(s.state)].get();
                switch (s.kind) {
                case 0:
                    if (i == 0)
                        edit = qvRectangle(scene, s.box, a);
                    else
                        qvRectangle(scene, s.box, a);
                    break;
                case 1: qvEllipse(scene, s.box, a); break;
                case 2: qvPolyline(scene, s.count, s.points.data(), a); break;
                default: qvPolygon(scene, s.count, s.points.data(), a); break;
                }
            }
            if (layer > 0)
                scene.insert_layer(0);
        }
    }
};

RedrawScenes& redraw_scenes() {
    static RedrawScenes scenes;
    return scenes;
}

struct RedrawView {
    qvISafePtr<qvRasterDriver> driver;
    qvViewManager view = qvViewCreator::create();
    qvViewSceneLayer layer;
    qvDeviceRenderer renderer;

    RedrawView(qvScene& scene, bool pixels) {
        driver = qvRasterDriver::create(bench_support::view_bench_window(pixels));
        qvAttributeInterface& bg = *view->background();
        bg.fill_style(qvFillStyle{2});
        bg.fill_color(qvRgbColor(1, 1, 1));
        layer = qvViewSceneLayer(scene, -1);
        view->add(qvViewLayer(layer), qvOrder(6));
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
        renderer->redraw(qvRegion(redraw_window), false);
        driver->take_invalid();
    }
};

enum class RedrawCase { whole, one_percent, edit, repeat };

void redraw_ours(benchmark::State& state, bool paged, bool pixels, RedrawCase what) {
    RedrawScenes& scenes = redraw_scenes();
    RedrawView v(paged ? static_cast<qvScene&>(scenes.paged) : static_cast<qvScene&>(scenes.memory), pixels);
    qvRectangle& edit = paged ? scenes.paged_edit : scenes.memory_edit;
    const qvMathRectOf<double> home = edit->rectangle();
    if (what == RedrawCase::repeat) {
        v.renderer->backing_store(true);
        v.renderer->redraw(qvRegion(redraw_window), false);
    }
    const qvRegion whole(redraw_window), one_percent(redraw_one_percent);
    long round = 0;
    for (auto _ : state) {
        switch (what) {
        case RedrawCase::whole:
        case RedrawCase::repeat:
            v.renderer->redraw(whole, false);
            break;
        case RedrawCase::one_percent:
            v.renderer->redraw(one_percent, false);
            break;
        case RedrawCase::edit: {
            const double dx = (++round % 2) != 0 ? 7.0 : 0.0;
            edit->rectangle(qvMathRectOf<double>(home.x1 + dx, home.y1, home.x2 + dx, home.y2));
            v.renderer->redraw(v.driver->take_invalid(), false);
            break;
        }
        }
    }
    edit->rectangle(home);
    benchmark::DoNotOptimize(v.driver->draw_count());
}

#define REDRAW_CASES(name, kind)                                                                           \
    BENCHMARK_CAPTURE(redraw_ours, memory, false, true, kind)->Name("cmp/" name "/memory/1M")->Unit(benchmark::kMillisecond); \
    BENCHMARK_CAPTURE(redraw_ours, paged, true, true, kind)->Name("cmp/" name "/paged/1M")->Unit(benchmark::kMillisecond);    \
    BENCHMARK_CAPTURE(redraw_ours, memory_count, false, false, kind)                                       \
        ->Name("count/" name "/memory/1M")                                                                 \
        ->Unit(benchmark::kMillisecond);                                                                   \
    BENCHMARK_CAPTURE(redraw_ours, paged_count, true, false, kind)->Name("count/" name "/paged/1M")->Unit(benchmark::kMillisecond)

REDRAW_CASES("redraw_whole", RedrawCase::whole);
REDRAW_CASES("redraw_1pct", RedrawCase::one_percent);
REDRAW_CASES("redraw_edit", RedrawCase::edit);
REDRAW_CASES("redraw_repeat", RedrawCase::repeat);

// ---------------------------------------------------------------------------
// Cairo: a recording surface replayed into an image surface

#if defined(ORVANE_BENCH_CAIRO)

void redraw_cairo_path(cairo_t* cr, RedrawShape const& s) {
    cairo_new_path(cr);
    switch (s.kind) {
    case 0:
        cairo_rectangle(cr, s.box.x1, s.box.y1, s.box.x2 - s.box.x1, s.box.y2 - s.box.y1);
        break;
    case 1:
        cairo_save(cr);
        cairo_translate(cr, (s.box.x1 + s.box.x2) / 2, (s.box.y1 + s.box.y2) / 2);
        cairo_scale(cr, (s.box.x2 - s.box.x1) / 2, (s.box.y2 - s.box.y1) / 2);
        cairo_arc(cr, 0, 0, 1, 0, 6.283185307179586);
        cairo_restore(cr);
        break;
    default:
        cairo_move_to(cr, s.points[0].x, s.points[0].y);
        for (int j = 1; j < s.count; ++j)
            cairo_line_to(cr, s.points[static_cast<std::size_t>(j)].x, s.points[static_cast<std::size_t>(j)].y);
        if (s.kind == 3)
            cairo_close_path(cr);
        break;
    }
}

// Recorded once: the three layers back to front, each shape filled (not
// polylines) and outlined with its state.
cairo_surface_t* redraw_cairo_recording() {
    static cairo_surface_t* recording = [] {
        const cairo_rectangle_t extents{0, 0, redraw_side, redraw_side};
        cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
        cairo_t* cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_width(cr, 1.0);
        for (int layer = redraw_layers - 1; layer >= 0; --layer)
            for (long i = 0; i < redraw_shapes; ++i) {
                const RedrawShape s = redraw_shape(i);
                if (s.layer != layer)
                    continue;
                const RedrawState st = redraw_state(s.state);
                redraw_cairo_path(cr, s);
                if (s.kind != 2) {
                    cairo_set_source_rgb(cr, st.fill[0], st.fill[1], st.fill[2]);
                    cairo_fill_preserve(cr);
                }
                cairo_set_source_rgb(cr, st.line[0], st.line[1], st.line[2]);
                cairo_stroke(cr);
            }
        cairo_destroy(cr);
        return surface;
    }();
    return recording;
}

// Cairo 1.16 replays every recorded command under the clip (the 1% case
// costs more than the whole; a 100 x 100 target or nearest filtering does
// not change that), so its clipped row shows Cairo's replay, not culling.
void redraw_cairo(benchmark::State& state, bool clipped) {
    cairo_surface_t* const recording = redraw_cairo_recording();
    cairo_surface_t* const image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1000, 1000);
    for (auto _ : state) {
        cairo_t* cr = cairo_create(image);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        if (clipped) {
            cairo_rectangle(cr, redraw_one_percent.x1, redraw_one_percent.y1, 100, 100);
            cairo_clip(cr);
        }
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_set_source_surface(cr, recording, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(image);
    }
    cairo_surface_destroy(image);
}

BENCHMARK_CAPTURE(redraw_cairo, whole, false)->Name("peer/redraw_whole/paged/cairo/1M")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(redraw_cairo, one_percent, true)->Name("peer/redraw_1pct/paged/cairo/1M")->Unit(benchmark::kMillisecond);

#endif

// ---------------------------------------------------------------------------
// Qt Graphics View

#if defined(ORVANE_BENCH_QT)

// Built once per index method: the items of the three layers, later layers
// below (z = -layer), each with its state's pen (cosmetic, 1 pixel) and brush.
QGraphicsScene& redraw_qt_scene(bool bsp) {
    static std::unique_ptr<QGraphicsScene> scenes[2];
    std::unique_ptr<QGraphicsScene>& slot = scenes[bsp ? 1 : 0];
    if (slot)
        return *slot;
    bench_support::qt_application();
    slot = std::make_unique<QGraphicsScene>(0, 0, redraw_side, redraw_side);
    slot->setItemIndexMethod(bsp ? QGraphicsScene::BspTreeIndex : QGraphicsScene::NoIndex);
    std::vector<QPen> pens;
    std::vector<QBrush> brushes;
    for (int k = 0; k < redraw_states; ++k) {
        const RedrawState st = redraw_state(k);
        QPen pen(QColor::fromRgbF(st.line[0], st.line[1], st.line[2]));
        pen.setWidth(1);
        pen.setCosmetic(true);
        pens.push_back(pen);
        brushes.emplace_back(QColor::fromRgbF(st.fill[0], st.fill[1], st.fill[2]));
    }
    for (long i = 0; i < redraw_shapes; ++i) {
        const RedrawShape s = redraw_shape(i);
        const QRectF box(s.box.x1, s.box.y1, s.box.x2 - s.box.x1, s.box.y2 - s.box.y1);
        QPen const& pen = pens[static_cast<std::size_t>(s.state)];
        QBrush const& brush = brushes[static_cast<std::size_t>(s.state)];
        QAbstractGraphicsShapeItem* item = nullptr;
        switch (s.kind) {
        case 0: item = slot->addRect(box, pen, brush); break;
        case 1: item = slot->addEllipse(box, pen, brush); break;
        case 2: {
            QPainterPath path(QPointF(s.points[0].x, s.points[0].y));
            for (int j = 1; j < s.count; ++j)
                path.lineTo(s.points[static_cast<std::size_t>(j)].x, s.points[static_cast<std::size_t>(j)].y);
            item = slot->addPath(path, pen, QBrush());
            break;
        }
        default: {
            QPolygonF polygon;
            for (int j = 0; j < s.count; ++j)
                polygon << QPointF(s.points[static_cast<std::size_t>(j)].x, s.points[static_cast<std::size_t>(j)].y);
            item = slot->addPolygon(polygon, pen, brush);
            break;
        }
        }
        item->setZValue(-s.layer);
    }
    if (bsp)
        slot->items(QRectF(0, 0, 1, 1));   // builds the index before timing
    return *slot;
}

void redraw_qt(benchmark::State& state, bool bsp, bool clipped) {
    QGraphicsScene& scene = redraw_qt_scene(bsp);
    QImage image(1000, 1000, QImage::Format_ARGB32_Premultiplied);
    const QRectF area = clipped ? QRectF(redraw_one_percent.x1, redraw_one_percent.y1, 100, 100)
                                : QRectF(0, 0, redraw_side, redraw_side);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setClipRect(area);
        painter.fillRect(area, Qt::white);
        scene.render(&painter, area, area);
    }
}

BENCHMARK_CAPTURE(redraw_qt, memory_whole, false, false)->Name("peer/redraw_whole/memory/qt/1M")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(redraw_qt, paged_whole, true, false)->Name("peer/redraw_whole/paged/qt/1M")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(redraw_qt, memory_1pct, false, true)->Name("peer/redraw_1pct/memory/qt/1M")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(redraw_qt, paged_1pct, true, true)->Name("peer/redraw_1pct/paged/qt/1M")->Unit(benchmark::kMillisecond);

#endif

}  // namespace
