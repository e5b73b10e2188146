// Requests of qvBitmapTransformation: the header check and the nine checks
// with their texts and order, the choice of mode, table and worker as the
// output shows it, the hand-worked cases of the samplers, and bad input.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>

#include "qvAttributeStreams.hpp"
#include "qvBitmapTransformReference.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace transform_reference;
using attribute_test::assertion_text;
using attribute_test::raised;
using Pixels = std::vector<std::uint32_t>;

namespace {

const std::uint32_t black = quad(0, 0, 0);

qvBitmap filled(int type, int w, int h, Pixels const& values) {
    qvBitmap b(qvBitmapLayout(static_cast<qvStandardBitmapType>(type)), w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) set(b, x, y, values[static_cast<std::size_t>(y * w + x)]);
    return b;
}

qvBitmap blank(int type, int w, int h) {
    qvBitmap b(qvBitmapLayout(static_cast<qvStandardBitmapType>(type)), w, h);
    if (b.size() > 0) std::memset(b.data(), 0x5A, static_cast<std::size_t>(b.size()));   // no case writes it
    return b;
}

qvColorMap map_of(std::initializer_list<qvColorMapEntry> entries, bool simple = true) {
    return qvColorMap(entries.begin(), static_cast<int>(entries.size()), simple);
}

const qvColorMap three = map_of({entry(255, 0, 0, 0), entry(0, 255, 0, 1), entry(0, 0, 255, 2)});

// Source pixel values 0..w*h-1 as RGBA quads (red x, green y, blue the index).
qvBitmap numbered(int w, int h) {
    Pixels v;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) v.push_back(quad(static_cast<unsigned>(x * 40), static_cast<unsigned>(y * 40),
                                                     static_cast<unsigned>(y * w + x)));
    return filled(qvRgbaBitmap, w, h, v);
}

// transform() of the whole source into a destination of the clipping's size.
qvBitmap transformed(qvBitmapReference const& src, qvTransformation const& t, bool smooth, int type = qvRgbaBitmap,
                     qvBitmap* mask = nullptr) {
    const qvBitmapTransformation bt(t, smooth);
    const qvBitmapFrame c = bt.query_frame(qvBitmapFrame(src));
    qvBitmap dst = blank(type, c.width(), c.height());
    if (mask) *mask = blank(qvMonochromeBitmap, c.width(), c.height());
    bt.transform(src, dst, mask ? qvBitmapReference(*mask) : qvBitmapReference(), nullptr);
    return dst;
}

// ---- a request and its faults ------------------------------------------------------------

// A valid 1:1 request: indexed 4 x 3 source with three colours, RGBA
// destination, mask; each fault below changes one thing. Header faults edit
// copies of the headers, so the bitmaps themselves stay valid to compare.
struct Request {
    qvBitmap src = filled(qvIndexedBitmap, 4, 3, Pixels(12, 1));
    qvBitmap dst = blank(qvRgbaBitmap, 4, 3);
    qvBitmap mask = blank(qvMonochromeBitmap, 4, 3);
    qvBitmapFrame sf{0, 0, 4, 3}, clip{0, -3, 4, 0}, df{0, 0, 4, 3}, mf{0, 0, 4, 3};
    bool smooth = false;
    qvTransformation t;
    std::function<void(qvBitmapHeader& src, qvBitmapHeader& dst, qvBitmapHeader& mask)> edit;

    Request() { src.colormap(three); }

    std::string run() {
        const qvBitmap dst_before = copy_of(dst), mask_before = copy_of(mask);
        qvBitmapHeader hs = *src.header(), hd = *dst.header(), hm = *mask.header();
        if (edit) edit(hs, hd, hm);
        auto view = [](qvBitmapHeader& h, qvBitmap const& b) {
            return qvBitmapReference(&h, b.data(), b.colormap().data());
        };
        const std::string text = raised<qvErrorFrom<qvBitmapTransformation>>([&] {
            qvBitmapTransformation(t, smooth).transform_extended(view(hs, src), sf, clip, view(hd, dst), df,
                                                                 view(hm, mask), mf, nullptr);
        });
        if (text != "(nothing raised)") {
            EXPECT_TRUE(same_bytes(dst, dst_before) && same_bytes(mask, mask_before)) << text << ": written";
        }
        return text;
    }
};

