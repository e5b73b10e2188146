// Stand-alone shapes: the private record (created on the first change,
// grown but never shrunk, owned by exactly one shape through copies, moves
// and assignments), copies of existing records, the borrowed attribute
// handle, and the stand-alone errors.

#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvSimpleArc.hpp>
#include <orvane/shapes/qvSimpleEllipse.hpp>
#include <orvane/shapes/qvSimplePieSlice.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include "qvGeometryValuesTestSupport.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace {

using palette_test::expect_raises;
using shape_test::record_hex;
using shape_test::raw;

char const* const uninitialized = "Attempt to query uninitialized shape";

}  // namespace

// ---------------------------------------------------------------------------
// The private record

TEST(qvSimpleShape, The_first_change_makes_a_stamped_record_without_proxy_class_and_later_ones_keep_it) {
    qvSimpleRectangle r;
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { r->rectangle(); }, uninitialized);
    EXPECT_EQ(r->record(), nullptr);
    r->rectangle(raw(3, 3, 1, 1));
    qvShapeBase const* const first = r->record();
    EXPECT_EQ(record_hex(first),
              "30 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF FF 00 00 00 00 "
              "00 00 40 40 00 00 40 40 00 00 80 3F 00 00 80 3F 00 00 00 00 00 00 00 00");
    r->rectangle(raw(0, 0, 2, 2));
    EXPECT_EQ(r->record(), first);
    EXPECT_EQ(r->bbox(), raw(0, 0, 2, 2));

    qvSimpleEllipse e;
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { e->center(); }, uninitialized);
    e->x_radius(2.0);
    EXPECT_EQ(e->record()->kind, -2);
    EXPECT_EQ(e->rectangle(), raw(-1.5, 1, 2.5, 0));   // about the new header's box centre 0.5

    qvSimplePieSlice slice;
    slice->angle2(90);
    EXPECT_EQ(slice->record()->size, 56);
    EXPECT_EQ(slice->record()->kind, -17);
    EXPECT_EQ(slice->record()->proxy_class_id, 0);
    EXPECT_EQ(slice->angle1(), 0.0);
}

TEST(qvSimpleShape, The_record_grows_with_zero_bytes_and_never_shrinks) {
    qvSimpleArc arc;
    arc->span(1.5, 2.5);
    std::memset(reinterpret_cast<char*>(arc->record()) + 20, 0x7A, 4);   // attribute handle
    const std::string before = record_hex(arc->record());
    arc->allocate(16);
    ASSERT_EQ(arc->record()->size, 72);
    const std::string after = record_hex(arc->record());
    EXPECT_EQ(after.substr(12), before.substr(12) + " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    qvShapeBase const* const grown = arc->record();
    arc->allocate(0);
    EXPECT_EQ(arc->record(), grown);
    EXPECT_EQ(arc->record()->size, 72);

    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>(
        [&] { arc->allocate(INT_MAX - 55); }, "Limitation: shape size exceeds maximum allowed for a record");
    EXPECT_EQ(arc->record(), grown);
}

// ---------------------------------------------------------------------------
// Ownership

TEST(qvSimpleShape, Copies_own_equal_bytes_in_their_own_block_and_moves_hand_the_block_over) {
    qvSimpleArc source;
    source->rectangle(raw(1, 2, 3, 4));
    source->span(10, 20);
    const std::string bytes = record_hex(source->record());

    qvSimpleArc copy(source);
    EXPECT_NE(copy->record(), source->record());
    EXPECT_EQ(record_hex(copy->record()), bytes);
    copy->angle1(99);
    EXPECT_EQ(source->angle1(), 10.0);

    qvSimpleArc assigned;
    assigned->angle1(5);
    assigned = source;
    EXPECT_NE(assigned->record(), source->record());
    EXPECT_EQ(record_hex(assigned->record()), bytes);

    qvShapeBase* const kept = assigned->record();
    qvSimpleArc& same = assigned;
    assigned = same;
    EXPECT_EQ(assigned->record(), kept);
    EXPECT_EQ(record_hex(assigned->record()), bytes);

    qvSimpleArc moved(std::move(assigned));
    EXPECT_EQ(moved->record(), kept);
    EXPECT_EQ(assigned->record(), nullptr);   // a moved-from shape has no record
    assigned = std::move(moved);
    EXPECT_EQ(assigned->record(), kept);

    const qvSimpleArc empty;
    copy = empty;
    EXPECT_EQ(copy->record(), nullptr);
}

TEST(qvSimpleShape, A_shape_made_from_a_record_copies_every_byte_and_leaves_the_source) {
    std::unique_ptr<qvShapeBase> text(qvNewShapeRecord(120));
    for (int i = 4; i < 120; ++i)
        reinterpret_cast<unsigned char*>(text.get())[i] = static_cast<unsigned char>(i * 7);
    text->kind = -9;
    const std::string bytes = record_hex(text.get());

    qvSimpleRectangle copy(text.get());
    EXPECT_NE(copy->record(), text.get());
    EXPECT_EQ(record_hex(copy->record()), bytes);
    EXPECT_EQ(record_hex(text.get()), bytes);
    EXPECT_EQ(copy->rectangle(), text->bbox());

    // Regression: a record shorter than the kind reads past its block; it
    // grows to the kind's size instead, zeros added.
    std::unique_ptr<qvShapeBase> rectangle(qvNewShapeRecord(48));
    std::memset(reinterpret_cast<char*>(rectangle.get()) + 40, 0x11, 8);
    qvSimpleArc arc(rectangle.get());
    EXPECT_EQ(arc->record()->size, 56);
    EXPECT_EQ(record_hex(arc->record()).substr(12), record_hex(rectangle.get()).substr(12) + " 00 00 00 00 00 00 00 00");
    EXPECT_EQ(arc->angle2(), 0.0);

    EXPECT_EQ(qvSimpleRectangle(nullptr)->record(), nullptr);
}

TEST(qvSimpleShape, A_borrowed_attribute_handle_reaches_only_an_existing_record) {
    shape_test::RecordingScene scene;
    qvRectangle attribute(scene, raw(0, 0, 1, 1));
    attribute->line_style(qvLineStyle{3});
    ASSERT_NE(attribute->attribute_handle(), 0);

    qvSimpleEllipse e;
    e->connect_attribute(*attribute);
    e->radius(1);
    EXPECT_EQ(e->record()->attribute_handle, 0);
    e->connect_attribute(*attribute);
    EXPECT_EQ(e->record()->attribute_handle, attribute->attribute_handle());
}
