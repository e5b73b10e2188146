// Images and lists at work: bitmap(reference) of a 1024 x 1024 RGBA bitmap
// (4 MiB of pixels copied once per call) into an in-scene and a stand-alone
// image; 100,000 anchor moves of an in-scene image, each writing the header
// box and reporting it; and a line width set and read through a graphic
// list of 10,000 rectangles (one pass over the members each).

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvSimpleRestrictedImage.hpp>

#include <benchmark/benchmark.h>

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

}  // namespace
