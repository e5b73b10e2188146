// BMP and GIF readers and writers against files that no one here wrote (from
// Debian packages) and against netpbm as an independent decoder. Skipped
// when the samples or netpbm are missing; .ci/run provides both.

#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvGifFile.hpp>

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "qvImageFileTestSupport.hpp"

using namespace image_test;

namespace {

std::string gdk_dir() { return *samples_dir() + "/usr/libexec/installed-tests/gdk-pixbuf"; }
std::string go_dir() { return *samples_dir() + "/usr/share/gocode/src/golang.org/x/image/testdata"; }
std::string flags_dir() { return *samples_dir() + "/usr/share/flags"; }

#define REQUIRE_SAMPLES()                                                                          \
    do {                                                                                           \
        if (!samples_dir()) GTEST_SKIP() << "no image samples: set ORVANE_SAMPLES or run .ci/run"; \
    } while (false)
#define REQUIRE_NETPBM()                                                                      \
    do {                                                                                      \
        if (!netpbm_available()) GTEST_SKIP() << "netpbm (giftopnm, bmptopnm) not installed"; \
    } while (false)

// The messages the readers may end with on hostile input.
const std::set<std::string> reader_errors = {"Incomplete data on input",
                                             "Incomplete bitmap on input",
                                             "Invalid bitmap signature on input",
                                             "Unknown version of bitmap",
                                             "Compressed and custom bitmaps not supported",
                                             "Invalid bit count of bitmap on input",
                                             "Invalid bitmap size on input",
                                             "Invalid bitmap data offset on input",
                                             "The number of colors cannot be greater then 256.",
                                             "Bad input stream",
                                             "Invalid LZW code size on input",
                                             "Invalid LZW code on input",
                                             "Circular table entry"};

// What one read gave: a bitmap, no such image, or an error message.
struct Outcome {
    bool found = false;
    std::string error;   // empty: no error
    qvBitmap bitmap;
};

template <class Read>
Outcome outcome_of(Read&& read) {
    Outcome out;
    try {
        out.found = read(out.bitmap);
    } catch (qvAssertionError const& e) {
        out.error = std::string("assertion: ") + static_cast<char const*>(e);
    } catch (qvError const& e) {
        out.error = static_cast<char const*>(e);
    }
    return out;
}

Outcome read_bmp(std::string const& file) {
    return outcome_of([&](qvBitmap& b) {
        load_bmp(file, b);
        return true;
    });
}

Outcome read_gif(std::string const& file, int image) {
    return outcome_of([&](qvBitmap& b) { return load_gif(file, b, image); });
}

// Equal pixels, leaving out those whose index lies beyond our colour table.
::testing::AssertionResult same_pixels(RgbPixels const& ours, RgbPixels const& oracle) {
    if (ours.width != oracle.width || ours.height != oracle.height)
        return ::testing::AssertionFailure() << "size " << ours.width << " x " << ours.height << ", oracle "
                                             << oracle.width << " x " << oracle.height;
    for (std::size_t i = 0; i < ours.rgb.size(); ++i) {
        if (ours.rgb[i] && *ours.rgb[i] != *oracle.rgb[i])
            return ::testing::AssertionFailure()
                   << "pixel " << i % ours.width << ", " << i / ours.width << ": " << std::hex << *ours.rgb[i]
                   << ", oracle " << *oracle.rgb[i];
    }
    return ::testing::AssertionSuccess();
}

std::string short_name(std::string const& path) { return path.substr(path.find_last_of('/') + 1); }

bool read_16_bit(std::string const& file) { return file.size() > 29 && u16_at(file, 28) == 16; }

// GIF samples: every image both decoders accept has the same pixels.
// Returns the number of images compared.
int compare_gif_sample(std::string const& path) {
    const std::string file = read_file(path);
    int compared = 0;
    for (int image = 1; image <= 12; ++image) {
        const Outcome ours = read_gif(file, image);
        EXPECT_TRUE(ours.error.empty() || reader_errors.count(ours.error))
            << short_name(path) << ": " << ours.error;
        if (!ours.found) break;
        const auto oracle = run_oracle("giftopnm --image=" + std::to_string(image) + " " + quoted(path));
        if (!oracle) continue;
        EXPECT_TRUE(same_pixels(rgb_of(ours.bitmap), *oracle)) << short_name(path) << " image " << image;
        ++compared;
    }
    return compared;
}

// Ours and bmptopnm agree on a BMP file both accept; returns whether both did.
bool compare_bmp_file(std::string const& path, std::string const& label) {
    const std::string file = read_file(path);
    const Outcome ours = read_bmp(file);
    EXPECT_TRUE(ours.error.empty() || reader_errors.count(ours.error)) << label << ": " << ours.error;
    if (!ours.error.empty()) return false;
    const auto oracle = run_oracle("bmptopnm " + quoted(path));
    if (!oracle) return false;
    EXPECT_TRUE(same_pixels(rgb_of(ours.bitmap, read_16_bit(file)), *oracle)) << label;
    return true;
}

}   // namespace

