// The quadtree of a paged layer: the cell arithmetic; 1M inserts of
// 64-byte records (uniform, clustered, 5% across centre lines; random and
// Morton order; 16 MiB and 256 MiB page caches over a page file) with the
// nodes, their fill and the file size; 1,000 queries of 0.01%, 1% and 10%
// of the base with records per second, pages per query and the cache's hit
// rate; lookups by handle record with the pages each reads; and the cache's
// victim rule against LRU on one recorded page trace; the directory
// finding the cell that serves a record's cell, with keys in random and in
// Morton order. Inserts and queries
// run over the mapped page file too (cache_MiB 0), whose pages per query
// are its locks. Fixed seeds.

#include <orvane/scenes/qvQTree.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>

#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvPageFile.hpp"
#include "scenes/qvPageLayout.hpp"
#include "scenes/qvQuadTreeCells.hpp"

#include "qvBenchSupport.hpp"
#include "qvBenchBoxes.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr double side = bench_boxes::float_side;
const qvMathRectOf<double> base(0.0, 0.0, side, side);
constexpr int record_bytes = 64;
constexpr int million = 1000000;

std::string scratch_name(char const* what) { return bench_support::scratch_path(std::string("quadtree_") + what); }

// --- boxes ---------------------------------------------------------------------

using bench_boxes::Set;
enum class Order { random, morton };

std::vector<qvRectOf<float>> boxes(Set set, Order order, int n) {
    return bench_boxes::float_boxes(set, order == Order::morton, n);
}

void insert(qvQuadTree& tree, std::vector<qvRectOf<float>> const& all) {
    std::vector<unsigned char> bytes(record_bytes);
    qvShapeBase header;
    header.size = record_bytes;
    qvQuadTree::RecordLock lock;
    qvHandleRecord h;
    std::int32_t handle = 0;
    for (auto const& b : all) {
        header.shape_handle = ++handle;
        header.box = qvMathRectOf<float>(b);
        std::memcpy(bytes.data(), &header, sizeof header);
        tree.create(reinterpret_cast<qvShapeBase*>(bytes.data()), record_bytes, lock);
        std::memcpy(lock.record, bytes.data(), bytes.size());
        tree.store_handle(lock.record, h);
        tree.release(lock);
    }
}

struct Shape {
    int nodes = 0;
    double fill = 0;
};

Shape shape_of(qvQuadTree const& tree) {
    Shape s;
    double used = 0;
    for (qvQuadTreeDirectory::EnumerateIterator it(*tree.directory()); it.get() != nullptr; it.next()) {
        ++s.nodes;
        used += it.get()->fill_mem;
    }
    s.fill = used / (static_cast<double>(s.nodes) * qvUSEFUL_PAGE_SIZE);
    return s;
}

// --- the cell arithmetic -----------------------------------------------------------

void BM_QuadTree_RectToHandle(benchmark::State& state) {
    const auto all = boxes(Set::uniform, Order::random, 4096);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qvCellOf(base, qvMathRectOf<float>(all[i++ & 4095]), 15));
    }
    state.SetItemsProcessed(state.iterations());
}

// --- inserts -----------------------------------------------------------------------

// range(0): spread, range(1): order, range(2): cache MiB (0: the mapped
// page file).
void BM_QuadTree_Insert(benchmark::State& state) {
    const auto spread = static_cast<Set>(state.range(0));
    const auto order = static_cast<Order>(state.range(1));
    const int cache = static_cast<int>(state.range(2)) << 20;
    const auto all = boxes(spread, order, million);
    const std::string name = scratch_name("insert");
    for (auto _ : state) {
        std::unique_ptr<qvPageDevice> device;
        if (cache > 0)
            device = std::make_unique<qvPageFile>(name.c_str(), cache, true, false);
        else
            device = std::make_unique<qvMappedPageFile>(name.c_str(), true, false);
        qvQTree tree(device.get(), base);
        insert(tree, all);
        state.PauseTiming();
        const Shape s = shape_of(tree);
        state.counters["nodes"] = s.nodes;
        state.counters["fill"] = s.fill;
        state.counters["file_MB"] = static_cast<double>(device->page_count()) * qvPageBytes / 1e6;
        if (auto* io = dynamic_cast<qvPageFile*>(device.get())) {
            state.counters["misses"] = static_cast<double>(io->counters().misses);
            io->release();
        } else {
            static_cast<qvMappedPageFile&>(*device).close();
        }
        state.counters["inserts_per_s"] = benchmark::Counter(million, benchmark::Counter::kIsRate);
        state.ResumeTiming();
    }
    std::remove(name.c_str());
}

