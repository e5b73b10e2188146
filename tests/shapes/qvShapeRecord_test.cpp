// Shape records in memory: the header's bytes, record blocks, the copy
// operators of the data structs (where they place variable parts, what they
// copy and what they write), and the record check that every loader uses.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/shapes/qvShapeRecords.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>
#include <orvane/shapes/qvTransformedTextData.hpp>

#include "shapes/qvShapeRecordCheck.hpp"

#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace {

using RecordPtr = std::unique_ptr<qvShapeBase>;

std::string hex(void const* bytes, std::size_t n) {
    std::string out;
    char digits[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(digits, sizeof digits, i + 1 < n ? "%02X " : "%02X", static_cast<unsigned char const*>(bytes)[i]);
        out += digits;
    }
    return out;
}

template <class D>
D& data_of(qvShapeBase* record) {
    return *reinterpret_cast<D*>(reinterpret_cast<char*>(record) + sizeof(qvShapeBase));
}

// A record block of `size` bytes, every byte `fill`, with a new header.
RecordPtr garbage_record(int size, unsigned char fill) {
    RecordPtr record(qvNewShapeRecord(size));
    std::memset(reinterpret_cast<char*>(record.get()) + sizeof(qvShapeBase), fill, size - sizeof(qvShapeBase));
    return record;
}

std::string zeros(std::size_t n) { return hex(std::string(n, '\0').data(), n); }

std::int64_t offset_in(void const* record, void const* part) {
    return static_cast<char const*>(part) - static_cast<char const*>(record);
}

}  // namespace

// ---------------------------------------------------------------------------
// Header and blocks

