// The transformed buffer and the scene port's images and clips:
//   tvbuf/records/direct       10,000 mixed records (rectangles, ellipses,
//                              8-point polylines, restricted and scaled
//                              texts) drawn into a dump driver's port;
//   tvbuf/records/transformed  the same through a transformed buffer at
//                              scale 0.5, moved by (100, 50);
//   tvbuf/restricted_image/<s> one 256 x 256 RGBA restricted image drawn
//                              through a scene port scaling by s = 1, 2, 4
//                              (one resampling per draw);
//   tvbuf/clip/1000            a clip region of 1,000 rectangles set
//                              through a transformed buffer's port (mapped
//                              rectangle by rectangle) under a quarter turn.
// The dump sink only counts. No peer.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvTVBuf.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledText.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimpleRestrictedImage.hpp>

#include "qvCountingDumpUser.hpp"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// 10,000 records over (0, 0)-(1000, 1000), five kinds in turn.
std::unique_ptr<qvMemoryScene> tvbuf_scene() {
    auto scene = std::make_unique<qvMemoryScene>();
    qvAttributeProxy style(*scene, 0);
    style.line_width(1.0);
    qvAttributeFolderInterface* const a = &style;
    for (int i = 0; i < 10000; ++i) {
        const double x = (i % 100) * 10.0, y = (i / 100) * 10.0;
        switch (i % 5) {
        case 0: qvRectangle(*scene, x, y, x + 8, y + 6, a); break;
        case 1: qvEllipse(*scene, qvMathRectOf<double>(x, y, x + 8, y + 6), a); break;
        case 2: {
            qvCrdOf<double> points[8];
            for (int k = 0; k < 8; ++k) points[k] = {x + k, y + (k % 2) * 5};
            qvExactPolyline(*scene, 8, points, a);
            break;
        }
        case 3: qvRestrictedText(*scene, qvCrdOf<double>{x, y}, "text", a, nullptr); break;
        default: qvScaledText(*scene, qvCrdOf<double>{x, y}, "text", 4.0, a); break;
        }
    }
    return scene;
}

struct TVBufDumpSetup {
    qvCountingDumpUser sink;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&sink, 0, 0, 2000, 2000);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
};

void BM_tvbuf_records(benchmark::State& state, bool transformed) {
    const auto scene = tvbuf_scene();
    TVBufDumpSetup setup;
    qvTVBuf tv(*setup.buffer);
    tv->transformation(qvTransformation(0.5, 0, 0, 0.5, 100, 50));
    const qvISafePtr<qvDrawObject> draw = transformed ? tv->new_draw() : setup.buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    port.palette(&scene->palette());
    const qvMathRectOf<double> area(0, 0, 1000, 1000);
    for (auto _ : state) {
        scene->render(port, -1, area, false);
        benchmark::DoNotOptimize(setup.sink.calls);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}

void BM_tvbuf_restricted_image(benchmark::State& state) {
    qvBitmap bits(qvBitmapLayout(qvRgbaBitmap), 256, 256);
    for (long i = 0; i < bits.size(); ++i) bits.data()[i] = static_cast<unsigned char>(i * 7);
    qvSimpleRestrictedImage image;
    image->bitmap(bits);
    image->anchor(qvCrdOf<double>(10, 10));
    qvShapeBase* const record = image->record();
    record->kind = qvRestrictedImageKind;
    record->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(qvRestrictedImageKind));

    qvMemoryScene scene;
    TVBufDumpSetup setup;
    const qvISafePtr<qvDrawObject> draw = setup.buffer->new_draw();
    qvFlavorPort& target = *qvQueryInterface<qvFlavorPort>(draw.get());
    target.palette(&scene.palette());
    qvViewTScenePort port(target);
    port.mapping(qvScaling(static_cast<double>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(port.draw_shape(*record));
    state.SetItemsProcessed(state.iterations());
}

void BM_tvbuf_clip(benchmark::State& state) {
    TVBufDumpSetup setup;
    qvTVBuf tv(*setup.buffer);
    tv->transformation(qvTransformation(0, -1, 1, 0, 0, 0));
    const qvISafePtr<qvDrawObject> draw = tv->new_draw();
    qvRegion region;
    for (int i = 0; i < 1000; ++i) region += qvMathRectOf<double>((i % 40) * 20.0, (i / 40) * 20.0,
                                                                  (i % 40) * 20.0 + 10, (i / 40) * 20.0 + 10);
    for (auto _ : state) draw->clip(region);
    state.SetItemsProcessed(state.iterations() * 1000);
}

}  // namespace

BENCHMARK_CAPTURE(BM_tvbuf_records, direct, false)->Name("tvbuf/records/direct")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_tvbuf_records, transformed, true)
    ->Name("tvbuf/records/transformed")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_tvbuf_restricted_image)->Name("tvbuf/restricted_image")->Arg(1)->Arg(2)->Arg(4);
BENCHMARK(BM_tvbuf_clip)->Name("tvbuf/clip/1000");
