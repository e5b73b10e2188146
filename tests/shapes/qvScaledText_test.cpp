// Scaled texts in a scene and stand-alone: the height and the extent that
// follows it, measuring for the height under the provider's size mode, the
// constructors (which leave nothing behind when they refuse), identities,
// interactions and the proxy class.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledText.hpp>
#include <orvane/shapes/qvSimpleScaledText.hpp>

#include "qvAttributeStreams.hpp"
#include "qvGeometryValuesTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvSceneTestSupport.hpp"
#include "qvShapeReportTestSupport.hpp"
#include "qvShapeTestSupport.hpp"
#include "qvTextTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using attribute_test::assertion_text;
using palette_test::expect_raises;
using shape_test::RecordingScene;
using shape_test::raw;
using text_test::DefaultMetricScope;
using text_test::HostProvider;
using Boxes = std::vector<qvMathRectOf<double>>;

class ScaledText : public shape_test::ReportingSceneTest {
protected:

    // A left-baseline text "ab" of extent e, height 1, its reports forgotten.
    qvScaledText made(qvExtent const& e) {
        qvScaledText t(scene);
        t->text("ab");
        t->alignment(0);
        t->extent(e);
        forget_reports();
        return t;
    }

    const DefaultMetricScope metric;
};

}  // namespace

// ---------------------------------------------------------------------------
// Height

TEST_F(ScaledText, A_new_height_rescales_the_extent_and_the_header_box_once) {
    qvScaledText t = made(qvExtent{10, 2, 8});
    t->height(3.0);
    EXPECT_EQ(t->height(), 3.0);
    EXPECT_EQ(t->extent(), (qvExtent{30, 6, 24}));
    EXPECT_EQ(t->record()->bbox(), raw(-30, -24, 30, 24));
    EXPECT_EQ(areas.items, (Boxes{raw(-10, -8, 10, 8), raw(-30, -24, 30, 24)}));

    qvScaledText negative = made(qvExtent{10, 2, 8});
    negative->height(-2.0);
    EXPECT_EQ(negative->extent(), (qvExtent{-20, -4, -16}));
    EXPECT_EQ(negative->height(), -2.0);
}

TEST_F(ScaledText, A_zero_height_fails_its_assertion_and_changes_nothing) {
    qvScaledText t = made(qvExtent{10, 2, 8});
    const std::string before = shape_test::record_hex(t->record());
    EXPECT_EQ(assertion_text([&] { t->height(0.0); }), "h != 0.0");
    EXPECT_EQ(shape_test::record_hex(t->record()), before);
    EXPECT_TRUE(areas.items.empty());

    qvScaledText fresh(scene);
    EXPECT_EQ(assertion_text([&] { fresh->height(-0.0); }), "h != 0.0");
    EXPECT_EQ(fresh->record(), nullptr);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { fresh->height(); },
                                                       "Attempt to query uninitialized shape");
}

// ---------------------------------------------------------------------------
// Measuring

TEST_F(ScaledText, Adjusting_makes_the_size_mode_height_of_the_font_the_text_height) {
    HostProvider host(31, qvTextExtent(40, 12, 2, 2), QV_FSM_ASCENT | QV_FSM_DESCENT);
    qvTextExtent::current_metric(31);
    qvTextExtent::font_size_mode(QV_FSM_ALL);
    ASSERT_EQ(qvTextExtent::font_size_mode(), 3);
    qvScaledText t = made(qvExtent{});
    t->height(5.0);
    t->adjust_extent();
    EXPECT_EQ(t->extent(), (qvExtent{200.0 / 12, 10.0 / 12, 60.0 / 12}));
    EXPECT_EQ(t->bbox(), qvMathRectOf<double>(qvRectOf<double>(-200.0 / 12, -5, 200.0 / 12, 5)));
    EXPECT_EQ(t->record()->bbox(), qvMathRectOf<double>(qvRectOf<double>(qvRectOf<float>(t->bbox()))));

    // Extra alone: H = 2. A mode whose measures add up to 0 counts as 1.
    host.accepted = QV_FSM_EXTRA;
    qvTextExtent::font_size_mode(QV_FSM_ALL);
    t->adjust_extent();
    EXPECT_EQ(t->extent(), (qvExtent{100, 5, 30}));
    host.answer = qvTextExtent(40, 12, 2, 0);
    t->adjust_extent();
    EXPECT_EQ(t->extent(), (qvExtent{200, 10, 60}));
}

