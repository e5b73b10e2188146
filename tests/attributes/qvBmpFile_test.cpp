// BMP files: the exact bytes written, round trips of the three bitmap types,
// the depths and row orders read, and the reader's refusals, none of which
// allocates more than its input holds.

#include <orvane/attributes/qvBmpFile.hpp>

#include "qvAttributeStreams.hpp"
#include "qvImageFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include "qvAllocationProbe.hpp"

using namespace image_test;
using attribute_test::raised;
using stream_test::bytes;
using Pixels = std::vector<unsigned char>;

namespace {

// A BMP file put together field by field, for the reader tests.
struct BmpSpec {
    std::string signature = "BM";
    std::uint32_t header_size = 40;
    std::int32_t width = 1, height = 1;
    std::uint16_t bits = 8;
    std::uint32_t compression = 0, ppm = 2834, colors_used = 0;
    std::int64_t offset = -1;  // -1: right after the table
    std::string table = "", pixels = "";

    std::string build() const {
        std::string f = signature + std::string(52, '\0');
        put_u32(f, 2, static_cast<std::uint32_t>(54 + table.size() + pixels.size()));
        put_u32(f, 10, static_cast<std::uint32_t>(offset >= 0 ? offset : 54 + std::int64_t(table.size())));
        put_u32(f, 14, header_size);
        put_u32(f, 18, static_cast<std::uint32_t>(width));
        put_u32(f, 22, static_cast<std::uint32_t>(height));
        put_u16(f, 26, 1);
        put_u16(f, 28, bits);
        put_u32(f, 30, compression);
        put_u32(f, 38, ppm);
        put_u32(f, 42, ppm);
        put_u32(f, 46, colors_used);
        return f + table + pixels;
    }
};

std::string grey_table(int n) {  // entry i is (i, i, i)
    std::string t;
    for (int i = 0; i < n; ++i) t += std::string(3, static_cast<char>(i)) + '\0';
    return t;
}

qvBitmap loaded(std::string const& file) {
    qvBitmap bitmap;
    load_bmp(file, bitmap);
    return bitmap;
}

// The text of the E that reading `file` raises; the read must leave the target as it was.
template <class E = qvErrorFrom<qvInputStream>>
std::string refusal(std::string const& file) {
    const qvBitmap before = indexed_bitmap(2, 1, {7, 9}, 3);
    qvBitmap target = before;
    const std::string text = raised<E>([&] { load_bmp(file, target); });
    EXPECT_TRUE(target == before && pixel_bytes(target) == (Pixels{7, 9})) << text;
    return text;
}

}  // namespace

TEST(qvBmpFileWrite, Rgba_3x2_at_72_dpi_is_the_78_byte_file) {
    const qvBitmap bitmap = rgba_bitmap(3, 2);
    const std::string f = save_bmp(bitmap);
    ASSERT_EQ(f.size(), 78u);
    EXPECT_EQ(f.substr(0, 54), bytes("42 4D 4E 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 03 00 00 00 "
                                     "02 00 00 00 01 00 20 00 00 00 00 00 18 00 00 00 12 0B 00 00 "
                                     "12 0B 00 00 00 00 00 00 00 00 00 00"));
    auto row = [&](int y) { return std::string(reinterpret_cast<char const*>(bitmap.scan_line(y)), 12); };
    EXPECT_EQ(f.substr(54), row(1) + row(0));  // bottom-up
}

TEST(qvBmpFileWrite, Colour_tables) {
    qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), 10, 2);
    mono.colormap(indexed_bitmap(1, 1, {0}, 2).colormap());  // ignored: written black and white
    EXPECT_EQ(save_bmp(mono).substr(46, 4), bytes("02 00 00 00"));
    EXPECT_EQ(save_bmp(mono).substr(54, 8), bytes("00 00 00 00 FF FF FF 00"));
    EXPECT_EQ(u32_at(save_bmp(qvBitmap(qvBitmapLayout(qvIndexedBitmap), 2, 2)), 10), 54u);  // empty map: no table

    qvColorMapEntry gapped[] = {{qvBitmapColor(10, 20, 30), 5}, {qvBitmapColor(40, 50, 60), 1}};
    qvBitmap indexed = indexed_bitmap(2, 1, {5, 1}, 0);
    indexed.colormap(qvColorMap(gapped, 2, false));
    const std::string f = save_bmp(indexed);  // entries at the slots of their index bytes
    EXPECT_EQ(u32_at(f, 46), 6u);
    EXPECT_EQ(f.substr(54, 24), bytes("00 00 00 00 3C 32 28 00 00 00 00 00 00 00 00 00 00 00 00 00 1E 14 0A 00"));
    EXPECT_EQ(rgb_of(loaded(f)).rgb, (std::vector<std::optional<std::uint32_t>>{0x0A141E, 0x28323C}));

    qvBitmapHeader none;  // type -1
    EXPECT_EQ(raised<qvAssertionError>([&] { save_bmp(qvBitmapReference(&none, nullptr, nullptr)); }), "false");
}

