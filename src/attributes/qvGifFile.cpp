// GIF files: the file structure around the LZW data; see qvGifFile.hpp for
// the bytes written.
//
// Blocks read (the image counter starts at 1):
//   0x21 label ...      extension: label 0xF9 (graphic control) may set a
//                       pending transparent index; label 1 (plain text)
//                       drops it; the sub-blocks are skipped
//   0x2C descriptor     image: left, top, width, height (16 bits each), a
//                       packed byte (bit 7 local table, bit 6 interlaced,
//                       bits 0-2 table size), the table, the image data
//   anything else       ends reading (the trailer 0x3B among them)
// The requested image is built in a local bitmap that reaches the caller
// only when the whole file has been read.

#include <orvane/attributes/qvGifFile.hpp>

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorCube.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include "attributes/qvGifIO.hpp"
#include "attributes/qvImageFileSupport.hpp"
#include "core/qvStreamFields.hpp"

#include <cstdint>
#include <cstring>
#include <optional>

namespace {

constexpr int max_side = 65535;
constexpr int table_entries = 256;
constexpr unsigned char image_introducer = 0x2C;
constexpr unsigned char extension_introducer = 0x21;
constexpr unsigned char trailer = 0x3B;
constexpr unsigned char graphic_control_label = 0xF9;
constexpr unsigned char plain_text_label = 0x01;
constexpr unsigned char table_flag = 0x80;
constexpr unsigned char interlace_flag = 0x40;
constexpr int no_index = -1;   // no pending transparent index

// ---- writing ----------------------------------------------------------------------

// An RGBA or monochrome bitmap as an indexed bitmap over the colour cube.
qvBitmap to_indexed(qvBitmapReference const& source) {
    const qvColorCube cube;
    const qvRgbToIndex nearest(cube);
    const int width = source.width(), height = source.height();
    qvBitmap indexed(qvBitmapLayout(qvIndexedBitmap), width, height);
    indexed.colormap(cube);
    if (source.type() == qvRgbaBitmap) {
        const qvBitmapColor key = source.transparent_rgb();
        if (source.transparent()) indexed.transparent_index(255);
        for (int y = 0; y < height; ++y) {
            unsigned char const* bgra = source.scan_line(y);
            unsigned char* const out = indexed.scan_line(y);
            for (int x = 0; x < width; ++x, bgra += 4) {
                const bool clear = source.transparent() && bgra[3] == 255 && bgra[2] == key.red() &&
                                   bgra[1] == key.green() && bgra[0] == key.blue();
                out[x] = clear ? 255 : nearest(bgra[2], bgra[1], bgra[0]);
            }
        }
    } else {   // monochrome, most significant bit first
        const unsigned char black = nearest(0, 0, 0), white = nearest(255, 255, 255);
        if (source.transparent()) indexed.transparent_index(source.transparent_index() != 0 ? white : black);
        for (int y = 0; y < height; ++y) {
            unsigned char const* const bits = source.scan_line(y);
            unsigned char* const out = indexed.scan_line(y);
            for (int x = 0; x < width; ++x) out[x] = (bits[x >> 3] & (0x80 >> (x & 7))) ? white : black;
        }
    }
    return indexed;
}

void write_color_table(qvOutputStream& out, qvColorMapReference const& map) {
    const qvColorTableSlots table = qvColorTableBySlot(map);
    char bytes[3 * table_entries] = {};
    for (int i = 0; i < table.count; ++i) {
        bytes[3 * i] = static_cast<char>(table.colors[i].red());
        bytes[3 * i + 1] = static_cast<char>(table.colors[i].green());
        bytes[3 * i + 2] = static_cast<char>(table.colors[i].blue());
    }
    out.putn(bytes, sizeof bytes);
}

// ---- reading ----------------------------------------------------------------------

int read_byte(qvInputStream& in) { return qvReadValue<std::uint8_t>(in); }
int read16(qvInputStream& in) { return qvReadValue<std::uint16_t>(in); }

// Entries of a table whose packed byte says size bits s: 2^(s + 1).
int table_size(int packed) { return 2 << (packed & 7); }

qvColorMap read_gif_color_table(qvInputStream& in, int entries) {
    qvColorMap map(entries);
    for (int i = 0; i < entries; ++i) {
        unsigned char rgb[3];
        qvReadExact(in, rgb, 3);
        map[static_cast<unsigned char>(i)].color(qvBitmapColor(rgb[0], rgb[1], rgb[2]));
    }
    return map;
}

// What the logical screen descriptor gives every image.
struct Screen {
    int background = 0;
    int aspect = 0;
    qvColorMap colors = qvColorCube();
};

Screen read_screen(qvInputStream& in) {
    char signature[3];
    qvReadExact(in, signature, 3);
    if (std::memcmp(signature, "GIF", 3) != 0) qvGifIO::raise("Bad input stream");
    qvSkipInput(in, 7);   // version, screen width and height
    Screen screen;
    const int packed = read_byte(in);
    screen.background = read_byte(in);
    screen.aspect = read_byte(in);
    if (packed & table_flag) screen.colors = read_gif_color_table(in, table_size(packed));
    return screen;
}

// A graphic control extension, its label read. Its first sub-block holds
// the packed byte, the delay (2 bytes) and the transparent index; a set
// transparency bit makes that index pending, a clear one leaves any pending
// index alone.
void read_graphic_control(qvInputStream& in, int& pending) {
    const int length = read_byte(in);
    unsigned char fields[255];
    qvReadExact(in, fields, length);
    if (length >= 4 && (fields[0] & 1)) pending = fields[3];
    qvGifIO::skip_sub_blocks(in);
}

void skip_image(qvInputStream& in) {
    qvSkipInput(in, 8);   // left, top, width, height
    const int packed = read_byte(in);
    if (packed & table_flag) qvSkipInput(in, 3 * table_size(packed));
    qvSkipInput(in, 1);   // minimum code size
    qvGifIO::skip_sub_blocks(in);
}

qvBitmap read_image(qvInputStream& in, Screen const& screen, int pending) {
    qvSkipInput(in, 4);   // left, top
    const int width = read16(in);
    const int height = read16(in);
    if (qvImageTooLarge(qvBitmapLayout(qvIndexedBitmap), width, height))
        qvGifIO::raise("Invalid bitmap size on input");
    const int packed = read_byte(in);
    const qvColorMap colors =
        (packed & table_flag) ? read_gif_color_table(in, table_size(packed)) : screen.colors;

    qvBitmap image(qvBitmapLayout(qvIndexedBitmap), width, height);
    image.colormap(colors);
    if (pending != no_index)
        image.transparent_index(static_cast<unsigned char>(pending));
    else if (screen.background != 0)
        image.transparent_index(static_cast<unsigned char>(screen.background));
    if (screen.aspect != 0) image.dpi(72, (screen.aspect + 15) * 72 / 64);
    qvGifIO::read_image_data(in, image, (packed & interlace_flag) != 0);
    return image;
}

}   // namespace

