// Restricted texts in a scene and stand-alone: the record a proxy makes and
// the text it sizes, the limits of text and stretch, the header box kept by
// every setter with one report pair, measuring in the shape's font for a
// view, the constructors, identities and interactions.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledText.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>
#include <orvane/shapes/qvSimpleRestrictedText.hpp>

#include "shapes/qvShapeRecordCheck.hpp"

#include "qvAttributeInterfaceTestSupport.hpp"
#include "qvGeometryValuesTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeReportTestSupport.hpp"
#include "qvShapeTestSupport.hpp"
#include "qvTextTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;
using shape_test::RecordingScene;
using shape_test::at;
using shape_test::raw;
using text_test::DefaultMetricScope;
using text_test::HostProvider;
using Boxes = std::vector<qvMathRectOf<double>>;
using Log = std::vector<std::string>;
using TextError = qvErrorFrom<qvGenericTextProxy<qvTextProxyBase>>;

char const* const too_long = "Limitation: text length exceeds maximum allowed for a text shape";
char const* const bad_stretch = "Stretch must be a non-zero positive value";
char const* const uninitialized = "Attempt to query uninitialized shape";

class RestrictedText : public shape_test::ReportingSceneTest {
protected:
    // A text with a record, the reports of its making forgotten.
    qvRestrictedText made(char const* text = "abc") {
        qvRestrictedText t(scene);
        t->text(text);
        forget_reports();
        scene.take_log();
        return t;
    }

    const DefaultMetricScope metric;
};

}  // namespace

// ---------------------------------------------------------------------------
// The record and its text

TEST_F(RestrictedText, The_first_change_makes_a_120_byte_record_of_a_new_text) {
    qvRestrictedText t(scene);
    t->anchor(qvCrdOf<double>(5, 5));
    qvShapeBase const* const r = t->record();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->size, 120);
    EXPECT_EQ(r->kind, -9);
    EXPECT_EQ(r->proxy_class_id, 7);
    EXPECT_EQ(at<double>(r, 40), 5.0);
    EXPECT_EQ(at<double>(r, 48), 5.0);
    EXPECT_EQ(at<double>(r, 56), 0.0);
    EXPECT_EQ(at<double>(r, 64), 90.0);
    EXPECT_EQ(at<std::int32_t>(r, 72), 6);
    EXPECT_EQ(at<std::int32_t>(r, 76), 0);   // padding
    const char zero_extent[24] = {};
    EXPECT_EQ(std::memcmp(reinterpret_cast<char const*>(r) + 80, zero_extent, sizeof zero_extent), 0);
    EXPECT_EQ(at<float>(r, 104), 1.0f);
    EXPECT_EQ(at<std::int16_t>(r, 108), 0);
    EXPECT_EQ(at<std::int16_t>(r, 110), 0);   // no text placed yet
    EXPECT_EQ(at<double>(r, 112), 1.0);
    EXPECT_STREQ(t->text(), "");
}

TEST_F(RestrictedText, A_text_sizes_the_record_to_hold_it_and_its_zero) {
    qvRestrictedText t(scene);
    EXPECT_EQ(t->text(), nullptr);
    t->text("abc");
    qvShapeBase const* r = t->record();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->size, 124);
    EXPECT_EQ(r->kind, -9);
    EXPECT_EQ(at<std::int16_t>(r, 108), 3);
    EXPECT_EQ(at<std::int16_t>(r, 110), 10);
    EXPECT_EQ(shape_test::hex(reinterpret_cast<char const*>(r) + 120, 4), "61 62 63 00");
    EXPECT_STREQ(t->text(), "abc");
    const long h = r->shape_handle;
    EXPECT_EQ(scene.take_log(), Log{"allocate 124 -> " + std::to_string(h)});

    t->text("xyz");   // the same length: no resize
    EXPECT_EQ(t->record()->size, 124);
    EXPECT_TRUE(scene.take_log().empty());
    t->text("abcdefgh");
    EXPECT_EQ(t->record()->size, 129);
    t->text("a");
    EXPECT_EQ(t->record()->size, 122);
    EXPECT_STREQ(t->text(), "a");

    t->text(nullptr);   // the empty text, placed
    r = t->record();
    EXPECT_EQ(r->size, 121);
    EXPECT_EQ(at<std::int16_t>(r, 108), 0);
    EXPECT_EQ(at<std::int16_t>(r, 110), 10);
    EXPECT_EQ(at<char>(r, 120), '\0');
    EXPECT_STREQ(t->text(), "");
}