TEST(qvBmpFileWrite, Headers_that_disagree_with_their_rows_and_bitmaps_without_pixels_are_refused_before_any_byte) {
    const qvBitmap bitmap = rgba_bitmap(3, 2);
    for (auto [width, bits, text] : {std::tuple{4, bitmap.data(), "the header describes the bitmap's rows"},
                                     {3, static_cast<unsigned char*>(nullptr), "bitmap.data()"}}) {
        qvBitmapHeader header = *bitmap.header();
        header.width = width;
        const auto save = [](qvOutputStream& out, qvBitmapReference const& view) { qvSaveToBmp(out, view); };
        EXPECT_EQ(refusal_of(qvBitmapReference(&header, bits, nullptr), save), std::pair(std::string(text), std::size_t{0}));
    }
}

TEST(qvBmpFileRoundTrip, Written_types_keep_pixels_maps_and_resolutions_at_every_padding) {
    for (int width : {1, 2, 3, 4, 5, 7, 9, 17}) {
        Pixels pixels;
        for (int i = 0; i < width * 3; ++i) pixels.push_back(static_cast<unsigned char>(i * 37));
        qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), width, 3);
        for (int y = 0; y < 3; ++y) mono.scan_line(y)[0] = static_cast<unsigned char>(0x5A + y);
        for (qvBitmap const& bitmap : {indexed_bitmap(width, 3, pixels), rgba_bitmap(width, 3), mono}) {
            const std::string f = save_bmp(bitmap);
            const qvBitmap back = loaded(f);
            EXPECT_EQ(back.type(), bitmap.type()) << width;
            EXPECT_EQ(pixel_bytes(back), pixel_bytes(bitmap)) << "type " << bitmap.type() << " width " << width;
            EXPECT_EQ(save_bmp(back), f);  // the map included
        }
    }
    qvBitmap dpi = rgba_bitmap(1, 1);
    dpi.dpi(96, 300);
    EXPECT_EQ(std::pair(loaded(save_bmp(dpi)).dpi_x(), loaded(save_bmp(dpi)).dpi_y()), std::pair(96, 300));
    for (std::uint32_t ppm : {0u, 2835u, 1u}) {
        const qvBitmap b = loaded(BmpSpec{.bits = 32, .ppm = ppm, .pixels = std::string(4, '\0')}.build());
        EXPECT_EQ(std::pair(b.dpi_x(), b.dpi_y()), std::pair(72, 72)) << ppm;
    }
}

TEST(qvBmpFileRead, Depths_padding_and_row_order) {
    // 24 bits: 1 pad byte per row at width 1, rows bottom-up.
    const qvBitmap a =
        loaded(BmpSpec{.height = 2, .bits = 24, .pixels = bytes("01 02 03 00 04 05 06 00")}.build());
    EXPECT_EQ(a.type(), qvRgbaBitmap);
    EXPECT_EQ(pixel_bytes(a), (Pixels{4, 5, 6, 0, 1, 2, 3, 0}));
    // 4 bits: a byte a pixel, high nibble first.
    const qvBitmap b =
        loaded(BmpSpec{.width = 3, .bits = 4, .table = grey_table(16), .pixels = bytes("AB C0 00 00")}.build());
    EXPECT_EQ(b.colormap().size(), 16);
    EXPECT_EQ(pixel_bytes(b), (Pixels{0xA, 0xB, 0xC}));
    // 16 bits keep their 5-bit channels: 0x7C00 is red, 0x001F blue.
    EXPECT_EQ(pixel_bytes(loaded(BmpSpec{.width = 2, .bits = 16, .pixels = bytes("00 7C 1F 00")}.build())),
              (Pixels{0, 0, 0x1F, 0, 0x1F, 0, 0, 0}));
    // A negative height stores the rows top-down.
    const qvBitmap c = loaded(
        BmpSpec{.height = -2, .colors_used = 2, .table = grey_table(2), .pixels = bytes("01 00 00 00 00 00 00 00")}
            .build());
    EXPECT_EQ(pixel_bytes(c), (Pixels{1, 0}));
    // Bytes between the table and the pixels are skipped.
    EXPECT_EQ(pixel_bytes(loaded(
                  BmpSpec{.bits = 32, .offset = 60, .pixels = bytes("FF FF FF FF FF FF 01 02 03 04")}.build())),
              (Pixels{1, 2, 3, 4}));
}

