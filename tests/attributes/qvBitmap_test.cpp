#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <string>

#include "qvAttributeStreams.hpp"
#include "qvFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

using attribute_test::Input;
using attribute_test::v000;
using qv_file_test::raises;
using stream_test::bytes;

// ---- allocation probe: the largest single request while armed ------------------
// new and delete are replaced together over malloc and free; g++ cannot see
// that and warns wherever it inlines the pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<bool> probe_armed{false};
std::atomic<std::size_t> largest_request{0};
}  // namespace

void* operator new(std::size_t n) {
    if (probe_armed && n > largest_request) largest_request = n;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

qvColorMapEntry entry(int r, int g, int b, int index) {
    return qvColorMapEntry(qvBitmapColor(r, g, b), static_cast<unsigned char>(index));
}

std::string saved(qvBitmap const& bitmap) {
    return attribute_test::written(v000, [&](qvOutputStream& os) { bitmap.save(os); });
}

qvBitmap loaded(std::string const& data) {
    Input in(v000, data);
    qvBitmap bitmap;
    bitmap.load(in.stream());
    return bitmap;
}

// A 2 x 2 indexed bitmap with pixels 1 2 / 3 4 and a 2-entry map.
qvBitmap small_indexed() {
    qvBitmap bitmap(qvIndexedBitmap, 2, 2);
    bitmap.pixel(0, 0)[0] = 1;
    bitmap.pixel(1, 0)[0] = 2;
    bitmap.pixel(0, 1)[0] = 3;
    bitmap.pixel(1, 1)[0] = 4;
    qvColorMapEntry colors[] = {entry(10, 20, 30, 0), entry(40, 50, 60, 1)};
    bitmap.colormap(qvColorMapReference(2, true, colors));
    return bitmap;
}

const char* const small_indexed_bytes =
    "02 00 00 00  01 00 00 00  04 00 00 00  02 00 00 00  02 00 00 00  08 00 00 00 "
    "02 00 00 00  01 00 00 00  48 00 00 00  48 00 00 00  00 00 00 00  00 00 00 00 "
    "01 02 00 00  03 04 00 00 "
    "0A 14 1E 00  28 32 3C 01";

// The 48 stream bytes of a header: on a little-endian machine the struct's
// own bytes, its offsets being fixed.
std::string header_bytes(qvBitmapHeader const& h) {
    return std::string(reinterpret_cast<char const*>(&h), sizeof h);
}

}  // namespace

// ---- views ---------------------------------------------------------------------------

TEST(qvBitmapReference, Addresses_rows_and_pixels_from_the_header) {
    qvBitmapHeader header(qvRgbaBitmap, 3, 2);
    unsigned char bits[24] = {};
    const qvBitmapReference view(&header, bits, nullptr);
    EXPECT_EQ(view.size(), 24);
    EXPECT_EQ(view.scan_line(1), bits + 12);
    EXPECT_EQ(view.pixel(2, 1), bits + 20);
    EXPECT_EQ(view.layout().pixel_size, 4);
}

TEST(qvBitmapReference, Without_row_bytes_has_no_rows_and_the_stored_size) {
    qvBitmapHeader header;
    header.image_size = 77;
    const qvBitmapReference view(&header, nullptr, nullptr);
    EXPECT_EQ(view.size(), 77);
    EXPECT_EQ(view.scan_line(0), nullptr);
}

TEST(qvBitmapReference, Monochrome_pixels_have_no_byte_address) {
    const qvBitmap mono(qvMonochromeBitmap, 8, 1);
    try {
        (void)mono.pixel(0, 0);
        FAIL() << "no assertion";
    } catch (qvAssertionError const& error) {
        EXPECT_STREQ(static_cast<char const*>(error), "_header->_pixel_size > 0");
    }
}

TEST(qvBitmapReference, The_shared_empty_header_cannot_be_changed_through_a_view) {
    qvBitmapReference empty;
    EXPECT_EQ(empty.header(), qvBitmapReference(nullptr, nullptr, nullptr).header());
    EXPECT_THROW(empty.dpi(300), qvAssertionError);
    EXPECT_THROW(empty.transparent_index(3), qvAssertionError);
    EXPECT_EQ(qvBitmapReference().dpi_x(), 72);
    EXPECT_FALSE(qvBitmapReference().transparent());
}

// ---- sharing -------------------------------------------------------------------------

TEST(qvBitmapSharing, Copies_alias_pixels_and_compare_equal) {
    qvBitmap source(qvIndexedBitmap, 4, 4);
    const qvBitmap copy(source);
    *copy.pixel(3, 2) = 42;
    EXPECT_EQ(*source.pixel(3, 2), 42);
    EXPECT_TRUE(copy == source);
    EXPECT_NE(copy.header(), source.header());
    qvBitmap assigned;
    assigned = source;
    EXPECT_TRUE(assigned == source);
}

