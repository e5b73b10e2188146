// Bitmap transformation of a 1024 x 1024 opaque RGBA gradient into RGBA:
// the identity, 2x and a 30 degree turn, nearest and bilinear, without and
// with a mask; beside them pixman (when its development package is present)
// doing the same job. Also indexed to RGBA, RGBA to indexed with and without
// a table (2x, bilinear), and a 16 x 16 image turned 10,000 times, where the
// cost per call shows.
//
// pixman's side: the same source pixels (PIXMAN_a8r8g8b8 has qvRgbaQuad's
// byte order, so the pixels are shared), a destination of our clipping's
// size, PIXMAN_OP_SRC, PIXMAN_REPEAT_NONE, the variant's filter, and a
// transform that sends each destination pixel to the source point ours
// samples. With a mask, a second composite (an opaque a8 image, same
// transform, into an a1 destination like our one-bit mask) writes the
// coverage, as ours does. The first run of each peer case checks that both
// pictures agree within 2 per channel away from the source's edges (pixman
// blends transparent black in there, ours renormalises the weights).
//
// Names follow bench/compare's convention: "cmp/bitmap_transform/<variant>/
// <side>" for ours, "peer/bitmap_transform/<variant>/pixman/<side>" for pixman.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorCube.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>

#include <benchmark/benchmark.h>

#if ORVANE_BENCH_PIXMAN
#include <pixman.h>
#endif

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum class Turn { identity, scale2, rotate30 };

qvTransformation transformation_of(Turn turn) {
    switch (turn) {
    case Turn::identity: return qvTransformation();
    case Turn::scale2: return qvTransformation(2, 0, 0, 2, 0, 0);
    default: return qvRotation(30);
    }
}

char const* name_of(Turn turn) {
    return turn == Turn::identity ? "identity" : turn == Turn::scale2 ? "scale2" : "rotate30";
}

// Red grows to the right, green downwards, blue along the diagonal; opaque.
qvBitmap gradient(int side) {
    qvBitmap b(qvBitmapLayout(qvRgbaBitmap), side, side);
    for (int y = 0; y < side; ++y) {
        unsigned char* row = b.scan_line(y);
        for (int x = 0; x < side; ++x) {
            row[4 * x + 0] = static_cast<unsigned char>((x + y) * 255 / (2 * side - 2));
            row[4 * x + 1] = static_cast<unsigned char>(y * 255 / (side - 1));
            row[4 * x + 2] = static_cast<unsigned char>(x * 255 / (side - 1));
            row[4 * x + 3] = 255;
        }
    }
    return b;
}

// The same picture as cube indices.
qvBitmap indexed_gradient(int side) {
    qvBitmap b(qvBitmapLayout(qvIndexedBitmap), side, side);
    b.colormap(qvColorCube());
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            b.scan_line(y)[x] = static_cast<unsigned char>(36 * (x * 6 / side) + 6 * (y * 6 / side) + (x + y) * 6 / (2 * side));
    return b;
}

struct Target {
    qvBitmap destination, mask;
};

Target target_for(qvBitmapTransformation const& t, qvBitmapReference const& source, int type, bool with_mask) {
    const qvBitmapFrame c = t.query_frame(qvBitmapFrame(source));
    Target target{qvBitmap(qvBitmapLayout(static_cast<qvStandardBitmapType>(type)), c.width(), c.height()), {}};
    if (with_mask) target.mask = qvBitmap(qvBitmapLayout(qvMonochromeBitmap), c.width(), c.height());
    return target;
}

void rgba(benchmark::State& state, Turn turn, bool smooth, bool with_mask) {
    const qvBitmap source = gradient(static_cast<int>(state.range(0)));
    const qvBitmapTransformation t(transformation_of(turn), smooth);
    Target target = target_for(t, source, qvRgbaBitmap, with_mask);
    for (auto _ : state) {
        t.transform(source, target.destination, with_mask ? qvBitmapReference(target.mask) : qvBitmapReference(),
                    nullptr);
        benchmark::ClobberMemory();
    }
}

enum class Conversion { indexed_to_rgba, rgba_to_indexed_table, rgba_to_indexed };

void convert(benchmark::State& state, Conversion conversion) {
    const int side = static_cast<int>(state.range(0));
    const bool from_indexed = conversion == Conversion::indexed_to_rgba;
    const qvBitmap source = from_indexed ? indexed_gradient(side) : gradient(side);
    const qvBitmapTransformation t(transformation_of(Turn::scale2), true);
    Target target = target_for(t, source, from_indexed ? qvRgbaBitmap : qvIndexedBitmap, false);
    const qvColorCube cube;
    if (!from_indexed) target.destination.colormap(cube);
    const qvRgbToIndex table(cube);
    qvRgbToIndex const* given = conversion == Conversion::rgba_to_indexed_table ? &table : nullptr;
    for (auto _ : state) {
        t.transform(source, target.destination, qvBitmapReference(), given);
        benchmark::ClobberMemory();
    }
}