TEST_F(ScaledText, With_the_default_provider_the_measured_extent_is_multiplied_by_the_height) {
    qvAttributeProxy font(scene, 0);
    font.font_size(10.0f);
    const qvScaledText t(scene, qvCrdOf<double>(0, 0), "ab", 2.0, 1.5f, &font);
    EXPECT_EQ(t->extent(), (qvExtent{60, 0, 20}));
    EXPECT_EQ(t->stretch(), 1.5f);

    // Neither the text, nor the stretch, nor the font re-measures; adjusting does.
    t->text("abcd");
    t->font_size(20.0f);
    EXPECT_EQ(t->extent(), (qvExtent{60, 0, 20}));
    t->adjust_extent();
    EXPECT_EQ(t->extent(), (qvExtent{240, 0, 40}));

    qvScaledText empty = made(qvExtent{4, 5, 6});
    empty->text("");
    areas.items.clear();
    empty->adjust_extent();
    EXPECT_EQ(empty->extent(), (qvExtent{4, 5, 6}));
    qvScaledText(scene)->adjust_extent();   // no record: nothing

    // A measure past the float range (a width of 20 x 2^124) writes nothing.
    qvScaledText tall = made(qvExtent{4, 5, 6});
    tall->connect_attribute(font);
    tall->extent(qvExtent{0, 0, 0});
    tall->height(std::ldexp(1.0, 124));
    const std::string before = shape_test::record_hex(tall->record());
    expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { tall->adjust_extent(); },
                                                   "Coordinate is not finite or out of range");
    EXPECT_EQ(shape_test::record_hex(tall->record()), before);
    tall->height(std::ldexp(1.0, 120));
    tall->adjust_extent();
    EXPECT_EQ(tall->extent(), (qvExtent{std::ldexp(20.0, 120), 0, std::ldexp(10.0, 120)}));
}

// ---------------------------------------------------------------------------
// Constructors, identities, interactions

TEST_F(ScaledText, The_constructors_set_text_height_stretch_then_placement) {
    const qvScaledText t(scene, qvCrdOf<double>(3, 4), "abc", 2.0, nullptr);
    qvShapeBase const* const r = t->record();
    EXPECT_EQ(r->size, 124);
    EXPECT_EQ(r->kind, -10);
    EXPECT_EQ(r->proxy_class_id, 8);
    EXPECT_EQ(t->extent(), (qvExtent{0, 0, 0}));   // nothing measured without a font
    EXPECT_EQ(t->height(), 2.0);
    EXPECT_EQ(t->stretch(), 1.0f);
    EXPECT_EQ(t->alignment(), 20u);
    EXPECT_EQ(t->anchor(), qvCrdOf<double>(3, 4));
    EXPECT_EQ(t->aperture(), 90.0);

    const qvScaledText all(scene, qvCrdOf<double>(0, 0), "x", 1.0, 2.0f, 5u, 30.0, 60.0, nullptr);
    EXPECT_EQ(all->stretch(), 2.0f);
    EXPECT_EQ(all->alignment(), 5u);
    EXPECT_EQ(all->angle(), 30.0);
    EXPECT_EQ(all->aperture(), 60.0);
}

TEST_F(ScaledText, A_refused_height_or_stretch_leaves_no_shape_in_the_scene) {
    const std::size_t shapes = scene.records.size();
    expect_raises<qvErrorFrom<qvGenericTextProxy<qvGenericScaledTextProxy<qvScaledTextProxyInnerBase>>>>(
        [&] { qvScaledText(scene, qvCrdOf<double>(0, 0), "abc", 2.0, -1.0f, nullptr); },
        "Stretch must be a non-zero positive value");
    EXPECT_EQ(assertion_text([&] { qvScaledText(scene, qvCrdOf<double>(0, 0), "abc", 0.0, nullptr); }),
              "h != 0.0");
    EXPECT_EQ(scene.records.size(), shapes);
    EXPECT_EQ(scene.entries(), 0u);
    EXPECT_TRUE(areas.items.empty());

    const float infinite = std::numeric_limits<float>::infinity();
    expect_raises<qvErrorFrom<qvShapeCoordinates>>(
        [&] { qvScaledText(scene, qvCrdOf<double>(0, 0), "abc", 2.0, infinite, nullptr); },
        "Coordinate is not finite or out of range");
    EXPECT_EQ(scene.records.size(), shapes);

    // A measure that fails once the record exists takes it away again.
    qvAttributeProxy font(scene, 0);
    font.font_size(10.0f);
    expect_raises<qvErrorFrom<qvShapeCoordinates>>(
        [&] { qvScaledText(scene, qvCrdOf<double>(0, 0), "ab", std::ldexp(1.0, 124), &font); },
        "Coordinate is not finite or out of range");
    EXPECT_EQ(scene.records.size(), shapes);
    EXPECT_EQ(scene.entries(), 0u);
}

