// Regions side by side with pixman (when its development package is
// present): union and subtraction of N random rectangles one at a time,
// intersection, union and difference of two such regions, translation and
// enumeration, for the grid region, the list region and the qvRegion handle (over its
// default grid), at N = 100, 1,000 and 10,000.
//
// Names follow bench/compare's convention: "cmp/<operation>/<variant>/N"
// for ours and "peer/<operation>/<peer>/N" for the peer; the script pairs
// them by operation and N. Both sides get the same integer rectangles
// (fixed seed); the pixman union case checks once that both sides cover
// the same area, so the sides are known to compute the same thing. (No
// counters: bench/compare reads CSV, which wants the same columns in every
// row.)

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegion.hpp>

#include <benchmark/benchmark.h>

#if ORVANE_BENCH_PIXMAN
#include <pixman.h>
#endif

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

struct IntRect {
    int x, y, w, h;
    Rect as_rect() const { return Rect(x, y, x + w, y + h); }
};

// The square the rectangles of a set of n fall in: its area grows with n,
// so that about two thirds of it is covered at every n and the region's
// complexity grows with n instead of saturating into one block.
int area_side(int n) { return static_cast<int>(std::lround(64.5 * std::sqrt(n))); }

// n rectangles of 1..128 units a side in a square of area_side(n) units;
// `salt` gives a second, independent set.
std::vector<IntRect> random_rects(int n, unsigned salt = 0) {
    std::mt19937 rng(20240601u + salt);
    std::uniform_int_distribution<int> at(0, area_side(n) - 1), side(1, 128);
    std::vector<IntRect> rects(static_cast<std::size_t>(n));
    for (IntRect& r : rects) r = {at(rng), at(rng), side(rng), side(rng)};
    return rects;
}

// Covers every rectangle of a set of n.
IntRect whole(int n) { return {0, 0, area_side(n) + 128, area_side(n) + 128}; }

template <class Region>
Region union_of(std::vector<IntRect> const& rects) {
    Region region;
    for (IntRect const& r : rects) region += r.as_rect();
    return region;
}

template <class Region>
double area_of(Region const& region) {
    double area = 0;
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
        area += (it->x2 - it->x1) * (it->y2 - it->y1);
    return area;
}

int n_of(benchmark::State const& state) { return static_cast<int>(state.range(0)); }

// ---- ours ----------------------------------------------------------------------------

template <class Region>
void union_rects(benchmark::State& state) {
    const std::vector<IntRect> rects = random_rects(n_of(state));
    for (auto _ : state) {
        Region region;
        for (IntRect const& r : rects) region += r.as_rect();
        benchmark::DoNotOptimize(region.bbox());
    }
}

template <class Region>
void subtract_rects(benchmark::State& state) {
    const std::vector<IntRect> rects = random_rects(n_of(state));
    for (auto _ : state) {
        Region region;
        region += whole(n_of(state)).as_rect();
        for (IntRect const& r : rects) region -= r.as_rect();
        benchmark::DoNotOptimize(region.bbox());
    }
}

template <class Region>
void intersect_regions(benchmark::State& state) {
    const Region a = union_of<Region>(random_rects(n_of(state)));
    const Region b = union_of<Region>(random_rects(n_of(state), 1));
    for (auto _ : state) {
        Region result(a);
        result *= b;
        benchmark::DoNotOptimize(result.bbox());
    }
}

template <class Region>
void union_regions(benchmark::State& state) {
    const Region a = union_of<Region>(random_rects(n_of(state)));
    const Region b = union_of<Region>(random_rects(n_of(state), 1));
    for (auto _ : state) {
        Region result(a);
        result += b;
        benchmark::DoNotOptimize(result.bbox());
    }
}

template <class Region>
void subtract_regions(benchmark::State& state) {
    const Region a = union_of<Region>(random_rects(n_of(state)));
    const Region b = union_of<Region>(random_rects(n_of(state), 1));
    for (auto _ : state) {
        Region result(a);
        result -= b;
        benchmark::DoNotOptimize(result.bbox());
    }
}

// There and back, so every iteration maps the same region.
template <class Region>
void translate_region(benchmark::State& state) {
    Region region = union_of<Region>(random_rects(n_of(state)));
    const qvRestrictedTransformation there(1, 1, 17, -5), back(1, 1, -17, 5);
    for (auto _ : state) {
        region.translate(there);
        region.translate(back);
        benchmark::DoNotOptimize(region.bbox());
    }
}

template <class Region>
void enumerate_region(benchmark::State& state) {
    const Region region = union_of<Region>(random_rects(n_of(state)));
    for (auto _ : state) {
        double sum = 0;
        for (qvIndirectRectIterator it = region.enumerate(); it; ++it) sum += it->x1;
        benchmark::DoNotOptimize(sum);
    }
}

// ---- pixman --------------------------------------------------------------------------

#if ORVANE_BENCH_PIXMAN

class PixmanRegion {
public:
    PixmanRegion() { pixman_region32_init(&r_); }
    PixmanRegion(PixmanRegion const& other) {
        pixman_region32_init(&r_);
        pixman_region32_copy(&r_, &other.r_);
    }
    PixmanRegion& operator=(PixmanRegion const&) = delete;
    ~PixmanRegion() { pixman_region32_fini(&r_); }
    pixman_region32_t* get() { return &r_; }
    pixman_region32_t const* get() const { return &r_; }

private:
    pixman_region32_t r_;
};

