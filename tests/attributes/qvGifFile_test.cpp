#include <orvane/attributes/qvGifFile.hpp>

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "qvFileTestSupport.hpp"
#include "qvImageFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

using namespace image_test;
using qv_file_test::raises;
using stream_test::bytes;

namespace {

constexpr std::size_t descriptor_at = 13 + 768;   // our files' image descriptor
constexpr std::size_t data_at = descriptor_at + 10;

// LZW codes of the given widths packed least significant bit first.
std::string pack(std::vector<std::pair<int, int>> const& codes) {
    std::string out;
    std::uint32_t accum = 0;
    int bits = 0;
    for (auto [code, width] : codes) {
        accum |= std::uint32_t(code) << bits;
        for (bits += width; bits >= 8; bits -= 8, accum >>= 8) out += static_cast<char>(accum & 0xFF);
    }
    if (bits > 0) out += static_cast<char>(accum & 0xFF);
    return out;
}

// A GIF with a 4-entry global table and one image whose data are `data`
// (code size byte and sub-blocks included), after `extensions`.
std::string gif_with(int width, int height, std::string const& data, std::string const& extensions = "",
                     int packed = 0, int background = 0, int aspect = 0) {
    std::string f = "GIF89a" + std::string(7, '\0');
    put_u16(f, 6, static_cast<std::uint16_t>(width));
    put_u16(f, 8, static_cast<std::uint16_t>(height));
    f[10] = static_cast<char>(0x81);
    f[11] = static_cast<char>(background);
    f[12] = static_cast<char>(aspect);
    f += bytes("00 00 00 FF 00 00 00 FF 00 00 00 FF");
    std::string descriptor = bytes("2C 00 00 00 00 00 00 00 00 00");
    put_u16(descriptor, 5, static_cast<std::uint16_t>(width));
    put_u16(descriptor, 7, static_cast<std::uint16_t>(height));
    descriptor[9] = static_cast<char>(packed);
    return f + extensions + descriptor + data + "\x3B";
}

// Code size 2 and the packed codes in one sub-block, then the terminator.
std::string data_of(std::vector<std::pair<int, int>> const& codes) {
    const std::string packed = pack(codes);
    return std::string("\x02", 1) + static_cast<char>(packed.size()) + packed + std::string(1, '\0');
}

qvBitmap loaded(std::string const& file, int image = 1) {
    qvBitmap bitmap;
    EXPECT_TRUE(load_gif(file, bitmap, image));
    return bitmap;
}

qvBitmap sentinel() { return indexed_bitmap(2, 1, {7, 9}, 3); }

bool unchanged(qvBitmap const& after, qvBitmap const& before) {
    return after == before && pixel_bytes(after) == std::vector<unsigned char>{7, 9};
}

template <class E>
::testing::AssertionResult refuses(std::string const& file, char const* text) {
    const qvBitmap before = sentinel();
    qvBitmap target = before;
    auto result = raises<E>([&] { load_gif(file, target); }, text);
    if (!result) return result;
    if (!unchanged(target, before)) return ::testing::AssertionFailure() << "the target bitmap changed";
    return ::testing::AssertionSuccess();
}

using GifError = qvErrorFrom<qvGifIO*>;
using InputError = qvErrorFrom<qvInputStream>;

}   // namespace

// ---- writing ------------------------------------------------------------------------

TEST(qvGifFileWrite, Indexed_2x2_is_the_802_byte_file_worked_by_hand) {
    const qvBitmap bitmap = indexed_bitmap(2, 2, {0, 1, 2, 3}, 4);
    const std::string f = save_gif(bitmap);
    ASSERT_EQ(f.size(), 802u);
    EXPECT_EQ(f.substr(0, 13), bytes("47 49 46 38 37 61 02 00 02 00 F7 00 00"));
    EXPECT_EQ(f.substr(13, 12), bytes("00 FF 00 01 FE 03 02 FD 06 03 FC 09"));
    EXPECT_EQ(f.substr(25, 756), std::string(756, '\0'));
    EXPECT_EQ(f.substr(descriptor_at, 10), bytes("2C 00 00 00 00 02 00 02 00 00"));
    EXPECT_EQ(f.substr(data_at), bytes("08 07 00 01 04 10 30 20 20 00 3B"));
}

