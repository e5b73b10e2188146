#pragma once
// qvGenericImageProxy<B, D>: the anchor and the bitmap of an image record
// (D = qvRestrictedImageData or qvScaledImageData, whose qvImageData comes
// first), on base B in a scene (the image proxy bases) or stand-alone (the
// qvSimple...ImageProxyBase). qvImageData.hpp gives the record layout.
//
// Keeps true:
//  - every change runs inside B's write guard, every getter but bitmap()
//    and bbox() inside B's read guard ("Attempt to query uninitialized
//    shape" without a record). The anchor setter creates the record; the
//    bitmap setters size it themselves;
//  - shaping for a bitmap is checked before anything changes: a colour
//    count outside 0 to 256 raises qvErrorFrom<qvGenericImageProxy> "The
//    number of colors must be between 0 and 256"; a negative size, a row or
//    image beyond int32, raise qvErrorFrom<qvBitmapHeader> "Invalid bitmap
//    size"; a record beyond 2,147,483,647 bytes raises the record-size
//    limitation. Sizes are computed in 64 bits;
//  - a shaped record is exactly fixed + r8(pixel bytes) + r8(4 x colours)
//    in a scene (a stand-alone record never shrinks); everything after the
//    fixed part is zero until copied over, the colour map starts right after
//    the fixed part and the pixels at the next 8-byte boundary after it;
//  - bitmap(reference) sizes the pixels by the reference's own count (row
//    bytes x height, or its image size when row bytes is 0), the count the
//    copied header describes, so a wide-row or layout-less bitmap never
//    overruns the record. A reference into this very record is copied out
//    first: the reshaping may move the record;
//  - bitmap() is a view into the record, valid until the record changes
//    size or the proxy lets it go; without a record an empty reference.
//
// B provides WriteLock and ReadLock, the record in `record_`, allocate(extra)
// (the kind's fixed size plus extra) and the static record_size().

#include <orvane/attributes/qvBitmapHeader.hpp>
#include <orvane/attributes/qvBitmapLayout.hpp>
#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/attributes/qvColorMapReference.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

template <class B, class D>
class qvGenericImageProxy : public B {
public:
    // The record's fixed part: 136 for a restricted image, 144 for a scaled one.
    static constexpr std::int64_t fixed_size = sizeof(qvShape<D>);
    static constexpr int max_colours = 256;

    qvCrdOf<double> anchor() override {
        const typename B::ReadLock lock(*this, true);
        return image().anchor;
    }
    void anchor(qvCrdOf<double> p) override {
        qvShapeCoordinates::require(p);
        const typename B::WriteLock lock(*this, true, true);
        image().anchor = p;
    }

    void bitmap(qvBitmapLayout layout, int width, int height, int colours) override {
        const Plan plan = plan_for(layout, width, height, colours);
        const typename B::WriteLock lock(*this, false, true);
        reshape(plan);
    }

    qvBitmapReference bitmap() override {
        if (this->record_ == nullptr)
            return qvBitmapReference();
        qvImageData& d = image();
        return qvBitmapReference(&d.header, d.pixel_bytes() > 0 ? d.pixels() : nullptr,
                                 d.colormap_bytes() > 0 ? d.colormap() : nullptr);
    }

    void bitmap(qvBitmapReference const& source) override {
        const Plan plan = plan_for(source);
        const typename B::WriteLock lock(*this, false, true);
        copy_in(plan, source);
    }

protected:
    // What a bitmap makes of the record: its header, its two part sizes and
    // the bytes the record grows by beyond its fixed part.
    struct Plan {
        qvBitmapHeader header;
        std::int64_t pixel_bytes = 0;
        std::int64_t colour_bytes = 0;
        int extra = 0;
    };

    // The record is at least the kind's fixed size: its allocate made it so.
    D& data() noexcept { return static_cast<qvShape<D>*>(this->record_)->data(); }
    qvImageData& image() noexcept { return data().image; }