using Fault = std::function<void(Request&)>;

// The fault of each check, in the checks' order.
const std::vector<std::pair<Fault, std::string>> faults = {
    {[](Request& r) { r.edit = [](qvBitmapHeader& h, qvBitmapHeader&, qvBitmapHeader&) { h.row_bytes = 13; }; },
     "Invalid bitmap header"},
    {[](Request& r) { r.sf = qvBitmapFrame(0, 0, 5, 3); }, "The frame of the source bitmap is outside limits"},
    {[](Request& r) { r.df = qvBitmapFrame(1, 0, 5, 3); }, "The frame of the destination bitmap is outside limits"},
    {[](Request& r) { r.df = qvBitmapFrame(0, 0, 3, 3); },
     "The frame of the destination bitmap does not match the clipping"},
    {[](Request& r) { r.mf = qvBitmapFrame(0, 0, 4, 4); }, "The frame of the mask bitmap is outside limits"},
    {[](Request& r) { r.mask = blank(qvIndexedBitmap, 4, 3); }, "Mask should be a monochrome bitmap"},
    {[](Request& r) { r.mf = qvBitmapFrame(0, 1, 4, 3); }, "The frame of the mask bitmap does not match the clipping"},
    {[](Request& r) {
         r.src = blank(qvRgbaBitmap, 4, 3);
         r.dst = blank(qvIndexedBitmap, 4, 3);
     },
     "Cannot deduce the destination colormap"},
    {[](Request& r) { r.src.colormap(qvColorMap()); }, "Indexed or monochrome source should have a colormap"},
    {[](Request& r) { r.clip = qvBitmapFrame(1, -3, 5, 0); },
     "In 1:1 transformation the clipping should be within the source frame"},
};

}  // namespace

// ---- checks ------------------------------------------------------------------------------

TEST(qvBitmapTransformationChecks, Each_check_raises_its_own_text_before_writing_anything) {
    EXPECT_EQ(Request().run(), "(nothing raised)");
    for (auto const& [fault, text] : faults) {
        Request r;
        fault(r);
        EXPECT_EQ(r.run(), text);
    }
}

TEST(qvBitmapTransformationChecks, Of_two_neighbouring_faults_the_earlier_check_raises) {
    for (std::size_t n = 0; n + 1 < faults.size(); ++n) {
        Request r;
        faults[n + 1].first(r);
        faults[n].first(r);
        EXPECT_EQ(r.run(), faults[n].second) << "checks " << n << " and " << n + 1;
    }
    // Cannot deduce (mode 2 needs a table) before the missing source colours.
    Request r;
    r.src.colormap(qvColorMap());
    r.dst = blank(qvIndexedBitmap, 4, 3);
    r.smooth = true;
    EXPECT_EQ(r.run(), "Cannot deduce the destination colormap");
}