TEST(qvShapeBase, A_new_header_is_its_kind_an_inverted_box_and_zeros) {
    const qvShapeBase rectangle(-1);
    EXPECT_EQ(hex(&rectangle, 40),
              "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF FF 00 00 00 00 "
              "00 00 80 3F 00 00 80 3F 00 00 00 00 00 00 00 00");
    const qvShapeBase unstamped;
    EXPECT_EQ(unstamped.kind, 0);
    EXPECT_EQ(unstamped.bbox(), qvMathRectOf<double>(qvRectOf<double>(1, 1, 0, 0)));
    palette_test::expect_raises<qvErrorFrom<long>>([] { qvShapeBase(5'000'000'000L); },
                                                   "Value does not fit a 32-bit field");
}

TEST(qvShapeBase, Assignment_copies_the_header_only) {
    qvShape<qvRectangleData> a(-1), b(-2);
    b.size = 48;
    b.box = qvMathRectOf<float>(qvRectOf<float>(3, 4, 1, 2));
    std::memset(b.reserved, 0x5A, sizeof b.reserved);
    static_cast<qvShapeBase&>(a) = b;
    EXPECT_EQ(hex(&a, 40), hex(&b, 40));
    EXPECT_EQ(hex(a.reserved, 8), "00 00 00 00 00 00 00 00");
}

TEST(qvShapeBase, Blocks_are_zero_filled_and_resizing_keeps_the_leading_bytes) {
    RecordPtr record(qvNewShapeRecord(56));
    EXPECT_EQ(record->size, 56);
    EXPECT_EQ(record->kind, 0);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(record.get()) % 8, 0u);
    EXPECT_EQ(hex(reinterpret_cast<char*>(record.get()) + 40, 16), zeros(16));
    record->kind = -3;
    data_of<qvArcData>(record.get()).angle2 = 90.0;
    qvShapeBase* same = qvResizeShapeRecord(record.get(), 56);
    EXPECT_EQ(same, record.get());
    record.reset(qvResizeShapeRecord(record.release(), 64));
    EXPECT_EQ(record->size, 64);
    EXPECT_EQ(record->kind, -3);
    EXPECT_EQ(data_of<qvArcData>(record.get()).angle2, 90.0);
    EXPECT_EQ(hex(reinterpret_cast<char*>(record.get()) + 56, 8), "00 00 00 00 00 00 00 00");
    record.reset(qvResizeShapeRecord(record.release(), 44));
    EXPECT_EQ(record->size, 44);
    EXPECT_EQ(record->kind, -3);
}

TEST(qvShapeData, Constructed_data_is_the_data_of_a_new_record) {
    const qvShape<qvArcData> arc;
    EXPECT_EQ(arc.angle1, 0.0);
    EXPECT_EQ(arc.angle2, 360.0);
    const qvShape<qvScaledTextData> text;
    EXPECT_EQ(hex(&text.padding, 4), "00 00 00 00");
    EXPECT_EQ(text.alignment, 6);
    EXPECT_EQ(text.aperture, 90.0);
    EXPECT_EQ(text.stretch, 1.0f);
    EXPECT_EQ(text.height, 1.0);
    EXPECT_EQ(text.length, 0);
    EXPECT_EQ(text.text_offset, 0);
    const qvShape<qvRestrictedImageData> image;
    EXPECT_EQ(image.alignment, 6);
    EXPECT_EQ(image.image.header.color_count, 0);
    EXPECT_EQ(image.image.pixel_offset, 0);
    EXPECT_EQ(image.image.colormap_offset, 0);
    EXPECT_EQ(image.unused, 0);
    EXPECT_EQ(image.image.unused, 0);
    const qvTransformedTextData prepared;
    EXPECT_FALSE(prepared.valid);
    EXPECT_TRUE(prepared.transformation.is_identity());
    EXPECT_EQ(qvShapeData::flavor(), 0);
    EXPECT_EQ(qvPointSetData::flavor(), 0);
    EXPECT_EQ(qvCompactPointSetData::flavor(), 0);
    EXPECT_EQ(qvTextData::flavor(), 0);
    EXPECT_EQ(qvImageData::flavor(), 0);
}

// ---------------------------------------------------------------------------
// Copy operators

TEST(qvNodeSetData, Copies_place_nodes_at_the_first_8_aligned_address_after_the_fixed_part) {
    RecordPtr source(qvNewShapeRecord(48 + 3 * 16));
    auto& from = data_of<qvPolygonData>(source.get());
    from.count = 3;
    from.offset = 4;
    for (int i = 0; i < 3; ++i)
        from.nodes()[i] = {i + 0.5, -i * 2.0};
    alignas(8) unsigned char buffer[8 + 16 + 3 * 16];
    for (int shift : {0, 4}) {
        std::memset(buffer, 0xEE, sizeof buffer);
        auto* const to = ::new (buffer + shift) qvPolygonData();
        to->copy_from(from);
        EXPECT_EQ(offset_in(to, to->nodes()), shift == 4 ? 12 : 8) << shift;
        EXPECT_EQ(to->count, 3);
        EXPECT_EQ(to->padding, 0);
        EXPECT_EQ(hex(to->nodes(), 48), hex(from.nodes(), 48));
    }
    from.offset = -12345;   // never followed while empty
    from.count = 0;
    auto* const empty = ::new (buffer) qvPolygonData();
    empty->offset = 99;
    empty->copy_from(from);
    EXPECT_EQ(empty->count, 0);
    EXPECT_EQ(empty->offset, 0);
}

TEST(qvNodeSetData, Bezier_copies_carry_tags_and_entry_padding) {
    RecordPtr source(qvNewShapeRecord(48 + 2 * 24));
    auto& from = data_of<qvBezierData>(source.get());
    from.count = 2;
    from.offset = 4;
    from.nodes()[0] = {{1, 2}, qvPointControl, 0x77777777};
    from.nodes()[1] = {{3, 4}, static_cast<qvPointTag>(-9), 0x01020304};
    RecordPtr dest = garbage_record(96, 0xCC);
    auto& to = data_of<qvBezierData>(dest.get());
    to.copy_from(from);
    EXPECT_EQ(offset_in(dest.get(), to.nodes()), 48);
    EXPECT_EQ(hex(to.nodes(), 48), hex(from.nodes(), 48));
}

TEST(qvTextData, A_copy_stops_at_the_first_zero_fills_the_length_and_terminates) {
    RecordPtr source(qvNewShapeRecord(120 + 7));
    auto& from = data_of<qvRestrictedTextData>(source.get());
    ::new (&from) qvRestrictedTextData();
    from.anchor = {1, 2};
    from.angle = 30;
    from.aperture = 80;
    from.alignment = 20;
    from.padding = 0x12345678;
    from.extent = {5, 1, 2};
    from.stretch = 2;
    from.height = 3;
    from.length = 6;
    from.text_offset = 10;
    std::memcpy(from.text(), "ab\0xyz", 7);

    RecordPtr dest = garbage_record(127, 0xAA);
    dest->kind = qvRestrictedTextKind;
    auto& to = data_of<qvRestrictedTextData>(dest.get());
    to.copy_from(from);
    EXPECT_EQ(to.text_offset, 10);
    EXPECT_EQ(hex(to.text(), 7), "61 62 00 00 00 00 00");
    EXPECT_EQ(to.padding, 0);
    EXPECT_EQ(hex(&to, 36), hex(&from, 36));
    EXPECT_EQ(hex(&to.extent, 32), hex(&from.extent, 32));   // extent, stretch, length, offset 10
    EXPECT_EQ(to.height, 3.0);

    std::memcpy(from.text(), "abcdef", 7);
    to.copy_from(from);
    EXPECT_EQ(std::string(to.text()), "abcdef");
    // Regression: a copy into uninitialised bytes used to leave the text
    // unterminated, and text() then ran past the record.
    EXPECT_TRUE(qvShapeRecordValid(*dest)) << "kind " << dest->kind;
}

TEST(qvImageData, A_restricted_copy_places_colours_after_the_fixed_part_and_pixels_after_them) {
    RecordPtr source(qvNewShapeRecord(176));
    source->kind = qvRestrictedImageKind;
    auto& from = data_of<qvRestrictedImageData>(source.get());
    ::new (&from) qvRestrictedImageData();
    from.image.header = qvBitmapHeader(qvBitmapLayout(qvIndexedBitmap), 3, 2);   // 4 x 2 pixel bytes
    from.image.header.color_count = 2;
    from.image.anchor = {7, 8};
    from.image.unused = 0x22;
    from.alignment = 15;
    from.unused = 0x11;
    from.x_resolution = 10;
    from.y_resolution = 4;
    char* const bytes = reinterpret_cast<char*>(source.get());
    qvSelfRelative::point(from.image.colormap_offset, bytes + 152);
    qvSelfRelative::point(from.image.pixel_offset, bytes + 168);
    for (int i = 0; i < 8; ++i) {
        bytes[152 + i] = static_cast<char>(i + 1);
        bytes[168 + i] = static_cast<char>(0xA0 + i);
    }

    RecordPtr dest = garbage_record(176, 0xCC);
    auto& to = data_of<qvRestrictedImageData>(dest.get());
    to.copy_from(from);
    EXPECT_EQ(offset_in(&to, to.image.colormap()), 96);
    EXPECT_EQ(offset_in(&to, to.image.pixels()), 104);
    EXPECT_EQ(hex(to.image.colormap(), 8), hex(bytes + 152, 8));
    EXPECT_EQ(hex(to.image.pixels(), 8), hex(bytes + 168, 8));
    EXPECT_EQ(hex(&to.image.header, 64), hex(&from.image.header, 64));   // header and anchor
    EXPECT_EQ(to.image.unused, 0);
    EXPECT_EQ(to.unused, 0);
    EXPECT_EQ(to.alignment, 15);
    EXPECT_EQ(to.x_resolution, 10.0);
    EXPECT_EQ(to.y_resolution, 4.0);
}

TEST(qvImageData, A_scaled_copy_without_colours_puts_pixels_right_after_the_fixed_part) {
    RecordPtr source(qvNewShapeRecord(144 + 8));
    auto& from = data_of<qvScaledImageData>(source.get());
    ::new (&from) qvScaledImageData();
    from.image.header = qvBitmapHeader(qvBitmapLayout(qvIndexedBitmap), 1, 2);
    from.x_vector = {2, 0};
    from.y_vector = {0, 3};
    from.image.colormap_offset = 777;   // empty: never followed
    qvSelfRelative::point(from.image.pixel_offset, reinterpret_cast<char*>(source.get()) + 144);
    std::memcpy(from.image.pixels(), "PIXELS!!", 8);
    RecordPtr dest = garbage_record(152, 0xCC);
    auto& to = data_of<qvScaledImageData>(dest.get());
    to.copy_from(from);
    EXPECT_EQ(to.image.colormap_offset, 0);
    EXPECT_EQ(offset_in(dest.get(), to.image.pixels()), 144);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(to.image.pixels()), 8), "PIXELS!!");
    EXPECT_EQ(to.x_vector, (qvCrdOf<double>(2, 0)));
    EXPECT_EQ(to.y_vector, (qvCrdOf<double>(0, 3)));
}