TEST(qvBitmapSharing, Identity_not_content_decides_equality) {
    EXPECT_FALSE(qvBitmap(qvIndexedBitmap, 2, 2) == qvBitmap(qvIndexedBitmap, 2, 2));
    EXPECT_TRUE(qvBitmap() == qvBitmap());
    const qvBitmap source = small_indexed();
    const qvBitmap deep{static_cast<qvBitmapReference const&>(source)};
    EXPECT_FALSE(deep == source);
    EXPECT_NE(deep.data(), source.data());
    EXPECT_EQ(std::memcmp(deep.data(), source.data(), 8), 0);
    EXPECT_EQ(deep.colormap()[1], entry(40, 50, 60, 1));
}

TEST(qvBitmapSharing, A_new_colour_map_detaches_only_that_copy) {
    qvBitmap source = small_indexed();
    const qvBitmap copy(source);
    qvColorMap grey(3);
    grey.data()[2] = entry(7, 7, 7, 2);
    source.colormap(grey);
    EXPECT_EQ(source.colormap().size(), 3);
    EXPECT_EQ(source.colormap()[2], entry(7, 7, 7, 2));
    EXPECT_EQ(copy.colormap().size(), 2);
    EXPECT_EQ(copy.colormap()[1], entry(40, 50, 60, 1));
    EXPECT_TRUE(source == copy);   // pixels still shared
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>(
        [&] { source.colormap(qvColorMapReference(257, true, nullptr)); },
        "The number of colors cannot be greater then 256."));
    EXPECT_EQ(source.colormap().size(), 3);
}

TEST(qvBitmapSharing, Assigning_a_view_of_itself_keeps_the_content) {
    qvBitmap bitmap = small_indexed();
    const qvBitmapReference view = bitmap;
    bitmap = view;
    EXPECT_EQ(saved(bitmap), bytes(small_indexed_bytes));
}

// ---- construction ------------------------------------------------------------------------

TEST(qvBitmapConstruction, New_pixels_and_header_padding_are_zero) {
    const qvBitmap bitmap(qvRgbaBitmap, 5, 3);
    for (long k = 0; k < bitmap.size(); ++k) ASSERT_EQ(bitmap.data()[k], 0) << k;
    const std::string out = saved(bitmap);
    EXPECT_EQ(out.substr(45, 3), std::string(3, '\0'));
    EXPECT_EQ(out.size(), 48u + 60u);
}

TEST(qvBitmapConstruction, Refuses_impossible_sizes_from_layouts_and_views) {
    EXPECT_TRUE(raises<qvErrorFrom<qvBitmapHeader>>([] { qvBitmap b(qvRgbaBitmap, 50000, 50000); },
                                                    "Invalid bitmap size"));
    qvBitmapHeader negative;
    negative.image_size = -4;
    EXPECT_TRUE(raises<qvErrorFrom<qvBitmapHeader>>(
        [&] { qvBitmap b(qvBitmapReference(&negative, nullptr, nullptr)); },
        "Invalid bitmap size"));
    qvBitmapHeader huge(qvRgbaBitmap, 1, 1);
    huge.height = 0x7FFFFFFF;
    EXPECT_TRUE(raises<qvErrorFrom<qvBitmapHeader>>(
        [&] { qvBitmap b(qvBitmapReference(&huge, nullptr, nullptr)); }, "Invalid bitmap size"));
    qvBitmapHeader many_colors;
    many_colors.color_count = 300;
    EXPECT_TRUE(raises<qvErrorFrom<qvColorMap>>(
        [&] { qvBitmap b(qvBitmapReference(&many_colors, nullptr, nullptr)); },
        "The number of colors cannot be greater then 256."));
}

// ---- stream form ---------------------------------------------------------------------------

TEST(qvBitmapStream, Indexed_2_by_2_saves_header_pixels_and_colours) {
    const qvBitmap bitmap = small_indexed();
    const std::string out = saved(bitmap);
    EXPECT_EQ(out.size(), 64u);
    EXPECT_EQ(out.substr(0, 48), header_bytes(*bitmap.header()));
    EXPECT_EQ(out, bytes(small_indexed_bytes));
    EXPECT_EQ(saved(loaded(out)), out);
}

TEST(qvBitmapStream, A_header_edited_past_the_storage_is_refused_not_overrun) {
    qvBitmap bitmap(qvIndexedBitmap, 2, 2);
    bitmap.header()->height = 100;
    EXPECT_THROW(saved(bitmap), qvAssertionError);
    bitmap.header()->height = 2;
    bitmap.header()->color_count = 3;
    EXPECT_THROW(saved(bitmap), qvAssertionError);
}

TEST(qvBitmapStream, Default_bitmap_saves_its_header_only_and_reloads) {
    const std::string out = saved(qvBitmap());
    EXPECT_EQ(out.size(), 48u);
    const qvBitmap back = loaded(out);
    EXPECT_EQ(back.type(), -1);
    EXPECT_EQ(back.size(), 0);
    EXPECT_EQ(saved(back), out);
}

TEST(qvBitmapStream, Load_keeps_every_header_byte_including_padding) {
    std::string data = bytes(small_indexed_bytes);
    data[40] = 1;   // transparent
    data[44] = 1;   // transparent index
    data[45] = '\x11';
    data[47] = '\x7F';
    EXPECT_EQ(saved(loaded(data)), data);
}