// A text taken from the record itself would be read after the record moved.
TEST_F(RestrictedText, A_text_read_from_its_own_record_survives_the_resize) {
    qvRestrictedText t = made("restricted");
    t->text(t->text() + 4);
    EXPECT_STREQ(t->text(), "ricted");
    EXPECT_EQ(t->record()->size, 127);
    t->text(t->text());
    EXPECT_STREQ(t->text(), "ricted");
}

TEST_F(RestrictedText, A_text_beyond_32767_bytes_is_refused_before_anything_changes) {
    qvRestrictedText t = made("abc");
    const std::string before = shape_test::record_hex(t->record());
    const std::string longest(32767, 'x');
    const std::string beyond = longest + "x";
    expect_raises<TextError>([&] { t->text(beyond.c_str()); }, too_long);
    EXPECT_EQ(shape_test::record_hex(t->record()), before);
    EXPECT_TRUE(areas.items.empty());
    EXPECT_TRUE(scene.take_log().empty());

    qvRestrictedText fresh(scene);
    expect_raises<TextError>([&] { fresh->text(beyond.c_str()); }, too_long);
    EXPECT_EQ(fresh->record(), nullptr);

    t->text(longest.c_str());
    EXPECT_EQ(t->record()->size, 32888);
    EXPECT_EQ(at<std::int16_t>(t->record(), 108), 32767);
    EXPECT_EQ(std::strlen(t->text()), 32767u);
}

TEST_F(RestrictedText, A_stretch_scales_the_width_and_one_not_above_zero_changes_nothing) {
    qvRestrictedText t = made();
    t->extent(qvExtent{18, 1, 2});
    t->stretch(2.0f);
    EXPECT_EQ(t->extent(), (qvExtent{36, 1, 2}));
    EXPECT_EQ(t->stretch(), 2.0f);
    t->stretch(0.5f);
    EXPECT_EQ(t->extent().width, 9.0);
    forget_reports();
    for (float refused : {0.0f, -1.0f, std::nanf("")}) {
        expect_raises<TextError>([&] { t->stretch(refused); }, bad_stretch);
        EXPECT_EQ(t->extent().width, 9.0);
        EXPECT_EQ(t->stretch(), 0.5f);
    }
    EXPECT_TRUE(areas.items.empty());
    qvRestrictedText fresh(scene);
    expect_raises<TextError>([&] { fresh->stretch(-1.0f); }, bad_stretch);
    EXPECT_EQ(fresh->record(), nullptr);
}

// ---------------------------------------------------------------------------
// The header box

TEST_F(RestrictedText, Every_setter_writes_the_text_box_into_the_header_and_reports_once) {
    qvRestrictedText t = made();
    t->alignment(0);
    t->extent(qvExtent{10, 2, 3});
    forget_reports();
    t->anchor(qvCrdOf<double>(5, 5));
    EXPECT_EQ(t->record()->bbox(), raw(-5, 2, 15, 8));
    EXPECT_EQ(t->bbox(), raw(-5, 2, 15, 8));
    EXPECT_EQ(areas.items, (Boxes{raw(-10, -3, 10, 3), raw(-5, 2, 15, 8)}));
    EXPECT_EQ(areas.flags, (std::vector<int>{0, 0}));

    forget_reports();
    t->alignment(15);
    EXPECT_EQ(t->record()->bbox(), raw(0, 2.5, 10, 7.5));
    t->angle(180);
    t->aperture(45);
    t->stretch(2.0f);
    t->text("other");
    EXPECT_EQ(areas.items.size(), 10u);
    EXPECT_EQ(t->record()->bbox(), qvMathRectOf<double>(qvRectOf<double>(qvRectOf<float>(t->bbox()))));
    EXPECT_EQ(t->bbox().x1 + t->bbox().x2, 10.0);
}

