// qvBitmapReference: pixel addressing and header setters; see the header.

#include <orvane/attributes/qvBitmapReference.hpp>

#include <orvane/core/qvAssertionError.hpp>

#include <cstddef>

namespace {

// Shared by every view made without a header; never written.
qvBitmapHeader& shared_empty_header() noexcept {
    static qvBitmapHeader empty;
    return empty;
}

}  // namespace

qvBitmapReference::qvBitmapReference() noexcept
    : header_(&shared_empty_header()), bits_(nullptr), colors_(nullptr) {}

qvBitmapReference::qvBitmapReference(qvBitmapHeader* header, void* bits,
                                     qvColorMapEntry* colors) noexcept
    : header_(header ? header : &shared_empty_header()),
      bits_(static_cast<unsigned char*>(bits)),
      colors_(colors) {}

long qvBitmapReference::size() const noexcept {
    if (header_->row_bytes == 0) return header_->image_size;
    return static_cast<long>(header_->row_bytes) * header_->height;
}

unsigned char* qvBitmapReference::scan_line(int y) const noexcept {
    if (header_->row_bytes == 0) return nullptr;
    return bits_ + static_cast<std::ptrdiff_t>(y) * header_->row_bytes;
}

unsigned char* qvBitmapReference::pixel(int x, int y) const {
    QV_ASSERT_TEXT(header_->pixel_size > 0, "_header->_pixel_size > 0");
    return bits_ + static_cast<std::ptrdiff_t>(x) * header_->pixel_size +
           static_cast<std::ptrdiff_t>(y) * header_->row_bytes;
}

qvBitmapHeader& qvBitmapReference::writable_header() const {
    QV_ASSERT(header_ != &shared_empty_header());
    return *header_;
}

void qvBitmapReference::dpi(int x, int y) {
    qvBitmapHeader& header = writable_header();
    header.dpi_x = x;
    header.dpi_y = y;
}

void qvBitmapReference::no_transparency() { writable_header().transparent = 0; }

void qvBitmapReference::transparent_rgb(qvBitmapColor const& color) {
    qvBitmapHeader& header = writable_header();
    header.transparent_color = color;
    header.transparent = 1;
}

void qvBitmapReference::transparent_index(unsigned char index) {
    qvBitmapHeader& header = writable_header();
    header.transparent_index = index;
    header.transparent = 1;
}

qvColorMapReference qvBitmapReference::colormap() const noexcept {
    return qvColorMapReference(header_->color_count, header_->colormap_simple != 0, colors_);
}