TEST(qvBitmapTransformationChecks, Headers_that_contradict_themselves_or_their_storage_are_refused) {
    const std::vector<std::function<void(qvBitmapHeader&)>> contradictions = {
        [](qvBitmapHeader& h) { h.width = -1; },
        [](qvBitmapHeader& h) { h.pixel_size = h.pixel_size == 1 ? 4 : 1; },
        [](qvBitmapHeader& h) { h.row_bytes = 2; },
        [](qvBitmapHeader& h) { h.row_bytes += 4; },   // image size no longer row bytes x height
        [](qvBitmapHeader& h) { h.image_size += 1; },
        [](qvBitmapHeader& h) { h.color_count = 257; },
    };
    for (int which = 0; which < 3; ++which) {
        for (auto const& contradiction : contradictions) {
            Request r;
            r.edit = [&](qvBitmapHeader& s, qvBitmapHeader& d, qvBitmapHeader& m) {
                contradiction(which == 0 ? s : which == 1 ? d : m);
            };
            EXPECT_EQ(r.run(), "Invalid bitmap header") << which;
        }
    }
    // Storage missing behind a valid header.
    Request r;
    qvBitmapHeader header = *r.src.header();
    const qvBitmapReference no_pixels(&header, nullptr, r.src.colormap().data());
    const qvBitmapReference no_colors(&header, r.src.data(), nullptr);
    for (qvBitmapReference const& view : {no_pixels, no_colors}) {
        EXPECT_EQ(raised<qvErrorFrom<qvBitmapTransformation>>([&] {
                      qvBitmapTransformation().transform(view, r.dst, r.mask, nullptr);
                  }),
                  "Invalid bitmap header");
    }
    // Views of no pixels need no storage, also with rows: nothing is read or written
    // (the sanitizer build watches for addresses formed from no storage).
    for (int height : {0, 3}) {
        for (bool smooth : {false, true}) {
            qvBitmapHeader none(qvRgbaBitmap, 0, height), none_dst = none;
            EXPECT_EQ(raised<qvError>([&] {
                          qvBitmapTransformation(qvTransformation(), smooth)
                              .transform(qvBitmapReference(&none, nullptr, nullptr),
                                         qvBitmapReference(&none_dst, nullptr, nullptr), qvBitmapReference(), nullptr);
                      }),
                      "(nothing raised)");
        }
    }
}

TEST(qvBitmapTransformationChecks, Reversed_frames_lie_outside_and_transform_needs_the_clipping_size) {
    Request r;
    r.sf.x1 = 3, r.sf.x2 = 1;
    EXPECT_EQ(r.run(), "The frame of the source bitmap is outside limits");
    qvBitmap src = numbered(4, 3), dst = blank(qvRgbaBitmap, 3, 4);
    EXPECT_EQ(raised<qvErrorFrom<qvBitmapTransformation>>(
                  [&] { qvBitmapTransformation().transform(src, dst, qvBitmapReference(), nullptr); }),
              "The frame of the destination bitmap does not match the clipping");
}

// ---- dispatch ----------------------------------------------------------------------------

TEST(qvBitmapTransformationDispatch, Identity_RGBA_copies_quads_with_alpha_and_with_smoothing_makes_them_opaque) {
    const qvBitmap src = filled(qvRgbaBitmap, 2, 1, {quad(10, 20, 30, 40), quad(50, 60, 70, 0)});
    EXPECT_EQ(pixels(transformed(src, qvTransformation(), false)), (Pixels{quad(10, 20, 30, 40), quad(50, 60, 70, 0)}));
    EXPECT_EQ(pixels(transformed(src, qvTransformation(), true)), (Pixels{quad(10, 20, 30), quad(50, 60, 70)}));
    // With a mask and no transparent colour, every pixel is covered.
    qvBitmap mask;
    EXPECT_EQ(pixels(transformed(src, qvTransformation(), false, qvRgbaBitmap, &mask)),
              (Pixels{quad(10, 20, 30, 40), quad(50, 60, 70, 0)}));
    EXPECT_EQ(pixels(mask), (Pixels{1, 1}));

    // On a sub-frame the identity's clipping moves back onto that frame.
    const qvBitmap big = numbered(5, 4);
    const qvBitmapFrame sf(1, 2, 4, 4);
    const qvBitmapFrame c = qvBitmapTransformation().query_frame(sf);
    qvBitmap part = blank(qvRgbaBitmap, 3, 2);
    qvBitmapTransformation().transform_extended(big, sf, c, part, qvBitmapFrame(part), qvBitmapReference(),
                                                qvBitmapFrame(), nullptr);
    EXPECT_EQ(pixels(part), (Pixels{get(big, 1, 2), get(big, 2, 2), get(big, 3, 2), get(big, 1, 3), get(big, 2, 3),
                                    get(big, 3, 3)}));
}

