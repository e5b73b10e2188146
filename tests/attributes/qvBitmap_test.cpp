// Bitmap headers, shared storage, and the bitmap stream form (48-byte header,
// pixels, colour entries) with its refusals.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>

#include "qvAttributeStreams.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include "qvAllocationProbe.hpp"

#include <climits>
#include <cstring>
#include <functional>
#include <random>
#include <tuple>

using namespace attribute_test;
using stream_test::bytes;

namespace {

qvColorMapEntry entry(int r, int g, int b, int index) {
    return qvColorMapEntry(qvBitmapColor(r, g, b), static_cast<unsigned char>(index));
}
std::string saved(qvBitmap const& bitmap) {
    return written(v000, [&](qvOutputStream& os) { bitmap.save(os); });
}
qvBitmap loaded(std::string const& data) {
    Input in(v000, data);
    qvBitmap bitmap;
    bitmap.load(in.stream());
    return bitmap;
}
std::string header_bytes(qvBitmapHeader const& h) { return std::string(reinterpret_cast<char const*>(&h), sizeof h); }

// 2 x 2 indexed, pixels 1 2 / 3 4, a 2-entry map.
qvBitmap small_indexed() {
    qvBitmap bitmap(qvIndexedBitmap, 2, 2);
    for (int k = 0; k < 4; ++k) bitmap.pixel(k % 2, k / 2)[0] = static_cast<unsigned char>(k + 1);
    qvColorMapEntry colors[] = {entry(10, 20, 30, 0), entry(40, 50, 60, 1)};
    bitmap.colormap(qvColorMapReference(2, true, colors));
    return bitmap;
}
const std::string small_indexed_bytes =
    bytes("02 00 00 00  01 00 00 00  04 00 00 00  02 00 00 00  02 00 00 00  08 00 00 00 "
          "02 00 00 00  01 00 00 00  48 00 00 00  48 00 00 00  00 00 00 00  00 00 00 00 "
          "01 02 00 00  03 04 00 00  0A 14 1E 00  28 32 3C 01");

// Loading `data` into a copy of small_indexed() raises `message` and leaves it, storage included.
void expect_refused(std::string const& data, char const* message) {
    qvBitmap bitmap = small_indexed();
    const qvBitmap before(bitmap);
    Input in(v000, data);
    EXPECT_EQ(raised<qvErrorFrom<qvInputStream>>([&] { bitmap.load(in.stream()); }), message) << data.size();
    EXPECT_TRUE(bitmap == before);
    EXPECT_EQ(bitmap.colormap().data(), before.colormap().data());
    EXPECT_EQ(saved(bitmap), small_indexed_bytes);
}

}  // namespace

TEST(qvBitmapHeader, Rows_are_padded_to_4_bytes_even_when_empty_and_sizes_are_checked_without_overflow) {
    for (auto [type, w, h, row, image] : {std::tuple{qvRgbaBitmap, 3, 2, 12, 24}, {qvIndexedBitmap, 0, 5, 4, 20},
                                          {qvMonochromeBitmap, 10, 1, 4, 4},
                                          {qvIndexedBitmap, 4, 0x7FFFFFFF / 4, 4, 0x7FFFFFFC}}) {
        const qvBitmapHeader header(type, w, h);
        EXPECT_EQ(std::pair(header.row_bytes, header.image_size), std::pair(row, image)) << w << " x " << h;
    }
    for (auto [layout, w, h] : {std::tuple{qvBitmapLayout(qvRgbaBitmap), -1, 1}, {qvRgbaBitmap, 1, -1},
                                {qvRgbaBitmap, 50000, 50000}, {qvBitmapLayout(1, INT_MAX), INT_MAX, INT_MAX},
                                {qvRgbaBitmap, INT_MAX, 0}})  // the row alone is too long
        EXPECT_EQ(raised<qvErrorFrom<qvBitmapHeader>>([l = layout, w = w, h = h] { qvBitmapHeader x(l, w, h); }),
                  "Invalid bitmap size") << w << " x " << h;
    EXPECT_EQ(qvBitmapHeader(qvBitmapLayout(1, INT_MIN), INT_MAX, 1).row_bytes, 4);  // no negation overflow
}

TEST(qvBitmapReference, Stored_size_without_rows_monochrome_pixels_and_the_shared_empty_header) {
    qvBitmapHeader sized;
    sized.image_size = 77;  // no row bytes: the stored size, no rows
    EXPECT_EQ(qvBitmapReference(&sized, nullptr, nullptr).size(), 77);
    EXPECT_EQ(qvBitmapReference(&sized, nullptr, nullptr).scan_line(0), nullptr);
    EXPECT_EQ(assertion_text([] { (void)qvBitmap(qvMonochromeBitmap, 8, 1).pixel(0, 0); }),
              "_header->_pixel_size > 0");
    qvBitmapReference empty;  // its header is shared by every empty view
    EXPECT_THROW(empty.dpi(300), qvAssertionError);
}

TEST(qvBitmap, Copies_alias_pixels_and_identity_not_content_decides_equality) {
    qvBitmap source = small_indexed();
    const qvBitmap copy(source);
    *copy.pixel(1, 1) = 42;
    EXPECT_EQ(*source.pixel(1, 1), 42);
    EXPECT_FALSE(qvBitmap(qvIndexedBitmap, 2, 2) == qvBitmap(qvIndexedBitmap, 2, 2));
    const qvBitmap deep{static_cast<qvBitmapReference const&>(source)};
    EXPECT_FALSE(deep == source);
    EXPECT_EQ(std::memcmp(deep.data(), source.data(), 8), 0);
    source.colormap(qvColorMap(3));  // detaches only this copy's colours
    EXPECT_EQ(copy.colormap()[1], entry(40, 50, 60, 1));
    EXPECT_TRUE(source == copy);
}

