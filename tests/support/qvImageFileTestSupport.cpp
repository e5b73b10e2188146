// Test support for BMP and GIF files; see qvImageFileTestSupport.hpp.

#include "qvImageFileTestSupport.hpp"

#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/attributes/qvGifFile.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace image_test {

namespace fs = std::filesystem;

// ---- memory files -------------------------------------------------------------------

namespace {
template <class Write>
std::string written(Write&& write) {
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(0), false);
    write(out);
    return buffer.str();
}
}   // namespace

std::string save_bmp(qvBitmapReference const& bitmap) {
    return written([&](qvOutputStream& out) { qvSaveToBmp(out, bitmap); });
}

std::string save_gif(qvBitmapReference const& bitmap, bool interlaced, bool gif89a) {
    return written([&](qvOutputStream& out) { qvSaveToGif(out, bitmap, interlaced, gif89a); });
}

void load_bmp(std::string const& file, qvBitmap& target) {
    std::stringbuf buffer(file);
    qvInputStream in(&buffer);
    qvLoadFromBmp(in, target);
}

bool load_gif(std::string const& file, qvBitmap& target, int image) {
    std::stringbuf buffer(file);
    qvInputStream in(&buffer);
    return qvLoadFromGif(in, target, image);
}

std::uint32_t u32_at(std::string const& file, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, file.data() + offset, 4);
    return value;
}

std::uint16_t u16_at(std::string const& file, std::size_t offset) {
    std::uint16_t value = 0;
    std::memcpy(&value, file.data() + offset, 2);
    return value;
}

void put_u32(std::string& file, std::size_t offset, std::uint32_t value) {
    std::memcpy(file.data() + offset, &value, 4);
}

void put_u16(std::string& file, std::size_t offset, std::uint16_t value) {
    std::memcpy(file.data() + offset, &value, 2);
}

// ---- bitmaps ------------------------------------------------------------------------

