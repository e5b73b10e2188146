// GIF files: the bytes of small files worked by hand from the LZW coder,
// interlacing, transparency, round trips, and the reader's refusals.

#include <orvane/attributes/qvGifFile.hpp>

#include "qvAttributeStreams.hpp"
#include "qvImageFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using namespace image_test;
using attribute_test::assertion_text;
using attribute_test::raised;
using stream_test::bytes;
using Pixels = std::vector<unsigned char>;

namespace {

constexpr std::size_t descriptor_at = 13 + 768;  // in our files
constexpr std::size_t data_at = descriptor_at + 10;
using GifError = qvErrorFrom<qvGifIO*>;

// A GIF89a with a 4-entry global table and one image; `codes` are 3-bit
// LZW codes (code size 2) packed least significant bit first into one sub-block.
std::string gif_with(int width, int height, std::vector<int> const& codes, std::string const& extensions = "",
                     int packed = 0, int background = 0, int aspect = 0) {
    std::string f = "GIF89a" + std::string(7, '\0'), descriptor = bytes("2C 00 00 00 00 00 00 00 00 00"), data;
    put_u16(f, 6, static_cast<std::uint16_t>(width));
    put_u16(f, 8, static_cast<std::uint16_t>(height));
    f[10] = '\x81', f[11] = static_cast<char>(background), f[12] = static_cast<char>(aspect);
    put_u16(descriptor, 5, static_cast<std::uint16_t>(width));
    put_u16(descriptor, 7, static_cast<std::uint16_t>(height));
    descriptor[9] = static_cast<char>(packed);
    std::uint32_t accum = 0;
    int bits = 0;
    for (int code : codes)
        for (accum |= std::uint32_t(code) << bits, bits += 3; bits >= 8; bits -= 8, accum >>= 8)
            data += static_cast<char>(accum & 0xFF);
    if (bits > 0) data += static_cast<char>(accum & 0xFF);
    return f + bytes("00 00 00 FF 00 00 00 FF 00 00 00 FF") + extensions + descriptor + '\x02' +
           static_cast<char>(data.size()) + data + std::string(1, '\0') + "\x3B";
}

qvBitmap loaded(std::string const& file, int image = 1) {
    qvBitmap bitmap;
    EXPECT_TRUE(load_gif(file, bitmap, image));
    return bitmap;
}

// Reading `file` raises E with `text` and leaves the target as it was.
template <class E = GifError>
void expect_refused(std::string const& file, char const* text) {
    const qvBitmap before = indexed_bitmap(2, 1, {7, 9}, 3);
    qvBitmap target = before;
    EXPECT_EQ(raised<E>([&] { load_gif(file, target); }), text);
    EXPECT_TRUE(target == before && pixel_bytes(target) == (Pixels{7, 9}));
}

}  // namespace

TEST(qvGifFileWrite, The_files_worked_by_hand) {
    const std::string f = save_gif(indexed_bitmap(2, 2, {0, 1, 2, 3}, 4));
    ASSERT_EQ(f.size(), 802u);
    EXPECT_EQ(f.substr(0, 25),
              bytes("47 49 46 38 37 61 02 00 02 00 F7 00 00  00 FF 00 01 FE 03 02 FD 06 03 FC 09"));
    EXPECT_EQ(f.substr(25, 756), std::string(756, '\0'));
    EXPECT_EQ(f.substr(descriptor_at), bytes("2C 00 00 00 00 02 00 02 00 00  08 07 00 01 04 10 30 20 20 00 3B"));
    // Every key starts at -1: a zero-filled table would "find" (0, 0).
    EXPECT_EQ(save_gif(indexed_bitmap(2, 2, {0, 0, 0, 0}, 4)).substr(data_at),
              bytes("08 06 00 01 08 04 10 10 00 3B"));
}

