// The shape record check (see qvShapeRecordCheck.hpp). Fields are read at
// their record offsets, not through the data structs: a record's kind code
// and proxy class id may name different layouts, and both are checked.

#include "shapes/qvShapeRecordCheck.hpp"

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

#include <cstdint>
#include <cstring>

namespace {

constexpr std::int64_t record_header_size = sizeof(qvShapeBase);
constexpr std::int32_t max_colors = 256;

enum class Layout { plain, compact_points, exact_points, compact_bezier, exact_bezier, text, image };

// Record offsets of the fields the check reads.
constexpr std::int64_t count_at = 40, nodes_offset_at = 44;
constexpr std::int64_t text_length_at = 108, text_offset_at = 110;
constexpr std::int64_t row_bytes_at = 48, height_at = 56, image_size_at = 60, color_count_at = 64;
constexpr std::int64_t pixel_offset_at = 104, colormap_offset_at = 106;

Layout layout_of(long kind) noexcept {
    switch (kind) {
    case qvCompactPolyMarkerKind:
    case qvCompactPolylineKind:
    case qvCompactPolygonKind:
        return Layout::compact_points;
    case qvExactPolyMarkerKind:
    case qvExactPolylineKind:
    case qvExactPolygonKind:
        return Layout::exact_points;
    case qvCompactBezierKind:
        return Layout::compact_bezier;
    case qvExactBezierKind:
        return Layout::exact_bezier;
    case qvRestrictedTextKind:
    case qvScaledTextKind:
        return Layout::text;
    case qvRestrictedImageKind:
    case qvScaledImageKind:
        return Layout::image;
    default:
        return Layout::plain;
    }
}

class RecordBytes {
public:
    explicit RecordBytes(qvShapeBase const& record) noexcept
        : bytes_(reinterpret_cast<unsigned char const*>(&record)), size_(record.size) {}

    std::int64_t size() const noexcept { return size_; }

    template <class T>
    std::int64_t at(std::int64_t offset) const noexcept {
        T value;
        std::memcpy(&value, bytes_ + offset, sizeof value);
        return value;
    }
    unsigned char byte(std::int64_t offset) const noexcept { return bytes_[offset]; }

    // Where the part of the int16 self-relative offset at `field` begins.
    std::int64_t part_start(std::int64_t field) const noexcept { return field + at<std::int16_t>(field); }

    // Whether a part of `length` bytes at `start` lies after the fixed part,
    // aligned, and inside the record.
    bool part_fits(std::int64_t fixed, std::int64_t start, std::int64_t length, int alignment) const noexcept {
        return start >= fixed && start % alignment == 0 && length <= size_ - start;
    }

private:
    unsigned char const* bytes_;
    std::int64_t size_;
};

bool nodes_fit(RecordBytes const& r, std::int64_t fixed, std::int64_t node_bytes, int alignment) noexcept {
    const std::int64_t count = r.at<std::int32_t>(count_at);
    if (count < 0)
        return false;
    return count == 0 || r.part_fits(fixed, r.part_start(nodes_offset_at), count * node_bytes, alignment);
}

bool text_fits(RecordBytes const& r, std::int64_t fixed) noexcept {
    const std::int64_t length = r.at<std::int16_t>(text_length_at);
    if (length <= 0)
        return length == 0;
    const std::int64_t start = r.part_start(text_offset_at);
    return r.part_fits(fixed, start, length + 1, 4) && r.byte(start + length) == 0;
}

bool image_fits(RecordBytes const& r, std::int64_t fixed) noexcept {
    const std::int64_t colors = r.at<std::int32_t>(color_count_at);
    const std::int64_t row_bytes = r.at<std::int32_t>(row_bytes_at);
    if (colors < 0 || colors > max_colors || row_bytes < 0)
        return false;
    const std::int64_t pixels =
        row_bytes == 0 ? r.at<std::int32_t>(image_size_at) : row_bytes * r.at<std::int32_t>(height_at);
    if (pixels < 0)
        return false;
    if (colors > 0 && !r.part_fits(fixed, r.part_start(colormap_offset_at), colors * 4, 4))
        return false;
    if (pixels > 0 && !r.part_fits(fixed, r.part_start(pixel_offset_at), pixels, 4))
        return false;
    // The copy operators pack the parts after the fixed part, 8-aligned:
    // they must fit there too, whatever gaps or overlap the record has.
    return fixed + (colors * 4 + 7) / 8 * 8 + pixels <= r.size();
}

// Whether the record fits the layout of a standard kind code.
bool fits_kind(RecordBytes const& r, long kind) noexcept {
    const std::int64_t fixed = qvFixedRecordSize(kind);
    if (r.size() < fixed)
        return false;
    switch (layout_of(kind)) {
    case Layout::plain:
        return true;
    case Layout::compact_points:
        return nodes_fit(r, fixed, 4, 4);
    case Layout::exact_points:
        return nodes_fit(r, fixed, 16, 8);
    case Layout::compact_bezier:
        return nodes_fit(r, fixed, 8, 4);
    case Layout::exact_bezier:
        return nodes_fit(r, fixed, 24, 8);
    case Layout::text:
        return text_fits(r, fixed);
    case Layout::image:
        return image_fits(r, fixed);
    }
    return false;
}

}  // namespace

bool qvShapeRecordValid(qvShapeBase const& record) noexcept {
    if (record.size < record_header_size)
        return false;
    const RecordBytes r(record);
    if (qvIsStandardKind(record.kind) && !fits_kind(r, record.kind))
        return false;
    const long by_class = qvKindOfProxyClass(record.proxy_class_id);
    return by_class == 0 || by_class == record.kind || fits_kind(r, by_class);
}

void qvCheckShapeRecord(qvShapeBase const& record) {
    if (!qvShapeRecordValid(record))
        qvRaise(qvErrorFrom<qvInputStream>("Invalid shape record on input"));
}