TEST_F(RestrictedText, Without_a_record_getters_refuse_but_text_and_box_answer) {
    qvRestrictedText t(scene);
    EXPECT_EQ(t->text(), nullptr);
    EXPECT_EQ(t->bbox(), raw(1, 1, 0, 0));
    using Base = qvErrorFrom<qvSingleShapeProxyBase>;
    expect_raises<Base>([&] { t->anchor(); }, uninitialized);
    expect_raises<Base>([&] { t->compute_extent(*t); }, uninitialized);
    t->adjust_extent(nullptr);   // nothing to measure
    EXPECT_EQ(t->record(), nullptr);

    RecordingScene frozen(1, true);
    qvRestrictedText refused(frozen);
    expect_raises<Base>([&] { refused->text("abc"); }, "Attempt to modify a read-only scene");
    expect_raises<Base>([&] { refused->anchor(qvCrdOf<double>(1, 1)); }, "Attempt to modify a read-only scene");
    EXPECT_TRUE(frozen.records.empty());
}

// ---------------------------------------------------------------------------
// Measuring

TEST_F(RestrictedText, The_font_is_read_folder_by_folder_with_defaults_for_absent_values) {
    HostProvider host(21, qvTextExtent(6, 2, 1, 0));
    qvTextExtent::current_metric(21);
    qvRestrictedText t = made("abc");
    EXPECT_EQ(t->compute_extent(*t), qvTextExtent(6, 2, 1, 0));
    t->font_style(QV_FF_MODERN, "Courier", 12.5f, QV_FS_ITALIC, QV_FW_BOLD, qvFontAttribute{});
    t->compute_extent(*t);
    qvRestrictedText empty = made("");
    empty->compute_extent(*t);
    EXPECT_EQ(host.calls, (Log{"text abc family 0 name (null) size 10 slant 0 weight 4 technology 0",
                               "text abc family 3 name Courier size 12.5 slant 1 weight 7 technology 0",
                               "text  family 3 name Courier size 12.5 slant 1 weight 7 technology 0"}));
}

TEST_F(RestrictedText, A_font_folder_bound_to_the_wrong_class_stops_the_measure) {
    HostProvider host(22, qvTextExtent(6, 2, 1, 0));
    qvTextExtent::current_metric(22);
    qvRestrictedText t = made("abc");
    t->font_size(12.0f);
    const qvExtent before = t->extent();
    for (char const* path : {"font/color_device/font_family", "font/color_device/font_name",
                             "font/color_device/font_size", "font/color_device/font_slant",
                             "font/color_device/font_weight"}) {
        const attribute_object_test::ScopedRebinding wrong(path, nullptr);
        expect_raises<qvErrorFrom<qvPropertyClass>>([&] { t->adjust_extent(nullptr); },
                                                    "Wrong type specified to access attribute property");
    }
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(t->extent(), before);
}

