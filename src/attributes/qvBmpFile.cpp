// BMP files: writer and reader; see qvBmpFile.hpp for the layout.
//
// The reader checks every header field before it allocates, reads the pixel
// rows before it makes the bitmap (so a short file never makes it allocate
// what the file does not hold), builds the new bitmap in a local and hands
// it over only when the whole file has been read, so a failed read leaves
// the caller's bitmap as it was. Sizes are computed in 64 bits.

#include <orvane/attributes/qvBmpFile.hpp>

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include "attributes/qvColorMapLimits.hpp"
#include "attributes/qvImageFileSupport.hpp"
#include "core/qvStreamFields.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint16_t signature = 0x4D42;   // "BM"
constexpr std::int64_t file_header_bytes = 14;
constexpr std::int64_t info_header_bytes = 40;
constexpr std::int64_t tables_offset = file_header_bytes + info_header_bytes;

// ---- writing ----------------------------------------------------------------------

void put32(qvOutputStream& out, std::int64_t value) { qvWriteValue(out, qvCheckedInt32(value)); }

// Pixels per metre of a resolution: the writer's truncating form.
std::int64_t pixels_per_metre(int dpi) { return std::int64_t{dpi} * 10000 / 254; }

struct BmpTable {
    int bit_count = 0;
    qvColorTableSlots colors;
};

BmpTable table_for(qvBitmapReference const& bitmap) {
    BmpTable table;
    switch (bitmap.type()) {
    case qvMonochromeBitmap:
        table.bit_count = 1;
        table.colors.count = 2;
        table.colors.colors[1] = qvBitmapColor(255, 255, 255);
        break;
    case qvIndexedBitmap:
        table.bit_count = 8;
        table.colors = qvColorTableBySlot(bitmap.colormap());
        break;
    default:   // RGBA: qvCheckBitmapToWrite let no other type through
        table.bit_count = 32;
        break;
    }
    return table;
}

// ---- reading ----------------------------------------------------------------------

// The fields of the two headers that the reader uses.
struct BmpHeader {
    std::uint32_t data_offset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bit_count = 0;
    std::uint32_t ppm_x = 0;
    std::uint32_t ppm_y = 0;
    std::uint32_t colors_used = 0;
};

[[noreturn]] void raise(qvInputStream& in, char const* message) { qvThrowInputStreamError(in, message); }

// Reads the 54 header bytes field by field, checking each as soon as it and
// the fields it depends on are known.
BmpHeader read_header(qvInputStream& in) {
    BmpHeader h;
    if (qvReadValue<std::uint16_t>(in) != signature) raise(in, "Invalid bitmap signature on input");
    qvSkipInput(in, 8);   // file size, reserved
    h.data_offset = qvReadValue<std::uint32_t>(in);
    if (qvReadValue<std::uint32_t>(in) != info_header_bytes) raise(in, "Unknown version of bitmap");
    h.width = qvReadValue<std::int32_t>(in);
    h.height = qvReadValue<std::int32_t>(in);
    qvSkipInput(in, 2);   // planes
    h.bit_count = qvReadValue<std::uint16_t>(in);
    if (qvReadValue<std::uint32_t>(in) != 0) raise(in, "Compressed and custom bitmaps not supported");
    switch (h.bit_count) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        raise(in, "Invalid bit count of bitmap on input");
    }
    qvSkipInput(in, 4);   // image size
    h.ppm_x = qvReadValue<std::uint32_t>(in);
    h.ppm_y = qvReadValue<std::uint32_t>(in);
    h.colors_used = qvReadValue<std::uint32_t>(in);
    qvSkipInput(in, 4);   // important colours
    return h;
}

qvStandardBitmapType type_for(int bit_count) {
    if (bit_count == 1) return qvMonochromeBitmap;
    return bit_count <= 8 ? qvIndexedBitmap : qvRgbaBitmap;
}

