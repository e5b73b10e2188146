// Shape proxies at work: 1,000,000 rectangle setters through a typed
// handle, each inside its own modification guard, with the scene's
// notification on (one receiver) and off; the creation of 100,000
// rectangles; the rectangle handle of an existing shape, whose proxy is
// live (a proxy-site hit) or must be made (and dies again); and connects
// to another shape's attribute, alone, undone again, and in the making of
// 10,000 rectangles, texts, images and copies (argument 0: a memory scene,
// 1: a paged scene over a scratch file).

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>

#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench_support::CountingReceiver;
using bench_support::VectorScene;

constexpr std::int64_t setters = 1'000'000;

// Two boxes set in turn, so every setter really changes the record.
void set_rectangles(benchmark::State& state, bool notify) {
    VectorScene scene;
    CountingReceiver receiver;
    receiver.connect(scene.rect_sender());
    scene.update_notification(notify, true);
    const qvRectangle r(scene, qvMathRectOf<double>(0, 0, 1, 1));
    const qvMathRectOf<double> boxes[2] = {{0, 0, 10, 10}, {5, 5, 20, 20}};
    for (auto _ : state) {
        for (std::int64_t i = 0; i < setters; ++i)
            r->rectangle(boxes[i & 1]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * setters);
    state.counters["reports"] = static_cast<double>(receiver.received) / static_cast<double>(state.iterations());
}

void BM_RectangleSetterNotifying(benchmark::State& state) { set_rectangles(state, true); }
BENCHMARK(BM_RectangleSetterNotifying)->Unit(benchmark::kMillisecond);

void BM_RectangleSetterSilent(benchmark::State& state) { set_rectangles(state, false); }
BENCHMARK(BM_RectangleSetterSilent)->Unit(benchmark::kMillisecond);

constexpr std::int64_t created = 100'000;

void BM_CreateRectangles(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<VectorScene>();
        scene->reserve(created);
        state.ResumeTiming();
        for (std::int64_t i = 0; i < created; ++i) {
            const double x = static_cast<double>(i);
            const qvRectangle r(*scene, qvMathRectOf<double>(x, 0, x + 1, 1));
        }
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * created);
}
BENCHMARK(BM_CreateRectangles)->Unit(benchmark::kMillisecond);

// The handle of a shape whose proxy another handle keeps alive.
void BM_RectangleOfLiveProxy(benchmark::State& state) {
    VectorScene scene;
    const qvRectangle held(scene, qvMathRectOf<double>(0, 0, 1, 1));
    const long h = held->shape_handle();
    for (auto _ : state) {
        const qvRectangle r(scene, h);
        benchmark::DoNotOptimize(r.get());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RectangleOfLiveProxy);

// The handle of a shape without a live proxy: the proxy class makes one,
// and the handle's release destroys it again.
void BM_RectangleOfFreshProxy(benchmark::State& state) {
    VectorScene scene;
    const long h = qvRectangle(scene, qvMathRectOf<double>(0, 0, 1, 1))->shape_handle();
    for (auto _ : state) {
        const qvRectangle r(scene, h);
        benchmark::DoNotOptimize(r.get());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RectangleOfFreshProxy);

// A memory scene, or a paged scene over a scratch file, each with two
// shapes on attributes of their own (red, blue) to connect to.
class ConnectSite {
public:
    explicit ConnectSite(bool paged) {
        if (paged) {
            paged_ = std::make_unique<qvPagedScene>();
            paged_->create(path_.c_str(), qvMathRectOf<double>(0, 0, 1e6, 1e6), 64 << 20);
        } else {
            memory_ = std::make_unique<qvMemoryScene>();
        }
        red = qvRectangle(scene(), qvMathRectOf<double>(0, 0, 1, 1));
        red->fill_color(qvRgbColor(1.0f, 0.0f, 0.0f));
        blue = qvRectangle(scene(), qvMathRectOf<double>(2, 0, 3, 1));
        blue->fill_color(qvRgbColor(0.0f, 0.0f, 1.0f));
    }
    ConnectSite(ConnectSite const&) = delete;
    ConnectSite& operator=(ConnectSite const&) = delete;
    ~ConnectSite() {
        red = qvRectangle();
        blue = qvRectangle();
        if (paged_ != nullptr) {
            paged_->close();
            std::remove(path_.c_str());
        }
    }
    qvContainerScene& scene() const {
        return paged_ != nullptr ? static_cast<qvContainerScene&>(*paged_) : *memory_;
    }

    qvRectangle red, blue;

private:
    std::string path_ = bench_support::scratch_path("connect");
    std::unique_ptr<qvMemoryScene> memory_;
    std::unique_ptr<qvPagedScene> paged_;
};

// Each connect takes the other source's attribute, so none returns early.
void BM_ConnectToShapeAttribute(benchmark::State& state) {
    const ConnectSite site(state.range(0) != 0);
    const qvRectangle target(site.scene(), qvMathRectOf<double>(5, 5, 6, 6));
    qvRectangle const* const sources[2] = {&site.red, &site.blue};
    std::size_t next = 0;
    for (auto _ : state)
        target->connect_attribute(**sources[next++ & 1]);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConnectToShapeAttribute)->Arg(0)->Arg(1);

void BM_ConnectDisconnectShapeAttribute(benchmark::State& state) {
    const ConnectSite site(state.range(0) != 0);
    const qvRectangle target(site.scene(), qvMathRectOf<double>(5, 5, 6, 6));
    for (auto _ : state) {
        target->connect_attribute(*site.red);
        target->disconnect_attribute();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConnectDisconnectShapeAttribute)->Arg(0)->Arg(1);

constexpr std::int64_t made = 10'000;

// `made` shapes, each made by make(scene, source, i) with the red shape as
// its attribute source, in a fresh site per iteration.
template <class Make>
void make_with_source(benchmark::State& state, Make&& make) {
    for (auto _ : state) {
        state.PauseTiming();
        auto site = std::make_unique<ConnectSite>(state.range(0) != 0);
        state.ResumeTiming();
        for (std::int64_t i = 0; i < made; ++i)
            make(site->scene(), site->red, static_cast<double>(i));
        state.PauseTiming();
        site.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * made);
}

void BM_MakeRectanglesWithSource(benchmark::State& state) {
    make_with_source(state, [](qvContainerScene& scene, qvRectangle const& source, double x) {
        const qvRectangle r(scene, qvMathRectOf<double>(x, 10, x + 1, 11), source.get());
    });
}
BENCHMARK(BM_MakeRectanglesWithSource)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MakeTextsWithSource(benchmark::State& state) {
    make_with_source(state, [](qvContainerScene& scene, qvRectangle const& source, double x) {
        const qvRestrictedText t(scene, qvCrdOf<double>(x, 20), "label", source.get(), nullptr);
    });
}
BENCHMARK(BM_MakeTextsWithSource)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MakeImagesWithSource(benchmark::State& state) {
    const qvBitmap bitmap(qvRgbaBitmap, 4, 4);
    make_with_source(state, [&](qvContainerScene& scene, qvRectangle const& source, double x) {
        const qvRestrictedImage m(scene, qvCrdOf<double>(x, 30), bitmap, 0u, source.get());
    });
}
BENCHMARK(BM_MakeImagesWithSource)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Copies of the red shape, attribute included.
void BM_CopyRectanglesWithAttribute(benchmark::State& state) {
    make_with_source(state, [](qvContainerScene& scene, qvRectangle const& source, double) {
        const qvRectangle copy(scene, qvGraphic(source), false);
    });
}
BENCHMARK(BM_CopyRectanglesWithAttribute)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