TEST(qvBitmapTransformationDispatch, Monochrome_identities_sample_while_indexed_ones_copy) {
    // Sampling drops transparent pixels even without a mask; a copy keeps them.
    qvBitmap mono = filled(qvMonochromeBitmap, 4, 1, {1, 0, 1, 1});
    mono.colormap(map_of({entry(0, 0, 0, 0), entry(255, 255, 255, 1)}));
    mono.transparent_index(1);
    qvBitmap mono_dst = blank(qvMonochromeBitmap, 4, 1);
    mono_dst.colormap(map_of({entry(255, 255, 255, 0), entry(0, 0, 0, 1)}));
    qvBitmapTransformation().transform(mono, mono_dst, qvBitmapReference(), nullptr);
    EXPECT_EQ(pixels(mono_dst), (Pixels{0, 1, 0, 0}));   // black is 1 there; transparent gives 0

    qvBitmap indexed = filled(qvIndexedBitmap, 4, 1, {1, 0, 1, 1});
    indexed.transparent_index(1);
    EXPECT_EQ(pixels(transformed(indexed, qvTransformation(), false, qvIndexedBitmap)), (Pixels{1, 0, 1, 1}));
}

TEST(qvBitmapTransformationDispatch, Colourless_indexed_pixels_copy_raw_but_need_colours_to_convert) {
    const qvBitmap raw = filled(qvIndexedBitmap, 3, 1, {200, 7, 255});
    EXPECT_EQ(pixels(transformed(raw, qvTransformation(), false, qvIndexedBitmap)), (Pixels{200, 7, 255}));
    EXPECT_EQ(pixels(transformed(raw, qvTransformation(-1, 0, 0, 1, 0, 0), false, qvIndexedBitmap)),
              (Pixels{0, 255, 7}));   // raw nearest: the mirror's first column is uncovered (transparent 0)
    const qvBitmap rgba = numbered(3, 1);
    EXPECT_EQ(raised<qvErrorFrom<qvBitmapTransformation>>(
                  [&] { transformed(rgba, qvTransformation(), false, qvIndexedBitmap); }),
              "Cannot deduce the destination colormap");
    EXPECT_EQ(raised<qvErrorFrom<qvBitmapTransformation>>(
                  [&] { transformed(raw, qvTransformation(), false, qvRgbaBitmap); }),
              "Indexed or monochrome source should have a colormap");
}

TEST(qvBitmapTransformationDispatch, Indices_refer_to_the_destination_colours_else_the_source_colours_else_the_table) {
    std::mt19937 rng(7);
    qvColorMap src_map = random_map(rng, 6, true);
    const qvColorMap dst_map = random_map(rng, 5, false);
    qvBitmap src = random_bitmap(rng, qvIndexedBitmap, 5, 4, &src_map);
    const qvTransformation twice(2, 0, 0, 2, 0, 0);
    const qvBitmapTransformation bt(twice, true);
    const qvBitmapFrame sf(src), c = bt.query_frame(sf);
    auto expected = [&](qvColorMapReference const& table_map, qvColorMapReference const& dst_colors) {
        qvBitmap want = blank(qvIndexedBitmap, c.width(), c.height());
        want.colormap(dst_colors);
        const qvRgbToIndex table(table_map);
        generic(worker_form(twice, sf), 2, src, sf, c, want, qvBitmapFrame(want), qvBitmapReference(),
                qvBitmapFrame(), &table);
        return pixels(want);
    };
    qvBitmap dst = blank(qvIndexedBitmap, c.width(), c.height());
    dst.colormap(dst_map);
    bt.transform(src, dst, qvBitmapReference(), nullptr);
    EXPECT_EQ(pixels(dst), expected(dst_map, dst_map));

    qvBitmap colourless = blank(qvIndexedBitmap, c.width(), c.height());
    bt.transform(src, colourless, qvBitmapReference(), nullptr);
    EXPECT_EQ(pixels(colourless), expected(src_map, qvColorMap()));

    const qvColorMap given_map = random_map(rng, 9, true);
    const qvRgbToIndex given(given_map);
    bt.transform(src, dst, qvBitmapReference(), &given);
    EXPECT_EQ(pixels(dst), expected(given_map, dst_map));
}

