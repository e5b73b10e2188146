#pragma once
// The seeded box sets of the spatial benchmarks, so that the quadtree's own
// cases and the paged scene beside its peers draw on one definition of
// "uniform", "clustered" and "straddle" and one Morton key.
//
// Two generators, each fixed by its results (the benchmarks' published
// numbers were measured on exactly these boxes, so neither may change a
// bit):
//   - float_boxes: small float boxes (sides 1 to 10) in (0, 0, 10^4, 10^4),
//     100 Gaussian clusters of sigma 100, straddlers across a cell edge of
//     level 1 to 4; one vector, optionally in Morton order;
//   - BoxSource: integer boxes (sides 1 to 64) in (0, 0, 2^20, 2^20), 64
//     Gaussian clusters of sigma 2^14, straddlers across x or y = 2^19;
//     one box at a time, so a measured child holds no array of them.
// The set's number is a benchmark argument: the order of Set stays.

#include <orvane/geometry/qvRect.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace bench_boxes {

enum class Set { uniform, clustered, straddle };

inline char const* set_name(Set s) {
    return s == Set::uniform ? "uniform" : s == Set::clustered ? "clustered" : "straddle";
}

// The low 16 bits of v spread to the even bits.
inline std::uint32_t interleave(std::uint32_t v) {
    v &= 0xFFFF;
    v = (v | (v << 8)) & 0x00FF00FF;
    v = (v | (v << 4)) & 0x0F0F0F0F;
    v = (v | (v << 2)) & 0x33333333;
    v = (v | (v << 1)) & 0x55555555;
    return v;
}

// Morton key of a cell at 16 bits per axis.
inline std::uint32_t morton(std::uint32_t column, std::uint32_t row) { return interleave(column) | (interleave(row) << 1); }

// --- float boxes in (0, 0, 10^4, 10^4) -------------------------------------------

constexpr double float_side = 10000.0;

// Morton key of a float box's centre.
inline std::uint32_t morton(qvRectOf<float> const& b) {
    const auto cx = static_cast<std::uint32_t>((b.x1 + b.x2) * 0.5f / float_side * 65535.0f);
    const auto cy = static_cast<std::uint32_t>((b.y1 + b.y2) * 0.5f / float_side * 65535.0f);
    return morton(cx, cy);
}

inline std::vector<qvRectOf<float>> float_boxes(Set set, bool morton_order, int n) {
    const auto side = static_cast<float>(float_side);
    std::mt19937 rng(32);
    std::uniform_real_distribution<float> anywhere(0.0f, side - 20.0f);
    std::uniform_real_distribution<float> extent(1.0f, 10.0f);
    std::vector<qvRectOf<float>> centres;
    for (int c = 0; c < 100; ++c) centres.push_back({anywhere(rng), anywhere(rng), 0, 0});
    std::normal_distribution<float> around(0.0f, 100.0f);
    std::vector<qvRectOf<float>> out;
    out.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        float x = anywhere(rng), y = anywhere(rng);
        if (set == Set::clustered) {
            auto const& c = centres[rng() % centres.size()];
            x = std::clamp(c.x1 + around(rng), 0.0f, side - 20.0f);
            y = std::clamp(c.y1 + around(rng), 0.0f, side - 20.0f);
        }
        if (set == Set::straddle && rng() % 20 == 0) {
            // Across a cell edge of level 1 to 4.
            const float step = side / static_cast<float>(2 << (rng() % 4));
            const float edge = step * static_cast<float>(1 + rng() % static_cast<unsigned>(float_side / step - 1));
            if (rng() % 2) x = edge - 2.0f; else y = edge - 2.0f;
        }
        out.push_back({x, y, x + extent(rng), y + extent(rng)});
    }
    if (morton_order)
        std::stable_sort(out.begin(), out.end(), [](auto const& a, auto const& b) { return morton(a) < morton(b); });
    return out;
}

// --- integer boxes in (0, 0, 2^20, 2^20) -----------------------------------------

constexpr std::int32_t world = 1 << 20;
constexpr std::int32_t middle = 1 << 19;

struct Box {
    std::int32_t x1, y1, x2, y2;
};

// Morton key of an integer box's centre.
inline std::uint32_t morton(Box const& b) {
    return morton(static_cast<std::uint32_t>(b.x1 + b.x2) >> 5, static_cast<std::uint32_t>(b.y1 + b.y2) >> 5);
}

// The boxes of one set, made one at a time from a fixed seed (no array).
class BoxSource {
public:
    explicit BoxSource(Set set) : set_(set), rng_(20261207u + static_cast<unsigned>(set)) {
        std::uniform_int_distribution<std::int32_t> anywhere(0, world - 1);
        for (auto& c : centres_) c = {anywhere(rng_), anywhere(rng_)};
    }
    Box next() {
        std::uniform_int_distribution<std::int32_t> extent(1, 64);
        const std::int32_t w = extent(rng_), h = extent(rng_);
        std::int32_t x = std::uniform_int_distribution<std::int32_t>(0, world - w)(rng_);
        std::int32_t y = std::uniform_int_distribution<std::int32_t>(0, world - h)(rng_);
        if (set_ == Set::clustered) {
            std::normal_distribution<double> around(0.0, 16384.0);
            auto const& c = centres_[rng_() % centres_.size()];
            x = std::clamp(static_cast<std::int32_t>(std::lround(c[0] + around(rng_))), 0, world - w);
            y = std::clamp(static_cast<std::int32_t>(std::lround(c[1] + around(rng_))), 0, world - h);
        } else if (set_ == Set::straddle && rng_() % 20 == 0) {
            // Across a centre line: x1 < 2^19 < x2 or y1 < 2^19 < y2 (a side
            // of 1 is made 2).
            if (rng_() % 2 == 0) {
                const std::int32_t s = std::max(w, 2);
                const std::int32_t x1 = middle - 1 - static_cast<std::int32_t>(rng_() % static_cast<unsigned>(s - 1));
                return {x1, y, x1 + s, y + h};
            }
            const std::int32_t s = std::max(h, 2);
            const std::int32_t y1 = middle - 1 - static_cast<std::int32_t>(rng_() % static_cast<unsigned>(s - 1));
            return {x, y1, x + w, y1 + s};
        }
        return {x, y, x + w, y + h};
    }

private:
    Set set_;
    std::mt19937_64 rng_;
    std::array<std::array<std::int32_t, 2>, 64> centres_{};
};

}  // namespace bench_boxes