TEST(qvBitmapStream, Round_trips_are_byte_identical_at_edge_sizes) {
    std::mt19937 rng(20240612);
    const qvStandardBitmapType types[] = {qvMonochromeBitmap, qvIndexedBitmap, qvRgbaBitmap};
    for (int round = 0; round < 60; ++round) {
        qvBitmap bitmap(types[round % 3], round % 7, round % 5);
        for (long k = 0; k < bitmap.size(); ++k)
            bitmap.data()[k] = static_cast<unsigned char>(rng());
        qvColorMap map(round % 4);
        bitmap.colormap(map);
        bitmap.dpi(96, 300);
        const std::string out = saved(bitmap);
        ASSERT_EQ(out.size(), 48u + static_cast<std::size_t>(bitmap.size()) + 4u * (round % 4))
            << round;
        ASSERT_EQ(saved(loaded(out)), out) << round;
    }
}

TEST(qvBitmapStream, Short_data_leaves_the_bitmap_and_its_storage) {
    const std::string full = bytes(small_indexed_bytes);
    for (std::size_t cut : {0u, 20u, 47u, 48u, 53u, 56u, 60u, 63u}) {
        qvBitmap bitmap = small_indexed();
        const qvBitmap before(bitmap);
        Input in(v000, full.substr(0, cut));
        EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { bitmap.load(in.stream()); },
                                                       "Incomplete data on input"))
            << cut;
        EXPECT_TRUE(bitmap == before) << cut;
        EXPECT_EQ(bitmap.colormap().data(), before.colormap().data()) << cut;
        EXPECT_EQ(saved(bitmap), full) << cut;
    }
}

TEST(qvBitmapStream, Inconsistent_headers_are_refused_before_allocating) {
    const qvBitmapHeader good(qvRgbaBitmap, 3, 2);
    auto with = [&](auto change) {
        qvBitmapHeader h = good;
        change(h);
        return header_bytes(h);
    };
    // In order: negative sizes, an RGBA pixel size other than 4, a
    // monochrome one other than -8, row bytes without a pixel size, row
    // bytes not a multiple of 4, shorter than a row, an image size that is
    // not rows x height, colour counts outside 0..256, a negative image
    // size, and rows x height beyond 32 bits.
    const std::string bad[] = {
        with([](qvBitmapHeader& h) { h.width = -1; }),
        with([](qvBitmapHeader& h) { h.height = -1; }),
        with([](qvBitmapHeader& h) { h.pixel_size = 3; }),
        with([](qvBitmapHeader& h) { h.type = 1; }),
        with([](qvBitmapHeader& h) { h.pixel_size = 0, h.type = -1; }),
        with([](qvBitmapHeader& h) { h.row_bytes = 13, h.image_size = 26; }),
        with([](qvBitmapHeader& h) { h.row_bytes = 8, h.image_size = 16; }),
        with([](qvBitmapHeader& h) { h.image_size = 28; }),
        with([](qvBitmapHeader& h) { h.color_count = -1; }),
        with([](qvBitmapHeader& h) { h.color_count = 257; }),
        with([](qvBitmapHeader& h) { h = qvBitmapHeader(), h.image_size = -1; }),
        with([](qvBitmapHeader& h) { h.row_bytes = 0x40000000, h.height = 4, h.image_size = 0; }),
    };
    for (std::string const& header : bad) {
        qvBitmap bitmap = small_indexed();
        const qvBitmap before(bitmap);
        Input in(v000, header + std::string(1024, '\0'));
        EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { bitmap.load(in.stream()); },
                                                       "Invalid bitmap header on input"))
            << (&header - bad);
        EXPECT_TRUE(bitmap == before);
    }
}

TEST(qvBitmapStream, Standard_and_default_headers_all_pass_validation) {
    const qvStandardBitmapType types[] = {qvMonochromeBitmap, qvIndexedBitmap, qvRgbaBitmap};
    for (qvStandardBitmapType type : types)
        for (int width = 0; width < 20; ++width) {
            const qvBitmap bitmap(type, width, 2);
            ASSERT_EQ(saved(loaded(saved(bitmap))), saved(bitmap)) << type << " " << width;
        }
    qvBitmapHeader sized;   // layout (-1, 0) carries its size in the image size
    sized.image_size = 10;
    const qvBitmap raw{qvBitmapReference(&sized, nullptr, nullptr)};
    EXPECT_EQ(loaded(saved(raw)).size(), 10);
}

TEST(qvBitmapStream, A_huge_announced_image_on_a_short_stream_fails_without_a_huge_allocation) {
    qvBitmapHeader h;
    h.image_size = 0x7FFFFFF0;
    const std::string data = header_bytes(h) + std::string(10, '\x5A');
    qvBitmap bitmap;
    Input in(v000, data);
    largest_request = 0;
    probe_armed = true;
    const bool raised = raises<qvErrorFrom<qvInputStream>>([&] { bitmap.load(in.stream()); },
                                                           "Incomplete data on input");
    probe_armed = false;
    EXPECT_TRUE(raised);
    EXPECT_LE(largest_request.load(), std::size_t{1} << 20);
    EXPECT_EQ(bitmap.size(), 0);
}