TEST(qvBitmapTransformationDispatch, Whole_requests_sample_where_the_reference_does_also_on_sub_frames) {
    // Through transform_extended: the worker form (frame corner moved to the
    // origin, linear part transposed) and the mode reach the worker.
    std::mt19937 rng(11);
    const qvTransformation turns[] = {qvTransformation(2, 0, 0, 2, 0, 0), qvTransformation(0, -1, 1, 0, 0, 0),
                                      qvTransformation(0, 1, -1, 0, 0, 0), qvRotation(30),
                                      qvTransformation(1, 0.5, 0.25, -1, 0, 0)};
    for (int round = 0; round < 400; ++round) {
        const qvTransformation& t = turns[round % 5];
        const bool smooth = (round / 5) % 2 != 0;
        const int type = (round / 10) % 2 ? qvIndexedBitmap : qvRgbaBitmap;
        qvColorMap map = random_map(rng, 4, true);
        qvBitmap src = random_bitmap(rng, type, 1 + static_cast<int>(rng() % 7), 1 + static_cast<int>(rng() % 7),
                                     type == qvIndexedBitmap ? &map : nullptr);
        const qvBitmapFrame sf(static_cast<int>(rng() % (src.width() + 1)),
                               static_cast<int>(rng() % (src.height() + 1)),
                               static_cast<int>(rng() % (src.width() + 1)),
                               static_cast<int>(rng() % (src.height() + 1)));
        const qvBitmapTransformation bt(t, smooth);
        const qvBitmapFrame c = bt.query_frame(sf);
        qvBitmap dst = blank(qvRgbaBitmap, c.width(), c.height()), want = copy_of(dst);
        bt.transform_extended(src, sf, c, dst, qvBitmapFrame(dst), qvBitmapReference(), qvBitmapFrame(), nullptr);
        const int mode = smooth ? 2 : type == qvRgbaBitmap ? 0 : 1;
        generic(worker_form(t, sf), mode, src, sf, c, want, qvBitmapFrame(want), qvBitmapReference(),
                qvBitmapFrame(), nullptr);
        ASSERT_EQ(pixels(dst), pixels(want)) << "round " << round;
    }
}

// ---- hand-worked cases -------------------------------------------------------------------

TEST(qvBitmapTransformationSamples, Bilinear_samples_pixel_centres_a_checkerboard_stays_sharp) {
    Pixels board;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) board.push_back((x + y) % 2 ? quad(255, 255, 255, 7) : quad(0, 0, 0, 7));
    const qvBitmap src = filled(qvRgbaBitmap, 8, 8, board);
    Pixels opaque = board;
    for (auto& p : opaque) p |= 0xFF000000u;
    EXPECT_EQ(pixels(transformed(src, qvTransformation(), true)), opaque);
}

TEST(qvBitmapTransformationSamples, A_grey_row_doubled_blends_in_both_rows) {
    for (int type : {qvRgbaBitmap, qvIndexedBitmap}) {
        qvBitmap src = type == qvRgbaBitmap
                           ? filled(type, 4, 1, {quad(10, 10, 10), quad(20, 20, 20), quad(30, 30, 30), quad(40, 40, 40)})
                           : filled(type, 4, 1, {0, 1, 2, 3});
        if (type == qvIndexedBitmap)
            src.colormap(map_of({entry(10, 10, 10, 0), entry(20, 20, 20, 1), entry(30, 30, 30, 2), entry(40, 40, 40, 3)}));
        Pixels row;
        for (unsigned v : {10, 12, 17, 22, 27, 32, 37, 40}) row.push_back(quad(v, v, v));
        Pixels both = row;
        both.insert(both.end(), row.begin(), row.end());
        EXPECT_EQ(pixels(transformed(src, qvTransformation(2, 0, 0, 2, 0, 0), true)), both) << type;
    }
}

