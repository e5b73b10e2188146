// Palettes: reads and writes of values by attribute count, writes that
// copy a shared attribute first (copy on write), reads through the typed
// attribute interface of an attribute proxy, cookie lookups in the 64-entry
// cache (hits and misses, and the pen accessor drawing code uses, whose hit
// shares the cookie), and matching writes of line widths and of
// "IMAGE" values, which hash the whole bitmap (the size of the image is the
// argument).

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvWrap.hpp>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

qvFolder const& folder_of(char const* path) { return *qvFolder::folder_by_name(path); }

// `count` attributes, each with a line width and a line style.
std::vector<long> fill(qvPalette& palette, int count) {
    qvFolder const& width = folder_of("pen/color_device/line_width");
    qvFolder const& style = folder_of("pen/color_device/line_style");
    std::vector<long> handles;
    for (int i = 0; i < count; ++i) {
        const qvWrap<double> w{1.0 + i};
        long h = palette.alloc(false);
        h = palette.property(h, width, &w, false);
        h = palette.property(h, style, &i, false);
        handles.push_back(h);
    }
    return handles;
}

void BM_palette_read(benchmark::State& state) {
    qvStandardPalette palette;
    const std::vector<long> handles = fill(palette, static_cast<int>(state.range(0)));
    qvFolder const& width = folder_of("pen/color_device/line_width");
    std::mt19937 rng(20240601);  // fixed seed: runs compare
    std::uniform_int_distribution<std::size_t> pick(0, handles.size() - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(palette.property(handles[pick(rng)], width));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_palette_read)->Arg(16)->Arg(1024)->Arg(65536);

// Line-width writes to unshared attributes, round robin, adopting the
// handle each write returns.
void write_line_widths(benchmark::State& state, qvPalette& palette) {
    std::vector<long> handles = fill(palette, static_cast<int>(state.range(0)));
    qvFolder const& width = folder_of("pen/color_device/line_width");
    std::size_t next = 0;
    double value = 0.0;
    for (auto _ : state) {
        const qvWrap<double> w{value += 1.0};
        long& h = handles[next];
        h = palette.property(h, width, &w, false);
        next = next + 1 == handles.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_palette_write_in_place(benchmark::State& state) {
    qvStandardPalette palette;
    write_line_widths(state, palette);
}
BENCHMARK(BM_palette_write_in_place)->Arg(16)->Arg(1024)->Arg(65536);

// Every write finds the attribute used twice, so it copies all its folders
// into a new attribute first; the copy is released again, so every
// iteration starts from the same state.
void BM_palette_write_copy_on_write(benchmark::State& state) {
    qvStandardPalette palette;
    std::vector<long> handles = fill(palette, static_cast<int>(state.range(0)));
    qvFolder const& width = folder_of("pen/color_device/line_width");
    std::size_t next = 0;
    double value = 0.0;
    for (auto _ : state) {
        const qvWrap<double> w{value += 1.0};
        const long h = handles[next];
        palette.add_ref(h);
        const long copy = palette.property(h, width, &w, false);
        benchmark::DoNotOptimize(copy);
        palette.release(copy);
        next = next + 1 == handles.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_palette_write_copy_on_write)->Arg(16)->Arg(1024)->Arg(65536);

// Typed reads (line width, line style, line colour) through an attribute
// proxy's interface, which checks each folder's class before reading.
void BM_attribute_interface_read(benchmark::State& state) {
    qvStandardPalette palette;
    const std::vector<long> handles = fill(palette, static_cast<int>(state.range(0)));
    std::vector<qvSafePtr<qvAttributeInterface>> proxies;
    for (long h : handles) proxies.push_back(qvCreateAttributeProxy(&palette, h));
    std::size_t next = 0;
    for (auto _ : state) {
        qvAttributeInterface& a = *proxies[next];
        benchmark::DoNotOptimize(a.line_width());
        benchmark::DoNotOptimize(a.line_style());
        benchmark::DoNotOptimize(a.line_color());
        next = next + 1 == proxies.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_attribute_interface_read)->Arg(16)->Arg(1024)->Arg(65536);

// A cache hit among `range` cached cookies; the cache moves hits to the
// front, so the cost grows with how far back the key was.
void BM_palette_cookie_hit(benchmark::State& state) {
    qvStandardPalette palette;
    const int cached = static_cast<int>(state.range(0));
    const std::vector<long> handles = fill(palette, cached);
    for (long h : handles)
        palette.cookie(qvCookieHandle(h, 0), orvane::auto_ptr<qvCookie>(new qvCookie));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(palette.cookie(qvCookieHandle(handles[next], 0)));
        next = next + 1 == handles.size() ? 0 : next + 1;  // always the least recent key
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_palette_cookie_hit)->Arg(1)->Arg(16)->Arg(64);

// A lookup of an attribute with no cookie, among `range` cached cookies:
// the whole cache is searched.
void BM_palette_cookie_miss(benchmark::State& state) {
    qvStandardPalette palette;
    const int cached = static_cast<int>(state.range(0));
    const std::vector<long> handles = fill(palette, cached + 1);
    for (int i = 0; i < cached; ++i)
        palette.cookie(qvCookieHandle(handles[static_cast<std::size_t>(i)], 0),
                       orvane::auto_ptr<qvCookie>(new qvCookie));
    const qvCookieHandle missing(handles.back(), 0);
    for (auto _ : state) benchmark::DoNotOptimize(palette.cookie(missing));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_palette_cookie_miss)->Arg(1)->Arg(16)->Arg(64);

// A pen accessor on `range` attributes whose pens are all cached, in turn:
// the lookup, the kind check and taking a share of the cookie.
void BM_cookie_access_hit(benchmark::State& state) {
    qvStandardPalette palette;
    const std::vector<long> handles = fill(palette, static_cast<int>(state.range(0)));
    for (long h : handles) qvCookieAccess<qvStandardPenCookie> bake(palette, h);
    std::size_t next = 0;
    for (auto _ : state) {
        qvCookieAccess<qvStandardPenCookie> pen(palette, handles[next]);
        benchmark::DoNotOptimize(pen.cookie->line_width);
        next = next + 1 == handles.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_cookie_access_hit)->Arg(1)->Arg(16)->Arg(64);

// Line-width writes to unshared attributes of a matching palette, which
// keeps an index of attributes by content and updates it on every write.
void BM_matching_write(benchmark::State& state) {
    qvMatchingPalette palette;
    write_line_widths(state, palette);
}
BENCHMARK(BM_matching_write)->Arg(16)->Arg(1024)->Arg(65536);

// Alternates an attribute between two bitmaps of side `range` pixels: each
// write hashes the old and the new image.
void BM_matching_image_write(benchmark::State& state) {
    qvMatchingPalette palette;
    qvFolder const& image = folder_of("brush/color_device/fill_image");
    const int side = static_cast<int>(state.range(0));
    const qvBitmap bitmaps[2] = {qvBitmap(qvBitmapLayout(qvRgbaBitmap), side, side),
                                 qvBitmap(qvBitmapLayout(qvRgbaBitmap), side, side)};
    long h = palette.alloc(false);
    int which = 0;
    for (auto _ : state) {
        h = palette.property(h, image, &bitmaps[which], false);
        which ^= 1;
    }
    state.SetBytesProcessed(state.iterations() * 2 * std::int64_t{side} * side * 4);
}
BENCHMARK(BM_matching_image_write)->Arg(16)->Arg(256)->Arg(1024);

}  // namespace