// ---------------------------------------------------------------------------
// The record check

namespace {

// Records that pass, each made by its writer's rules.
RecordPtr exact_polygon(int points, int extra = 0) {
    RecordPtr r(qvNewShapeRecord(48 + 16 * points + extra));
    r->kind = qvExactPolygonKind;
    r->proxy_class_id = 14;
    auto& d = data_of<qvPolygonData>(r.get());
    d.count = points;
    d.offset = 4;
    return r;
}

RecordPtr text(char const* s) {
    const int n = static_cast<int>(std::strlen(s));
    RecordPtr r(qvNewShapeRecord(120 + n + 1));
    r->kind = qvRestrictedTextKind;
    r->proxy_class_id = 7;
    auto& d = data_of<qvRestrictedTextData>(r.get());
    d.length = static_cast<std::int16_t>(n);
    d.text_offset = 10;
    std::memcpy(d.text(), s, static_cast<std::size_t>(n) + 1);
    return r;
}

RecordPtr image(int colors) {
    RecordPtr r(qvNewShapeRecord(136 + (4 * colors + 7) / 8 * 8 + 8));
    r->kind = qvRestrictedImageKind;
    r->proxy_class_id = 9;
    auto& d = data_of<qvRestrictedImageData>(r.get());
    d.image.header = qvBitmapHeader(qvBitmapLayout(qvIndexedBitmap), 3, 2);
    d.image.header.color_count = colors;
    d.image.place_parts(reinterpret_cast<char*>(r.get()) + 136);
    return r;
}

struct CheckCase {
    char const* what;
    std::function<RecordPtr()> make;
    bool valid;
};

}  // namespace