TEST(qvBitmapTransformationSamples, Flips_and_quarter_turns_permute_pixels_exactly_when_smoothing) {
    const int w = 4, h = 3;
    const qvBitmap src = numbered(w, h);
    const Pixels p = pixels(src);
    auto at = [&](int x, int y) { return p[static_cast<std::size_t>(y * w + x)]; };
    struct Turn {
        qvTransformation t;
        int dw, dh;
        std::function<std::uint32_t(int, int)> source_of;
        bool nearest_exact;
    };
    const Turn turns[] = {
        {qvTransformation(), w, h, [&](int x, int y) { return at(x, y); }, true},
        {qvTransformation(1, 0, 0, -1, 0, 0), w, h, [&](int x, int y) { return at(x, h - 1 - y); }, true},
        {qvTransformation(-1, 0, 0, 1, 0, 0), w, h, [&](int x, int y) { return at(w - 1 - x, y); }, false},
        {qvTransformation(-1, 0, 0, -1, 0, 0), w, h, [&](int x, int y) { return at(w - 1 - x, h - 1 - y); }, false},
        {qvTransformation(0, -1, 1, 0, 0, 0), h, w, [&](int x, int y) { return at(w - 1 - y, x); }, true},
        {qvTransformation(0, 1, -1, 0, 0, 0), h, w, [&](int x, int y) { return at(y, h - 1 - x); }, false},
    };
    for (Turn const& turn : turns) {
        Pixels want;
        for (int y = 0; y < turn.dh; ++y)
            for (int x = 0; x < turn.dw; ++x) want.push_back(turn.source_of(x, y));
        const qvBitmap smooth = transformed(src, turn.t, true);
        EXPECT_EQ(smooth.width(), turn.dw);
        EXPECT_EQ(pixels(smooth), want) << turn.t.m0() << " " << turn.t.m1();
        if (turn.nearest_exact) {
            EXPECT_EQ(pixels(transformed(src, turn.t, false)), want);
        }
    }
}

TEST(qvBitmapTransformationSamples, Nearest_leaves_the_mirrors_first_column_uncovered) {
    // Kept: nearest samples at the historical positions.
    qvBitmap mask;
    qvBitmap src = numbered(4, 3);
    const qvBitmap mirrored = transformed(src, qvTransformation(-1, 0, 0, 1, 0, 0), false, qvRgbaBitmap, &mask);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(get(mirrored, 0, y), black);   // the destination's transparent value
        EXPECT_EQ(get(mask, 0, y), 0u);
        for (int x = 1; x < 4; ++x) EXPECT_EQ(get(mirrored, x, y), get(src, 4 - x, y));   // column 0 unread
    }
}

TEST(qvBitmapTransformationSamples, A_quarter_turned_sub_frame_comes_out_turned) {
    const qvBitmap src = numbered(4, 4);
    const qvBitmapFrame sf(1, 1, 3, 3);
    for (bool smooth : {false, true}) {
        const qvBitmapTransformation bt(qvTransformation(0, -1, 1, 0, 0, 0), smooth);
        const qvBitmapFrame c = bt.query_frame(sf);
        qvBitmap dst = blank(qvRgbaBitmap, 2, 2), mask = blank(qvMonochromeBitmap, 2, 2);
        bt.transform_extended(src, sf, c, dst, qvBitmapFrame(dst), mask, qvBitmapFrame(mask), nullptr);
        EXPECT_EQ(pixels(dst), (Pixels{get(src, 2, 1), get(src, 2, 2), get(src, 1, 1), get(src, 1, 2)})) << smooth;
        EXPECT_EQ(pixels(mask), (Pixels{1, 1, 1, 1}));
    }
}

TEST(qvBitmapTransformationSamples, Turned_45_degrees_the_outside_corners_are_black_or_transparent) {
    qvBitmap src = filled(qvRgbaBitmap, 4, 4, Pixels(16, quad(200, 100, 50)));
    qvBitmap mask;
    qvBitmap turned = transformed(src, qvRotation(45), true, qvRgbaBitmap, &mask);
    const int w = turned.width(), h = turned.height();
    for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
        EXPECT_EQ(get(turned, x, y), black);
        EXPECT_EQ(get(mask, x, y), 1u);
    }
    EXPECT_EQ(get(turned, w / 2, h / 2), quad(200, 100, 50));

    src.transparent_rgb(qvBitmapColor(1, 2, 3));
    const qvBitmapTransformation bt(qvRotation(45), true);
    qvBitmap dst = blank(qvRgbaBitmap, w, h);
    dst.transparent_rgb(qvBitmapColor(9, 8, 7));
    bt.transform(src, dst, mask, nullptr);
    for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
        EXPECT_EQ(get(dst, x, y), quad(9, 8, 7));
        EXPECT_EQ(get(mask, x, y), 0u);
    }
    EXPECT_EQ(get(dst, w / 2, h / 2), quad(200, 100, 50));
    EXPECT_EQ(get(mask, w / 2, h / 2), 1u);
}

