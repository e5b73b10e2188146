// BMP and GIF readers and writers against files that no one here wrote (from
// Debian packages) and against netpbm as an independent decoder. Skipped
// when the samples or netpbm are missing; .ci/run provides both.

#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvGifFile.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "qvFileTestSupport.hpp"
#include "qvImageFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace image_test;
using qv_file_test::read_file;

namespace {

std::string gdk_dir() { return *samples_dir() + "/usr/libexec/installed-tests/gdk-pixbuf"; }
std::string go_dir() { return *samples_dir() + "/usr/share/gocode/src/golang.org/x/image/testdata"; }
std::string flags_dir() { return *samples_dir() + "/usr/share/flags"; }

// Why a test must skip: no samples (.ci/run unpacks them, or set ORVANE_SAMPLES) or no netpbm.
std::string missing(bool samples, bool netpbm) {
    if (samples && !samples_dir())
        return "needs the image samples: ORVANE_SAMPLES must name the directory the sample packages were "
               "unpacked into (README, Try it; .ci/run unpacks them into build/samples)";
    return netpbm && !netpbm_available()
               ? "needs netpbm (giftopnm, bmptopnm, pamdepth): apt-get install netpbm"
               : "";
}

// The messages the readers may end with on hostile input.
const std::set<std::string> reader_errors = {
    "Incomplete data on input", "Incomplete bitmap on input", "Invalid bitmap signature on input",
    "Unknown version of bitmap", "Compressed and custom bitmaps not supported",
    "Invalid bit count of bitmap on input", "Invalid bitmap size on input", "Invalid bitmap data offset on input",
    "The number of colors cannot be greater then 256.", "Bad input stream", "Invalid LZW code size on input",
    "Invalid LZW code on input", "Circular table entry"};

// A read's bitmap and whether it found the image, or its error message.
struct Outcome {
    bool found = false;
    std::string error;
    qvBitmap bitmap;
};

Outcome read_image(std::string const& file, bool bmp, int image = 1) {
    Outcome out;
    try {
        if (bmp) load_bmp(file, out.bitmap);
        out.found = bmp || load_gif(file, out.bitmap, image);
    } catch (qvAssertionError const& e) {
        out.error = std::string("assertion: ") + static_cast<char const*>(e);
    } catch (qvError const& e) {
        out.error = static_cast<char const*>(e);
    }
    return out;
}

std::string short_name(std::string const& path) { return path.substr(path.find_last_of('/') + 1); }

// Ends in success or a reader error.
::testing::AssertionResult sound(Outcome const& o) {
    if (o.error.empty() || reader_errors.count(o.error)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << o.error;
}

// Equal pixels, leaving out those whose index lies beyond our colour table.
::testing::AssertionResult same_pixels(RgbPixels const& ours, RgbPixels const& oracle) {
    if (ours.width != oracle.width || ours.height != oracle.height)
        return ::testing::AssertionFailure() << "size " << ours.width << " x " << ours.height << ", oracle "
                                             << oracle.width << " x " << oracle.height;
    for (std::size_t i = 0; i < ours.rgb.size(); ++i)
        if (ours.rgb[i] && *ours.rgb[i] != *oracle.rgb[i])
            return ::testing::AssertionFailure() << "pixel " << i % ours.width << ", " << i / ours.width << ": "
                                                 << std::hex << *ours.rgb[i] << ", oracle " << *oracle.rgb[i];
    return ::testing::AssertionSuccess();
}

// Every image of a GIF that both decoders accept has the same pixels; returns how many were compared.
int compare_gif(std::string const& path) {
    const std::string file = read_file(path);
    int compared = 0;
    for (int image = 1; image <= 12; ++image) {
        const Outcome ours = read_image(file, false, image);
        EXPECT_TRUE(sound(ours)) << short_name(path);
        if (!ours.found) break;
        const auto oracle = run_oracle("giftopnm --image=" + std::to_string(image) + " " + quoted(path));
        if (!oracle) continue;
        EXPECT_TRUE(same_pixels(rgb_of(ours.bitmap), *oracle)) << short_name(path) << " image " << image;
        ++compared;
    }
    return compared;
}

// A BMP that both decoders accept has the same pixels (16-bit channels scaled); returns whether both did.
bool compare_bmp(std::string const& path, std::string const& label) {
    const std::string file = read_file(path);
    const Outcome ours = read_image(file, true);
    EXPECT_TRUE(sound(ours)) << label;
    const auto oracle = ours.error.empty() ? run_oracle("bmptopnm " + quoted(path)) : std::nullopt;
    if (!oracle) return false;
    EXPECT_TRUE(same_pixels(rgb_of(ours.bitmap, (u32_at(file, 28) & 0xFFFF) == 16), *oracle)) << label;
    return true;
}

}  // namespace

TEST(qvImageSamples, Gif_samples_and_flags_decode_as_netpbm_decodes_them) {
    if (auto why = missing(true, true); !why.empty()) GTEST_SKIP() << why;
    std::vector<std::string> files = files_below(gdk_dir() + "/test-images/gif-test-suite", ".gif");
    for (char const* name : {"aero.gif", "circular-table.gif", "test-animation.gif", "1_partyanimsm2.gif"})
        files.push_back(gdk_dir() + "/" + name);
    int compared = 0;
    for (std::string const& path : files) compared += compare_gif(path);
    EXPECT_GT(compared, 60);
    compared = 0;
    for (std::string const& path : files_below(flags_dir(), ".gif")) compared += compare_gif(path);
    EXPECT_GE(compared, 200);
}

TEST(qvImageSamples, Bmp_samples_and_flags_at_every_depth_decode_as_netpbm_decodes_them) {
    if (auto why = missing(true, true); !why.empty()) GTEST_SKIP() << why;
    EXPECT_TRUE(compare_bmp(go_dir() + "/video-001.bmp", "video-001.bmp"));
    EXPECT_TRUE(compare_bmp(go_dir() + "/yellow_rose-small.bmp", "yellow_rose-small.bmp"));
    // Version 5 (124-byte) headers are refused, as every header but the 40-byte one is.
    for (char const* name : {"yellow_rose-small-v5.bmp", "colormap.bmp"})
        EXPECT_EQ(read_image(read_file(go_dir() + "/" + name), true).error, "Unknown version of bitmap") << name;
    EXPECT_EQ(read_image(read_file(gdk_dir() + "/cve-2015-4491.bmp"), true).error, "Invalid bitmap size on input");

    const std::vector<std::string> flags = files_below(flags_dir() + "/countries", ".gif");
    ASSERT_FALSE(flags.empty());
    const qv_file_test::ScratchDir dir;
    const std::string bmp = dir / "flag.bmp";
    int compared = 0;
    for (std::size_t k = 0; k < flags.size(); k += 8)
        for (std::string bits : {"1", "4", "8", "24"}) {
            const std::string quant = bits == "1" ? " | pnmquant 2" : bits == "4" ? " | pnmquant 16" : "";
            const std::string make =
                "giftopnm " + quoted(flags[k]) + quant + " | ppmtobmp -bpp=" + bits + " > " + quoted(bmp);
            if (std::system(("(" + make + ") 2>/dev/null").c_str()) != 0) continue;  // e.g. too many colours
            compared += compare_bmp(bmp, short_name(flags[k]) + " at " + bits + " bits");
        }
    EXPECT_GE(compared, 3 * static_cast<int>(flags.size() / 8));
}

TEST(qvImageSamples, Sixteen_bit_bmps_decode_as_netpbm_decodes_them_once_channels_are_scaled) {
    if (auto why = missing(false, true); !why.empty()) GTEST_SKIP() << why;
    std::string file = "BM" + std::string(52, '\0');  // 32 x 3: every 5-bit value of each channel
    for (int shift : {10, 5, 0})
        for (int v = 0; v < 32; ++v)
            file += std::string{static_cast<char>((v << shift) & 0xFF), static_cast<char>((v << shift) >> 8)};
    put_u32(file, 10, 54), put_u32(file, 14, 40), put_u32(file, 18, 32), put_u32(file, 22, 3);
    put_u16(file, 26, 1), put_u16(file, 28, 16);
    const qv_file_test::ScratchDir dir;
    qv_file_test::write_file(dir / "16.bmp", file);
    EXPECT_TRUE(compare_bmp(dir / "16.bmp", "16 bits"));
}

TEST(qvImageSamples, Every_file_we_write_decodes_in_netpbm_to_our_pixels) {
    if (auto why = missing(false, true); !why.empty()) GTEST_SKIP() << why;
    std::vector<unsigned char> pixels;
    for (int i = 0; i < 37 * 23; ++i) pixels.push_back(static_cast<unsigned char>(i * 13 % 256));
    qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), 37, 23);
    for (int y = 0; y < 23; ++y)
        for (int b = 0; b < mono.scan_line_size(); ++b)
            mono.scan_line(y)[b] = static_cast<unsigned char>(y * 31 + b * 7);
    const qv_file_test::ScratchDir dir;
    const std::string path = dir / "image";
    for (qvBitmap const& source : {indexed_bitmap(37, 23, pixels), rgba_bitmap(37, 23), mono}) {
        const std::string bmp = save_bmp(source);
        qv_file_test::write_file(path, bmp);
        const auto bmp_oracle = run_oracle("bmptopnm " + quoted(path));
        ASSERT_TRUE(bmp_oracle) << "type " << source.type();
        // The BMP keeps the source's own pixels; monochrome is written black and white.
        const Outcome reread = read_image(bmp, true);
        EXPECT_TRUE(same_pixels(rgb_of(source.type() == qvMonochromeBitmap ? reread.bitmap : source), *bmp_oracle))
            << "BMP of type " << source.type();
        for (bool interlaced : {false, true}) {
            const std::string gif = save_gif(source, interlaced, interlaced);
            qv_file_test::write_file(path, gif);
            const auto gif_oracle = run_oracle("giftopnm " + quoted(path));
            ASSERT_TRUE(gif_oracle) << "type " << source.type();
            const Outcome ours = read_image(gif, false);
            if (source.type() == qvIndexedBitmap) {
                EXPECT_EQ(pixel_bytes(ours.bitmap), pixels);
            }
            EXPECT_TRUE(same_pixels(rgb_of(ours.bitmap), *gif_oracle))
                << "GIF of type " << source.type() << interlaced;
        }
    }
}