TEST_F(RestrictedText, Adjusting_measures_in_the_own_font_for_the_smaller_scale_of_the_view) {
    qvAttributeProxy font(scene, 0);
    font.font_size(12.0f);
    qvRestrictedTransformation view = qvScaling(2, 4);
    const qvRestrictedText t(scene, qvCrdOf<double>(0, 0), "abc", &font, &view);
    EXPECT_EQ(t->extent(), (qvExtent{18, 0, 6}));
    EXPECT_EQ(t->stretch(), 1.0f);
    EXPECT_EQ(t->attribute_handle(), font.attribute_handle());

    view = qvScaling(-8, 4);   // the magnitude counts
    t->adjust_extent(&view);
    EXPECT_EQ(t->extent(), (qvExtent{9, 0, 3}));
    t->stretch(2.0f);
    t->adjust_extent(nullptr);
    EXPECT_EQ(t->extent(), (qvExtent{72, 0, 12}));

    const qvRestrictedText unfonted(scene, qvCrdOf<double>(0, 0), "abc", nullptr, &view);
    EXPECT_EQ(unfonted->extent(), (qvExtent{1, 0, 1}));

    qvRestrictedText empty = made("");
    empty->extent(qvExtent{4, 5, 6});
    forget_reports();
    empty->adjust_extent(&view);
    EXPECT_EQ(empty->extent(), (qvExtent{4, 5, 6}));
}

// ---------------------------------------------------------------------------
// Constructors, identities, interactions

TEST_F(RestrictedText, The_constructors_set_text_extent_then_placement_with_their_defaults) {
    const qvRestrictedText plain(scene, qvCrdOf<double>(3, 4), "abc", nullptr, nullptr);
    EXPECT_STREQ(plain->text(), "abc");
    EXPECT_EQ(plain->anchor(), qvCrdOf<double>(3, 4));
    EXPECT_EQ(plain->alignment(), 20u);
    EXPECT_EQ(plain->angle(), 0.0);
    EXPECT_EQ(plain->aperture(), 90.0);
    EXPECT_EQ(plain->record()->bbox(), raw(2, 3, 4, 5));

    const qvRestrictedText all(scene, qvCrdOf<double>(0, 0), nullptr, 9u, 30.0, 60.0, nullptr, nullptr);
    EXPECT_EQ(all->record()->size, 120);   // no text given: none placed
    EXPECT_EQ(all->alignment(), 9u);
    EXPECT_EQ(all->angle(), 30.0);
    EXPECT_EQ(all->aperture(), 60.0);
}

TEST_F(RestrictedText, It_offers_the_text_interfaces_and_names_its_own_for_the_extended_scale) {
    qvRestrictedText t = made();
    qvRestrictedTextProxy& p = *t;
    EXPECT_EQ(p.query_interface(qvInterfaceIdentity<qvRestrictedTextProxy>()), &p);
    EXPECT_EQ(p.query_interface(qvInterfaceIdentity<qvRestrictedTextDataAccess>()),
              static_cast<qvRestrictedTextDataAccess*>(&p));
    EXPECT_EQ(p.query_interface(qvInterfaceIdentity<qvTextDataAccess>()), static_cast<qvTextDataAccess*>(&p));
    EXPECT_EQ(p.query_interface(qvInterfaceIdentity<qvAnchorDataAccess>()), static_cast<qvAnchorDataAccess*>(&p));
    EXPECT_EQ(p.query_interface(qvInterfaceIdentity<qvScaledTextDataAccess>()), nullptr);
    EXPECT_EQ(p.query_interface(qvInterfaceIdentity<qvScaledTextProxy>()), nullptr);

    EXPECT_TRUE(shape_test::interactions_are_offered(p));
    static const qvInterfaceInfo unknown;
    EXPECT_EQ(p.query_interaction(qvInterfaceIdentity<qvExtendedScaleInteraction>()),
              &qvInterfaceIdentity<qvRestrictedTextDataAccess>());
    for (qvInterfaceInfo const* other : {&qvInterfaceIdentity<qvMoveInteraction>(),
                                         &qvInterfaceIdentity<qvScaleInteraction>(),
                                         &qvInterfaceIdentity<qvRotateInteraction>(), &unknown})
        EXPECT_EQ(p.query_interaction(*other), &qvInterfaceIdentity<qvTextDataAccess>());
}