TEST(qvBitmapTransformationSamples, Half_the_weight_covers_and_nearest_truncates_toward_zero) {
    // Halfway between an opaque and a transparent pixel: 32768 of 65536.
    qvBitmap src = filled(qvRgbaBitmap, 2, 1, {quad(250, 0, 0), quad(1, 2, 3)});
    src.transparent_rgb(qvBitmapColor(1, 2, 3));
    qvBitmap mask;
    const qvBitmap half = transformed(src, qvTransformation(0.5, 0, 0, 1, 0, 0), true, qvRgbaBitmap, &mask);
    EXPECT_EQ(pixels(half), (Pixels{quad(250, 0, 0)}));
    EXPECT_EQ(pixels(mask), (Pixels{1}));

    // Five times wider, one column further left: x = -1/5 - 1/2 = -0.7 reads column 0.
    const qvBitmap one = filled(qvRgbaBitmap, 1, 1, {quad(5, 6, 7, 8)});
    qvBitmap dst = blank(qvRgbaBitmap, 5, 1), bits = blank(qvMonochromeBitmap, 5, 1);
    qvBitmapTransformation(qvTransformation(5, 0, 0, 1, 0, 0), false)
        .transform_extended(one, qvBitmapFrame(one), qvBitmapFrame(-1, -1, 4, 0), dst, qvBitmapFrame(dst), bits,
                            qvBitmapFrame(bits), nullptr);
    EXPECT_EQ(get(dst, 0, 0), quad(5, 6, 7, 8));
    EXPECT_EQ(get(bits, 0, 0), 1u);
}

TEST(qvBitmapTransformationSamples, Colours_convert_through_both_maps_so_monochrome_can_invert) {
    qvBitmap src = filled(qvMonochromeBitmap, 8, 2, {1, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1});
    src.colormap(map_of({entry(255, 255, 255, 0), entry(0, 0, 0, 1)}));   // 0 is white
    qvBitmap dst = blank(qvMonochromeBitmap, 8, 2);
    dst.colormap(map_of({entry(0, 0, 0, 0), entry(255, 255, 255, 1)}));   // 0 is black
    qvBitmapTransformation().transform(src, dst, qvBitmapReference(), nullptr);
    Pixels inverted = pixels(src);
    for (auto& v : inverted) v ^= 1;
    EXPECT_EQ(pixels(dst), inverted);
}

TEST(qvBitmapTransformationSamples, Exact_indexed_copies_test_the_transparent_index_only_with_a_mask) {
    qvBitmap src = filled(qvIndexedBitmap, 4, 1, {0, 1, 2, 1});
    src.colormap(three);
    src.transparent_index(1);
    qvBitmap dst = blank(qvIndexedBitmap, 4, 1);
    dst.colormap(three);
    dst.transparent_index(7);
    qvBitmapTransformation().transform(src, dst, qvBitmapReference(), nullptr);
    EXPECT_EQ(pixels(dst), (Pixels{0, 1, 2, 1}));
    qvBitmap mask = blank(qvMonochromeBitmap, 4, 1);
    qvBitmapTransformation().transform(src, dst, mask, nullptr);
    EXPECT_EQ(pixels(dst), (Pixels{0, 7, 2, 7}));
    EXPECT_EQ(pixels(mask), (Pixels{1, 0, 1, 0}));
}

// ---- bad input ---------------------------------------------------------------------------

