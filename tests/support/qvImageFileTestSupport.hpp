#pragma once
// Support of the BMP and GIF tests: files written to and read from memory,
// little-endian fields, bitmaps made for the tests, the sample files from
// Debian packages, and netpbm as an independent decoder.
//
// Samples are looked for in $ORVANE_SAMPLES, then, from the working
// directory <build dir>/tests, in ../samples and ../../build/samples. Tests
// that need samples or netpbm skip when they are absent.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/attributes/qvGifFile.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include "qvAttributeStreams.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace image_test {

// Version 0 and no header: the file's bytes only.
inline std::string save_bmp(qvBitmapReference const& bitmap) {
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(0), false);
    qvSaveToBmp(out, bitmap);
    return buffer.str();
}
inline std::string save_gif(qvBitmapReference const& bitmap, bool interlaced = false, bool gif89a = false) {
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(0), false);
    qvSaveToGif(out, bitmap, interlaced, gif89a);
    return buffer.str();
}
// What a writer's assertion says for `view`, and how many bytes it wrote
// before: a refused bitmap must leave the stream untouched.
template <class Save>
std::pair<std::string, std::size_t> refusal_of(qvBitmapReference const& view, Save save) {
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(0), false);
    const std::string text = attribute_test::assertion_text([&] { save(out, view); });
    return {text, buffer.str().size()};
}

inline void load_bmp(std::string const& file, qvBitmap& target) {
    std::stringbuf buffer(file);
    qvInputStream in(&buffer);
    qvLoadFromBmp(in, target);
}
inline bool load_gif(std::string const& file, qvBitmap& target, int image = 1) {
    std::stringbuf buffer(file);
    qvInputStream in(&buffer);
    return qvLoadFromGif(in, target, image);
}

inline std::uint32_t u32_at(std::string const& file, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, file.data() + offset, 4);
    return value;
}
inline void put_u32(std::string& file, std::size_t offset, std::uint32_t value) {
    std::memcpy(&file[offset], &value, 4);
}
inline void put_u16(std::string& file, std::size_t offset, std::uint16_t value) {
    std::memcpy(&file[offset], &value, 2);
}

// Indexed, pixels row by row, with a simple map of `colors` entries, entry i = (i, 255 - i, 3 i).
inline qvBitmap indexed_bitmap(int width, int height, std::vector<unsigned char> const& pixels, int colors = 256) {
    qvBitmap bitmap(qvBitmapLayout(qvIndexedBitmap), width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap.scan_line(y)[x] = pixels.at(std::size_t(y) * width + x);
    qvColorMap map(colors);
    for (int i = 0; i < colors; ++i) map[static_cast<unsigned char>(i)].color(qvBitmapColor(i, 255 - i, 3 * i));
    bitmap.colormap(map);
    return bitmap;
}

// RGBA, pixel (x, y) = blue x, green y, red x + y, alpha 255.
inline qvBitmap rgba_bitmap(int width, int height) {
    qvBitmap bitmap(qvBitmapLayout(qvRgbaBitmap), width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char const bgra[] = {static_cast<unsigned char>(x), static_cast<unsigned char>(y),
                                          static_cast<unsigned char>(x + y), 255};
            std::memcpy(bitmap.pixel(x, y), bgra, 4);
        }
    return bitmap;
}

// The rows without padding.
inline std::vector<unsigned char> pixel_bytes(qvBitmapReference const& bitmap) {
    const long row =
        bitmap.pixel_size() > 0 ? long{bitmap.width()} * bitmap.pixel_size() : (bitmap.width() + 7) / 8;
    std::vector<unsigned char> bytes;
    for (int y = 0; y < bitmap.height(); ++y)
        bytes.insert(bytes.end(), bitmap.scan_line(y), bitmap.scan_line(y) + row);
    return bytes;
}

// (r, g, b, index) of each entry.
inline std::vector<int> map_values(qvBitmapReference const& bitmap) {
    std::vector<int> values;
    const qvColorMapReference map = bitmap.colormap();
    for (qvColorMapEntry const& e : std::vector<qvColorMapEntry>(map.data(), map.data() + map.size()))
        values.insert(values.end(), {e.red(), e.green(), e.blue(), e.index()});
    return values;
}

// Pixels as 0xRRGGBB: indexed and monochrome through the colour map
// (nullopt beyond it), RGBA as stored; `scale16` widens 5-bit channels to
// 0..255 as bmptopnm does (v x 255 / 31, truncated).
struct RgbPixels {
    int width = 0, height = 0;
    std::vector<std::optional<std::uint32_t>> rgb;
};
inline RgbPixels rgb_of(qvBitmapReference const& bitmap, bool scale16 = false) {
    std::optional<std::uint32_t> table[256];
    const qvColorMapReference map = bitmap.colormap();
    for (int i = map.size() - 1; i >= 0; --i) {  // the first entry of an index wins
        qvColorMapEntry const& e = map.data()[i];
        table[e.index()] = std::uint32_t(e.red()) << 16 | std::uint32_t(e.green()) << 8 | e.blue();
    }
    auto widen = [&](unsigned v) { return scale16 ? v * 255 / 31 : v; };
    RgbPixels out{bitmap.width(), bitmap.height(), {}};
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            unsigned char const* row = bitmap.scan_line(y);
            unsigned char const* p = row + 4 * x;
            out.rgb.push_back(bitmap.type() == qvMonochromeBitmap ? table[(row[x >> 3] >> (7 - (x & 7))) & 1]
                              : bitmap.type() == qvIndexedBitmap
                                  ? table[row[x]]
                                  : widen(p[2]) << 16 | widen(p[1]) << 8 | widen(p[0]));
        }
    return out;
}

