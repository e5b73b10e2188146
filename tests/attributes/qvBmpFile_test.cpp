#include <orvane/attributes/qvBmpFile.hpp>

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "qvFileTestSupport.hpp"
#include "qvImageFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

using namespace image_test;
using qv_file_test::raises;
using stream_test::bytes;

namespace {

// A BMP file put together field by field, for the reader tests.
struct BmpSpec {
    std::string signature = "BM";
    std::uint32_t header_size = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bits = 8;
    std::uint32_t compression = 0;
    std::uint32_t ppm = 2834;
    std::uint32_t colors_used = 0;
    std::int64_t offset = -1;   // -1: right after the table
    std::string table;
    std::string pixels;

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

// A grey table of n entries: entry i is (i, i, i).
std::string grey_table(int n) {
    std::string t;
    for (int i = 0; i < n; ++i) t += std::string(3, static_cast<char>(i)) + '\0';
    return t;
}

qvBitmap loaded(std::string const& file) {
    qvBitmap bitmap;
    load_bmp(file, bitmap);
    return bitmap;
}

// A bitmap that a failed read must leave alone.
qvBitmap sentinel() { return indexed_bitmap(2, 1, {7, 9}, 3); }

::testing::AssertionResult unchanged(qvBitmap const& after, qvBitmap const& before) {
    if (after == before && after.width() == 2 && pixel_bytes(after) == std::vector<unsigned char>{7, 9})
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the target bitmap changed";
}

// Reading `file` raises E with `text` and leaves the target as it was.
template <class E>
::testing::AssertionResult refuses(std::string const& file, char const* text) {
    const qvBitmap before = sentinel();
    qvBitmap target = before;
    auto result = raises<E>([&] { load_bmp(file, target); }, text);
    if (!result) return result;
    return unchanged(target, before);
}

}   // namespace

// ---- writing ------------------------------------------------------------------------

TEST(qvBmpFileWrite, Rgba_3x2_at_72_dpi_is_the_78_byte_file) {
    const qvBitmap bitmap = rgba_bitmap(3, 2);
    const std::string f = save_bmp(bitmap);
    ASSERT_EQ(f.size(), 78u);
    EXPECT_EQ(f.substr(0, 54), bytes("42 4D 4E 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 03 00 00 00 "
                                     "02 00 00 00 01 00 20 00 00 00 00 00 18 00 00 00 12 0B 00 00 "
                                     "12 0B 00 00 00 00 00 00 00 00 00 00"));
    // Bottom-up: the file's first row is the bitmap's row 1.
    EXPECT_EQ(f.substr(54, 12), std::string(reinterpret_cast<char const*>(bitmap.scan_line(1)), 12));
    EXPECT_EQ(f.substr(66, 12), std::string(reinterpret_cast<char const*>(bitmap.scan_line(0)), 12));
}

TEST(qvBmpFileWrite, Monochrome_is_always_black_and_white_and_reads_back_so) {
    qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), 10, 2);
    mono.scan_line(0)[0] = 0xA5;
    mono.scan_line(1)[1] = 0xC0;
    qvColorMap own(2);   // its own map says red and green: ignored
    own[0].color(qvBitmapColor(255, 0, 0));
    own[1].color(qvBitmapColor(0, 255, 0));
    mono.colormap(own);

    const std::string f = save_bmp(mono);
    EXPECT_EQ(u16_at(f, 28), 1);
    EXPECT_EQ(u32_at(f, 46), 2u);
    EXPECT_EQ(f.substr(54, 8), bytes("00 00 00 00 FF FF FF 00"));

    const qvBitmap back = loaded(f);
    EXPECT_EQ(back.type(), qvMonochromeBitmap);
    EXPECT_EQ(map_values(back), (std::vector<int>{0, 0, 0, 0, 255, 255, 255, 1}));
    EXPECT_EQ(pixel_bytes(back), pixel_bytes(mono));
}

TEST(qvBmpFileWrite, Indexed_bitmap_with_an_empty_map_writes_no_table) {
    qvBitmap bitmap(qvBitmapLayout(qvIndexedBitmap), 2, 2);
    const std::string f = save_bmp(bitmap);
    EXPECT_EQ(u32_at(f, 46), 0u);
    EXPECT_EQ(u32_at(f, 10), 54u);
    EXPECT_EQ(f.size(), 54u + 8u);
}