// ---- real files against the oracle -----------------------------------------------------

TEST(qvImageSamples, Gif_samples_decode_as_netpbm_decodes_them) {
    REQUIRE_SAMPLES();
    REQUIRE_NETPBM();
    std::vector<std::string> files = files_below(gdk_dir() + "/test-images/gif-test-suite", ".gif");
    for (char const* name : {"aero.gif", "circular-table.gif", "test-animation.gif", "1_partyanimsm2.gif"})
        files.push_back(gdk_dir() + "/" + name);
    int compared = 0;
    for (std::string const& path : files) compared += compare_gif_sample(path);
    EXPECT_GT(compared, 60);
}

TEST(qvImageSamples, Flag_gifs_decode_as_netpbm_decodes_them) {
    REQUIRE_SAMPLES();
    REQUIRE_NETPBM();
    const std::vector<std::string> flags = files_below(flags_dir(), ".gif");
    int compared = 0;
    for (std::string const& path : flags) compared += compare_gif_sample(path);
    EXPECT_GE(compared, 200);
}

TEST(qvImageSamples, Bmp_samples_decode_as_netpbm_decodes_them) {
    REQUIRE_SAMPLES();
    REQUIRE_NETPBM();
    EXPECT_TRUE(compare_bmp_file(go_dir() + "/video-001.bmp", "video-001.bmp"));
    EXPECT_TRUE(compare_bmp_file(go_dir() + "/yellow_rose-small.bmp", "yellow_rose-small.bmp"));
    // A 124-byte (version 5) header: refused, as every header but the
    // 40-byte one is.
    for (char const* name : {"yellow_rose-small-v5.bmp", "colormap.bmp"})
        EXPECT_EQ(read_bmp(read_file(go_dir() + "/" + name)).error, "Unknown version of bitmap") << name;
    EXPECT_EQ(read_bmp(read_file(gdk_dir() + "/cve-2015-4491.bmp")).error, "Invalid bitmap size on input");
}

TEST(qvImageSamples, Flags_at_every_bmp_depth_decode_as_netpbm_decodes_them) {
    REQUIRE_SAMPLES();
    REQUIRE_NETPBM();
    const std::vector<std::string> flags = files_below(flags_dir() + "/countries", ".gif");
    ASSERT_FALSE(flags.empty());
    const std::pair<char const*, char const*> depths[] = {{" | pnmquant 2 | ppmtobmp -bpp=1", "1"},
                                                          {" | pnmquant 16 | ppmtobmp -bpp=4", "4"},
                                                          {" | ppmtobmp -bpp=8", "8"},
                                                          {" | ppmtobmp -bpp=24", "24"}};
    const ScratchFile bmp(".bmp");
    int compared = 0;
    for (std::size_t k = 0; k < flags.size(); k += 8) {
        for (auto [pipeline, bits] : depths) {
            const std::string label = short_name(flags[k]) + " at " + bits + " bits";
            const std::string make = "giftopnm " + quoted(flags[k]) + pipeline + " > " + quoted(bmp.path());
            if (std::system(("(" + make + ") 2>/dev/null").c_str()) != 0)
                continue;   // e.g. too many colours for 8 bits
            if (compare_bmp_file(bmp.path(), label)) ++compared;
        }
    }
    EXPECT_GE(compared, 3 * static_cast<int>(flags.size() / 8));
}

TEST(qvImageSamples, Sixteen_bit_bmps_decode_as_netpbm_decodes_them_once_channels_are_scaled) {
    REQUIRE_NETPBM();
    // 32 x 3 pixels: every 5-bit value in each channel in turn.
    std::string file = "BM" + std::string(52, '\0');
    for (int shift : {10, 5, 0})
        for (int v = 0; v < 32; ++v)
            file += std::string{static_cast<char>((v << shift) & 0xFF), static_cast<char>((v << shift) >> 8)};
    put_u32(file, 10, 54);
    put_u32(file, 14, 40);
    put_u32(file, 18, 32);
    put_u32(file, 22, 3);
    put_u16(file, 26, 1);
    put_u16(file, 28, 16);
    const ScratchFile bmp(".bmp");
    bmp.write(file);
    const auto oracle = run_oracle("bmptopnm " + quoted(bmp.path()));
    ASSERT_TRUE(oracle);
    qvBitmap ours;
    load_bmp(file, ours);
    EXPECT_TRUE(same_pixels(rgb_of(ours, true), *oracle));
}

