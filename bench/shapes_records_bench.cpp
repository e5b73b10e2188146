// Shape records and the proxy site at scale: 1,000,000 mixed records
// (rectangles, compact and exact polygons, texts) written to and read from
// a string buffer through the record stream form, each read checked; and a
// proxy site with 1,000,000 live proxies, where a handle with a live proxy
// is instantiated and released, and a handle without one gets a new proxy
// that dies again.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvShapeRecords.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using RecordPtr = std::unique_ptr<qvShapeBase>;

// ---------------------------------------------------------------------------
// Records

RecordPtr polygon(long kind, int points, int node_bytes) {
    RecordPtr r(qvNewShapeRecord(48 + points * node_bytes));
    r->kind = static_cast<std::int32_t>(kind);
    r->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(kind));
    auto& d = *reinterpret_cast<qvNodeSetData<char>*>(reinterpret_cast<char*>(r.get()) + 40);
    d.count = points;
    d.offset = 4;
    return r;
}

RecordPtr text(char const* s) {
    const int n = static_cast<int>(std::strlen(s));
    RecordPtr r(qvNewShapeRecord(120 + n + 1));
    r->kind = qvScaledTextKind;
    r->proxy_class_id = 8;
    auto& d = *::new (reinterpret_cast<char*>(r.get()) + 40) qvTextData();
    d.length = static_cast<std::int16_t>(n);
    d.text_offset = 10;
    std::memcpy(d.text(), s, static_cast<std::size_t>(n) + 1);
    return r;
}

// Four kinds in a fixed pseudo-random mix: 48 to 208 bytes a record.
std::vector<RecordPtr> kinds() {
    std::vector<RecordPtr> out;
    out.emplace_back(qvNewShapeRecord(48));
    out.back()->kind = qvRectangleKind;
    out.emplace_back(polygon(qvCompactPolygonKind, 12, 4));
    out.emplace_back(polygon(qvExactPolygonKind, 10, 16));
    out.push_back(text("a label of some length"));
    return out;
}

std::string written_records(std::int64_t count) {
    const std::vector<RecordPtr> samples = kinds();
    std::mt19937 rng(20240601);
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(), false);
    for (std::int64_t i = 0; i < count; ++i)
        qvWriteShapeRecord(out, *samples[rng() % samples.size()]);
    return buffer.str();
}

void BM_WriteRecords(benchmark::State& state) {
    const std::vector<RecordPtr> samples = kinds();
    std::vector<std::size_t> order(static_cast<std::size_t>(state.range(0)));
    std::mt19937 rng(20240601);
    for (auto& k : order) k = rng() % samples.size();
    for (auto _ : state) {
        std::stringbuf buffer;
        qvOutputStream out(&buffer, qvVersion(), false);
        for (std::size_t k : order)
            qvWriteShapeRecord(out, *samples[k]);
        benchmark::DoNotOptimize(buffer.pubseekoff(0, std::ios::cur, std::ios::out));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteRecords)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_ReadRecords(benchmark::State& state) {
    const std::string bytes = written_records(state.range(0));
    for (auto _ : state) {
        std::stringbuf buffer(bytes);
        qvInputStream in(&buffer);
        std::int64_t total = 0;
        for (std::int64_t i = 0; i < state.range(0); ++i)
            total += qvCreateShapeFromSerialization(in)->size;
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadRecords)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// The proxy site

// `count` rectangles of the bench proxy class, handles 1 to count.
class BenchScene : public bench_support::VectorScene {
public:
    explicit BenchScene(std::size_t count) {
        reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            qvShapeBase* const record = add(qvNewShapeRecord(48));
            record->proxy_class_id = 201;
            record->kind = qvRectangleKind;
        }
    }
};

// The least proxy: bound to its record, entered in the site, gone on release.
class BenchProxy : public qvSingleShapeProxyBase {
public:
    static constexpr long class_id = 201;
    BenchProxy(qvContainerScene& scene, qvShapeBase* record) {
        connect_scene(scene);
        record_ = record;
        scene.associate(this, record->shape_handle);
    }
    ~BenchProxy() override {
        if (scene_ != nullptr && record_ != nullptr) {
            scene_->deassociate(this);
            scene_->disconnect(record_);
        }
    }
    using qvSingleShapeProxyBase::attr_handle;
    using qvSingleShapeProxyBase::user_handle;
    void allocate(int) override {}
    void user_handle(long) override {}
    void attr_handle(long) override {}
    void destroy_shape() override {}
    qvMathRectOf<double> bbox() override { return record_->bbox(); }
};

constexpr std::size_t live_proxies = 1'000'000;

// Handles 1 to live_proxies of `scene`, each holding its proxy alive.
std::vector<qvGraphic> live_handles(BenchScene& scene) {
    std::vector<qvGraphic> live;
    live.reserve(live_proxies);
    for (std::size_t h = 1; h <= live_proxies; ++h)
        live.push_back(scene.instantiate(static_cast<long>(h)));
    return live;
}

void BM_InstantiateLive(benchmark::State& state) {
    qvGenericProxyClass<BenchProxy> proxy_class;
    BenchScene scene(live_proxies + 1);
    std::vector<qvGraphic> live = live_handles(scene);
    std::mt19937 rng(20240601);
    for (auto _ : state) {
        qvGraphic g = scene.instantiate(static_cast<long>(rng() % live_proxies + 1));
        benchmark::DoNotOptimize(g.get());
    }
    state.SetItemsProcessed(state.iterations());
    live.clear();
}
BENCHMARK(BM_InstantiateLive);

void BM_InstantiateNewAndRelease(benchmark::State& state) {
    qvGenericProxyClass<BenchProxy> proxy_class;
    BenchScene scene(live_proxies + 1);
    std::vector<qvGraphic> live = live_handles(scene);
    for (auto _ : state) {
        qvGraphic g = scene.instantiate(static_cast<long>(live_proxies + 1));   // made, entered ...
        benchmark::DoNotOptimize(g.get());
    }   // ... and released: deassociated and deleted
    state.SetItemsProcessed(state.iterations());
    live.clear();
}
BENCHMARK(BM_InstantiateNewAndRelease);

}  // namespace