TEST(qvBmpFileRead, Refusals_have_their_messages_and_leave_the_target) {
    EXPECT_EQ(refusal(BmpSpec{.header_size = 12}.build()), "Unknown version of bitmap");
    EXPECT_EQ(refusal(BmpSpec{.compression = 1}.build()), "Compressed and custom bitmaps not supported");
    EXPECT_EQ(refusal(BmpSpec{.signature = "BX"}.build()), "Invalid bitmap signature on input");
    EXPECT_EQ(refusal(BmpSpec{.bits = 2}.build()), "Invalid bit count of bitmap on input");
    EXPECT_EQ(refusal(BmpSpec{.width = 4, .height = 2, .table = grey_table(256), .pixels = bytes("01 02 03 04 05")}
                          .build()),
              "Incomplete bitmap on input");
    // INT32_MAX x INT32_MAX: the size check's product overflowed 64 bits
    // (bmp_fuzz, 24 bits a pixel, 2,041,053,185 x 1,509,949,511).
    for (auto [w, h] : {std::pair{0, 1}, {1, INT32_MIN}, {50000, 50000}, {INT32_MAX, 1}, {INT32_MAX, INT32_MAX}})
        for (std::uint16_t bits : {24, 32})
            EXPECT_EQ(refusal(BmpSpec{.width = w, .height = h, .bits = bits}.build()), "Invalid bitmap size on input")
                << w << " x " << h << " x " << bits;
    EXPECT_EQ(refusal<qvErrorFrom<qvColorMap>>(BmpSpec{.colors_used = 0xFFFFFFFF}.build()),
              "The number of colors cannot be greater then 256.");
    EXPECT_EQ(refusal(BmpSpec{.bits = 4, .offset = 54, .table = grey_table(16)}.build()),
              "Invalid bitmap data offset on input");
}

TEST(qvBmpFileRead, A_file_cut_at_any_byte_is_incomplete_and_changes_nothing) {
    const std::string four =
        BmpSpec{.width = 3, .bits = 4, .table = grey_table(16), .pixels = bytes("12 30 00 00")}.build();
    for (std::string const& f : {save_bmp(rgba_bitmap(3, 2)), save_bmp(indexed_bitmap(3, 1, {1, 2, 3}, 4)), four})
        for (std::size_t n = 0; n < f.size(); ++n) {
            const std::string text = refusal(f.substr(0, n));
            EXPECT_TRUE(text == "Incomplete data on input" || text == "Incomplete bitmap on input") << n << text;
        }
}

// Found by bmp_fuzz: a 60-byte file announcing 40000 x 40000 pixels made the
// reader allocate and zero 1.6 GB before it noticed the missing rows.
TEST(qvBmpFileRead, A_huge_announced_image_over_short_data_fails_without_allocating_it) {
    for (auto [w, h, bits, message] : {std::tuple{40000, 40000, 8, "Incomplete bitmap on input"},
                                       {20000, -20000, 24, "Incomplete data on input"}}) {  // converted rows
        const std::string file = BmpSpec{.width = w, .height = h, .bits = static_cast<std::uint16_t>(bits),
                                         .table = grey_table(bits == 8 ? 256 : 0), .pixels = std::string(4096, 'U')}
                                     .build();
        qv_allocation_probe::reset();
        EXPECT_EQ(refusal(file), message) << bits;
        EXPECT_LT(qv_allocation_probe::largest_request, std::size_t{8} << 20) << bits;
    }
}