TEST(qvBmpFileWrite, Map_with_index_gaps_is_laid_out_by_pixel_value) {
    qvColorMapEntry entries[] = {{qvBitmapColor(10, 20, 30), 5}, {qvBitmapColor(40, 50, 60), 1}};
    qvBitmap bitmap(qvBitmapLayout(qvIndexedBitmap), 2, 1);
    bitmap.colormap(qvColorMap(entries, 2, false));
    bitmap.scan_line(0)[0] = 5;
    bitmap.scan_line(0)[1] = 1;

    const std::string f = save_bmp(bitmap);
    EXPECT_EQ(u32_at(f, 46), 6u);
    EXPECT_EQ(f.substr(54, 24),
              bytes("00 00 00 00 3C 32 28 00 00 00 00 00 00 00 00 00 00 00 00 00 1E 14 0A 00"));
    const RgbPixels rgb = rgb_of(loaded(f));
    EXPECT_EQ(rgb.rgb[0], 0x0A141Eu);
    EXPECT_EQ(rgb.rgb[1], 0x28323Cu);
}

TEST(qvBmpFileWrite, Any_other_type_fails_the_assertion_false) {
    qvBitmapHeader header;   // type -1
    qvBitmapReference none(&header, nullptr, nullptr);
    EXPECT_TRUE(raises<qvAssertionError>([&] { save_bmp(none); }, "false"));
}

// ---- round trips ----------------------------------------------------------------------

TEST(qvBmpFileRoundTrip, All_written_types_keep_pixels_and_maps_at_every_padding) {
    for (int width : {1, 2, 3, 4, 5, 7, 9, 17}) {
        std::vector<unsigned char> pixels;
        for (int i = 0; i < width * 3; ++i) pixels.push_back(static_cast<unsigned char>(i * 37));
        qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), width, 3);
        for (int y = 0; y < 3; ++y) mono.scan_line(y)[0] = static_cast<unsigned char>(0x5A + y);
        for (qvBitmap const& bitmap : {indexed_bitmap(width, 3, pixels), rgba_bitmap(width, 3), mono}) {
            const std::string f = save_bmp(bitmap);
            const qvBitmap back = loaded(f);
            EXPECT_EQ(back.type(), bitmap.type()) << "width " << width;
            EXPECT_EQ(back.width(), width);
            EXPECT_EQ(pixel_bytes(back), pixel_bytes(bitmap))
                << "type " << bitmap.type() << " width " << width;
            if (bitmap.type() == qvIndexedBitmap) {
                EXPECT_EQ(map_values(back), map_values(bitmap));
            }
            EXPECT_EQ(save_bmp(back), f) << "writing again changes the bytes";
        }
    }
}

TEST(qvBmpFileRoundTrip, Resolutions_72_96_and_300_survive) {
    for (int dpi : {72, 96, 300}) {
        qvBitmap bitmap = rgba_bitmap(1, 1);
        bitmap.dpi(dpi, dpi == 72 ? 300 : 72);
        const qvBitmap back = loaded(save_bmp(bitmap));
        EXPECT_EQ(back.dpi_x(), bitmap.dpi_x());
        EXPECT_EQ(back.dpi_y(), bitmap.dpi_y());
    }
}

// ---- reading ------------------------------------------------------------------------

TEST(qvBmpFileRead, Pixels_per_metre_0_and_2835_read_as_72_dpi) {
    for (std::uint32_t ppm : {0u, 2835u, 1u}) {
        BmpSpec spec;
        spec.bits = 32;
        spec.ppm = ppm;
        spec.pixels = std::string(4, '\0');
        const qvBitmap b = loaded(spec.build());
        EXPECT_EQ(b.dpi_x(), 72) << ppm;
        EXPECT_EQ(b.dpi_y(), 72) << ppm;
    }
}

TEST(qvBmpFileRead, Rows_of_24_bits_skip_their_padding) {
    BmpSpec narrow;
    narrow.bits = 24;
    narrow.height = 2;
    narrow.pixels = bytes("01 02 03 00 04 05 06 00");   // 1 pad byte per row
    const qvBitmap a = loaded(narrow.build());
    EXPECT_EQ(a.type(), qvRgbaBitmap);
    EXPECT_EQ(pixel_bytes(a), (std::vector<unsigned char>{4, 5, 6, 0, 1, 2, 3, 0}));

    BmpSpec wide;
    wide.bits = 24;
    wide.width = 4;
    wide.pixels = bytes("01 02 03 04 05 06 07 08 09 0A 0B 0C");   // no padding
    EXPECT_EQ(pixel_bytes(loaded(wide.build())),
              (std::vector<unsigned char>{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}));
}

TEST(qvBmpFileRead, Four_bits_give_a_byte_a_pixel_high_nibble_first) {
    BmpSpec spec;
    spec.bits = 4;
    spec.width = 3;
    spec.table = grey_table(16);
    spec.pixels = bytes("AB C0 00 00");
    const qvBitmap b = loaded(spec.build());
    EXPECT_EQ(b.type(), qvIndexedBitmap);
    EXPECT_EQ(b.colormap().size(), 16);
    EXPECT_EQ(pixel_bytes(b), (std::vector<unsigned char>{0xA, 0xB, 0xC}));
}