TEST(qvBitmap, New_storage_is_zero_and_views_with_impossible_sizes_are_refused) {
    const qvBitmap bitmap(qvRgbaBitmap, 5, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char const*>(bitmap.data()), 60), std::string(60, '\0'));
    EXPECT_EQ(header_bytes(*bitmap.header()).substr(45), std::string(3, '\0'));
    auto from_view = [](qvBitmapHeader h) {
        return raised<qvError>([&] { qvBitmap b(qvBitmapReference(&h, nullptr, nullptr)); });
    };
    qvBitmapHeader huge(qvRgbaBitmap, 1, 1), many_colors;
    huge.height = 0x7FFFFFFF, many_colors.color_count = 300;
    EXPECT_EQ(from_view(huge), "Invalid bitmap size");
    EXPECT_EQ(from_view(many_colors), "The number of colors cannot be greater then 256.");
}

TEST(qvBitmap, Colour_counts_below_0_are_refused) {
    qvBitmap bitmap = small_indexed();
    qvColorMapEntry colors[] = {entry(1, 2, 3, 0)};
    char const* const too_many = "The number of colors cannot be greater then 256.";
    using MapError = qvErrorFrom<qvColorMap>;
    EXPECT_EQ(raised<MapError>([&] { bitmap.colormap(qvColorMapReference(-1, true, colors)); }), too_many);
    EXPECT_EQ(bitmap.colormap()[1], entry(40, 50, 60, 1));
    qvBitmapHeader negative;
    negative.color_count = -1;
    EXPECT_EQ(raised<MapError>([&] { qvBitmap b(qvBitmapReference(&negative, nullptr, colors)); }), too_many);
}

TEST(qvBitmapStream, Indexed_2_by_2_is_64_bytes_and_load_keeps_every_header_byte) {
    EXPECT_EQ(saved(small_indexed()), small_indexed_bytes);
    std::string data = small_indexed_bytes;
    data[40] = data[44] = 1;  // transparent, index 1
    data[45] = '\x11', data[47] = '\x7F';  // padding
    EXPECT_EQ(saved(loaded(data)), data);
    qvBitmap edited(qvIndexedBitmap, 2, 2);  // a header edited past the storage is refused, not overrun
    edited.header()->height = 100;
    EXPECT_THROW(saved(edited), qvAssertionError);
}

TEST(qvBitmapStream, Round_trips_are_byte_identical_at_edge_sizes_and_standard_headers_pass_validation) {
    std::mt19937 rng(20240612);
    const qvStandardBitmapType types[] = {qvMonochromeBitmap, qvIndexedBitmap, qvRgbaBitmap};
    for (int round = 0; round < 24; ++round) {
        qvBitmap bitmap(types[round % 3], round % 7, round % 5);
        for (long k = 0; k < bitmap.size(); ++k) bitmap.data()[k] = static_cast<unsigned char>(rng());
        bitmap.colormap(qvColorMap(round % 4));
        bitmap.dpi(96, 300);
        const std::string out = saved(bitmap);
        ASSERT_EQ(out.size(), 48u + static_cast<std::size_t>(bitmap.size()) + 4u * (round % 4)) << round;
        ASSERT_EQ(saved(loaded(out)), out) << round;
    }
    qvBitmapHeader sized;  // layout (-1, 0) carries its size in the image size
    sized.image_size = 10;
    EXPECT_EQ(loaded(saved(qvBitmap(qvBitmapReference(&sized, nullptr, nullptr)))).size(), 10);
}

TEST(qvBitmapStream, A_cut_at_any_byte_leaves_the_bitmap_and_its_storage) {
    for (std::size_t n = 0; n < small_indexed_bytes.size(); ++n)
        expect_refused(small_indexed_bytes.substr(0, n), "Incomplete data on input");
}

TEST(qvBitmapStream, Inconsistent_headers_are_refused_before_allocating) {
    const std::function<void(qvBitmapHeader&)> changes[] = {
        [](qvBitmapHeader& h) { h.width = -1; },             [](qvBitmapHeader& h) { h.pixel_size = 3; },
        [](qvBitmapHeader& h) { h.type = 1; },               [](qvBitmapHeader& h) { h.pixel_size = 0, h.type = -1; },
        [](qvBitmapHeader& h) { h.image_size = 28; },        [](qvBitmapHeader& h) { h.color_count = 257; },
        [](qvBitmapHeader& h) { h.row_bytes = 13, h.image_size = 26; },
        [](qvBitmapHeader& h) { h.row_bytes = 8, h.image_size = 16; },
        [](qvBitmapHeader& h) { h = qvBitmapHeader(), h.image_size = -1; },
        [](qvBitmapHeader& h) { h.row_bytes = 0x40000000, h.height = 4, h.image_size = 0; },
    };
    for (auto const& change : changes) {
        qvBitmapHeader h(qvRgbaBitmap, 3, 2);
        change(h);
        expect_refused(header_bytes(h) + std::string(1024, '\0'), "Invalid bitmap header on input");
    }
}

TEST(qvBitmapStream, A_huge_announced_image_on_a_short_stream_fails_without_a_huge_allocation) {
    qvBitmapHeader h;
    h.image_size = 0x7FFFFFF0;
    Input in(v000, header_bytes(h) + std::string(10, '\x5A'));
    qvBitmap bitmap;
    qv_allocation_probe::reset();
    EXPECT_EQ(raised<qvErrorFrom<qvInputStream>>([&] { bitmap.load(in.stream()); }), "Incomplete data on input");
    EXPECT_LE(qv_allocation_probe::largest_request, std::size_t{1} << 20);
    EXPECT_EQ(bitmap.size(), 0);
}
