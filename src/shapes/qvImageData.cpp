// The image data's copy operators (see qvImageData.hpp).

#include <orvane/shapes/qvImageData.hpp>

#include <cstring>

std::int64_t qvImageData::pixel_bytes() const noexcept {
    if (header.row_bytes == 0)
        return header.image_size;
    return std::int64_t{header.row_bytes} * header.height;
}

void qvImageData::place_parts(char* first) {
    char* next = qvSelfRelative::align8(first);
    const std::int64_t colors = colormap_bytes();
    if (colors > 0) {
        qvSelfRelative::point(colormap_offset, next);
        next = qvSelfRelative::align8(next + colors);
    } else {
        colormap_offset = 0;
    }
    if (pixel_bytes() > 0)
        qvSelfRelative::point(pixel_offset, next);
    else
        pixel_offset = 0;
}

void qvImageData::copy_parts_from(qvImageData const& source) {
    header = source.header;
    anchor = source.anchor;
    unused = 0;
    // An offset is followed only while its part is not empty.
    if (const std::int64_t colors = source.colormap_bytes(); colors > 0)
        std::memmove(colormap(), source.colormap(), static_cast<std::size_t>(colors));
    if (const std::int64_t bytes = source.pixel_bytes(); bytes > 0)
        std::memmove(pixels(), source.pixels(), static_cast<std::size_t>(bytes));
}

void qvRestrictedImageData::copy_from(qvRestrictedImageData const& source) {
    image.header = source.image.header;
    alignment = source.alignment;
    unused = 0;
    x_resolution = source.x_resolution;
    y_resolution = source.y_resolution;
    image.place_parts(reinterpret_cast<char*>(this) + sizeof(qvRestrictedImageData));
    image.copy_parts_from(source.image);
}

void qvScaledImageData::copy_from(qvScaledImageData const& source) {
    image.header = source.image.header;
    x_vector = source.x_vector;
    y_vector = source.y_vector;
    image.place_parts(reinterpret_cast<char*>(this) + sizeof(qvScaledImageData));
    image.copy_parts_from(source.image);
}