PixmanRegion pixman_union_of(std::vector<IntRect> const& rects) {
    PixmanRegion region;
    for (IntRect const& r : rects)
        pixman_region32_union_rect(region.get(), region.get(), r.x, r.y, static_cast<unsigned>(r.w),
                                   static_cast<unsigned>(r.h));
    return region;
}

double pixman_area(PixmanRegion const& region) {
    int n = 0;
    pixman_box32_t const* boxes =
        pixman_region32_rectangles(const_cast<pixman_region32_t*>(region.get()), &n);
    double area = 0;
    for (int i = 0; i < n; ++i) area += double(boxes[i].x2 - boxes[i].x1) * (boxes[i].y2 - boxes[i].y1);
    return area;
}

void pixman_union_rects(benchmark::State& state) {
    const std::vector<IntRect> rects = random_rects(n_of(state));
    for (auto _ : state) {
        PixmanRegion region;
        for (IntRect const& r : rects)
            pixman_region32_union_rect(region.get(), region.get(), r.x, r.y, static_cast<unsigned>(r.w),
                                       static_cast<unsigned>(r.h));
        benchmark::DoNotOptimize(pixman_region32_extents(region.get()));
    }
    if (pixman_area(pixman_union_of(rects)) != area_of(union_of<qvGridRegion>(rects)))
        state.SkipWithError("pixman and orvane cover different areas");
}

void pixman_subtract_rects(benchmark::State& state) {
    const std::vector<IntRect> rects = random_rects(n_of(state));
    for (auto _ : state) {
        PixmanRegion region;
        const IntRect all = whole(n_of(state));
        pixman_region32_init_rect(region.get(), all.x, all.y, static_cast<unsigned>(all.w),
                                  static_cast<unsigned>(all.h));
        for (IntRect const& r : rects) {
            pixman_region32_t piece;
            pixman_region32_init_rect(&piece, r.x, r.y, static_cast<unsigned>(r.w),
                                      static_cast<unsigned>(r.h));
            pixman_region32_subtract(region.get(), region.get(), &piece);
            pixman_region32_fini(&piece);
        }
        benchmark::DoNotOptimize(pixman_region32_extents(region.get()));
    }
}

template <auto operation>
void pixman_two_regions(benchmark::State& state) {
    PixmanRegion a = pixman_union_of(random_rects(n_of(state)));
    PixmanRegion b = pixman_union_of(random_rects(n_of(state), 1));
    for (auto _ : state) {
        PixmanRegion result;
        operation(result.get(), a.get(), b.get());
        benchmark::DoNotOptimize(pixman_region32_extents(result.get()));
    }
}

void pixman_translate(benchmark::State& state) {
    PixmanRegion region = pixman_union_of(random_rects(n_of(state)));
    for (auto _ : state) {
        pixman_region32_translate(region.get(), 17, -5);
        pixman_region32_translate(region.get(), -17, 5);
        benchmark::DoNotOptimize(pixman_region32_extents(region.get()));
    }
}

void pixman_enumerate(benchmark::State& state) {
    PixmanRegion region = pixman_union_of(random_rects(n_of(state)));
    for (auto _ : state) {
        int n = 0;
        pixman_box32_t const* boxes = pixman_region32_rectangles(region.get(), &n);
        double sum = 0;
        for (int i = 0; i < n; ++i) sum += boxes[i].x1;
        benchmark::DoNotOptimize(sum);
    }
}

#endif

// ---- registration --------------------------------------------------------------------

using Case = void (*)(benchmark::State&);

void add(std::string const& name, Case run, int largest = 10000) {
    benchmark::internal::Benchmark* b =
        benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMicrosecond);
    for (int n = 100; n <= largest; n *= 10) b->Arg(n);
}

// A list region's differences leave overlapping pieces that the next
// difference cuts again, so its rectangle count grows steeply with N: at
// N = 1,000 one run takes minutes. `subtract_largest` caps N for it.
template <class Region>
void add_ours(char const* variant, int subtract_largest = 10000) {
    const std::string tail = std::string("/") + variant;
    add("cmp/region_union_rects" + tail, union_rects<Region>);
    add("cmp/region_subtract_rects" + tail, subtract_rects<Region>, subtract_largest);
    add("cmp/region_intersect" + tail, intersect_regions<Region>);
    add("cmp/region_union" + tail, union_regions<Region>);
    add("cmp/region_subtract" + tail, subtract_regions<Region>, subtract_largest);
    add("cmp/region_translate" + tail, translate_region<Region>);
    add("cmp/region_enumerate" + tail, enumerate_region<Region>);
}

const int registered = [] {
    add_ours<qvGridRegion>("grid");
    add_ours<qvListRegion>("list", 100);
    add_ours<qvRegion>("handle");
#if ORVANE_BENCH_PIXMAN
    add("peer/region_union_rects/pixman", pixman_union_rects);
    add("peer/region_subtract_rects/pixman", pixman_subtract_rects);
    add("peer/region_intersect/pixman", pixman_two_regions<pixman_region32_intersect>);
    add("peer/region_union/pixman", pixman_two_regions<pixman_region32_union>);
    add("peer/region_subtract/pixman", pixman_two_regions<pixman_region32_subtract>);
    add("peer/region_translate/pixman", pixman_translate);
    add("peer/region_enumerate/pixman", pixman_enumerate);
#endif
    return 0;
}();

}   // namespace
