// Invalidation through a view: rectangles sent through an empty scene's
// rectangle sender reach the scene layer's collector (mapping, growth by
// the added width, window test, rounding, the layer's invalid area, one
// notification per cycle); then one redraw of what the host collected,
// with the raster host only counting (no pixels), so what is timed is the
// collectors, the notification and the renderer's region work.
//
//   cmp/invalidation/scattered/<n>      1,000, 10,000 or 100,000 scattered
//                                       rectangles (the total should grow
//                                       as n log n)
//   cmp/invalidation/strips/1k          1,000 adjacent 1-pixel strips
//   invalidation/collect_only/<set>/<n> the strips or 10,000 scattered
//                                       rectangles up to the layer's
//                                       waiting area, then the cleanup
//                                       alone (no redraw)
//   cmp/invalidation/proxy_edits/10k    10,000 rectangles of a 1M-shape
//                                       memory scene moved through their
//                                       proxies (each sends its old and
//                                       new box); no redraw
// Peers on the same rectangles as the collector hands them on (grown by 2
// and rounded out):
//   peer/invalidation/<set>/pixman/<n>        pixman region32 from one
//                                             pixman_region32_init_rects
//                                             call, cut to the window (the
//                                             goal: ours at most 1.0x);
//   peer/invalidation/<set>/pixman_union/<n>  united one by one (quadratic,
//                                             shown apart);
//   peer/invalidation/<set>/qt/<n>            QRegion, united one by one
//                                             (it takes no unsorted batch),
//                                             cut to the window
//                                             (ORVANE_BENCH_QT).

#include <orvane/geometry/qvRegion.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <benchmark/benchmark.h>

#include "qvBenchSupport.hpp"
#include "qvDriverHandle.hpp"
#include "qvRasterDriver.hpp"

#if defined(ORVANE_BENCH_PIXMAN)
#include <pixman.h>
#endif
#if defined(ORVANE_BENCH_QT)
#include <QRect>
#include <QRegion>
#include <QVector>
#endif

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

using InvalidationRect = qvMathRectOf<double>;

const InvalidationRect invalidation_window(0, 0, 1000, 1000);

std::vector<InvalidationRect> invalidation_scattered(int n = 10000) {
    std::mt19937 rng(64);
    std::uniform_real_distribution<double> where(-20, 1000), extent(1, 20);
    std::vector<InvalidationRect> rects;
    for (int i = 0; i < n; ++i) {
        const double x = where(rng), y = where(rng);
        rects.emplace_back(x, y, x + extent(rng), y + extent(rng));
    }
    return rects;
}

std::vector<InvalidationRect> invalidation_strips() {
    std::vector<InvalidationRect> rects;
    for (int i = 0; i < 1000; ++i)
        rects.emplace_back(0, i, 1000, i + 1);
    return rects;
}

// The scattered set of n (1k, 10k or 100k) rectangles, or the strips.
std::vector<InvalidationRect> const& invalidation_set(bool strips, int n = 10000) {
    static const std::vector<InvalidationRect> scattered_1k = invalidation_scattered(1000),
                                               scattered_10k = invalidation_scattered(10000),
                                               scattered_100k = invalidation_scattered(100000),
                                               adjacent = invalidation_strips();
    if (strips) return adjacent;
    return n == 1000 ? scattered_1k : n == 100000 ? scattered_100k : scattered_10k;
}

// A view of `scene` in a 1000 x 1000 counting window, drawn once.
struct InvalidationView {
    qvISafePtr<qvRasterDriver> driver;
    qvViewManager view = qvViewCreator::create();
    qvViewSceneLayer layer;
    qvDeviceRenderer renderer;

    explicit InvalidationView(qvScene& scene) {
        driver = qvRasterDriver::create(bench_support::view_bench_window(false));
        layer = qvViewSceneLayer(scene, -1);
        view->add(qvViewLayer(layer), qvOrder(6));
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
        renderer->redraw(qvRegion(invalidation_window), false);
        driver->take_invalid();
    }
};

void invalidation_ours(benchmark::State& state, bool strips, int n) {
    qvMemoryScene empty;
    InvalidationView v(empty);
    std::vector<InvalidationRect> const& rects = invalidation_set(strips, n);
    for (auto _ : state) {
        for (InvalidationRect const& r : rects)
            empty.rect_sender().invalidate(r, -1);
        v.renderer->redraw(v.driver->take_invalid(), false);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(rects.size()));
}

BENCHMARK_CAPTURE(invalidation_ours, scattered_1k, false, 1000)->Name("cmp/invalidation/scattered/1k")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_ours, scattered, false, 10000)->Name("cmp/invalidation/scattered/10k")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_ours, scattered_100k, false, 100000)->Name("cmp/invalidation/scattered/100k")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_ours, strips, true, 0)->Name("cmp/invalidation/strips/1k")->Unit(benchmark::kMicrosecond);

// The per-rectangle road alone: after the rectangles, the layers' waiting
// areas are let go and the collectors re-armed, as a redraw's cleanup does,
// but nothing is united or drawn. Beside the case above it tells the
// collectors' share from the redraw's region work.
void invalidation_collect_only(benchmark::State& state, bool strips, int n) {
    qvMemoryScene empty;
    InvalidationView v(empty);
    std::vector<InvalidationRect> const& rects = invalidation_set(strips, n);
    for (auto _ : state) {
        for (InvalidationRect const& r : rects)
            empty.rect_sender().invalidate(r, -1);
        v.view->cleanup();
        benchmark::DoNotOptimize(v.driver->take_invalid());
    }
    state.SetLabel("no redraw");
    state.SetItemsProcessed(state.iterations() * static_cast<long>(rects.size()));
}