// --- queries -----------------------------------------------------------------------

// A page file that records every lock and unlock: the trace the victim
// rules are compared on.
struct Event {
    long page;
    float priority;   // < 0 for a lock
};

class TracingPageFile : public qvPageFile {
public:
    using qvPageFile::qvPageFile;
    void* lock(long page, bool write) override {
        if (tracing) trace.push_back({page, -1.0f});
        return qvCacheOnIO::lock(page, write);
    }
    void unlock(long page, float priority) override {
        if (tracing) trace.push_back({page, priority});
        qvCacheOnIO::unlock(page, priority);
    }
    bool tracing = false;
    std::vector<Event> trace;
};

// One tree of 1M uniform records per cache size (0: the mapped page
// file), built once and shared by the query cases; and one of 10M for the
// victim rule's trace.
struct Layer {
    explicit Layer(int cache_mib, int count = million)
        : name(scratch_name(("layer" + std::to_string(cache_mib)).c_str())),
          any(cache_mib > 0 ? std::unique_ptr<qvPageDevice>(
                                  std::make_unique<TracingPageFile>(name.c_str(), cache_mib << 20, true, false))
                            : std::make_unique<qvMappedPageFile>(name.c_str(), true, false)),
          tree(any.get(), base) {
        insert(tree, boxes(Set::uniform, Order::random, count));
    }
    ~Layer() {
        if (auto* io = dynamic_cast<TracingPageFile*>(any.get())) io->release();
        else static_cast<qvMappedPageFile&>(*any).close();
        std::remove(name.c_str());
    }
    // Locks so far and, for the page cache, hits (-1 for the mapping).
    std::pair<double, double> locks() const {
        if (auto* io = dynamic_cast<TracingPageFile const*>(any.get()))
            return {static_cast<double>(io->counters().hits + io->counters().misses),
                    static_cast<double>(io->counters().hits)};
        return {static_cast<double>(static_cast<qvMappedPageFile const&>(*any).counters().locks), -1.0};
    }
    TracingPageFile& traced() { return dynamic_cast<TracingPageFile&>(*any); }
    std::string name;
    std::unique_ptr<qvPageDevice> any;
    qvQTree tree;
};

Layer& layer(int cache_mib) {
    static std::map<int, std::unique_ptr<Layer>> layers;
    auto& held = layers[cache_mib];
    if (!held) held = std::make_unique<Layer>(cache_mib);
    return *held;
}

std::vector<qvMathRectOf<double>> query_areas(double fraction, int n) {
    std::mt19937 rng(7);
    const double w = side * std::sqrt(fraction);
    std::uniform_real_distribution<double> at(0.0, side - w);
    std::vector<qvMathRectOf<double>> out;
    for (int i = 0; i < n; ++i) {
        const double x = at(rng), y = at(rng);
        out.emplace_back(x, y, x + w, y + w);
    }
    return out;
}