// Colours-used, or the full table of a 1, 4 or 8-bit file when that is 0.
std::uint32_t color_count_for(BmpHeader const& h) {
    if (h.colors_used != 0 || h.bit_count > 8) return h.colors_used;
    return std::uint32_t{1} << h.bit_count;
}

// Rounds, so that the writer's 72 dpi (2834 per metre) reads back as 72.
int dpi_for(std::uint32_t pixels_per_metre) {
    const std::int64_t dpi = (std::int64_t{pixels_per_metre} * 254 + 5000) / 10000;
    return dpi == 0 ? 72 : static_cast<int>(dpi);
}

// Bytes of one file row: the pixels at the file's depth, padded to 4.
std::int64_t file_row_bytes(int bit_count, std::int64_t width) {
    return ((width * bit_count + 7) / 8 + 3) / 4 * 4;
}

void check_size(qvInputStream& in, BmpHeader const& h) {
    const std::int64_t rows = h.height < 0 ? -std::int64_t{h.height} : h.height;
    // A file row is never longer than the bitmap row it becomes, so this
    // bounds the file's rows too.
    if (h.width <= 0 || rows == 0 || qvImageTooLarge(qvBitmapLayout(type_for(h.bit_count)), h.width, rows))
        raise(in, "Invalid bitmap size on input");
}

qvColorMap read_bmp_color_table(qvInputStream& in, int count) {
    qvColorMap map(count);
    for (int i = 0; i < count; ++i) {
        unsigned char bgr0[4];
        qvReadExact(in, bgr0, 4);
        map[static_cast<unsigned char>(i)].color(qvBitmapColor(bgr0[2], bgr0[1], bgr0[0]));
    }
    return map;
}

// Turns one file row into one bitmap row of `width` pixels.
void convert_row(int bit_count, unsigned char const* from, unsigned char* to, int width) {
    switch (bit_count) {
    case 4:   // two pixels a byte, high nibble first
        for (int x = 0; x < width; ++x) to[x] = (x & 1) ? from[x / 2] & 0x0F : from[x / 2] >> 4;
        break;
    case 16:   // x1555 little-endian; the 5-bit channels are kept unscaled
        for (int x = 0; x < width; ++x, from += 2, to += 4) {
            const unsigned v = from[0] | from[1] << 8;
            to[0] = v & 31;
            to[1] = (v >> 5) & 31;
            to[2] = (v >> 10) & 31;
            to[3] = 0;
        }
        break;
    case 24:   // blue, green, red; alpha 0
        for (int x = 0; x < width; ++x, from += 3, to += 4) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = 0;
        }
        break;
    }
}

// 1, 8 and 32-bit file rows are laid out as the bitmap's own rows.
bool rows_as_stored(int bit_count) { return bit_count == 1 || bit_count == 8 || bit_count == 32; }

// The file's pixel rows, read in pieces of at most 1 MiB before the bitmap
// is made: what is allocated never runs ahead of what the input holds, so a
// header announcing a huge image over a short file costs no more memory
// than the file. Short data raises "Incomplete bitmap on input" for rows
// taken as stored and "Incomplete data on input" for rows to convert.
std::vector<unsigned char> read_file_rows(qvInputStream& in, BmpHeader const& h, int rows) {
    constexpr std::int64_t piece_limit = std::int64_t{1} << 20;
    const std::int64_t total = file_row_bytes(h.bit_count, h.width) * rows;
    char const* const short_message =
        rows_as_stored(h.bit_count) ? "Incomplete bitmap on input" : "Incomplete data on input";
    std::vector<unsigned char> bytes;
    for (std::int64_t at = 0; at < total;) {
        const int piece = static_cast<int>(std::min(total - at, piece_limit));
        bytes.resize(static_cast<std::size_t>(at + piece));
        if (in.getn(reinterpret_cast<char*>(bytes.data() + at), piece) != piece) raise(in, short_message);
        at += piece;
    }
    return bytes;
}

