#pragma once
// Test support for BMP and GIF files: files written to and read from memory,
// bitmaps made for the tests, the sample files from Debian packages and the
// netpbm programs that serve as an independent decoder.
//
// Samples are looked for in $ORVANE_SAMPLES, then, from the working
// directory <build dir>/tests, in ../samples and ../../build/samples. Tests
// that need samples or netpbm skip when they are absent.

#include <orvane/attributes/qvBitmap.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace image_test {

// ---- memory files -------------------------------------------------------------------

std::string save_bmp(qvBitmapReference const& bitmap);
std::string save_gif(qvBitmapReference const& bitmap, bool interlaced = false, bool gif89a = false);
// Read into `target`; the GIF form returns what qvLoadFromGif returns.
void load_bmp(std::string const& file, qvBitmap& target);
bool load_gif(std::string const& file, qvBitmap& target, int image = 1);

// Little-endian fields of a file image.
std::uint32_t u32_at(std::string const& file, std::size_t offset);
std::uint16_t u16_at(std::string const& file, std::size_t offset);
void put_u32(std::string& file, std::size_t offset, std::uint32_t value);
void put_u16(std::string& file, std::size_t offset, std::uint16_t value);

// ---- bitmaps ------------------------------------------------------------------------

// An indexed bitmap with pixels from `pixels` row by row and an identity map
// of `colors` entries whose entry i is (i, 255 - i, 3 i).
qvBitmap indexed_bitmap(int width, int height, std::vector<unsigned char> const& pixels, int colors = 256);
// An RGBA bitmap whose pixel (x, y) has blue x, green y, red x + y, alpha 255.
qvBitmap rgba_bitmap(int width, int height);

// Every pixel byte of the rows, without row padding.
std::vector<unsigned char> pixel_bytes(qvBitmapReference const& bitmap);
// Colour map entries as (r, g, b, index) quadruples.
std::vector<int> map_values(qvBitmapReference const& bitmap);

// A bitmap's pixels as RGB triples: indexed and monochrome pixels through
// their colour map (nullopt for a pixel beyond it), RGBA as stored;
// `scale16` widens 5-bit channels to 0..255 as netpbm does (v x 255 / 31,
// truncated).
struct RgbPixels {
    int width = 0;
    int height = 0;
    std::vector<std::optional<std::uint32_t>> rgb;   // 0xRRGGBB
};
RgbPixels rgb_of(qvBitmapReference const& bitmap, bool scale16 = false);

// ---- samples and the oracle ----------------------------------------------------------

std::optional<std::string> samples_dir();
bool netpbm_available();
std::string read_file(std::string const& path);
// Regular files below `dir` whose names end in `suffix`, sorted.
std::vector<std::string> files_below(std::string const& dir, std::string const& suffix);

// Runs `command` (a netpbm pipeline ending in PNM on standard output) and
// returns its image, nullopt when it fails. Channels are scaled to 0..255.
std::optional<RgbPixels> run_oracle(std::string const& command);
// A shell-quoted path.
std::string quoted(std::string const& path);

// A scratch file removed at scope end.
class ScratchFile {
public:
    explicit ScratchFile(std::string const& suffix);
    ~ScratchFile();
    ScratchFile(ScratchFile const&) = delete;
    ScratchFile& operator=(ScratchFile const&) = delete;
    std::string const& path() const { return path_; }
    void write(std::string const& bytes) const;

private:
    std::string path_;
};

}   // namespace image_test