TEST(qvImageSamples, Broken_and_cut_files_end_in_success_or_a_reader_error) {
    if (auto why = missing(true, false); !why.empty()) GTEST_SKIP() << why;
    for (char const* dir : {"/test-images/fail", "/test-images/randomly-modified"})
        for (char const* suffix : {".bmp", ".gif"})
            for (std::string const& path : files_below(gdk_dir() + dir, suffix))
                EXPECT_TRUE(sound(read_image(read_file(path), suffix[1] == 'b'))) << short_name(path);

    std::vector<std::string> samples = {go_dir() + "/yellow_rose-small.bmp", go_dir() + "/video-001.bmp",
                                        gdk_dir() + "/test-animation.gif", gdk_dir() + "/aero.gif"};
    const std::vector<std::string> suite = files_below(gdk_dir() + "/test-images/gif-test-suite", ".gif");
    for (std::size_t k = 0; k < suite.size(); k += 5) samples.push_back(suite[k]);
    for (std::string const& path : samples) {
        const std::string file = read_file(path);
        // Every cut in the first 2 KiB, then about 200 spread over the rest.
        const std::size_t stride = std::max<std::size_t>(1, file.size() / 200);
        for (std::size_t n = 0; n < file.size(); n += n < 2048 ? 1 : stride)
            EXPECT_TRUE(sound(read_image(file.substr(0, n), path.ends_with(".bmp"))))
                << short_name(path) << " cut at " << n;
    }
}