TEST(qvGifFileWrite, Interlaced_rows_go_out_in_pass_order_and_read_back_in_place) {
    Pixels rows{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::string f = save_gif(indexed_bitmap(1, 10, rows), true);
    EXPECT_EQ(pixel_bytes(loaded(f)), rows);
    f[descriptor_at + 9] = 0;  // read as stored
    EXPECT_EQ(pixel_bytes(loaded(f)), (Pixels{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
}

TEST(qvGifFileWrite, Transparency_travels_as_the_background_index_and_89a_changes_only_the_version) {
    qvBitmap bitmap = indexed_bitmap(2, 1, {5, 1}, 8);
    bitmap.transparent_index(5);
    const std::string f87 = save_gif(bitmap), f89 = save_gif(bitmap, false, true);
    EXPECT_EQ(f87[11], 5);
    EXPECT_TRUE(loaded(f87).transparent());
    EXPECT_EQ(f89.substr(3, 3), "89a");
    EXPECT_EQ(f89.substr(0, 3) + f89.substr(6), f87.substr(0, 3) + f87.substr(6));
}

TEST(qvGifFileWrite, Rgba_and_monochrome_map_onto_the_colour_cube) {
    qvBitmap rgba(qvBitmapLayout(qvRgbaBitmap), 6, 1);
    // The last pixel is the README's cream, (242, 229, 191): its lookup cell's
    // centre (248, 232, 176) is nearest to (255, 255, 153), not to the cube
    // colour nearest to it, (255, 255, 204).
    const unsigned char bgra[6][4] = {{0, 0, 255, 255}, {255, 255, 255, 255}, {0, 0, 0, 255}, {1, 2, 3, 255},
                                      {1, 2, 3, 0},     {191, 229, 242, 255}};
    for (int x = 0; x < 6; ++x) std::copy(bgra[x], bgra[x] + 4, rgba.pixel(x, 0));
    rgba.transparent_rgb(qvBitmapColor(3, 2, 1));
    const std::string file = save_gif(rgba);
    const qvBitmap back = loaded(file);
    EXPECT_EQ(pixel_bytes(back), (Pixels{180, 215, 0, 255, 0, 213}));  // only the transparent colour at alpha 255
    EXPECT_EQ(back.transparent_index(), 255);
    EXPECT_EQ(file.substr(13 + 3 * 213, 3), bytes("FF FF 99"));
    // No transparency extension: other decoders show the transparent index's
    // table entry, black past the cube's 216 colours.
    EXPECT_EQ(file.substr(13 + 3 * 255, 3), bytes("00 00 00"));
    EXPECT_EQ(file[11], '\xFF') << "the transparent index rides as the background index";
    EXPECT_EQ(file[descriptor_at], '\x2C') << "the image follows the table, no extension between";

    qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), 10, 1);
    mono.scan_line(0)[0] = 0x81, mono.scan_line(0)[1] = 0x40;
    mono.transparent_index(1);
    const qvBitmap cube = loaded(save_gif(mono));
    EXPECT_EQ(pixel_bytes(cube), (Pixels{215, 0, 0, 0, 0, 0, 0, 215, 0, 215}));
    EXPECT_EQ(cube.transparent_index(), 215);
}

TEST(qvGifFile, Unwritable_bitmaps_and_unconnected_streams_are_refused_before_any_byte) {
    qvBitmapHeader none;
    EXPECT_EQ(assertion_text([&] { save_gif(qvBitmapReference(&none, nullptr, nullptr)); }), "false");
    qvOutputStream nowhere(qvVersion(0), false);
    EXPECT_EQ(assertion_text([&] { qvSaveToGif(nowhere, rgba_bitmap(1, 1), false, false); }), "output");
    qvInputStream nothing;
    qvBitmap target;
    EXPECT_EQ(assertion_text([&] { qvLoadFromGif(nothing, target, 1); }), "input");
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(0), false);
    const qvBitmap wide(qvBitmapLayout(qvIndexedBitmap), 65536, 1);
    EXPECT_EQ(raised<GifError>([&] { qvSaveToGif(out, wide, false, false); }), "Bitmap too large for GIF");
    EXPECT_EQ(buffer.str().size(), 0u);
}

TEST(qvGifFile, Headers_that_disagree_with_their_rows_and_bitmaps_without_pixels_are_refused_before_any_byte) {
    const qvBitmap bitmap = indexed_bitmap(5, 2, Pixels(10, 1), 4);
    for (auto [width, bits, text] : {std::tuple{9, bitmap.data(), "the header describes the bitmap's rows"},
                                     {5, static_cast<unsigned char*>(nullptr), "bitmap.data()"}}) {
        qvBitmapHeader header = *bitmap.header();
        header.width = width;
        const auto save = [](qvOutputStream& out, qvBitmapReference const& view) { qvSaveToGif(out, view, false, false); };
        EXPECT_EQ(refusal_of(qvBitmapReference(&header, bits, bitmap.colormap().data()), save),
                  std::pair(std::string(text), std::size_t{0}));
    }
}

TEST(qvGifFileRoundTrip, Sizes_from_1x1_to_1000x1000_survive_plain_and_interlaced) {
    std::mt19937 rng(20240611);
    for (auto [w, h] : {std::pair{1, 1}, {3, 7}, {255, 2}, {1000, 1000}}) {
        // Runs of repeated values as well as noise: long strings and table resets both occur.
        Pixels pixels(std::size_t(w) * h);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<unsigned char>((i / 1000) % 3 == 0 ? rng() % 4 : rng());
        const qvBitmap bitmap = indexed_bitmap(w, h, pixels);
        for (bool interlaced : {false, true}) {
            const qvBitmap back = loaded(save_gif(bitmap, interlaced));
            EXPECT_EQ(pixel_bytes(back), pixels) << w << " x " << h << " interlaced " << interlaced;
            EXPECT_EQ(map_values(back), map_values(bitmap));
        }
    }
}

TEST(qvGifFileRead, Image_numbers_pick_an_image_or_return_false) {
    const std::string first = save_gif(indexed_bitmap(2, 1, {1, 2})),
                      second = save_gif(indexed_bitmap(1, 3, {3, 4, 5}));
    const std::string both = first.substr(0, first.size() - 1) + second.substr(descriptor_at);
    EXPECT_EQ(pixel_bytes(loaded(both, 2)), (Pixels{3, 4, 5}));
    qvBitmap target = indexed_bitmap(2, 1, {7, 9}, 3);
    EXPECT_FALSE(load_gif(both, target, 3));
    EXPECT_EQ(pixel_bytes(target), (Pixels{7, 9}));
}

TEST(qvGifFileRead, Extensions_local_tables_and_missing_data) {
    const std::vector<int> one_pixel{4, 1, 5};  // clear, 1, end
    const qvBitmap b = loaded(gif_with(1, 1, one_pixel, bytes("21 F9 04 01 00 00 07 00"), 0, 2, 113));
    EXPECT_EQ(b.transparent_index(), 7);  // the graphic control extension wins over the background
    EXPECT_EQ(b.dpi_y(), 144);
    EXPECT_EQ(map_values(b), (std::vector<int>{0, 0, 0, 0, 255, 0, 0, 1, 0, 255, 0, 2, 0, 0, 255, 3}));
    EXPECT_FALSE(loaded(gif_with(1, 1, one_pixel)).transparent());

    std::string local = gif_with(1, 1, one_pixel, "", 0x80);
    local.insert(local.size() - 6, bytes("00 00 00 0A 0B 0C"));  // a 2-entry local table before the data
    EXPECT_EQ(map_values(loaded(local)), (std::vector<int>{0, 0, 0, 0, 10, 11, 12, 1}));
    std::string bare = gif_with(1, 1, one_pixel);
    bare[10] = 0;  // no global table: the cube stands in
    bare.erase(13, 12);
    EXPECT_EQ(loaded(bare).colormap().size(), 216);

    EXPECT_EQ(pixel_bytes(loaded(gif_with(2, 2, {4, 1, 1, 5}))), (Pixels{1, 1, 0, 0}));  // rows never reached
    // 3 rows interlaced: passes 1, 3 and 4 give rows 0, 2, 1.
    EXPECT_EQ(pixel_bytes(loaded(gif_with(1, 3, {4, 1, 2, 3, 5}, "", 0x40))), (Pixels{1, 3, 2}));
}

TEST(qvGifFileRead, A_graphic_control_extension_is_read_by_its_stated_size_and_its_sub_blocks_skipped) {
    const std::string extension = bytes("21 F9 06 01 00 00 07 EE EE  02 AA BB  00");
    const qvBitmap b = loaded(gif_with(1, 1, {4, 1, 5}, extension));
    EXPECT_EQ(b.transparent_index(), 7);
    EXPECT_EQ(pixel_bytes(b), (Pixels{1}));
}

TEST(qvGifFileRead, Refusals_have_their_messages_and_leave_the_target) {
    std::string gif = gif_with(1, 1, {4, 1, 5});
    for (auto [at, value, message] : {std::tuple{std::size_t{2}, 'X', "Bad input stream"},
                                      {gif.size() - 6, '\x0C', "Invalid LZW code size on input"}}) {
        std::string bad = gif;
        bad[at] = value;
        expect_refused(bad, message);
    }
    expect_refused(gif_with(65535, 65535, {4, 5}), "Invalid bitmap size on input");
    expect_refused(gif_with(2, 1, {4, 1, 7, 5}), "Invalid LZW code on input");  // 7 is beyond the next free 6
    expect_refused(gif_with(2, 1, {4, 6, 5}), "Invalid LZW code on input");     // not a literal after a clear

    Pixels pixels(40 * 9);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7);
    const std::string f = save_gif(indexed_bitmap(40, 9, pixels), true);
    for (std::size_t n = 0; n < f.size(); ++n)
        expect_refused<qvErrorFrom<qvInputStream>>(f.substr(0, n), "Incomplete data on input");
}
