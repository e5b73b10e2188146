// Scrolling a big window. 1,000 seeded scroll steps of 1 to
// 50 px each way over a 2000 x 1500 raster window showing 10,000 rectangles
// (a 6000 x 4500 canvas), each step followed by the host's redraw of what
// the window collected. One benchmark iteration is one step.
//
//   cmp/window_scroll/<layer>/10k   the tested layer registered first, the
//                                   scene layer under it, renderer flags 0:
//                                   group (full repaint), scroll_layer,
//                                   cache_buffered, cache_copy_back
//   peer/window_scroll/qt/10k       Qt Graphics View, the same rectangles,
//   peer/window_scroll/qt_cache/10k a 2000 x 1500 view (CacheBackground off
//                                   and on), the same steps by its scroll
//                                   bars, on the offscreen platform; only
//                                   with ORVANE_BENCH_QT.
//
// Counters (ours): drawn_px, the pixels the scene had to draw per step, and
// bookkeeping_ms, the time per step of the same steps with a window that
// draws no pixels (region operations, traversal, copies' bookkeeping). Both
// come from untimed passes with their own views, so the timed loop logs
// nothing.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>
#include <orvane/views/qvViewWindowCacheLayer.hpp>
#include <orvane/views/qvViewWindowScrollLayer.hpp>

#include <benchmark/benchmark.h>

#include "qvBenchQt.hpp"
#include "qvDriverHandle.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterLog.hpp"

#if defined(ORVANE_BENCH_QT)
#include <QApplication>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QScrollBar>
#endif

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr long window_bench_width = 2000, window_bench_height = 1500;
constexpr double window_bench_canvas_w = 6000, window_bench_canvas_h = 4500;
constexpr int window_bench_shapes = 10000, window_bench_steps = 1000;

struct WindowBenchRect {
    double x, y, w, h;
    int colour;
};

std::vector<WindowBenchRect> const& window_bench_rects() {
    static const std::vector<WindowBenchRect> rects = [] {
        std::mt19937 rng(5005);
        std::uniform_real_distribution<double> x(0, window_bench_canvas_w - 60), y(0, window_bench_canvas_h - 40);
        std::uniform_int_distribution<int> w(6, 60), h(4, 40), c(0, 7);
        std::vector<WindowBenchRect> out;
        for (int i = 0; i < window_bench_shapes; ++i)
            out.push_back({std::floor(x(rng)), std::floor(y(rng)), double(w(rng)), double(h(rng)), c(rng)});
        return out;
    }();
    return rects;
}

// The steps keep the window on the canvas: a step that would leave it turns
// back on that axis.
std::vector<qvCrdOf<int>> const& window_bench_steps_list() {
    static const std::vector<qvCrdOf<int>> steps = [] {
        std::mt19937 rng(5006);
        std::uniform_int_distribution<int> amount(1, 50), sign(0, 1);
        std::vector<qvCrdOf<int>> out;
        double vx = 0, vy = 0;   // the window's place on the canvas
        for (int i = 0; i < window_bench_steps; ++i) {
            int dx = amount(rng) * (sign(rng) != 0 ? 1 : -1), dy = amount(rng) * (sign(rng) != 0 ? 1 : -1);
            if (vx + dx < 0 || vx + dx > window_bench_canvas_w - window_bench_width)
                dx = -dx;
            if (vy + dy < 0 || vy + dy > window_bench_canvas_h - window_bench_height)
                dy = -dy;
            vx += dx;
            vy += dy;
            out.push_back({dx, dy});
        }
        return out;
    }();
    return steps;
}

qvRgbColor window_bench_colour(int k) {
    return qvRgbColor(0.1f + 0.1f * static_cast<float>(k), 0.85f - 0.08f * static_cast<float>(k), 0.35f);
}

enum class WindowBenchLayer { group, scroll, cache_buffered, cache_copy_back };

// One whole view over its own scene, drawn once.
struct WindowBenchView {
    qvMemoryScene scene;
    std::vector<qvAttributeProxy> styles;
    qvViewManager view;
    qvISafePtr<qvRasterDriver> driver;
    qvDeviceRenderer renderer;

    WindowBenchView(WindowBenchLayer kind, bool pixels, bool log) {
        for (int k = 0; k < 8; ++k) {
            qvAttributeProxy& s = styles.emplace_back(scene, 0);
            s.fill_style(qvFillStyle{2});
            s.fill_color(window_bench_colour(k));
            s.fill_background_color(window_bench_colour(k));
        }
        for (WindowBenchRect const& r : window_bench_rects())
            qvRectangle(scene, r.x, r.y, r.x + r.w, r.y + r.h, &styles[static_cast<std::size_t>(r.colour)]);
        view = qvViewCreator::create();
        qvViewBackgroundLayerObject& bg = *view->background();
        bg.fill_color(qvRgbColor(0.95f, 0.9f, 0.75f));
        bg.fill_background_color(qvRgbColor(0.95f, 0.9f, 0.75f));
        bg.fill_style(qvFillStyle(2));
        qvViewLayer tested;
        switch (kind) {
        case WindowBenchLayer::group: tested = qvViewGroupLayer(true); break;
        case WindowBenchLayer::scroll: tested = qvViewWindowScrollLayer(true); break;
        case WindowBenchLayer::cache_buffered: {
            const qvViewWindowCacheLayer cache(false);
            cache->buffered(true);
            tested = cache;
            break;
        }
        case WindowBenchLayer::cache_copy_back: {
            const qvViewWindowCacheLayer cache(false);
            cache->copy_back(true);
            tested = cache;
            break;
        }
        }
        // Every step comes through the renderer, which moves the window and
        // reports the strips itself: the layers need not announce more.
        tested->notify_invalidation(kind == WindowBenchLayer::group);
        view->add(tested, qvOrderFirst);
        view->add(qvViewSceneLayer(scene, -1), qvOrderFirst);
        qvRasterSettings settings;
        settings.window_width = window_bench_width;
        settings.window_height = window_bench_height;
        settings.pixels = pixels;
        settings.log = log;
        driver = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
        renderer->redraw(qvRegion(qvMathRectOf<double>(0, 0, double(window_bench_width), double(window_bench_height))),
                         false);
        driver->take_invalid();
    }