TEST(qvGifFileWrite, Uniform_and_empty_bitmaps_give_the_hand_worked_codes) {
    // Every key starts at -1: a zero-filled table would "find" (0, 0).
    EXPECT_EQ(save_gif(indexed_bitmap(2, 2, {0, 0, 0, 0}, 4)).substr(data_at),
              bytes("08 06 00 01 08 04 10 10 00 3B"));
    const qvBitmap empty(qvBitmapLayout(qvIndexedBitmap), 0, 0);
    EXPECT_EQ(save_gif(empty).substr(data_at), bytes("08 03 00 03 02 00 3B"));
}

TEST(qvGifFileWrite, Interlaced_rows_go_out_in_pass_order_and_read_back_in_place) {
    std::vector<unsigned char> rows;
    for (int r = 0; r < 10; ++r) rows.push_back(static_cast<unsigned char>(r));
    const qvBitmap bitmap = indexed_bitmap(1, 10, rows);
    std::string f = save_gif(bitmap, true);
    EXPECT_EQ(static_cast<unsigned char>(f[descriptor_at + 9]), 0x40);
    EXPECT_EQ(pixel_bytes(loaded(f)), rows);

    f[descriptor_at + 9] = 0;   // read as stored
    EXPECT_EQ(pixel_bytes(loaded(f)), (std::vector<unsigned char>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
}

TEST(qvGifFileWrite, Transparent_index_travels_as_the_background_index) {
    qvBitmap bitmap = indexed_bitmap(2, 1, {5, 1}, 8);
    bitmap.transparent_index(5);
    const std::string f87 = save_gif(bitmap);
    EXPECT_EQ(f87[11], 5);
    const qvBitmap back = loaded(f87);
    EXPECT_TRUE(back.transparent());
    EXPECT_EQ(back.transparent_index(), 5);

    const std::string f89 = save_gif(bitmap, false, true);
    EXPECT_EQ(f89.substr(3, 3), "89a");
    EXPECT_EQ(f89.substr(0, 3) + f89.substr(6), f87.substr(0, 3) + f87.substr(6));
}

TEST(qvGifFileWrite, Rgba_maps_onto_the_colour_cube_with_a_transparent_255) {
    qvBitmap bitmap(qvBitmapLayout(qvRgbaBitmap), 5, 1);
    const unsigned char bgra[5][4] = {
        {0, 0, 255, 255}, {255, 255, 255, 255}, {0, 0, 0, 255}, {1, 2, 3, 255}, {1, 2, 3, 0}};
    for (int x = 0; x < 5; ++x)
        for (int k = 0; k < 4; ++k) bitmap.pixel(x, 0)[k] = bgra[x][k];
    bitmap.transparent_rgb(qvBitmapColor(3, 2, 1));

    const qvBitmap back = loaded(save_gif(bitmap));
    // Only the transparent colour at alpha 255 becomes 255.
    EXPECT_EQ(pixel_bytes(back), (std::vector<unsigned char>{180, 215, 0, 255, 0}));
    EXPECT_EQ(back.transparent_index(), 255);
    EXPECT_EQ(back.colormap().data()[215].color(), qvBitmapColor(255, 255, 255));
}

TEST(qvGifFileWrite, Monochrome_becomes_the_cubes_black_and_white) {
    qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), 10, 1);
    mono.scan_line(0)[0] = 0x81;
    mono.scan_line(0)[1] = 0x40;
    mono.transparent_index(1);
    const qvBitmap back = loaded(save_gif(mono));
    EXPECT_EQ(pixel_bytes(back), (std::vector<unsigned char>{215, 0, 0, 0, 0, 0, 0, 215, 0, 215}));
    EXPECT_EQ(back.transparent_index(), 215);
}

