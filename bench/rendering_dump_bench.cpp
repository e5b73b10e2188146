// 1M mixed records (16-point compact and exact polylines and polygons,
// rectangles, texts) drawn through a dump driver into a sink that only
// counts, with 1, 16, 17 and 64 attributes over a palette whose cookie
// cache holds 64 cookies (16 attributes of 4 kinds): the bare baseline of
// drawing through a port.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include <benchmark/benchmark.h>

#include "qvCountingDumpUser.hpp"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

using Record = std::unique_ptr<qvShapeBase>;

Record make(long kind, int extra) {
    Record r(qvNewShapeRecord(qvFixedRecordSize(kind) + extra));
    r->kind = static_cast<std::int32_t>(kind);
    r->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(kind));
    r->box = qvMathRectOf<float>(0, 0, 100, 100);
    return r;
}

template <class D, class Node>
Record points(long kind, Node node) {
    Record r = make(kind, 16 * static_cast<int>(sizeof(Node)));
    auto& d = *reinterpret_cast<D*>(reinterpret_cast<char*>(r.get()) + 40);
    d.count = 16;
    qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
    for (int i = 0; i < 16; ++i) d.nodes()[i] = node;
    return r;
}

std::vector<Record> mixed_records() {
    std::vector<Record> out;
    out.push_back(points<qvCompactPointSetData>(qvCompactPolylineKind, qvCrdOf<std::uint16_t>{100, 200}));
    out.push_back(points<qvCompactPointSetData>(qvCompactPolygonKind, qvCrdOf<std::uint16_t>{300, 400}));
    out.push_back(points<qvPointSetData>(qvExactPolylineKind, qvCrdOf<double>{1.5, 2.5}));
    out.push_back(points<qvPointSetData>(qvExactPolygonKind, qvCrdOf<double>{3.5, 4.5}));
    out.push_back(make(qvRectangleKind, 0));
    Record text = make(qvRestrictedTextKind, 8);
    auto& d = *::new (reinterpret_cast<char*>(text.get()) + 40) qvTextData();
    d.length = 6;
    qvSelfRelative::point(d.text_offset, reinterpret_cast<char*>(&d) + sizeof(qvTextData));
    std::memcpy(d.text(), "Orvane", 7);
    out.push_back(std::move(text));
    return out;
}

void BM_DumpMixedRecords(benchmark::State& state) {
    const long attributes = state.range(0);
    qvCountingDumpUser sink;
    qvStandardPalette palette;
    std::vector<long> handles;
    std::vector<std::unique_ptr<qvAttributeProxy>> proxies;
    for (long i = 0; i < attributes; ++i) {
        proxies.push_back(std::make_unique<qvAttributeProxy>(palette, 0));
        proxies.back()->line_width(1.0 + static_cast<double>(i));
        handles.push_back(proxies.back()->attribute_handle());
    }
    std::vector<Record> records = mixed_records();
    auto driver = qvDumpDriverObject::create(&sink, 0, 0, 1000, 1000);
    auto buffer = driver->new_master_vbuf();
    auto draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    port.palette(&palette);
    constexpr long total = 1000000;
    for (auto _ : state) {
        for (long i = 0; i < total; ++i) {
            qvShapeBase& r = *records[static_cast<std::size_t>(i) % records.size()];
            r.attribute_handle = static_cast<std::int32_t>(handles[static_cast<std::size_t>(i % attributes)]);
            benchmark::DoNotOptimize(port.draw_shape(r));
        }
    }
    benchmark::DoNotOptimize(sink.calls);
    state.SetItemsProcessed(state.iterations() * total);
}

}  // namespace

BENCHMARK(BM_DumpMixedRecords)->Arg(1)->Arg(16)->Arg(17)->Arg(64)->Unit(benchmark::kMillisecond);