TEST_F(RestrictedText, Its_proxy_class_rebuilds_the_proxy_from_the_record) {
    qvRestrictedText t = made("again");
    t->anchor(qvCrdOf<double>(7, 8));
    const long h = t->shape_handle();
    t.release();
    const qvRestrictedText back(scene, h);
    ASSERT_TRUE(back);
    EXPECT_STREQ(back->text(), "again");
    EXPECT_EQ(back->anchor(), qvCrdOf<double>(7, 8));
    EXPECT_FALSE(qvScaledText(scene, h));
    EXPECT_FALSE(qvRestrictedText(qvGraphic(qvScaledText(scene))));
}

// Whatever the text layers leave in a record, the record reader takes back.
TEST_F(RestrictedText, Every_record_the_text_layers_write_passes_the_check_and_streams_back_unchanged) {
    std::vector<std::unique_ptr<qvShapeBase>> records;
    auto keep = [&records](qvShapeBase const* r) {
        records.emplace_back(qvNewShapeRecord(r->size));
        std::memcpy(static_cast<void*>(records.back().get()), r, static_cast<std::size_t>(r->size));
    };
    qvRestrictedText t(scene);
    t->anchor(qvCrdOf<double>(1, 2));
    keep(t->record());   // no text placed
    t->text("");
    keep(t->record());
    t->text("some text");
    t->angle(33);
    keep(t->record());
    qvScaledText scaled(scene, qvCrdOf<double>(0, 0), "scaled", 2.0, nullptr);
    keep(scaled->record());
    qvSimpleRestrictedText alone;
    alone->text("longer than later");
    alone->text("short");
    keep(alone->record());
    for (auto const& record : records) {
        const std::string bytes = shape_test::record_hex(record.get());
        SCOPED_TRACE(bytes);
        EXPECT_TRUE(qvShapeRecordValid(*record));
        std::stringbuf buffer;
        {
            qvOutputStream out(&buffer, qvVersion(), false);
            qvWriteShapeRecord(out, *record);
        }
        qvInputStream in(&buffer);
        const auto back = qvCreateShapeFromSerialization(in);
        EXPECT_EQ(shape_test::record_hex(back.get()), bytes);
    }
}

// ---------------------------------------------------------------------------
// Stand-alone

TEST(qvSimpleRestrictedText, Works_on_a_private_record_without_writing_its_box_or_measuring_for_a_view) {
    const DefaultMetricScope metric;
    qvSimpleRestrictedText t;
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { t->anchor(); }, uninitialized);
    EXPECT_EQ(t->text(), nullptr);
    EXPECT_EQ(t->bbox(), raw(1, 1, 0, 0));
    t->text("abcd");
    ASSERT_NE(t->record(), nullptr);
    EXPECT_EQ(t->record()->size, 125);
    EXPECT_EQ(t->record()->kind, -9);
    EXPECT_EQ(t->record()->proxy_class_id, 0);
    t->extent(qvExtent{10, 1, 3});
    t->alignment(0);
    t->anchor(qvCrdOf<double>(100, 200));
    EXPECT_EQ(t->bbox(), raw(90, 197, 110, 203));
    EXPECT_EQ(t->record()->bbox(), raw(1, 1, 0, 0));

    qvRestrictedTransformation view = qvScaling(2);
    t->adjust_extent(&view);
    EXPECT_EQ(t->extent(), (qvExtent{10, 1, 3}));
    RecordingScene scene;
    qvAttributeProxy font(scene, 0);
    font.font_size(5.0f);
    EXPECT_EQ(t->compute_extent(font), qvTextExtent(20, 5, 0, 0));

    expect_raises<qvErrorFrom<qvGenericTextProxy<qvSimpleRestrictedTextProxyBase>>>([&] { t->stretch(0); },
                                                                                     bad_stretch);
    t->text("a");   // the private record never shrinks
    EXPECT_EQ(t->record()->size, 125);
    EXPECT_STREQ(t->text(), "a");

    qvSimpleRestrictedText copy(t->record());
    EXPECT_EQ(shape_test::record_hex(copy->record()), shape_test::record_hex(t->record()));
    EXPECT_STREQ(copy->text(), "a");
}