qvBitmap indexed_bitmap(int width, int height, std::vector<unsigned char> const& pixels, int colors) {
    qvBitmap bitmap(qvBitmapLayout(qvIndexedBitmap), width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.scan_line(y)[x] = pixels.at(static_cast<std::size_t>(y) * width + x);
    qvColorMap map(colors);
    for (int i = 0; i < colors; ++i)
        map[static_cast<unsigned char>(i)].color(qvBitmapColor(i, 255 - i, 3 * i));
    bitmap.colormap(map);
    return bitmap;
}

qvBitmap rgba_bitmap(int width, int height) {
    qvBitmap bitmap(qvBitmapLayout(qvRgbaBitmap), width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = bitmap.pixel(x, y);
            p[0] = static_cast<unsigned char>(x);
            p[1] = static_cast<unsigned char>(y);
            p[2] = static_cast<unsigned char>(x + y);
            p[3] = 255;
        }
    return bitmap;
}

std::vector<unsigned char> pixel_bytes(qvBitmapReference const& bitmap) {
    const long row =
        (bitmap.pixel_size() > 0) ? long{bitmap.width()} * bitmap.pixel_size() : (bitmap.width() + 7) / 8;
    std::vector<unsigned char> bytes;
    for (int y = 0; y < bitmap.height(); ++y)
        bytes.insert(bytes.end(), bitmap.scan_line(y), bitmap.scan_line(y) + row);
    return bytes;
}

std::vector<int> map_values(qvBitmapReference const& bitmap) {
    std::vector<int> values;
    const qvColorMapReference map = bitmap.colormap();
    for (int i = 0; i < map.size(); ++i) {
        qvColorMapEntry const& e = map.data()[i];
        values.insert(values.end(), {e.red(), e.green(), e.blue(), e.index()});
    }
    return values;
}

RgbPixels rgb_of(qvBitmapReference const& bitmap, bool scale16) {
    std::optional<std::uint32_t> table[256];
    const qvColorMapReference map = bitmap.colormap();
    for (int i = 0; i < map.size(); ++i) {
        qvColorMapEntry const& e = map.data()[i];
        if (!table[e.index()])
            table[e.index()] = std::uint32_t(e.red()) << 16 | std::uint32_t(e.green()) << 8 | e.blue();
    }
    auto widen = [&](unsigned v) { return scale16 ? v * 255 / 31 : v; };
    RgbPixels out;
    out.width = bitmap.width();
    out.height = bitmap.height();
    for (int y = 0; y < bitmap.height(); ++y) {
        unsigned char const* row = bitmap.scan_line(y);
        for (int x = 0; x < bitmap.width(); ++x) {
            switch (bitmap.type()) {
            case qvMonochromeBitmap:
                out.rgb.push_back(table[(row[x >> 3] >> (7 - (x & 7))) & 1]);
                break;
            case qvIndexedBitmap:
                out.rgb.push_back(table[row[x]]);
                break;
            default: {
                unsigned char const* p = row + 4 * x;
                out.rgb.push_back(widen(p[2]) << 16 | widen(p[1]) << 8 | widen(p[0]));
            }
            }
        }
    }
    return out;
}

// ---- samples and the oracle ----------------------------------------------------------

std::optional<std::string> samples_dir() {
    std::vector<fs::path> candidates;
    if (char const* env = std::getenv("ORVANE_SAMPLES"); env && *env) candidates.emplace_back(env);
    // Tests run in <build dir>/tests; the samples live in build/samples of
    // the source tree, which holds the other build directories too.
    candidates.emplace_back(fs::current_path() / ".." / "samples");
    candidates.emplace_back(fs::current_path() / ".." / ".." / "build" / "samples");
    for (fs::path const& dir : candidates) {
        std::error_code ec;
        if (fs::is_directory(dir / "usr", ec)) return fs::canonical(dir, ec).string();
    }
    return std::nullopt;
}

bool netpbm_available() {
    return std::system("command -v giftopnm >/dev/null 2>&1 && command -v bmptopnm >/dev/null 2>&1") == 0;
}

std::string read_file(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> files_below(std::string const& dir, std::string const& suffix) {
    std::vector<std::string> files;
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return files;
    for (auto const& entry : fs::recursive_directory_iterator(dir, ec)) {
        const std::string name = entry.path().string();
        if (entry.is_regular_file() && name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string quoted(std::string const& path) {
    std::string out = "'";
    for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

namespace {

// A raw PNM file (P4, P5 or P6, what netpbm writes) as RGB pixels scaled
// to 0..255.
class PnmParser {
public:
    explicit PnmParser(std::string text) : text_(std::move(text)) {}

    std::optional<RgbPixels> parse() {
        if (text_.size() < 2 || text_[0] != 'P' || text_[1] < '4' || text_[1] > '6') return std::nullopt;
        const int kind = text_[1] - '0';
        pos_ = 2;
        RgbPixels image;
        image.width = number();
        image.height = number();
        const long maxval = kind == 4 ? 1 : number();
        if (image.width < 0 || image.height < 0 || maxval <= 0) return std::nullopt;
        const int channels = kind == 6 ? 3 : 1;
        const std::size_t count = std::size_t(image.width) * image.height;
        for (int y = 0; y < image.height; ++y) {
            bit_ = 0;
            for (int x = 0; x < image.width; ++x) {
                unsigned c[3];
                for (int k = 0; k < channels; ++k) {
                    long v = kind == 4 ? packed_bit() : sample(maxval);
                    if (v < 0) return std::nullopt;
                    if (kind == 4) v = 1 - v;   // PBM: 1 is black
                    c[k] = static_cast<unsigned>((v * 255 + maxval / 2) / maxval);
                }
                if (channels == 1) c[1] = c[2] = c[0];
                image.rgb.push_back(c[0] << 16 | c[1] << 8 | c[2]);
            }
            if (kind == 4 && bit_ != 0) ++pos_;
        }
        if (image.rgb.size() != count) return std::nullopt;
        return image;
    }

private:
    long number() {
        while (pos_ < text_.size()) {
            if (text_[pos_] == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (std::isspace(static_cast<unsigned char>(text_[pos_]))) {
                ++pos_;
            } else {
                break;
            }
        }
        if (pos_ >= text_.size() || !std::isdigit(static_cast<unsigned char>(text_[pos_]))) return -1;
        long v = 0;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
            v = v * 10 + (text_[pos_++] - '0');
        ++pos_;
        return v;
    }
    long sample(long maxval) {
        const std::size_t bytes = maxval > 255 ? 2 : 1;
        if (pos_ + bytes > text_.size()) return -1;
        long v = static_cast<unsigned char>(text_[pos_]);
        if (bytes == 2) v = v << 8 | static_cast<unsigned char>(text_[pos_ + 1]);
        pos_ += bytes;
        return v;
    }
    long packed_bit() {
        if (pos_ >= text_.size()) return -1;
        const long v = (static_cast<unsigned char>(text_[pos_]) >> (7 - bit_)) & 1;
        if (++bit_ == 8) {
            bit_ = 0;
            ++pos_;
        }
        return v;
    }

    std::string text_;
    std::size_t pos_ = 0;
    int bit_ = 0;
};

}   // namespace

std::optional<RgbPixels> run_oracle(std::string const& command) {
    FILE* pipe = ::popen(("(" + command + ") 2>/dev/null").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string output;
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    return PnmParser(std::move(output)).parse();
}

ScratchFile::ScratchFile(std::string const& suffix) {
    std::string pattern = (fs::temp_directory_path() / "qvimage-XXXXXX").string() + suffix;
    const int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd >= 0) ::close(fd);
    path_ = pattern;
}

ScratchFile::~ScratchFile() { std::remove(path_.c_str()); }

void ScratchFile::write(std::string const& bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}   // namespace image_test
