#pragma once
// qvBitmapReference: a view of a bitmap's three parts, the 48-byte header,
// the pixel bits and the colour entries. All bitmap code reads and writes
// bitmaps through it.
//
// Keeps true: the header pointer is never null; a view made without a
// header shows a shared, default-constructed empty header, which the setters
// refuse to change (an assertion) so that one view cannot alter every other
// empty view. Nothing is owned; a view is copied by value and must not
// outlive what it names.
//
// Pixels: rows of row_bytes bytes, row 0 the top row, each padded to a
// multiple of 4. Monochrome pixel x is bit (128 >> (x & 7)) of byte x >> 3;
// indexed pixels are single bytes; RGBA pixels are four bytes blue, green,
// red, alpha in memory. Coordinates given to scan_line and pixel must lie
// inside the bitmap.

#include <orvane/attributes/qvBitmapHeader.hpp>
#include <orvane/attributes/qvColorMapReference.hpp>

class qvColorMapEntry;

class qvBitmapReference {
public:
    qvBitmapReference() noexcept;
    // A null header stands for the shared empty header.
    qvBitmapReference(qvBitmapHeader* header, void* bits, qvColorMapEntry* colors) noexcept;

    qvBitmapHeader* header() const noexcept { return header_; }
    qvBitmapLayout layout() const noexcept { return header_->layout(); }
    int type() const noexcept { return header_->type; }
    int width() const noexcept { return header_->width; }
    int height() const noexcept { return header_->height; }
    int dpi_x() const noexcept { return header_->dpi_x; }
    int dpi_y() const noexcept { return header_->dpi_y; }
    int pixel_size() const noexcept { return header_->pixel_size; }
    int scan_line_size() const noexcept { return header_->row_bytes; }
    unsigned char* data() const noexcept { return bits_; }

    // Pixel bytes: row bytes x height, or the stored image size when row
    // bytes is 0 (headers without a per-pixel layout carry their size there).
    long size() const noexcept;
    // The start of row y; null when row bytes is 0.
    unsigned char* scan_line(int y) const noexcept;
    // The first byte of pixel (x, y). Pixels narrower than a byte have no
    // address: a pixel size that is not positive raises the assertion
    // "_header->_pixel_size > 0".
    unsigned char* pixel(int x, int y) const;

    void dpi(int x, int y);
    void dpi(int v) { dpi(v, v); }

    bool transparent() const noexcept { return header_->transparent != 0; }
    void no_transparency();
    // Both setters also set the transparency flag.
    void transparent_rgb(qvBitmapColor const& color);
    qvBitmapColor transparent_rgb() const noexcept { return header_->transparent_color; }
    void transparent_index(unsigned char index);
    unsigned char transparent_index() const noexcept { return header_->transparent_index; }

    // (colour count, simple flag, colour entries) of the header and view.
    qvColorMapReference colormap() const noexcept;

protected:
    qvBitmapHeader* header_;
    unsigned char* bits_;
    qvColorMapEntry* colors_;

private:
    qvBitmapHeader& writable_header() const;
};