TEST(qvBmpFileRead, Sixteen_bits_keep_five_bit_channels) {
    BmpSpec spec;
    spec.bits = 16;
    spec.width = 2;
    spec.pixels = bytes("00 7C 1F 00");   // 0x7C00 red, 0x001F blue
    EXPECT_EQ(pixel_bytes(loaded(spec.build())), (std::vector<unsigned char>{0, 0, 0x1F, 0, 0x1F, 0, 0, 0}));
}

TEST(qvBmpFileRead, Negative_height_stores_rows_top_down) {
    BmpSpec spec;
    spec.height = -2;
    spec.table = grey_table(2);
    spec.colors_used = 2;
    spec.pixels = bytes("01 00 00 00 00 00 00 00");
    const qvBitmap b = loaded(spec.build());
    EXPECT_EQ(b.height(), 2);
    EXPECT_EQ(pixel_bytes(b), (std::vector<unsigned char>{1, 0}));
}

TEST(qvBmpFileRead, A_gap_before_the_pixels_is_skipped) {
    BmpSpec spec;
    spec.bits = 32;
    spec.offset = 60;
    spec.pixels = bytes("FF FF FF FF FF FF 01 02 03 04");
    EXPECT_EQ(pixel_bytes(loaded(spec.build())), (std::vector<unsigned char>{1, 2, 3, 4}));
}

TEST(qvBmpFileRead, Unsupported_headers_have_their_messages) {
    BmpSpec core;
    core.header_size = 12;
    EXPECT_TRUE(refuses<qvErrorFrom<qvInputStream>>(core.build(), "Unknown version of bitmap"));
    BmpSpec rle;
    rle.compression = 1;
    EXPECT_TRUE(
        refuses<qvErrorFrom<qvInputStream>>(rle.build(), "Compressed and custom bitmaps not supported"));
    BmpSpec bx;
    bx.signature = "BX";
    EXPECT_TRUE(refuses<qvErrorFrom<qvInputStream>>(bx.build(), "Invalid bitmap signature on input"));
    for (std::uint16_t bits : {0, 2, 33}) {
        BmpSpec odd;
        odd.bits = bits;
        EXPECT_TRUE(refuses<qvErrorFrom<qvInputStream>>(odd.build(), "Invalid bit count of bitmap on input"));
    }
    BmpSpec cut;
    cut.width = 4;
    cut.height = 2;
    cut.table = grey_table(256);
    cut.pixels = bytes("01 02 03 04 05");
    EXPECT_TRUE(refuses<qvErrorFrom<qvInputStream>>(cut.build(), "Incomplete bitmap on input"));
}

TEST(qvBmpFileRead, Sizes_that_cannot_be_a_bitmap_are_refused_before_allocating) {
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{0, 1},         {-1, 1},        {1, 0},
                                                           {1, INT32_MIN}, {50000, 50000}, {INT32_MAX, 1}};
    for (auto [w, h] : sizes) {
        BmpSpec spec;
        spec.bits = 32;
        spec.width = w;
        spec.height = h;
        EXPECT_TRUE(refuses<qvErrorFrom<qvInputStream>>(spec.build(), "Invalid bitmap size on input"))
            << w << " x " << h;
    }
}

TEST(qvBmpFileRead, Colour_counts_and_data_offsets_are_checked) {
    BmpSpec many;
    many.colors_used = 0xFFFFFFFF;
    EXPECT_TRUE(
        refuses<qvErrorFrom<qvColorMap>>(many.build(), "The number of colors cannot be greater then 256."));
    BmpSpec early;
    early.bits = 4;
    early.table = grey_table(16);
    early.offset = 54;
    EXPECT_TRUE(refuses<qvErrorFrom<qvInputStream>>(early.build(), "Invalid bitmap data offset on input"));
}

TEST(qvBmpFileRead, A_file_cut_at_any_byte_is_incomplete_and_changes_nothing) {
    qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), 3, 2);
    BmpSpec four;
    four.bits = 4;
    four.width = 3;
    four.table = grey_table(16);
    four.pixels = bytes("12 30 00 00");
    const std::string files[] = {save_bmp(rgba_bitmap(3, 2)), save_bmp(mono),
                                 save_bmp(indexed_bitmap(3, 1, {1, 2, 3}, 4)), four.build()};
    for (std::string const& f : files) {
        for (std::size_t n = 0; n < f.size(); ++n) {
            const qvBitmap before = sentinel();
            qvBitmap target = before;
            try {
                load_bmp(f.substr(0, n), target);
                ADD_FAILURE() << "a file cut at " << n << " of " << f.size() << " bytes was read";
            } catch (qvErrorFrom<qvInputStream> const& e) {
                const std::string text = static_cast<char const*>(e);
                EXPECT_TRUE(text == "Incomplete data on input" || text == "Incomplete bitmap on input")
                    << text;
            }
            EXPECT_TRUE(unchanged(target, before)) << "cut at " << n;
        }
    }
}