inline std::optional<std::string> samples_dir() {
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    if (char const* env = std::getenv("ORVANE_SAMPLES"); env && *env) candidates.emplace_back(env);
    candidates.emplace_back(fs::current_path() / ".." / "samples");
    candidates.emplace_back(fs::current_path() / ".." / ".." / "build" / "samples");  // where .ci/run puts them
    for (fs::path const& dir : candidates) {
        std::error_code ec;
        if (fs::is_directory(dir / "usr", ec)) return fs::canonical(dir, ec).string();
    }
    return std::nullopt;
}

inline bool netpbm_available() {
    return std::system("(command -v giftopnm && command -v bmptopnm && command -v pamdepth) >/dev/null 2>&1") == 0;
}

// Regular files below `dir` whose names end in `suffix`, sorted.
inline std::vector<std::string> files_below(std::string const& dir, std::string const& suffix) {
    std::vector<std::string> files;
    std::error_code ec;
    for (auto const& entry : std::filesystem::recursive_directory_iterator(dir, ec))
        if (entry.is_regular_file() && entry.path().string().ends_with(suffix)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

inline std::string quoted(std::string const& path) {  // for the shell
    std::string out = "'";
    for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The image a netpbm command writes, nullopt when it fails. Its PBM, PGM or
// PPM output goes through ppmtoppm and pamdepth, so only raw PPM of maxval
// 255 ("P6 w h 255", one whitespace, the triples) needs parsing here.
inline std::optional<RgbPixels> run_oracle(std::string const& command) {
    FILE* pipe = ::popen(("((" + command + ") | ppmtoppm | pamdepth 255) 2>/dev/null").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string output;
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    std::istringstream in(output);
    std::string magic;
    RgbPixels image;
    int maxval = 0;
    if (!(in >> magic >> image.width >> image.height >> maxval) || magic != "P6" || maxval != 255)
        return std::nullopt;
    const std::size_t start = static_cast<std::size_t>(in.tellg()) + 1,
                      count = std::size_t(image.width) * image.height;
    if (output.size() != start + 3 * count) return std::nullopt;
    for (std::size_t i = start; i < output.size(); i += 3)
        image.rgb.push_back(std::uint32_t(std::uint8_t(output[i])) << 16 |
                            std::uint32_t(std::uint8_t(output[i + 1])) << 8 | std::uint8_t(output[i + 2]));
    return image;
}

}  // namespace image_test