// Copies or converts the file rows into the bitmap; a negative height
// stores the rows top-down, a positive one bottom-up.
void store_rows(BmpHeader const& h, std::vector<unsigned char> const& file_rows, qvBitmap& target) {
    const int height = target.height();
    const std::size_t row_bytes = static_cast<std::size_t>(file_row_bytes(h.bit_count, h.width));
    for (int k = 0; k < height; ++k) {
        const int y = h.height < 0 ? k : height - 1 - k;
        unsigned char const* const from = file_rows.data() + static_cast<std::size_t>(k) * row_bytes;
        if (rows_as_stored(h.bit_count))
            std::memcpy(target.scan_line(y), from, row_bytes);
        else
            convert_row(h.bit_count, from, target.scan_line(y), h.width);
    }
}

}   // namespace

// ---- the two functions ------------------------------------------------------------

void qvSaveToBmp(qvOutputStream& out, qvBitmapReference const& bitmap) {
    qvCheckBitmapToWrite(bitmap);
    const BmpTable table = table_for(bitmap);
    const std::int64_t image_bytes = bitmap.size();
    const std::int64_t data_offset = tables_offset + 4 * std::int64_t{table.colors.count};
    // Every field that could fail is computed before the first byte goes out.
    const std::int32_t file_bytes = qvCheckedInt32(data_offset + image_bytes);
    const std::int32_t ppm_x = qvCheckedInt32(pixels_per_metre(bitmap.dpi_x()));
    const std::int32_t ppm_y = qvCheckedInt32(pixels_per_metre(bitmap.dpi_y()));

    qvWriteUint16(out, signature);
    put32(out, file_bytes);
    put32(out, 0);
    put32(out, data_offset);
    put32(out, info_header_bytes);
    put32(out, bitmap.width());
    put32(out, bitmap.height());
    qvWriteUint16(out, 1);
    qvWriteUint16(out, table.bit_count);
    put32(out, 0);
    put32(out, image_bytes);
    put32(out, ppm_x);
    put32(out, ppm_y);
    put32(out, table.colors.count);
    put32(out, 0);
    for (int i = 0; i < table.colors.count; ++i) {
        qvBitmapColor const& c = table.colors.colors[i];
        const char bgr0[4] = {static_cast<char>(c.blue()), static_cast<char>(c.green()),
                              static_cast<char>(c.red()), 0};
        out.putn(bgr0, 4);
    }
    for (int y = bitmap.height() - 1; y >= 0; --y)
        out.putn(reinterpret_cast<char const*>(bitmap.scan_line(y)), bitmap.scan_line_size());
}

void qvLoadFromBmp(qvInputStream& in, qvBitmap& bitmap) {
    const BmpHeader h = read_header(in);
    check_size(in, h);
    const std::uint32_t colors = color_count_for(h);
    // Read unsigned: a huge count must not pass as a negative one.
    qvCheckColorCount(static_cast<int>(std::min<std::uint32_t>(colors, qvColorMap::max_entries + 1)));
    const std::int64_t tables_end = tables_offset + 4 * std::int64_t{colors};
    if (h.data_offset < tables_end) raise(in, "Invalid bitmap data offset on input");

    const qvColorMap map = read_bmp_color_table(in, static_cast<int>(colors));
    qvSkipInput(in, h.data_offset - tables_end);
    const int rows = static_cast<int>(h.height < 0 ? -std::int64_t{h.height} : h.height);
    const std::vector<unsigned char> file_rows = read_file_rows(in, h, rows);
    qvBitmap loaded(qvBitmapLayout(type_for(h.bit_count)), h.width, rows);
    loaded.dpi(dpi_for(h.ppm_x), dpi_for(h.ppm_y));
    loaded.colormap(map);
    store_rows(h, file_rows, loaded);
    bitmap = loaded;
}