BENCHMARK_CAPTURE(invalidation_collect_only, strips, true, 0)
    ->Name("invalidation/collect_only/strips/1k")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_collect_only, scattered, false, 10000)
    ->Name("invalidation/collect_only/scattered/10k")
    ->Unit(benchmark::kMicrosecond);

// 1M rectangles, 10,000 of them held to be moved back and forth.
struct InvalidationEdited {
    qvMemoryScene scene;
    std::vector<qvRectangle> moved;
    InvalidationEdited() {
        std::mt19937 rng(65);
        std::uniform_real_distribution<double> where(0, 990), extent(1, 10);
        for (long i = 0; i < 1000000; ++i) {
            const double x = where(rng), y = where(rng);
            const InvalidationRect box(x, y, x + extent(rng), y + extent(rng));
            if (i % 100 == 0)
                moved.emplace_back(scene, box);
            else
                qvRectangle(scene, box);
        }
    }
};

void invalidation_proxy_edits(benchmark::State& state) {
    static InvalidationEdited edited;
    InvalidationView v(edited.scene);
    double dx = 3;
    for (auto _ : state) {
        for (qvRectangle& r : edited.moved) {
            const InvalidationRect box = r->rectangle();
            r->rectangle(InvalidationRect(box.x1 + dx, box.y1, box.x2 + dx, box.y2));
        }
        dx = -dx;
        benchmark::DoNotOptimize(v.driver->take_invalid());
    }
    state.SetLabel("no redraw");
    state.SetItemsProcessed(state.iterations() * static_cast<long>(edited.moved.size()));
}

BENCHMARK(invalidation_proxy_edits)->Name("cmp/invalidation/proxy_edits/10k")->Unit(benchmark::kMicrosecond);

#if defined(ORVANE_BENCH_PIXMAN) || defined(ORVANE_BENCH_QT)

// The rectangles as the collector hands them on: grown by the added width
// (2) and rounded out to whole pixels. Only the peers take them.
struct InvalidationBox {
    int x1, y1, x2, y2;
};

std::vector<InvalidationBox> invalidation_boxes(bool strips, int n = 10000) {
    std::vector<InvalidationBox> boxes;
    for (InvalidationRect const& r : invalidation_set(strips, n))
        boxes.push_back({static_cast<int>(std::floor(r.x1 - 2)), static_cast<int>(std::floor(r.y1 - 2)),
                         static_cast<int>(std::ceil(r.x2 + 2)), static_cast<int>(std::ceil(r.y2 + 2))});
    return boxes;
}

#endif

#if defined(ORVANE_BENCH_PIXMAN)

void invalidation_pixman(benchmark::State& state, bool strips, bool one_by_one, int n = 10000) {
    const std::vector<InvalidationBox> boxes = invalidation_boxes(strips, n);
    std::vector<pixman_box32_t> native;
    for (InvalidationBox const& b : boxes)
        native.push_back({b.x1, b.y1, b.x2, b.y2});
    for (auto _ : state) {
        pixman_region32_t region;
        if (one_by_one) {
            pixman_region32_init(&region);
            for (pixman_box32_t const& b : native)
                pixman_region32_union_rect(&region, &region, b.x1, b.y1, static_cast<unsigned>(b.x2 - b.x1),
                                           static_cast<unsigned>(b.y2 - b.y1));
        } else {
            pixman_region32_init_rects(&region, native.data(), static_cast<int>(native.size()));
        }
        pixman_region32_intersect_rect(&region, &region, 0, 0, 1000, 1000);
        benchmark::DoNotOptimize(pixman_region32_n_rects(&region));
        pixman_region32_fini(&region);
    }
}

BENCHMARK_CAPTURE(invalidation_pixman, scattered_1k, false, false, 1000)
    ->Name("peer/invalidation/scattered/pixman/1k")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_pixman, scattered, false, false)
    ->Name("peer/invalidation/scattered/pixman/10k")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_pixman, scattered_100k, false, false, 100000)
    ->Name("peer/invalidation/scattered/pixman/100k")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_pixman, strips, true, false)->Name("peer/invalidation/strips/pixman/1k")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_pixman, scattered_union, false, true)
    ->Name("peer/invalidation/scattered/pixman_union/10k")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_pixman, strips_union, true, true)
    ->Name("peer/invalidation/strips/pixman_union/1k")
    ->Unit(benchmark::kMicrosecond);

#endif

#if defined(ORVANE_BENCH_QT)

void invalidation_qt(benchmark::State& state, bool strips) {
    QVector<QRect> rects;
    for (InvalidationBox const& b : invalidation_boxes(strips))
        rects.push_back(QRect(b.x1, b.y1, b.x2 - b.x1, b.y2 - b.y1));
    const QRegion window(0, 0, 1000, 1000);
    for (auto _ : state) {
        QRegion region;
        for (QRect const& r : rects)
            region |= r;
        region &= window;
        benchmark::DoNotOptimize(region.rectCount());
    }
}

BENCHMARK_CAPTURE(invalidation_qt, scattered, false)->Name("peer/invalidation/scattered/qt/10k")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(invalidation_qt, strips, true)->Name("peer/invalidation/strips/qt/1k")->Unit(benchmark::kMicrosecond);

#endif

}  // namespace
