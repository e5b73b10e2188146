// The handle tree and the basic paged scene: 10M handle creates and 1M
// random examines over 16 MiB and 256 MiB page caches (with the cache's
// misses); save_layout and load_layout of a 10M-shape layout; the scene
// stream's save of 1M records and load of 1M and 10M; and render of 1%,
// 10% and 100% of a 1M-shape layer into a counting port. The ready-made
// paged scene: 1M and 10M rectangles through typed handles and through
// allocate and disconnect; random connect and disconnect, in place and
// relocating; open and close of a 10M scene, and eight sessions of a
// 20,000-shape one; enumerate and delete_layer of 1M; render of a viewport
// with 0 and 10,000 open proxies elsewhere in its layer. Fixed seeds.

#include "qvBenchSupport.hpp"
#include "qvCountingPort.hpp"
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvHandleTree.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

#include "scenes/qvConnectedCopyIndex.hpp"
#include "scenes/qvPageFile.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double side = 10000.0;
constexpr long million = 1000000;

std::string scratch_name(char const* what) { return bench_support::scratch_path(std::string("paged_") + what); }

// --- handle tree ---------------------------------------------------------------

void create_handles(qvHandleTree& tree, long count) {
    qvHandleTree::RecordLock lock;
    for (long k = 0; k < count; ++k) {
        tree.create(nullptr, 0, lock);
        tree.release(lock);
    }
}

void BM_HandleTreeCreate(benchmark::State& state) {
    const std::size_t cache = static_cast<std::size_t>(state.range(0)) << 20;
    const long count = 10 * million;
    const std::string name = scratch_name("handles");
    for (auto _ : state) {
        qvPageFile device(name.c_str(), cache, true, false);
        qvHandleTree tree(device, 16);
        create_handles(tree, count);
        state.counters["misses"] = static_cast<double>(device.counters().misses);
        state.counters["pages"] = static_cast<double>(tree.pages().size());
        device.release();
    }
    state.counters["creates_per_s"] = benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsRate);
    std::remove(name.c_str());
}
BENCHMARK(BM_HandleTreeCreate)->Arg(16)->Arg(256)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_HandleTreeExamine(benchmark::State& state) {
    const std::size_t cache = static_cast<std::size_t>(state.range(0)) << 20;
    const long count = 10 * million;
    const long lookups = million;
    const std::string name = scratch_name("examine");
    qvPageFile device(name.c_str(), cache, true, false);
    qvHandleTree tree(device, 16);
    create_handles(tree, count);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> pick(1, count);
    const auto before = device.counters();
    long found = 0;
    for (auto _ : state) {
        qvHandleTree::RecordLock lock;
        for (long k = 0; k < lookups; ++k) {
            tree.examine(pick(random), lock);
            found += lock ? 1 : 0;
            tree.release(lock);
        }
    }
    benchmark::DoNotOptimize(found);
    state.counters["misses_per_lookup"] =
        static_cast<double>(device.counters().misses - before.misses) / static_cast<double>(lookups * state.iterations());
    state.counters["examines_per_s"] =
        benchmark::Counter(static_cast<double>(lookups * state.iterations()), benchmark::Counter::kIsRate);
    device.release();
    std::remove(name.c_str());
}
BENCHMARK(BM_HandleTreeExamine)->Arg(16)->Arg(256)->Iterations(3)->Unit(benchmark::kMillisecond);

// --- scenes --------------------------------------------------------------------

// The scene stream of one layer of `count` 48-byte rectangle records of
// random small boxes.
std::string layer_stream(long count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> at(0.0f, static_cast<float>(side) - 10.0f);
    std::string out;
    out.reserve(static_cast<std::size_t>(8 + count * 48));
    const auto put32 = [&out](std::int32_t v) { out.append(reinterpret_cast<char const*>(&v), 4); };
    put32(1);
    put32(static_cast<std::int32_t>(count));
    unsigned char record[48] = {};
    for (long k = 0; k < count; ++k) {
        qvShapeBase header;
        header.size = 48;
        header.kind = qvRectangleKind;
        const float x = at(random), y = at(random);
        header.box = qvMathRectOf<float>(qvRectOf<float>(x, y, x + 5.0f, y + 5.0f));
        std::memcpy(record, &header, sizeof header);
        out.append(reinterpret_cast<char const*>(record), sizeof record);
    }
    return out;
}