constexpr int small_calls = 10000;

void small(benchmark::State& state) {
    const qvBitmap source = gradient(static_cast<int>(state.range(0)));
    const qvBitmapTransformation t(transformation_of(Turn::rotate30), true);
    Target target = target_for(t, source, qvRgbaBitmap, false);
    for (auto _ : state) {
        for (int n = 0; n < small_calls; ++n) t.transform(source, target.destination, qvBitmapReference(), nullptr);
        benchmark::ClobberMemory();
    }
}

#if ORVANE_BENCH_PIXMAN

// Where ours samples destination pixel (i, j) of a whole-frame request:
// M(o + (i, j)), M mapping clipping positions to source pixel positions,
// o = the clipping's corner, moved to pixel centres (and up the row that
// query_frame adds when a3 <= 0) when smoothing.
struct Sampling {
    qvTransformation M;
    double ox, oy;
};

Sampling sampling_of(qvTransformation const& t, bool smooth, qvBitmapFrame const& source) {
    const qvBitmapFrame c = qvBitmapTransformation(t, smooth).query_frame(source);
    const qvTransformation w(t.m0(), t.m2(), t.m1(), t.m3(), 0, 0);   // the worker form of a whole frame
    const double h = source.height();
    Sampling s{qvTransformation(1, 0, 0, 1, -0.5, h - 0.5) * qvInvert(w), double(c.left()), double(c.top())};
    if (smooth) {
        s.ox += 0.5;
        s.oy += t.m3() > 0 ? 0.5 : -0.5;
    }
    return s;
}

// pixman samples destination pixel centres (i + 1/2, j + 1/2) and reads
// source pixel centres at k + 1/2: bilinear takes the source point
// P + 1/2 for our P; nearest takes pixel floor(s - e), so the point is
// P + 1/2 + e to read trunc(P + 1/2) as ours does.
pixman_transform_t pixman_transform_of(Sampling const& s, bool smooth) {
    const qvTransformation& M = s.M;
    const qvCrdOf<double> at = M * qvCrdOf<double>(s.ox - 0.5, s.oy - 0.5);
    const double nudge = smooth ? 0 : 1.0 / 65536;
    pixman_transform_t p;
    pixman_transform_init_identity(&p);
    p.matrix[0][0] = pixman_double_to_fixed(M.m0());
    p.matrix[0][1] = pixman_double_to_fixed(M.m1());
    p.matrix[0][2] = pixman_double_to_fixed(at.x + 0.5 + nudge);
    p.matrix[1][0] = pixman_double_to_fixed(M.m2());
    p.matrix[1][1] = pixman_double_to_fixed(M.m3());
    p.matrix[1][2] = pixman_double_to_fixed(at.y + 0.5 + nudge);
    return p;
}

struct Pixman {
    pixman_image_t* source = nullptr;
    pixman_image_t* destination = nullptr;
    pixman_image_t* coverage = nullptr;   // opaque a8, 1x1 repeated would change the path: full size
    pixman_image_t* mask = nullptr;
    std::vector<std::uint32_t> destination_bits;
    std::vector<std::uint8_t> coverage_bits;
    std::vector<std::uint32_t> mask_bits;
    int w = 0, h = 0;

    Pixman(qvBitmap const& src, qvTransformation const& t, bool smooth, bool with_mask) {
        const qvBitmapFrame c = qvBitmapTransformation(t, smooth).query_frame(qvBitmapFrame(src));
        w = c.width(), h = c.height();
        source = pixman_image_create_bits(PIXMAN_a8r8g8b8, src.width(), src.height(),
                                          reinterpret_cast<std::uint32_t*>(src.data()), src.scan_line_size());
        destination_bits.assign(static_cast<std::size_t>(w) * h, 0);
        destination = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, destination_bits.data(), 4 * w);
        const pixman_transform_t transform = pixman_transform_of(sampling_of(t, smooth, qvBitmapFrame(src)), smooth);
        const pixman_filter_t filter = smooth ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST;
        pixman_image_set_transform(source, &transform);
        pixman_image_set_filter(source, filter, nullptr, 0);
        pixman_image_set_repeat(source, PIXMAN_REPEAT_NONE);
        if (with_mask) {
            const int stride8 = (src.width() + 3) / 4 * 4;
            coverage_bits.assign(static_cast<std::size_t>(stride8) * src.height(), 0xFF);
            coverage = pixman_image_create_bits(PIXMAN_a8, src.width(), src.height(),
                                                reinterpret_cast<std::uint32_t*>(coverage_bits.data()), stride8);
            pixman_image_set_transform(coverage, &transform);
            pixman_image_set_filter(coverage, filter, nullptr, 0);
            pixman_image_set_repeat(coverage, PIXMAN_REPEAT_NONE);
            const int stride1 = (w + 31) / 32;
            mask_bits.assign(static_cast<std::size_t>(stride1) * h, 0);
            mask = pixman_image_create_bits(PIXMAN_a1, w, h, mask_bits.data(), 4 * stride1);
        }
    }
    ~Pixman() {
        for (pixman_image_t* image : {source, destination, coverage, mask})
            if (image) pixman_image_unref(image);
    }
    Pixman(Pixman const&) = delete;

    void run() {
        pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, destination, 0, 0, 0, 0, 0, 0, w, h);
        if (mask) pixman_image_composite32(PIXMAN_OP_SRC, coverage, nullptr, mask, 0, 0, 0, 0, 0, 0, w, h);
    }
};

