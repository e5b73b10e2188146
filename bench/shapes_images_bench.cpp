// Images and lists at work: bitmap(reference) of a 1024 x 1024 RGBA bitmap
// (4 MiB of pixels copied once per call) into an in-scene and a stand-alone
// image; 100,000 anchor moves of an in-scene image, each writing the header
// box and reporting it; and a line width set and read through a graphic
// list of 10,000 rectangles (one pass over the members each).
// A restricted image of 1024 x 1024 RGBA pixels drawn through a scene port
// turning by 30 degrees about the centre of a dump driver's window of w x w
// device units, w = 64 .. 1024, and of one of 2048 that holds all of its
// 1399 x 1399 turned pixels (what every window cost when the whole image
// was resampled): the time follows the part of the image the window shows,
// reported as window pixels per second; and the same image 4352 pixels
// wide and 0 high, which draws nothing.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimpleRestrictedImage.hpp>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "qvCountingDumpUser.hpp"

namespace {

constexpr int side = 1024;
constexpr int anchor_moves = 100'000;
constexpr int list_members = 10'000;

void BM_ImageBitmapInScene(benchmark::State& state) {
    qvMemoryScene scene;
    const qvBitmap bitmap(qvRgbaBitmap, side, side);
    qvRestrictedImage image(scene);
    for (auto _ : state) {
        image->bitmap(bitmap);
        benchmark::DoNotOptimize(image->record());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{side} * side * 4);
}
BENCHMARK(BM_ImageBitmapInScene);

void BM_ImageBitmapStandAlone(benchmark::State& state) {
    const qvBitmap bitmap(qvRgbaBitmap, side, side);
    qvSimpleRestrictedImage image;
    for (auto _ : state) {
        image->bitmap(bitmap);
        benchmark::DoNotOptimize(image->record());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{side} * side * 4);
}
BENCHMARK(BM_ImageBitmapStandAlone);

void BM_ImageAnchorMoves(benchmark::State& state) {
    qvMemoryScene scene;
    const qvBitmap bitmap(qvRgbaBitmap, 4, 4);
    qvRestrictedImage image(scene, qvCrdOf<double>(0, 0), bitmap, 15u, nullptr);
    image->resolution(4, 4);
    for (auto _ : state) {
        for (int i = 0; i < anchor_moves; ++i)
            image->anchor(qvCrdOf<double>(i % 1000, i / 1000));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * anchor_moves);
}
BENCHMARK(BM_ImageAnchorMoves)->Unit(benchmark::kMillisecond);

void BM_ListLineWidth(benchmark::State& state) {
    qvMemoryScene scene;
    qvGraphicList list;
    for (int i = 0; i < list_members; ++i)
        list->add(qvRectangle(scene, i, 0, i + 1, 1));
    double width = 1.0;
    for (auto _ : state) {
        width = width == 1.0 ? 2.0 : 1.0;
        list->line_width(width);
        benchmark::DoNotOptimize(static_cast<double>(list->line_width()));
    }
    state.SetItemsProcessed(state.iterations() * list_members);
}
BENCHMARK(BM_ListLineWidth)->Unit(benchmark::kMillisecond);

// The record of a centred restricted image of `bitmap` at (w/2, w/2).
std::unique_ptr<qvShapeBase> BM_ImageWindowRecord(qvBitmapReference const& bitmap, double w) {
    qvSimpleRestrictedImage image;
    image->bitmap(bitmap);
    image->anchor(qvCrdOf<double>(w / 2, w / 2));
    image->alignment(15);
    std::unique_ptr<qvShapeBase> record(qvNewShapeRecord(image->record()->size));
    std::memcpy(static_cast<void*>(record.get()), image->record(), static_cast<std::size_t>(image->record()->size));
    record->kind = qvRestrictedImageKind;
    return record;
}

void BM_ImageTurnedIntoWindow(benchmark::State& state, int width, int height) {
    const double w = static_cast<double>(state.range(0));
    qvCountingDumpUser sink;
    const qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&sink, 0, 0, w, w);
    const qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    const qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvViewTScenePort port(*qvQueryInterface<qvFlavorPort>(draw.get()));
    // Turned about the window's centre.
    port.mapping(qvTransformation(qvTranslation(w / 2, w / 2)) * qvTransformation(qvRotation(30)) *
                 qvTransformation(qvTranslation(-w / 2, -w / 2)));
    qvBitmap bitmap(qvBitmapLayout(qvRgbaBitmap), width, height);
    if (bitmap.size() > 0)
        std::memset(bitmap.data(), 0x5A, static_cast<std::size_t>(bitmap.size()));
    const std::unique_ptr<qvShapeBase> record = BM_ImageWindowRecord(bitmap, w);
    for (auto _ : state)
        benchmark::DoNotOptimize(port.draw_shape(*record));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(w * w));
}
BENCHMARK_CAPTURE(BM_ImageTurnedIntoWindow, turned_1024x1024, 1024, 1024)
    ->RangeMultiplier(2)
    ->Range(64, 2048)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ImageTurnedIntoWindow, turned_4352x0, 4352, 0)->Arg(640)->Unit(benchmark::kMicrosecond);

}  // namespace