struct Scene {
    std::string name;
    qvMatchingPalette palette;
    qvPagedSceneFile file;
    std::unique_ptr<qvPagedSceneSegment> segment;
    std::unique_ptr<qvBasicPagedScene> scene;
    explicit Scene(char const* what) : name(scratch_name(what)) {
        file.create(name.c_str(), std::size_t{256} << 20);
        segment = std::make_unique<qvPagedSceneSegment>(file);
        scene = std::make_unique<qvBasicPagedScene>(file, &palette, false);
        scene->add_segment(*segment, true);
        scene->create(qvMathRectOf<double>(qvRectOf<double>(0, 0, side, side)));
    }
    // Loaded in chunks of 100,000: the scene's load appends.
    void fill(long count) {
        for (long done = 0; done < count; done += 100000) {
            std::stringbuf buffer(layer_stream(std::min(100000L, count - done), static_cast<unsigned>(done + 1)));
            qvInputStream in(&buffer);
            scene->load(in);
        }
    }
    ~Scene() {
        if (scene->is_open()) scene->close();
        scene.reset();
        segment.reset();
        file.close();
        std::remove(name.c_str());
    }
};

void BM_PagedLayoutSaveLoad(benchmark::State& state) {
    Scene s("layout");
    s.scene->insert_layer(0);
    s.fill(state.range(0));
    std::string bytes;
    for (auto _ : state) {
        std::stringbuf out_buffer;
        {
            qvOutputStream out(&out_buffer, qvVersion::default_version(), false);
            s.scene->save_layout(out);
        }
        bytes = out_buffer.str();
        // A reader over its own new handle tree and no file: closing it
        // writes nothing back.
        qvPagedSceneSegment segment(s.file);
        qvHandleTree tree(s.file.device(), 16);
        qvBasicPagedScene reader(tree, nullptr, &s.palette, false);
        reader.add_segment(segment, true);
        reader.create(qvMathRectOf<double>(qvRectOf<double>(0, 0, side, side)));
        std::stringbuf in_buffer(bytes);
        qvInputStream in(&in_buffer);
        reader.load_layout(in);
        benchmark::DoNotOptimize(reader.size(-1));
        reader.close();
    }
    state.counters["layout_KB"] = static_cast<double>(bytes.size()) / 1e3;
}
BENCHMARK(BM_PagedLayoutSaveLoad)->Arg(10 * million)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PagedStreamSave(benchmark::State& state) {
    Scene s("stream_save");
    s.scene->insert_layer(0);
    s.fill(million);
    for (auto _ : state) {
        std::stringbuf buffer;
        qvOutputStream out(&buffer, qvVersion::default_version(), false);
        s.scene->save(out);
        benchmark::DoNotOptimize(buffer.str().size());
    }
    state.counters["records_per_s"] =
        benchmark::Counter(static_cast<double>(million * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PagedStreamSave)->Iterations(2)->Unit(benchmark::kMillisecond);

// Arg: millions of records.
void BM_PagedStreamLoad(benchmark::State& state) {
    const long count = state.range(0) * million;
    const std::string stream = layer_stream(count, 7);
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Scene>("stream_load");
        std::stringbuf buffer(stream);
        qvInputStream in(&buffer);
        state.ResumeTiming();
        s->scene->load(in);
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
    state.counters["records_per_s"] =
        benchmark::Counter(static_cast<double>(count * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PagedStreamLoad)->Arg(1)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PagedRender(benchmark::State& state) {
    static Scene shared("render");
    static Scene* const s = [] {
        shared.scene->insert_layer(0);
        shared.fill(million);
        return &shared;
    }();
    const double fraction = static_cast<double>(state.range(0)) / 100.0;
    const double edge = side * std::sqrt(fraction);
    const qvMathRectOf<double> area(qvRectOf<double>(0, 0, edge, edge));
    long drawn = 0;
    for (auto _ : state) {
        qvCountingPort port;
        s->scene->render(port, 0, area, false);
        drawn = port.drawn;
    }
    state.counters["drawn"] = static_cast<double>(drawn);
    state.counters["records_per_s"] =
        benchmark::Counter(static_cast<double>(drawn * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PagedRender)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// --- the ready-made paged scene ------------------------------------------------

void cache_counters(benchmark::State& state, qvPagedScene& scene) {
    state.counters["misses"] = static_cast<double>(static_cast<qvPageFile&>(scene.device()).counters().misses);
    state.counters["pages"] = static_cast<double>(scene.device().page_count());
}

qvMathRectOf<float> float_box(qvMathRectOf<double> const& r) {
    return qvMathRectOf<float>(static_cast<float>(r.x1), static_cast<float>(r.y1), static_cast<float>(r.x2),
                               static_cast<float>(r.y2));
}

qvMathRectOf<double> random_box(std::mt19937& rng) {
    std::uniform_real_distribution<double> where(0, side - 10), extent(0.5, 8);
    const double x = where(rng), y = where(rng);
    return qvMathRectOf<double>(qvRectOf<double>(x, y, x + extent(rng), y + extent(rng)));
}

// Arg: millions of shapes; second arg 1 through typed handles, 0 through
// allocate and disconnect.
void BM_PagedSceneFill(benchmark::State& state) {
    const long count = state.range(0) * million;
    const bool typed = state.range(1) != 0;
    const std::string name = scratch_name("fill");
    for (auto _ : state) {
        qvPagedScene scene;
        scene.create(name.c_str(), qvMathRectOf<double>(qvRectOf<double>(0, 0, side, side)), 256 << 20);
        std::mt19937 rng(1);
        for (long k = 0; k < count; ++k) {
            if (typed) {
                qvRectangle(scene, random_box(rng));
            } else {
                qvShapeBase* const r = scene.allocate(48, nullptr);
                r->kind = qvRectangleKind;
                r->proxy_class_id = 1;
                r->box = float_box(random_box(rng));
                scene.disconnect(r);
            }
        }
        cache_counters(state, scene);
        scene.close();
    }
    std::remove(name.c_str());
    state.counters["shapes_per_s"] =
        benchmark::Counter(static_cast<double>(count * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PagedSceneFill)->Args({1, 1})->Args({1, 0})->Args({10, 1})->Args({10, 0})->Iterations(1)->Unit(benchmark::kMillisecond);

struct Filled {
    std::string name;
    qvPagedScene scene;
    explicit Filled(char const* what, long count) : name(scratch_name(what)) {
        scene.create(name.c_str(), 2, qvMathRectOf<double>(qvRectOf<double>(0, 0, side, side)), 256 << 20);
        std::mt19937 rng(2);
        for (long k = 0; k < count; ++k) qvRectangle(scene, random_box(rng));
    }
    ~Filled() {
        if (scene.is_open()) scene.close();
        std::remove(name.c_str());
    }
};

// Arg 0: written back unchanged (in place); 1: moved to a new box.
void BM_PagedSceneConnectDisconnect(benchmark::State& state) {
    static Filled filled("connect", million);
    const bool relocate = state.range(0) != 0;
    std::mt19937 rng(3);
    std::uniform_int_distribution<long> handle(1, million);
    for (auto _ : state) {
        qvShapeBase* const r = filled.scene.connect(handle(rng));
        if (relocate) r->box = float_box(random_box(rng));
        filled.scene.disconnect(r);
    }
    cache_counters(state, filled.scene);
}
BENCHMARK(BM_PagedSceneConnectDisconnect)->Arg(0)->Arg(1)->Iterations(200000);

void BM_PagedSceneOpenClose(benchmark::State& state) {
    static Filled filled("openclose", 10 * million);
    if (filled.scene.is_open()) filled.scene.close();
    for (auto _ : state) {
        if (!filled.scene.open(filled.name.c_str(), 256 << 20, false)) state.SkipWithError("not opened");
        filled.scene.close();
    }
}
BENCHMARK(BM_PagedSceneOpenClose)->Iterations(3)->Unit(benchmark::kMillisecond);

// One session of a small scene: an open (writable or read-only) and its
// close, which flushes and seals, and the let-go of the file the scene kept
// sealed, at the next open. Its own function, so that callgrind can count
// the cycles alone (--toggle-collect='*paged_session_cycle*').
[[gnu::noinline]] void paged_session_cycle(qvPagedScene& scene, std::string const& name, int cache, bool read_only,
                                           benchmark::State& state) {
    if (!scene.open(name.c_str(), cache, read_only)) state.SkipWithError("not opened");
    scene.close();
}

// Arg: the cache (1 MiB, or -1: mapped). Eight sessions over 20,000
// rectangles, writable and read-only in turn.
void BM_PagedSceneSessionCycle(benchmark::State& state) {
    const int cache = static_cast<int>(state.range(0));
    const std::string name = scratch_name("sessions");
    {
        qvPagedScene scene;
        scene.create(name.c_str(), 2, qvMathRectOf<double>(qvRectOf<double>(0, 0, side, side)), cache);
        std::mt19937 rng(4);
        for (long k = 0; k < 20000; ++k) qvRectangle(scene, random_box(rng));
        scene.close();
        bool read_only = false;
        for (auto _ : state) {
            paged_session_cycle(scene, name, cache, read_only, state);
            read_only = !read_only;
        }
    }
    std::remove(name.c_str());
}
BENCHMARK(BM_PagedSceneSessionCycle)->Arg(1 << 20)->Arg(-1)->Iterations(8)->Unit(benchmark::kMicrosecond);

void BM_PagedSceneEnumerate(benchmark::State& state) {
    static Filled filled("enumerate", million);
    long seen = 0;
    for (auto _ : state) {
        seen = 0;
        for (auto g = filled.scene.enumerate(-1); g; ++g) ++seen;
    }
    state.counters["shapes"] = static_cast<double>(seen);
    cache_counters(state, filled.scene);
}
BENCHMARK(BM_PagedSceneEnumerate)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PagedSceneDeleteLayer(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto filled = std::make_unique<Filled>("delete", million);
        state.ResumeTiming();
        filled->scene.delete_layer(0);
        state.PauseTiming();
        cache_counters(state, filled->scene);
        filled.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PagedSceneDeleteLayer)->Iterations(1)->Unit(benchmark::kMillisecond);

// Arg: open proxies (typed handles held) whose shapes lie outside a 1%
// viewport of a layer of 100,000 stored rectangles. Their copies are found
// by box, so the viewport's cost should not grow with their number;
// copies_tested counts the connected copies a render tested.
void BM_PagedRenderAmongOpenProxies(benchmark::State& state) {
    const auto open = static_cast<std::size_t>(state.range(0));
    const std::string name = scratch_name("proxies");
    auto scene = std::make_unique<qvPagedScene>();
    scene->create(name.c_str(), qvMathRectOf<double>(qvRectOf<double>(0, 0, side, side)), 256 << 20);
    std::mt19937 rng(4);
    for (long k = 0; k < 100000; ++k) qvRectangle(*scene, random_box(rng));
    const double edge = side / 10;
    const qvMathRectOf<double> viewport(qvRectOf<double>(0, 0, edge, edge));
    std::vector<qvRectangle> proxies;
    proxies.reserve(open);
    while (proxies.size() < open) {
        const qvMathRectOf<double> box = random_box(rng);
        if (box.x1 < edge && box.y1 < edge) continue;
        proxies.emplace_back(*scene, box);
    }
    const std::uint64_t before = scene->connected_copies().visited();
    long drawn = 0;
    for (auto _ : state) {
        qvCountingPort port;
        scene->render(port, 0, viewport, false);
        drawn = port.drawn;
    }
    state.counters["drawn"] = static_cast<double>(drawn);
    state.counters["copies_tested"] =
        static_cast<double>(scene->connected_copies().visited() - before) / static_cast<double>(state.iterations());
    proxies.clear();
    scene.reset();
    std::remove(name.c_str());
}
BENCHMARK(BM_PagedRenderAmongOpenProxies)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