TEST(qvGifFileWrite, Unwritable_bitmaps_are_refused_before_any_byte) {
    qvBitmapHeader header;
    qvBitmapReference none(&header, nullptr, nullptr);
    EXPECT_TRUE(raises<qvAssertionError>([&] { save_gif(none); }, "false"));

    const qvBitmap wide(qvBitmapLayout(qvIndexedBitmap), 65536, 1);
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(0), false);
    EXPECT_TRUE(raises<GifError>([&] { qvSaveToGif(out, wide, false, false); }, "Bitmap too large for GIF"));
    EXPECT_EQ(buffer.str().size(), 0u);
}

TEST(qvGifFileWrite, Unconnected_streams_fail_their_assertions) {
    qvOutputStream nowhere(qvVersion(0), false);
    EXPECT_TRUE(
        raises<qvAssertionError>([&] { qvSaveToGif(nowhere, rgba_bitmap(1, 1), false, false); }, "output"));
    qvInputStream nothing;
    qvBitmap target;
    EXPECT_TRUE(raises<qvAssertionError>([&] { qvLoadFromGif(nothing, target, 1); }, "input"));
}

// ---- round trips ----------------------------------------------------------------------

TEST(qvGifFileRoundTrip, Random_1000x1000_survives_table_resets_plain_and_interlaced) {
    std::mt19937 rng(20240611);
    std::vector<unsigned char> pixels(1000 * 1000);
    // Runs of repeated values as well as noise, so that long strings and
    // table resets both occur.
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>((i / 1000) % 3 == 0 ? rng() % 4 : rng());
    const qvBitmap bitmap = indexed_bitmap(1000, 1000, pixels);
    for (bool interlaced : {false, true}) {
        const qvBitmap back = loaded(save_gif(bitmap, interlaced));
        EXPECT_EQ(pixel_bytes(back), pixels) << "interlaced " << interlaced;
        EXPECT_EQ(map_values(back), map_values(bitmap));
    }
}

TEST(qvGifFileRoundTrip, Odd_sizes_survive) {
    for (auto [w, h] : {std::pair{1, 1}, {3, 7}, {5, 3}, {17, 9}, {255, 2}}) {
        std::vector<unsigned char> pixels;
        for (int i = 0; i < w * h; ++i) pixels.push_back(static_cast<unsigned char>(i * i % 251));
        const qvBitmap bitmap = indexed_bitmap(w, h, pixels);
        EXPECT_EQ(pixel_bytes(loaded(save_gif(bitmap))), pixels) << w << " x " << h;
        EXPECT_EQ(pixel_bytes(loaded(save_gif(bitmap, true))), pixels) << w << " x " << h;
    }
}

// ---- reading ------------------------------------------------------------------------

TEST(qvGifFileRead, Image_numbers_pick_an_image_or_return_false) {
    const std::string first = save_gif(indexed_bitmap(2, 1, {1, 2}));
    const std::string second = save_gif(indexed_bitmap(1, 3, {3, 4, 5}));
    const std::string both = first.substr(0, first.size() - 1) + second.substr(descriptor_at);

    const qvBitmap image2 = loaded(both, 2);
    EXPECT_EQ(image2.width(), 1);
    EXPECT_EQ(pixel_bytes(image2), (std::vector<unsigned char>{3, 4, 5}));

    const qvBitmap before = sentinel();
    qvBitmap target = before;
    EXPECT_FALSE(load_gif(both, target, 3));
    EXPECT_TRUE(unchanged(target, before));
}