// Both pictures within 2 per channel wherever ours samples two pixels or
// more inside the source's edges.
bool pictures_agree(qvBitmap const& src, qvBitmap const& ours, Pixman const& peer, qvTransformation const& t,
                    bool smooth) {
    const Sampling s = sampling_of(t, smooth, qvBitmapFrame(src));
    for (int j = 0; j < peer.h; ++j) {
        for (int i = 0; i < peer.w; ++i) {
            const qvCrdOf<double> p = s.M * qvCrdOf<double>(s.ox + i, s.oy + j);
            if (!(p.x >= 2 && p.y >= 2 && p.x <= src.width() - 3 && p.y <= src.height() - 3)) continue;
            std::uint32_t theirs = peer.destination_bits[static_cast<std::size_t>(j) * peer.w + i];
            unsigned char const* mine = ours.pixel(i, j);
            for (int k = 0; k < 4; ++k)
                if (std::abs(int(mine[k]) - int(theirs >> (8 * k) & 255)) > 2) return false;
        }
    }
    return true;
}

void pixman_rgba(benchmark::State& state, Turn turn, bool smooth, bool with_mask) {
    const qvBitmap source = gradient(static_cast<int>(state.range(0)));
    const qvTransformation t = transformation_of(turn);
    Pixman peer(source, t, smooth, with_mask);
    peer.run();
    const qvBitmapTransformation ours(t, smooth);
    Target target = target_for(ours, source, qvRgbaBitmap, false);
    ours.transform(source, target.destination, qvBitmapReference(), nullptr);
    if (!pictures_agree(source, target.destination, peer, t, smooth)) {
        state.SkipWithError("pixman and orvane draw different pictures");
        return;
    }
    for (auto _ : state) {
        peer.run();
        benchmark::ClobberMemory();
    }
}

void pixman_small(benchmark::State& state) {
    const qvBitmap source = gradient(static_cast<int>(state.range(0)));
    Pixman peer(source, transformation_of(Turn::rotate30), true, false);
    for (auto _ : state) {
        for (int n = 0; n < small_calls; ++n) peer.run();
        benchmark::ClobberMemory();
    }
}

#endif

// ---- registration --------------------------------------------------------------------

std::string variant_of(Turn turn, bool smooth, bool with_mask) {
    return std::string(name_of(turn)) + (smooth ? "_bilinear" : "_nearest") + (with_mask ? "_mask" : "");
}

const int registered = [] {
    for (Turn turn : {Turn::identity, Turn::scale2, Turn::rotate30}) {
        for (bool smooth : {false, true}) {
            for (bool with_mask : {false, true}) {
                const std::string variant = variant_of(turn, smooth, with_mask);
                benchmark::RegisterBenchmark(("cmp/bitmap_transform/" + variant).c_str(), rgba, turn, smooth, with_mask)
                    ->Arg(1024)
                    ->Unit(benchmark::kMillisecond);
#if ORVANE_BENCH_PIXMAN
                benchmark::RegisterBenchmark(("peer/bitmap_transform/" + variant + "/pixman").c_str(), pixman_rgba,
                                             turn, smooth, with_mask)
                    ->Arg(1024)
                    ->Unit(benchmark::kMillisecond);
#endif
            }
        }
    }
    const std::pair<char const*, Conversion> conversions[] = {
        {"indexed_to_rgba", Conversion::indexed_to_rgba},
        {"rgba_to_indexed_table", Conversion::rgba_to_indexed_table},
        {"rgba_to_indexed", Conversion::rgba_to_indexed},
    };
    for (auto const& [name, conversion] : conversions)
        benchmark::RegisterBenchmark((std::string("cmp/bitmap_transform/") + name).c_str(), convert, conversion)
            ->Arg(1024)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("cmp/bitmap_transform/small_x10000", small)->Arg(16)->Unit(benchmark::kMillisecond);
#if ORVANE_BENCH_PIXMAN
    benchmark::RegisterBenchmark("peer/bitmap_transform/small_x10000/pixman", pixman_small)
        ->Arg(16)
        ->Unit(benchmark::kMillisecond);
#endif
    return 0;
}();

}   // namespace