// ---- our files in the oracle ----------------------------------------------------------------

TEST(qvImageSamples, Every_file_we_write_decodes_in_netpbm_to_our_pixels) {
    REQUIRE_NETPBM();
    std::vector<unsigned char> pixels;
    for (int i = 0; i < 37 * 23; ++i) pixels.push_back(static_cast<unsigned char>(i * 13 % 256));
    qvBitmap mono(qvBitmapLayout(qvMonochromeBitmap), 37, 23);
    for (int y = 0; y < 23; ++y)
        for (int b = 0; b < mono.scan_line_size(); ++b)
            mono.scan_line(y)[b] = static_cast<unsigned char>(y * 31 + b * 7);
    const qvBitmap sources[] = {indexed_bitmap(37, 23, pixels), rgba_bitmap(37, 23), mono};

    const ScratchFile file(".img");
    for (qvBitmap const& source : sources) {
        const std::string bmp = save_bmp(source);
        file.write(bmp);
        const auto bmp_oracle = run_oracle("bmptopnm " + quoted(file.path()));
        ASSERT_TRUE(bmp_oracle) << "type " << source.type();
        // The BMP keeps the source's own pixels; monochrome is black and white.
        qvBitmap reread;
        load_bmp(bmp, reread);
        EXPECT_TRUE(same_pixels(rgb_of(source.type() == qvMonochromeBitmap ? reread : source), *bmp_oracle))
            << "BMP of type " << source.type();

        for (bool interlaced : {false, true}) {
            const std::string gif = save_gif(source, interlaced, interlaced);
            file.write(gif);
            const auto gif_oracle = run_oracle("giftopnm " + quoted(file.path()));
            ASSERT_TRUE(gif_oracle) << "type " << source.type();
            qvBitmap indexed;
            ASSERT_TRUE(load_gif(gif, indexed, 1));
            if (source.type() == qvIndexedBitmap) {
                EXPECT_EQ(pixel_bytes(indexed), pixels);
            }
            EXPECT_TRUE(same_pixels(rgb_of(indexed), *gif_oracle))
                << "GIF of type " << source.type() << (interlaced ? ", interlaced" : "");
        }
    }
}

// ---- hostile files ---------------------------------------------------------------------

TEST(qvImageSamples, Broken_files_end_in_success_or_a_reader_error) {
    REQUIRE_SAMPLES();
    for (char const* dir : {"/test-images/fail", "/test-images/randomly-modified"}) {
        for (std::string const& path : files_below(gdk_dir() + dir, ".bmp")) {
            const Outcome o = read_bmp(read_file(path));
            EXPECT_TRUE(o.error.empty() || reader_errors.count(o.error))
                << short_name(path) << ": " << o.error;
        }
        for (std::string const& path : files_below(gdk_dir() + dir, ".gif")) {
            const Outcome o = read_gif(read_file(path), 1);
            EXPECT_TRUE(o.error.empty() || reader_errors.count(o.error))
                << short_name(path) << ": " << o.error;
        }
    }
}

TEST(qvImageSamples, Every_truncation_of_a_valid_sample_ends_in_success_or_a_reader_error) {
    REQUIRE_SAMPLES();
    std::vector<std::string> samples = {go_dir() + "/yellow_rose-small.bmp", go_dir() + "/video-001.bmp",
                                        gdk_dir() + "/test-animation.gif", gdk_dir() + "/aero.gif"};
    const std::vector<std::string> suite = files_below(gdk_dir() + "/test-images/gif-test-suite", ".gif");
    for (std::size_t k = 0; k < suite.size(); k += 5) samples.push_back(suite[k]);
    for (std::string const& path : samples) {
        const std::string file = read_file(path);
        const bool bmp = path.ends_with(".bmp");
        // Every cut in the first 2 KiB, then about 200 spread over the rest.
        const std::size_t stride = std::max<std::size_t>(1, file.size() / 200);
        for (std::size_t n = 0; n < file.size(); n += n < 2048 ? 1 : stride) {
            const std::string cut = file.substr(0, n);
            const Outcome o = bmp ? read_bmp(cut) : read_gif(cut, 1);
            EXPECT_TRUE(o.error.empty() || reader_errors.count(o.error))
                << short_name(path) << " cut at " << n << ": " << o.error;
        }
    }
}