TEST(qvGifFileRead, Graphic_control_transparency_and_aspect_ratio_are_taken) {
    const std::string data = data_of({{4, 3}, {1, 3}, {5, 3}});
    const std::string gce = bytes("21 F9 04 01 00 00 07 00");
    const qvBitmap b = loaded(gif_with(1, 1, data, gce, 0, 2, 113));
    EXPECT_TRUE(b.transparent());
    EXPECT_EQ(b.transparent_index(), 7);   // the extension wins over the background
    EXPECT_EQ(b.dpi_x(), 72);
    EXPECT_EQ(b.dpi_y(), 144);
    EXPECT_EQ(map_values(b), (std::vector<int>{0, 0, 0, 0, 255, 0, 0, 1, 0, 255, 0, 2, 0, 0, 255, 3}));

    const qvBitmap plain = loaded(gif_with(1, 1, data));
    EXPECT_FALSE(plain.transparent());
    EXPECT_EQ(plain.dpi_y(), 72);
}

TEST(qvGifFileRead, Local_tables_and_the_colour_cube_stand_in_for_the_global_one) {
    std::string data = data_of({{4, 3}, {1, 3}, {5, 3}});
    const qvBitmap local = loaded(gif_with(1, 1, bytes("00 00 00 0A 0B 0C") + data, "", 0x80));
    EXPECT_EQ(map_values(local), (std::vector<int>{0, 0, 0, 0, 10, 11, 12, 1}));

    std::string bare = gif_with(1, 1, data);
    bare[10] = 0;   // no global table
    bare.erase(13, 12);
    EXPECT_EQ(loaded(bare).colormap().size(), 216);
}

TEST(qvGifFileRead, Missing_rows_stay_zero_and_short_interlaced_images_decode) {
    // Two pixels of 1 for a 2 x 2 image, then the end code.
    const qvBitmap partial = loaded(gif_with(2, 2, data_of({{4, 3}, {1, 3}, {1, 3}, {5, 3}})));
    EXPECT_EQ(pixel_bytes(partial), (std::vector<unsigned char>{1, 1, 0, 0}));

    // 3 rows interlaced: passes 1, 3 and 4 give rows 0, 2, 1.
    const qvBitmap three =
        loaded(gif_with(1, 3, data_of({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 3}}), "", 0x40));
    EXPECT_EQ(pixel_bytes(three), (std::vector<unsigned char>{1, 3, 2}));
}

TEST(qvGifFileRead, Bad_signatures_sizes_and_code_sizes_are_refused) {
    const std::string good = gif_with(1, 1, data_of({{4, 3}, {1, 3}, {5, 3}}));
    std::string gif = good;
    gif[2] = 'X';
    EXPECT_TRUE(refuses<GifError>(gif, "Bad input stream"));

    EXPECT_TRUE(
        refuses<GifError>(gif_with(65535, 65535, data_of({{4, 3}, {5, 3}})), "Invalid bitmap size on input"));

    for (char size : {'\0', '\x0C'}) {
        std::string bad = good;
        bad[good.size() - 6] = size;   // the code size byte
        EXPECT_TRUE(refuses<GifError>(bad, "Invalid LZW code size on input")) << int(size);
    }
}

TEST(qvGifFileRead, Codes_the_table_does_not_hold_are_refused) {
    // After a clear the next free code is 6: code 7 is beyond it.
    EXPECT_TRUE(refuses<GifError>(gif_with(2, 1, data_of({{4, 3}, {1, 3}, {7, 3}, {5, 3}})),
                                  "Invalid LZW code on input"));
    // The first code after a clear must be a literal or the end code.
    EXPECT_TRUE(
        refuses<GifError>(gif_with(2, 1, data_of({{4, 3}, {6, 3}, {5, 3}})), "Invalid LZW code on input"));
}

TEST(qvGifFileRead, A_file_cut_at_any_byte_raises_and_changes_nothing) {
    std::vector<unsigned char> pixels(40 * 9);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7);
    const std::string f = save_gif(indexed_bitmap(40, 9, pixels), true);
    for (std::size_t n = 0; n < f.size(); ++n) {
        const qvBitmap before = sentinel();
        qvBitmap target = before;
        EXPECT_TRUE(
            raises<InputError>([&] { load_gif(f.substr(0, n), target, 1); }, "Incomplete data on input"))
            << "cut at " << n;
        EXPECT_TRUE(unchanged(target, before)) << "cut at " << n;
    }
}