    // The plan of a fresh bitmap of that layout, size and colour count.
    static Plan plan_for(qvBitmapLayout layout, int width, int height, int colours) {
        check_colours(colours);
        Plan plan;
        plan.header = qvBitmapHeader(layout, width, height);
        plan.header.color_count = colours;
        plan.pixel_bytes = plan.header.row_bytes == 0
                               ? std::int64_t{plan.header.image_size}
                               : std::int64_t{plan.header.row_bytes} * plan.header.height;
        return finished(plan);
    }

    // The plan of a copy of `source`: its layout and size checked as for a
    // fresh bitmap, its own header and pixel count kept.
    static Plan plan_for(qvBitmapReference const& source) {
        qvBitmapHeader const& from = *source.header();
        check_colours(from.color_count);
        (void)qvBitmapHeader(from.layout(), from.width, from.height);
        if (from.row_bytes < 0 || from.image_size < 0)
            raise_size();
        Plan plan;
        plan.header = from;
        plan.pixel_bytes = from.row_bytes == 0 ? std::int64_t{from.image_size}
                                               : std::int64_t{from.row_bytes} * from.height;
        return finished(plan);
    }

    // Resizes the record for `plan` and writes its header; every byte after
    // the fixed part becomes zero. Runs inside the caller's guard.
    void reshape(Plan const& plan) {
        this->allocate(plan.extra);
        char* const base = reinterpret_cast<char*>(this->record_);
        std::memset(base + fixed_size, 0, static_cast<std::size_t>(this->record_->size - fixed_size));
        qvImageData& d = image();
        d.header = plan.header;
        d.unused = 0;
        d.place_parts(base + fixed_size);
    }

    // Reshapes for `plan` and copies the colours and pixels of `source`.
    void copy_in(Plan const& plan, qvBitmapReference const& source) {
        unsigned char const* pixels = source.data();
        qvColorMapEntry const* colours = source.colormap().data();
        std::vector<unsigned char> kept_pixels;
        std::vector<unsigned char> kept_colours;
        if (inside_record(pixels) || inside_record(source.header())) {
            if (pixels != nullptr)
                kept_pixels.assign(pixels, pixels + plan.pixel_bytes);
            pixels = kept_pixels.data();
        }
        if (inside_record(colours)) {
            auto const* first = reinterpret_cast<unsigned char const*>(colours);
            kept_colours.assign(first, first + plan.colour_bytes);
            colours = reinterpret_cast<qvColorMapEntry const*>(kept_colours.data());
        }
        reshape(plan);
        qvImageData& d = image();
        if (plan.colour_bytes > 0 && colours != nullptr)
            std::memcpy(d.colormap(), colours, static_cast<std::size_t>(plan.colour_bytes));
        if (plan.pixel_bytes > 0 && pixels != nullptr)
            std::memcpy(d.pixels(), pixels, static_cast<std::size_t>(plan.pixel_bytes));
    }

private:
    static std::int64_t round8(std::int64_t n) noexcept { return (n + 7) / 8 * 8; }

    static Plan finished(Plan plan) {
        plan.colour_bytes = std::int64_t{plan.header.color_count} * 4;
        const std::int64_t extra = round8(plan.pixel_bytes) + round8(plan.colour_bytes);
        plan.extra = B::record_size(fixed_size + extra) - static_cast<int>(fixed_size);
        return plan;
    }

    static void check_colours(std::int64_t colours) {
        if (colours < 0 || colours > max_colours)
            qvRaise(qvErrorFrom<qvGenericImageProxy>("The number of colors must be between 0 and 256"));
    }

    // The header's own error, for counts its constructor does not see.
    [[noreturn]] static void raise_size() { qvRaise(qvErrorFrom<qvBitmapHeader>("Invalid bitmap size")); }

    bool inside_record(void const* p) const noexcept {
        if (p == nullptr || this->record_ == nullptr)
            return false;
        char const* const first = reinterpret_cast<char const*>(this->record_);
        char const* const q = static_cast<char const*>(p);
        return std::less_equal<char const*>()(first, q) && std::less<char const*>()(q, first + this->record_->size);
    }
};
