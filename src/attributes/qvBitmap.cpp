// qvBitmap: shared storage, colour maps and the stream form; see the header
// for the invariants and the byte layout.

#include <orvane/attributes/qvBitmap.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "attributes/qvBitmapHeaderCheck.hpp"
#include "attributes/qvColorEntryStream.hpp"
#include "attributes/qvColorMapLimits.hpp"
#include "core/qvStreamFields.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr int header_bytes = 48;

// What the storage of a bitmap built from `view` may hold.
void check_storage_sizes(qvBitmapReference const& view) {
    if (view.width() < 0 || view.height() < 0) qvRaiseBitmapSize();
    const long size = view.size();
    if (size < 0 || size > qvBitmapMaxField) qvRaiseBitmapSize();
    qvCheckColorCount(view.header()->color_count);
}

// ---- the 48-byte header on streams ----------------------------------------------

void put_int32(char* at, std::int32_t value) { std::memcpy(at, &value, 4); }

std::int32_t get_int32(unsigned char const* at) {
    std::int32_t value;
    std::memcpy(&value, at, 4);
    return value;
}

void encode_header(qvBitmapHeader const& h, char* bytes) {
    const std::int32_t fields[] = {h.type,   h.pixel_size, h.row_bytes,   h.width,
                                   h.height, h.image_size, h.color_count, h.colormap_simple,
                                   h.dpi_x,  h.dpi_y};
    for (int k = 0; k < 10; ++k) put_int32(bytes + 4 * k, fields[k]);
    bytes[40] = static_cast<char>(h.transparent);
    bytes[41] = static_cast<char>(h.transparent_color.red());
    bytes[42] = static_cast<char>(h.transparent_color.green());
    bytes[43] = static_cast<char>(h.transparent_color.blue());
    bytes[44] = static_cast<char>(h.transparent_index);
    for (int k = 0; k < 3; ++k) bytes[45 + k] = static_cast<char>(h.padding[k]);
}

qvBitmapHeader decode_header(unsigned char const* bytes) {
    qvBitmapHeader h;
    std::int32_t* fields[] = {&h.type,   &h.pixel_size, &h.row_bytes,   &h.width,
                              &h.height, &h.image_size, &h.color_count, &h.colormap_simple,
                              &h.dpi_x,  &h.dpi_y};
    for (int k = 0; k < 10; ++k) *fields[k] = get_int32(bytes + 4 * k);
    h.transparent = bytes[40];
    h.transparent_color = qvBitmapColor(bytes[41], bytes[42], bytes[43]);
    h.transparent_index = bytes[44];
    for (int k = 0; k < 3; ++k) h.padding[k] = bytes[45 + k];
    return h;
}

}  // namespace

// ---- construction -----------------------------------------------------------------

qvBitmap::qvBitmap() noexcept : qvBitmapReference(&own_header_, nullptr, nullptr) {}

qvBitmap::qvBitmap(qvBitmapLayout const& layout, int width, int height)
    : qvBitmapReference(&own_header_, nullptr, nullptr),
      own_header_(layout, width, height),
      pixels_(new PixelStorage(static_cast<std::size_t>(size()))) {
    point_at_storage();
}

qvBitmap::qvBitmap(qvBitmapReference const& source)
    : qvBitmapReference(&own_header_, nullptr, nullptr), own_header_(*source.header()) {
    check_storage_sizes(*this);
    const long count = size();
    pixels_ = new PixelStorage(static_cast<std::size_t>(count));
    if (source.data() && count > 0)
        std::memcpy(pixels_->items.data(), source.data(), static_cast<std::size_t>(count));
    const int colors = own_header_.color_count;
    colors_held_ = new ColorStorage(static_cast<std::size_t>(colors));
    if (source.colormap().data())
        std::copy_n(source.colormap().data(), colors, colors_held_->items.data());
    point_at_storage();
}