// range(0): the area in hundredths of a percent of the base, range(1):
// cache MiB. One iteration runs 1,000 queries.
void BM_QuadTree_Query(benchmark::State& state) {
    Layer& l = layer(static_cast<int>(state.range(1)));
    const auto areas = query_areas(static_cast<double>(state.range(0)) / 10000.0, 1000);
    const auto before = l.locks();
    std::int64_t records = 0;
    for (auto _ : state) {
        for (auto const& area : areas)
            for (auto it = l.tree.query(area, false); it; ++it) {
                benchmark::DoNotOptimize(it->box);
                ++records;
            }
    }
    const auto after = l.locks();
    const double locks = after.first - before.first;
    const double queries = 1000.0 * static_cast<double>(state.iterations());
    state.counters["records_per_s"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
    state.counters["pages_per_query"] = locks / queries;
    if (after.second >= 0) state.counters["hit_rate"] = (after.second - before.second) / std::max(1.0, locks);
}

// Lookups by handle record (examine and release) of 10,000 random records
// of 1M (range(0): spread, uniform or 5% across centre lines), over a 256
// MiB cache: pages locked per lookup.
void BM_QuadTree_Examine(benchmark::State& state) {
    const auto spread = static_cast<Set>(state.range(0));
    const auto all = boxes(spread, Order::random, million);
    const std::string name = scratch_name("examine");
    qvPageFile device(name.c_str(), 256 << 20, true, false);
    qvQTree tree(&device, base);
    insert(tree, all);
    std::mt19937 rng(9);
    std::vector<qvHandleRecord> keys;
    qvShapeBase header;
    for (int i = 0; i < 10000; ++i) {
        qvHandleRecord h;
        h.handle = static_cast<std::int32_t>(rng() % million) + 1;
        header.box = qvMathRectOf<float>(all[static_cast<std::size_t>(h.handle - 1)]);
        tree.store_handle(&header, h);
        keys.push_back(h);
    }
    const qvCacheOnIO::Counters before = device.counters();
    qvQuadTree::RecordLock lock;
    for (auto _ : state) {
        for (auto const& h : keys) {
            tree.examine(h, lock);
            tree.release(lock);
        }
    }
    const auto locks = static_cast<double>(device.counters().hits + device.counters().misses - before.hits -
                                           before.misses);
    state.counters["pages_per_lookup"] = locks / (10000.0 * static_cast<double>(state.iterations()));
    state.SetItemsProcessed(10000 * state.iterations());
    device.release();
    std::remove(name.c_str());
}

// --- victim rule against LRU ---------------------------------------------------------

// The lock trace of 1,000 queries of each size over the 16 MiB layer of 1M
// records, or over a layer of 10M (built over a 256 MiB cache).
std::vector<Event> trace_of(Layer& layer) {
    TracingPageFile& l = layer.traced();
    l.trace.clear();
    l.tracing = true;
    for (double fraction : {0.0001, 0.01, 0.1})
        for (auto const& area : query_areas(fraction, 1000))
            for (auto it = layer.tree.query(area, false); it; ++it) benchmark::DoNotOptimize(it->box);
    l.tracing = false;
    return std::move(l.trace);
}

std::vector<Event> const& query_trace(int millions) {
    static const std::vector<Event> small = trace_of(layer(16));
    if (millions == 1) return small;
    static const std::vector<Event> big = [] {
        Layer ten(256, 10 * million);
        return trace_of(ten);
    }();
    return big;
}

struct NullIO : qvPageIO {
    void write(long, void*) override {}
    void read(long, void*) override {}
};

// The trace through the page cache's own rule (priority with decay).
void BM_QuadTree_VictimRule(benchmark::State& state) {
    auto const& trace = query_trace(static_cast<int>(state.range(1)));
    NullIO io;
    double misses = 0, locks = 0;
    for (auto _ : state) {
        qvCacheOnIO cache(io, static_cast<std::size_t>(state.range(0)) << 20, false);
        for (Event const& e : trace)
            if (e.priority < 0)
                benchmark::DoNotOptimize(cache.lock(e.page, false));
            else
                cache.unlock(e.page, e.priority);
        misses = static_cast<double>(cache.counters().misses);
        locks = static_cast<double>(cache.counters().misses + cache.counters().hits);
        cache.release();
    }
    state.counters["miss_rate"] = misses / locks;
    state.counters["locks"] = locks;
}

// The same trace under least recently used, locked pages never evicted.
void BM_QuadTree_LRU(benchmark::State& state) {
    auto const& trace = query_trace(static_cast<int>(state.range(1)));
    const std::size_t capacity = static_cast<std::size_t>(state.range(0)) * 64;   // 16 KiB pages per MiB
    double misses = 0, locks = 0;
    for (auto _ : state) {
        std::list<long> order;   // front: most recent
        struct Entry {
            std::list<long>::iterator at;
            int locks;
        };
        std::unordered_map<long, Entry> cached;
        misses = locks = 0;
        for (Event const& e : trace) {
            if (e.priority >= 0) {
                --cached[e.page].locks;
                continue;
            }
            ++locks;
            auto found = cached.find(e.page);
            if (found != cached.end()) {
                order.splice(order.begin(), order, found->second.at);
                ++found->second.locks;
                continue;
            }
            ++misses;
            if (cached.size() >= capacity)
                for (auto victim = order.end(); victim != order.begin();) {
                    --victim;
                    if (cached[*victim].locks == 0) {
                        cached.erase(*victim);
                        order.erase(victim);
                        break;
                    }
                }
            order.push_front(e.page);
            cached[e.page] = Entry{order.begin(), 1};
        }
    }
    state.counters["miss_rate"] = misses / locks;
    state.counters["locks"] = locks;
}

// The directory of a tree as a large load leaves it: a node in every cell of
// level range(0) (4^9 = 262,144 nodes stand for the pages of a few million
// records) and the root; then serving() for 10^6 record cells of level 12,
// in random order (range(1) 0) or Morton order (1), as records arrive.
void BM_QuadTreeDirectory_Serving(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    const int columns = 1 << level;
    qvQuadTreeDirectory directory(base);
    directory.add(new qvQuadTreeNode(nullptr));
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < columns; ++j) {
            auto* node = new qvQuadTreeNode(nullptr);
            node->x = static_cast<std::int16_t>(2 * i + 1 - columns);
            node->y = static_cast<std::int16_t>(2 * j + 1 - columns);
            node->z = static_cast<std::int16_t>(level);
            node->bbox = qvCellRect(base, {node->x, node->y, node->z});
            directory.add(node);
        }
    constexpr int key_level = 12;
    std::mt19937 rng(4242);
    std::uniform_int_distribution<int> column(0, (1 << key_level) - 1);
    std::vector<std::pair<std::uint32_t, qvQuadTreeHandleData>> keys(million);
    for (auto& k : keys) {
        const int i = column(rng), j = column(rng);
        k = {bench_boxes::morton(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j)),
             {static_cast<std::int16_t>(2 * i + 1 - (1 << key_level)), static_cast<std::int16_t>(2 * j + 1 - (1 << key_level)),
              static_cast<std::int16_t>(key_level)}};
    }
    if (state.range(1) != 0)
        std::sort(keys.begin(), keys.end(), [](auto const& a, auto const& b) { return a.first < b.first; });
    std::size_t served = 0;
    for (auto _ : state)
        for (auto const& k : keys) served += directory.serving(k.second).size();
    benchmark::DoNotOptimize(served);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * million);
}

}  // namespace

BENCHMARK(BM_QuadTree_RectToHandle);
BENCHMARK(BM_QuadTreeDirectory_Serving)
    ->ArgsProduct({{6, 9}, {0, 1}})
    ->ArgNames({"level", "morton"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuadTree_Insert)
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {16, 256, 0}})
    ->ArgNames({"spread", "morton", "cache_MiB"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuadTree_Query)
    ->ArgsProduct({{1, 100, 1000}, {16, 256, 0}})
    ->ArgNames({"area_bp", "cache_MiB"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuadTree_Examine)->Arg(0)->Arg(2)->ArgName("spread")->Unit(benchmark::kMillisecond);
// The same traces under both rules: 1M records at 4 and 16 MiB, 10M at 16
// and 256 MiB.
BENCHMARK(BM_QuadTree_VictimRule)
    ->Args({4, 1})->Args({16, 1})->Args({16, 10})->Args({256, 10})
    ->ArgNames({"cache_MiB", "M"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuadTree_LRU)
    ->Args({4, 1})->Args({16, 1})->Args({16, 10})->Args({256, 10})
    ->ArgNames({"cache_MiB", "M"})
    ->Unit(benchmark::kMillisecond);