TEST(qvBitmapTransformationBadInput, A_singular_or_NaN_linear_part_covers_nothing) {
    const qvBitmap src = numbered(3, 3);
    const double not_a_number = std::numeric_limits<double>::quiet_NaN();
    for (qvTransformation t : {qvTransformation(1, 2, 0.5, 1, 0, 0), qvTransformation(0, 0, 0, 0, 0, 0),
                               qvTransformation(not_a_number, 0, 0, 1, 0, 0)}) {
        for (bool smooth : {false, true}) {
            qvBitmap dst = blank(qvRgbaBitmap, 3, 2), mask = blank(qvMonochromeBitmap, 3, 2);
            dst.transparent_rgb(qvBitmapColor(4, 5, 6));
            qvBitmapTransformation(t, smooth).transform_extended(src, qvBitmapFrame(src), qvBitmapFrame(0, -2, 3, 0),
                                                                 dst, qvBitmapFrame(dst), mask, qvBitmapFrame(mask),
                                                                 nullptr);
            EXPECT_EQ(pixels(dst), Pixels(6, quad(4, 5, 6)));
            EXPECT_EQ(pixels(mask), Pixels(6, 0));
        }
    }
    qvBitmap dst = blank(qvRgbaBitmap, 3, 3);
    EXPECT_EQ(raised<qvErrorFrom<qvBitmapTransformation>>([&] {
                  qvBitmapTransformation(qvTransformation(not_a_number, 0, 0, 1, 0, 0), true)
                      .transform(src, dst, qvBitmapReference(), nullptr);
              }),
              "Bitmap frame out of range");
}

TEST(qvBitmapTransformationBadInput, Values_beyond_the_colour_map_fail_its_checks_after_earlier_pixels) {
    // Identity map: the assertion; sorted map: the search's error.
    qvBitmap src = filled(qvIndexedBitmap, 4, 1, {0, 1, 5, 0});
    src.colormap(map_of({entry(1, 2, 3, 0), entry(4, 5, 6, 1)}));
    qvBitmap dst = blank(qvRgbaBitmap, 4, 1);
    EXPECT_EQ(assertion_text([&] { qvBitmapTransformation().transform(src, dst, qvBitmapReference(), nullptr); }),
              "i < _size");
    EXPECT_EQ(pixels(dst)[0], quad(1, 2, 3));
    EXPECT_EQ(pixels(dst)[1], quad(4, 5, 6));
    EXPECT_EQ(pixels(dst)[3], 0x5A5A5A5Au);

    src.colormap(map_of({entry(1, 2, 3, 0), entry(4, 5, 6, 1)}, false));
    EXPECT_EQ(raised<qvErrorFrom<qvColorMapReference>>(
                  [&] { qvBitmapTransformation().transform(src, dst, qvBitmapReference(), nullptr); }),
              "Wrong colormap index specified");
    // Smoothing into an indexed destination builds a table for the call; it
    // is freed when the lookup raises (the sanitizer build watches).
    qvBitmap indexed_dst = blank(qvIndexedBitmap, 8, 2);
    indexed_dst.colormap(three);
    EXPECT_EQ(raised<qvErrorFrom<qvColorMapReference>>([&] {
                  qvBitmapTransformation(qvTransformation(2, 0, 0, 2, 0, 0), true)
                      .transform(src, indexed_dst, qvBitmapReference(), nullptr);
              }),
              "Wrong colormap index specified");
}

TEST(qvBitmapTransformationBadInput, A_type_outside_the_three_finds_no_worker_and_writes_nothing) {
    const qvBitmap src = numbered(2, 2);
    qvBitmap odd(qvBitmapLayout(4, 1), 2, 2);
    std::memset(odd.data(), 0x5A, static_cast<std::size_t>(odd.size()));
    const qvBitmap before = copy_of(odd);
    EXPECT_NO_THROW(qvBitmapTransformation().transform(src, odd, qvBitmapReference(), nullptr));
    EXPECT_NO_THROW(qvBitmapTransformation(qvRotation(10), true).transform_extended(
        src, qvBitmapFrame(src), qvBitmapFrame(0, -2, 2, 0), odd, qvBitmapFrame(odd), qvBitmapReference(),
        qvBitmapFrame(), nullptr));
    EXPECT_TRUE(same_bytes(odd, before));
}