TEST(qvShapeRecordCheck, Accepts_what_fits_its_layouts_and_nothing_else) {
    const CheckCase cases[] = {
        {"exact polygon", [] { return exact_polygon(3); }, true},
        {"count -1", [] { auto r = exact_polygon(3); data_of<qvPolygonData>(r.get()).count = -1; return r; }, false},
        {"count 3 in 60 bytes", [] { RecordPtr r = exact_polygon(0, 12); data_of<qvPolygonData>(r.get()).count = 3; return r; }, false},
        {"nodes in the header", [] { auto r = exact_polygon(3); data_of<qvPolygonData>(r.get()).offset = -12; return r; }, false},
        {"nodes in the fixed part", [] { auto r = exact_polygon(3, 8); data_of<qvPolygonData>(r.get()).offset = -4; return r; }, false},
        {"nodes past the end", [] { auto r = exact_polygon(3, 8); data_of<qvPolygonData>(r.get()).offset = 20; return r; }, false},
        {"doubles off 8", [] { auto r = exact_polygon(3, 8); data_of<qvPolygonData>(r.get()).offset = 8; return r; }, false},
        {"compact words on 4", [] {
             auto r = exact_polygon(3, 8);
             r->kind = qvCompactPolygonKind;
             r->proxy_class_id = 6;
             data_of<qvCompactPolygonData>(r.get()).offset = 8;
             return r;
         }, true},
        {"empty, any offset", [] { auto r = exact_polygon(0); data_of<qvPolygonData>(r.get()).offset = INT16_MIN; return r; }, true},
        {"text", [] { return text("hello"); }, true},
        {"text past the end", [] { auto r = text("hello"); data_of<qvTextData>(r.get()).length = 6; return r; }, false},
        {"text without its zero", [] { auto r = text("hello"); data_of<qvTextData>(r.get()).text()[5] = 'x'; return r; }, false},
        {"text length -1", [] { auto r = text("hello"); data_of<qvTextData>(r.get()).length = -1; return r; }, false},
        {"empty text, any offset", [] { auto r = text(""); data_of<qvTextData>(r.get()).text_offset = -300; return r; }, true},
        {"image", [] { return image(2); }, true},
        {"256 colours", [] { return image(256); }, true},
        // With room for every colour: only the cap refuses it.
        {"257 colours", [] { return image(257); }, false},
        {"pixels past the end", [] { auto r = image(2); data_of<qvImageData>(r.get()).header.height = 3; return r; }, false},
        {"negative row bytes", [] { auto r = image(2); data_of<qvImageData>(r.get()).header.row_bytes = -4; return r; }, false},
        {"parts that a copy cannot pack", [] {
             // Each part fits where it is, but a copy puts the pixels on the
             // next 8-byte boundary: 4 bytes past a record of this size.
             RecordPtr r(qvNewShapeRecord(148));
             r->kind = qvRestrictedImageKind;
             auto& d = data_of<qvImageData>(r.get());
             d.header = qvBitmapHeader(qvBitmapLayout(qvIndexedBitmap), 3, 2);
             d.header.color_count = 1;
             qvSelfRelative::point(d.colormap_offset, reinterpret_cast<char*>(r.get()) + 136);
             qvSelfRelative::point(d.pixel_offset, reinterpret_cast<char*>(r.get()) + 140);
             return r;
         }, false},
        {"colours in the header", [] { auto r = image(2); data_of<qvImageData>(r.get()).colormap_offset = -70; return r; }, false},
        {"rectangle short of 48", [] { RecordPtr r(qvNewShapeRecord(47)); r->kind = qvRectangleKind; return r; }, false},
        {"arc of 56", [] { RecordPtr r(qvNewShapeRecord(56)); r->kind = qvArcKind; return r; }, true},
        {"text kind by class id only", [] { auto r = text("hi"); r->kind = 3; data_of<qvTextData>(r.get()).length = 90; return r; }, false},
        {"kind and id disagree", [] { RecordPtr r(qvNewShapeRecord(48)); r->kind = -1; r->proxy_class_id = 7; return r; }, false},
        {"flavour shape of 40", [] { RecordPtr r(qvNewShapeRecord(40)); r->kind = 12; return r; }, true},
        {"kind -8 of 40", [] { RecordPtr r(qvNewShapeRecord(40)); r->kind = -8; r->proxy_class_id = 17; return r; }, true},
        {"size 39", [] { RecordPtr r(qvNewShapeRecord(40)); r->size = 39; return r; }, false},
    };
    for (CheckCase const& c : cases) {
        const RecordPtr record = c.make();
        EXPECT_EQ(qvShapeRecordValid(*record), c.valid) << c.what;
    }
    palette_test::expect_raises<qvErrorFrom<qvInputStream>>(
        [&] { qvCheckShapeRecord(*cases[1].make()); }, "Invalid shape record on input");

    // The same cap through the stream reader, on both sides of it.
    for (int colors : {256, 257}) {
        const RecordPtr record = image(colors);
        std::stringbuf buffer(std::string(reinterpret_cast<char const*>(record.get()),
                                          static_cast<std::size_t>(record->size)));
        qvInputStream in(&buffer);
        if (colors == 256)
            EXPECT_EQ(qvCreateShapeFromSerialization(in)->size, record->size);
        else
            palette_test::expect_raises<qvErrorFrom<qvInputStream>>(
                [&] { qvCreateShapeFromSerialization(in); }, "Invalid shape record on input");
    }
}