qvBitmap::qvBitmap(qvBitmap const& other) noexcept
    : qvBitmapReference(&own_header_, nullptr, nullptr),
      own_header_(other.own_header_),
      pixels_(other.pixels_),
      colors_held_(other.colors_held_) {
    point_at_storage();
}

qvBitmap& qvBitmap::operator=(qvBitmap const& other) noexcept {
    own_header_ = other.own_header_;
    pixels_ = other.pixels_;
    colors_held_ = other.colors_held_;
    point_at_storage();
    return *this;
}

qvBitmap& qvBitmap::operator=(qvBitmapReference const& source) {
    const qvBitmap rebuilt(source);   // source may be a view of this bitmap
    return *this = rebuilt;
}

void qvBitmap::point_at_storage() noexcept {
    header_ = &own_header_;
    bits_ = pixels_ ? pixels_->items.data() : nullptr;
    colors_ = colors_held_ ? colors_held_->items.data() : nullptr;
}

void qvBitmap::colormap(qvColorMapReference const& map) {
    qvCheckColorCount(map.size());
    qvISafePtr<ColorStorage> colors(new ColorStorage(static_cast<std::size_t>(map.size())));
    if (map.data()) std::copy_n(map.data(), map.size(), colors->items.data());
    own_header_.color_count = map.size();
    own_header_.colormap_simple = map.simple() ? 1 : 0;
    colors_held_ = colors;
    point_at_storage();
}

// ---- persistence --------------------------------------------------------------------

void qvBitmap::save(qvOutputStream& os) const {
    char bytes[header_bytes];
    encode_header(own_header_, bytes);
    os.putn(bytes, header_bytes);

    // The header is writable through header(): refuse one that no longer
    // matches the storage rather than write past it.
    const long count = size();
    if (count > 0) {
        QV_ASSERT_TEXT(pixels_ && count <= static_cast<long>(pixels_->items.size()),
                       "the pixel storage holds size() bytes");
        os.putn(reinterpret_cast<char const*>(bits_), static_cast<int>(count));
    }
    const int colors = own_header_.color_count;
    QV_ASSERT_TEXT(
        colors >= 0 && colors <= (colors_held_ ? static_cast<long>(colors_held_->items.size()) : 0),
        "the colour storage holds the header's colour count");
    qvWriteColorEntries(os, colors_, colors);
}

// Grows the block as bytes arrive, never beyond twice what was read plus
// one piece, so a header announcing far more than the stream holds fails
// before any large allocation.
qvISafePtr<qvBitmap::PixelStorage> qvBitmap::read_pixels(qvInputStream& is, long count) {
    constexpr long piece_bytes = 1L << 16;
    qvISafePtr<PixelStorage> block(new PixelStorage(0));
    std::vector<unsigned char>& bytes = block->items;
    long done = 0;
    while (done < count) {
        const long piece = std::min(piece_bytes, count - done);
        if (static_cast<long>(bytes.capacity()) < done + piece)
            bytes.reserve(
                static_cast<std::size_t>(std::min(count, std::max(2 * done, done + piece))));
        bytes.resize(static_cast<std::size_t>(done + piece));
        qvReadExact(is, bytes.data() + done, static_cast<int>(piece));
        done += piece;
    }
    return block;
}

void qvBitmap::load(qvInputStream& is) {
    unsigned char bytes[header_bytes];
    qvReadExact(is, bytes, header_bytes);
    qvBitmap loaded;
    loaded.own_header_ = decode_header(bytes);
    if (!qvBitmapHeaderIsValid(loaded.own_header_))
        qvThrowInputStreamError(is, "Invalid bitmap header on input");
    loaded.pixels_ = read_pixels(is, loaded.size());
    const int colors = loaded.own_header_.color_count;
    loaded.colors_held_ = new ColorStorage(static_cast<std::size_t>(colors));
    qvReadColorEntries(is, loaded.colors_held_->items.data(), colors);
    loaded.point_at_storage();
    *this = loaded;
}