    // The view moves by -d (the window by d over the canvas), then the host
    // redraws what the window collected.
    void step(qvCrdOf<int> d) {
        renderer->scroll(-double(d.x), -double(d.y));
        driver->clear_log();
        renderer->redraw(driver->take_invalid(), false);
    }

    // Pixels of the clips under which shapes were drawn in the last step.
    double drawn_pixels() const {
        return qvRasterRegionPixels(qvRasterDrawnRegion(driver->log(), window_bench_width, window_bench_height));
    }
};

void window_scroll_ours(benchmark::State& state, WindowBenchLayer kind) {
    auto const& steps = window_bench_steps_list();
    double drawn = 0, bookkeeping = 0;
    {
        WindowBenchView counting(kind, false, true);
        for (qvCrdOf<int> d : steps) {
            counting.step(d);
            drawn += counting.drawn_pixels();
        }
        WindowBenchView quiet(kind, false, false);
        const auto from = std::chrono::steady_clock::now();
        for (qvCrdOf<int> d : steps)
            quiet.step(d);
        bookkeeping = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
    }
    WindowBenchView timed(kind, true, false);
    std::size_t i = 0;
    for (auto _ : state) {
        timed.step(steps[i]);
        i = (i + 1) % steps.size();
    }
    state.counters["drawn_px"] = drawn / double(steps.size());
    state.counters["bookkeeping_ms"] = bookkeeping / double(steps.size());
}

BENCHMARK_CAPTURE(window_scroll_ours, group, WindowBenchLayer::group)
    ->Name("cmp/window_scroll/group/10k")->Iterations(window_bench_steps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(window_scroll_ours, scroll, WindowBenchLayer::scroll)
    ->Name("cmp/window_scroll/scroll_layer/10k")->Iterations(window_bench_steps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(window_scroll_ours, buffered, WindowBenchLayer::cache_buffered)
    ->Name("cmp/window_scroll/cache_buffered/10k")->Iterations(window_bench_steps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(window_scroll_ours, copy_back, WindowBenchLayer::cache_copy_back)
    ->Name("cmp/window_scroll/cache_copy_back/10k")->Iterations(window_bench_steps)->Unit(benchmark::kMillisecond);

#if defined(ORVANE_BENCH_QT)

void window_scroll_qt(benchmark::State& state, bool cache_background) {
    bench_support::qt_application();
    QGraphicsScene scene(0, 0, window_bench_canvas_w, window_bench_canvas_h);
    scene.setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    scene.setBackgroundBrush(QColor::fromRgbF(0.95, 0.9, 0.75));
    for (WindowBenchRect const& r : window_bench_rects()) {
        const qvRgbColor c = window_bench_colour(r.colour);
        const QColor colour = QColor::fromRgbF(c.red(), c.green(), c.blue());
        scene.addRect(QRectF(r.x, r.y, r.w, r.h), QPen(Qt::NoPen), QBrush(colour));
    }
    QGraphicsView view(&scene);
    view.setFrameStyle(0);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setCacheMode(cache_background ? QGraphicsView::CacheBackground : QGraphicsView::CacheNone);
    view.resize(int(window_bench_width), int(window_bench_height));
    view.show();
    view.horizontalScrollBar()->setValue(0);
    view.verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    if (!view.isVisible() || view.horizontalScrollBar()->maximum() <= 0) {
        state.SkipWithError("the offscreen view did not come up");
        return;
    }
    auto const& steps = window_bench_steps_list();
    std::size_t i = 0;
    for (auto _ : state) {
        QScrollBar* h = view.horizontalScrollBar();
        QScrollBar* v = view.verticalScrollBar();
        h->setValue(h->value() + steps[i].x);
        v->setValue(v->value() + steps[i].y);
        // The scroll moves the viewport's pixels and schedules the strips;
        // the event loop paints them, as a shown window would.
        QApplication::processEvents();
        i = (i + 1) % steps.size();
    }
}

BENCHMARK_CAPTURE(window_scroll_qt, plain, false)
    ->Name("peer/window_scroll/qt/10k")->Iterations(window_bench_steps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(window_scroll_qt, cached, true)
    ->Name("peer/window_scroll/qt_cache/10k")->Iterations(window_bench_steps)->Unit(benchmark::kMillisecond);

#endif

}  // namespace
