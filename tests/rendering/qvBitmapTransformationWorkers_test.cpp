// Every worker of both dispatch tables against the per-pixel reference, on
// seeded bitmaps of 1 to 9 pixels a side: with and without transparent
// values and masks, colour maps of 2 to 256 entries (identity and sorted by
// index byte), source sub-frames, clippings wider than the image, and the
// transformations a caller meets (identity, 2x, 0.5x, both flips, 30 and 45
// degrees, a shear). Destinations and masks start with random bytes, so a
// pixel written outside its frame, or not written inside it, shows.

#include <orvane/geometry/qvRotation.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>

#include "rendering/qvBitmapTransformationTables.hpp"
#include "rendering/qvGenericBitmapTransformation.hpp"

#include "qvBitmapTransformReference.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <sstream>

using namespace transform_reference;

namespace {

const qvTransformation turns[] = {
    qvTransformation(1, 0, 0, 1, 0, 0),   qvTransformation(2, 0, 0, 2, 0, 0),
    qvTransformation(0.5, 0, 0, 0.5, 0, 0), qvTransformation(-1, 0, 0, 1, 0, 0),
    qvTransformation(1, 0, 0, -1, 0, 0),  qvRotation(30),
    qvRotation(45),                       qvTransformation(1.25, 0.4, -0.3, 0.8, 0, 0),
};

int pick(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// Colour-map sizes: mostly small, sometimes the full 256.
int map_size(std::mt19937& rng) {
    const int r = pick(rng, 0, 9);
    return r < 6 ? pick(rng, 2, 8) : r < 9 ? pick(rng, 9, 255) : 256;
}

qvColorMap map_for(std::mt19937& rng, int type) {
    if (type == qvMonochromeBitmap) return random_map(rng, 2, true);
    return random_map(rng, map_size(rng), pick(rng, 0, 2) != 0);
}

// A random frame inside a bitmap of w x h (possibly empty when allowed).
qvBitmapFrame frame_in(std::mt19937& rng, int w, int h, bool may_be_empty) {
    for (;;) {
        const qvBitmapFrame f(pick(rng, 0, w), pick(rng, 0, h), pick(rng, 0, w), pick(rng, 0, h));
        if (may_be_empty || (f.width() > 0 && f.height() > 0)) return f;
    }
}

// A bitmap of type `type` with a frame of w x h somewhere inside it.
std::pair<qvBitmap, qvBitmapFrame> around(std::mt19937& rng, int type, int w, int h) {
    const int left = pick(rng, 0, 2), top = pick(rng, 0, 2);
    qvBitmap b = random_bitmap(rng, type, w + left + pick(rng, 0, 2), h + top + pick(rng, 0, 2));
    return {b, qvBitmapFrame(left, top, left + w, top + h)};
}

void give_transparency(std::mt19937& rng, qvBitmap& b) {
    if (b.type() == qvRgbaBitmap) {
        const qvBitmapColor c(pick(rng, 0, 255), pick(rng, 0, 255), pick(rng, 0, 255));
        b.transparent_rgb(c);
        for (int y = 0; y < b.height(); ++y)   // make it occur
            for (int x = 0; x < b.width(); ++x)
                if (pick(rng, 0, 3) == 0) set(b, x, y, quad(c.red(), c.green(), c.blue()));
    } else {
        const std::vector<int> values = index_bytes(b.colormap());
        const int v = values.empty() ? pick(rng, 0, 255) : values[rng() % values.size()];
        b.transparent_index(static_cast<unsigned char>(b.type() == qvMonochromeBitmap ? v & 1 : v));
        if (b.type() == qvMonochromeBitmap && pick(rng, 0, 1)) b.transparent_index(2);   // "non-zero"
    }
}

struct Case {
    qvBitmap src, dst, mask;
    qvBitmapFrame sf, clip, df, mf;
    std::optional<qvRgbToIndex> table;
    qvTransformation w;
    std::string what;

    qvRgbToIndex const* table_ptr() const { return table ? &*table : nullptr; }
};

Case make_case(std::mt19937& rng, qvBitmapTransformationEntry const& e, bool affine, int round) {
    Case c;
    std::ostringstream what;
    what << "entry (" << e.source_type << ", " << e.destination_type << ", " << e.mask << ", "
         << e.mode << ") round " << round;
    const int sw = pick(rng, 1, 9), sh = pick(rng, 1, 9);
    std::optional<qvColorMap> smap;
    if (e.source_type != qvRgbaBitmap) smap = map_for(rng, e.source_type);
    c.src = random_bitmap(rng, e.source_type, sw, sh, smap ? &*smap : nullptr);
    if (pick(rng, 0, 1)) give_transparency(rng, c.src);

    int cw, ch;
    if (affine) {
        const qvTransformation& t = turns[rng() % std::size(turns)];
        c.sf = frame_in(rng, sw, sh, pick(rng, 0, 9) == 0);
        const qvBitmapFrame q = qvBitmapTransformation(t, false).query_frame(c.sf);
        // Sometimes wider than the image, so positions fall outside the source.
        const int grow = pick(rng, 0, 2) == 0 ? pick(rng, 1, 2) : 0;
        c.clip = qvBitmapFrame(q.left() - grow, q.top() - grow, q.right() + grow, q.bottom() + grow);
        c.w = worker_form(t, c.sf);
        what << " t (" << t.m0() << ", " << t.m1() << ", " << t.m2() << ", " << t.m3() << ")";
        cw = c.clip.width();
        ch = c.clip.height();
    } else {
        c.sf = frame_in(rng, sw, sh, true);   // the source rectangle
        cw = c.sf.width();
        ch = c.sf.height();
        c.clip = qvBitmapFrame(0, -ch, cw, 0);
    }
    what << " source " << sw << "x" << sh << " frame (" << c.sf.left() << ", " << c.sf.top() << ", "
         << c.sf.right() << ", " << c.sf.bottom() << ")";

    std::tie(c.dst, c.df) = around(rng, e.destination_type, cw, ch);
    if (e.destination_type != qvRgbaBitmap && pick(rng, 0, 1)) c.dst.colormap(map_for(rng, e.destination_type));
    if (pick(rng, 0, 1)) give_transparency(rng, c.dst);
    if (e.mask) std::tie(c.mask, c.mf) = around(rng, qvMonochromeBitmap, cw, ch);

    const bool needs_table = e.mode != 0 && e.destination_type != qvRgbaBitmap;
    const bool optional_table = e.source_type == qvIndexedBitmap && e.destination_type == qvIndexedBitmap;
    if (needs_table && (!affine && optional_table ? pick(rng, 0, 1) != 0 : true)) {
        const qvColorMap tmap = map_for(rng, e.destination_type);
        c.table.emplace(tmap);
    }
    c.what = what.str();
    return c;
}

void expect_worker_matches(qvBitmapTransformationEntry const& e, bool affine, std::mt19937& rng,
                           int rounds) {
    for (int round = 0; round < rounds; ++round) {
        Case c = make_case(rng, e, affine, round);
        const qvBitmap want_dst = copy_of(c.dst);
        const qvBitmap want_mask = e.mask ? copy_of(c.mask) : qvBitmap();
        const qvBitmapReference mask_view = e.mask ? qvBitmapReference(c.mask) : qvBitmapReference();
        const qvBitmapReference want_mask_view = e.mask ? qvBitmapReference(want_mask) : qvBitmapReference();
        if (affine) {
            generic(c.w, e.mode, c.src, c.sf, c.clip, want_dst, c.df, want_mask_view, c.mf, c.table_ptr());
        } else {
            const bool raw = e.mode == 0 && !e.mask;   // the copy workers
            const bool copy = raw || (e.source_type == qvRgbaBitmap && e.destination_type == qvRgbaBitmap && !e.mask);
            exact(copy, c.src, c.sf, want_dst, c.df, want_mask_view, c.mf, c.table_ptr());
        }
        e.worker->transform(qvBitmapWorkerForm(c.w, e.mode == 2), c.src, c.sf, c.clip, c.dst, c.df,
                            mask_view, c.mf, c.table_ptr());
        ASSERT_TRUE(same_bytes(c.dst, want_dst)) << c.what;
        if (e.mask) {
            ASSERT_TRUE(same_bytes(c.mask, want_mask)) << c.what;
        }
    }
}

}  // namespace

TEST(qvBitmapWorkers, The_tables_hold_51_distinct_workers_and_end_with_their_terminators) {
    std::set<qvBitmapTransformationBase const*> workers;
    int rows = 0;
    for (auto table : {qvExactBitmapTransformations, qvAffineBitmapTransformations}) {
        auto e = table;
        for (; e->worker; ++e, ++rows) workers.insert(e->worker);
        EXPECT_EQ(e->source_type, -1);
        EXPECT_EQ(e->destination_type, -1);
    }
    EXPECT_EQ(rows, 12 + 42);
    EXPECT_EQ(workers.size(), 51u);
    // The affine table's order: source, destination, mask, then mode.
    std::vector<std::array<int, 4>> keys;
    for (auto e = qvAffineBitmapTransformations; e->worker; ++e)
        keys.push_back({e->source_type, e->destination_type, e->mask, e->mode});
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(qvFindBitmapTransformation(qvExactBitmapTransformations, 1, 1, 0, 0), nullptr);
    EXPECT_EQ(qvFindBitmapTransformation(qvAffineBitmapTransformations, 2, 3, 0, 0), nullptr);
    EXPECT_EQ(qvFindBitmapTransformation(qvAffineBitmapTransformations, 4, 4, 0, 1), nullptr);
}

TEST(qvBitmapWorkers, Every_affine_worker_equals_the_reference_on_seeded_bitmaps) {
    std::mt19937 rng(20240601);
    for (auto e = qvAffineBitmapTransformations; e->worker; ++e) {
        expect_worker_matches(*e, true, rng, 300);
        if (HasFatalFailure()) return;
    }
}

TEST(qvBitmapWorkers, Every_1to1_worker_equals_the_reference_on_seeded_bitmaps) {
    std::mt19937 rng(20240602);
    for (auto e = qvExactBitmapTransformations; e->worker; ++e) {
        expect_worker_matches(*e, false, rng, 200);
        if (HasFatalFailure()) return;
    }
}

// The fast blends against the integer formula, for every pair of weights:
// a rounding slip in them changes a channel only now and then, too rarely
// for the seeded bitmaps above to be sure to meet it.
TEST(qvBitmapWorkers, The_fast_blends_equal_the_integer_formula_for_every_weight) {
    using namespace qvGenericBitmapDetail;
    std::mt19937 rng(5);
    const std::uint64_t extremes[] = {0, ~std::uint64_t{0}, 0x00FF00FF00FF00FFu, 0xFF00FF00FF00FF00u};
    for (int round = 0; round < 6; ++round) {
        const std::uint64_t top = round < 4 ? extremes[round] : (std::uint64_t{rng()} << 32 | rng());
        const std::uint64_t bottom = round < 4 ? ~extremes[round] : (std::uint64_t{rng()} << 32 | rng());
        for (unsigned a = 0; a <= 256; ++a) {
            for (unsigned b = 0; b <= 256; ++b) {
                std::uint32_t want = 0xFF000000u;
                for (int shift = 0; shift < 24; shift += 8) {
                    const unsigned w[4] = {(256 - a) * (256 - b), (256 - a) * b, a * (256 - b), a * b};
                    const unsigned c[4] = {unsigned(top >> shift & 255), unsigned(bottom >> shift & 255),
                                           unsigned(top >> (shift + 32) & 255),
                                           unsigned(bottom >> (shift + 32) & 255)};
                    want |= ((w[0] * c[0] + w[1] * c[1] + w[2] * c[2] + w[3] * c[3]) >> 16) << shift;
                }
                ASSERT_EQ(blend(top, bottom, a, b), want) << a << " " << b;
                const std::uint64_t two = blend2(top, bottom, column_weight(a), bottom, top,
                                                 column_weight(256 - a), row_weight(b));
                ASSERT_EQ(static_cast<std::uint32_t>(two), want) << a << " " << b;
                ASSERT_EQ(two >> 32, blend(bottom, top, 256 - a, b)) << a << " " << b;
#if defined(__SSE2__) && defined(__x86_64__)
                const RowWeight rw = row_weight(b);
                const std::uint64_t sums = row_blend2(
                    column_sum(std::uint32_t(top), std::uint32_t(bottom), rw),
                    column_sum(std::uint32_t(top >> 32), std::uint32_t(bottom >> 32), rw), column_weight(a),
                    column_sum(std::uint32_t(top), std::uint32_t(bottom), rw),
                    column_sum(std::uint32_t(top >> 32), std::uint32_t(bottom >> 32), rw), column_weight(a));
                ASSERT_EQ(sums, std::uint64_t{want} << 32 | want) << a << " " << b;
#endif
            }
        }
    }
}