// ---- the two functions ------------------------------------------------------------

void qvSaveToGif(qvOutputStream& out, qvBitmapReference const& bitmap, bool interlaced, bool gif89a) {
    QV_ASSERT_TEXT(out.is_open(), "output");
    qvCheckBitmapToWrite(bitmap);
    if (bitmap.width() > max_side || bitmap.height() > max_side) qvGifIO::raise("Bitmap too large for GIF");
    qvBitmap converted;
    qvBitmapReference indexed = bitmap;
    if (bitmap.type() != qvIndexedBitmap) {
        converted = to_indexed(bitmap);
        indexed = converted;
    }

    out.putn(gif89a ? "GIF89a" : "GIF87a", 6);
    qvWriteUint16(out, indexed.width());
    qvWriteUint16(out, indexed.height());
    out.put(static_cast<char>(0xF7));
    out.put(static_cast<char>(indexed.transparent() ? indexed.transparent_index() : 0));
    out.put(0);
    write_color_table(out, indexed.colormap());
    out.put(static_cast<char>(image_introducer));
    qvWriteUint16(out, 0);
    qvWriteUint16(out, 0);
    qvWriteUint16(out, indexed.width());
    qvWriteUint16(out, indexed.height());
    out.put(static_cast<char>(interlaced ? interlace_flag : 0));
    qvGifIO::write_image_data(out, indexed, interlaced);
    out.put(static_cast<char>(trailer));
}

bool qvLoadFromGif(qvInputStream& in, qvBitmap& bitmap, int image) {
    QV_ASSERT_TEXT(in.is_open(), "input");
    const Screen screen = read_screen(in);
    int pending = no_index;
    std::optional<qvBitmap> found;
    for (int counter = 1;; ++counter) {
        int introducer = read_byte(in);
        for (; introducer == extension_introducer; introducer = read_byte(in)) {
            const int label = read_byte(in);
            if (label == graphic_control_label) {
                read_graphic_control(in, pending);
            } else {
                if (label == plain_text_label) pending = no_index;
                qvGifIO::skip_sub_blocks(in);
            }
        }
        if (introducer != image_introducer) break;
        if (counter == image) {
            found = read_image(in, screen, pending);
        } else {
            pending = no_index;
            skip_image(in);
        }
    }
    if (!found) return false;
    bitmap = *found;
    return true;
}