TEST_F(ScaledText, It_names_its_own_interface_for_the_extended_scale_and_rebuilds_from_its_record) {
    qvScaledText t = made(qvExtent{1, 1, 1});
    qvScaledTextProxy& p = *t;
    EXPECT_TRUE(shape_test::interactions_are_offered(p));
    EXPECT_EQ(p.query_interaction(qvInterfaceIdentity<qvExtendedScaleInteraction>()),
              &qvInterfaceIdentity<qvScaledTextDataAccess>());
    EXPECT_EQ(p.query_interaction(qvInterfaceIdentity<qvRotateInteraction>()), &qvInterfaceIdentity<qvTextDataAccess>());
    EXPECT_EQ(p.query_interface(qvInterfaceIdentity<qvScaledTextDataAccess>()),
              static_cast<qvScaledTextDataAccess*>(&p));
    EXPECT_EQ(p.query_interface(qvInterfaceIdentity<qvRestrictedTextDataAccess>()), nullptr);

    // The height reached through the interface the adapters use.
    auto* const access = qvQueryInterface<qvScaledTextDataAccess>(&p);
    access->height(4.0);
    EXPECT_EQ(t->record()->bbox(), raw(-4, -4, 4, 4));

    t->text("kept");
    const long h = t->shape_handle();
    t.release();
    const qvScaledText back(scene, h);
    ASSERT_TRUE(back);
    EXPECT_STREQ(back->text(), "kept");
    EXPECT_EQ(back->height(), 4.0);
    EXPECT_FALSE(qvRestrictedText(scene, h));
}

// In a real scene the header box decides where a text is drawn, and the
// scene's stream brings both kinds back to their proxy classes.
TEST(TextsInAMemoryScene, Are_drawn_by_their_kept_box_and_come_back_from_the_stream_as_texts) {
    const DefaultMetricScope metric;
    qvMemoryScene scene;
    qvAttributeProxy font(scene, 0);
    font.font_size(1.0f);
    qvRestrictedText far(scene, qvCrdOf<double>(100, 100), "far", 15u, &font, nullptr);
    qvScaledText near(scene, qvCrdOf<double>(0, 0), "near", 1.0, 1.0f, 15u, &font);
    far->user_handle(1);
    near->user_handle(2);
    const qvMathRectOf<double> around_origin(-5, -5, 5, 5);
    EXPECT_EQ(scene_test::drawn(scene, 0, false, around_origin), std::vector<long>{2});
    far->anchor(qvCrdOf<double>(1, 1));
    EXPECT_EQ(scene_test::drawn(scene, 0, false, around_origin), (std::vector<long>{1, 2}));

    qvMemoryScene copy;
    scene_test::load(copy, scene_test::saved(scene));
    std::vector<std::string> texts;
    for (qvIndirectIterator<qvGraphic> it = copy.enumerate(-1); it; ++it) {
        if (const qvRestrictedText r{*it})
            texts.push_back(std::string("restricted ") + r->text());
        if (const qvScaledText t{*it})
            texts.push_back(std::string("scaled ") + t->text() + " " + std::to_string(t->extent().width));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"restricted far", "scaled near 4.000000"}));
}

// ---------------------------------------------------------------------------
// Stand-alone

TEST(qvSimpleScaledText, Keeps_height_and_extent_on_a_private_record_and_never_adjusts) {
    const DefaultMetricScope metric;
    qvSimpleScaledText t;
    expect_raises<qvErrorFrom<qvSimpleShapeProxyBase>>([&] { t->height(); }, "Attempt to query uninitialized shape");
    t->height(2.0);
    ASSERT_NE(t->record(), nullptr);
    EXPECT_EQ(t->record()->size, 120);
    EXPECT_EQ(t->record()->kind, -10);
    EXPECT_EQ(t->record()->proxy_class_id, 0);
    t->text("ab");
    t->extent(qvExtent{10, 2, 8});
    t->height(4.0);
    EXPECT_EQ(t->extent(), (qvExtent{20, 4, 16}));
    t->adjust_extent();
    EXPECT_EQ(t->extent(), (qvExtent{20, 4, 16}));
    EXPECT_EQ(t->record()->bbox(), raw(1, 1, 0, 0));
    EXPECT_EQ(t->bbox(), raw(-20, -20, 20, 20));   // alignment 6: the bottom edge on the anchor
    EXPECT_EQ(assertion_text([&] { t->height(0.0); }), "h != 0.0");
    EXPECT_EQ(t->height(), 4.0);

    qvSimpleScaledText copy(t->record());
    EXPECT_EQ(copy->height(), 4.0);
    EXPECT_STREQ(copy->text(), "ab");
}
