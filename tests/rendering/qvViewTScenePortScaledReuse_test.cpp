// The scene port's scaled line widths within a draw (a scene's render):
// each attribute copied once and its copy reused, what ends a draw and
// releases the copies, a copied attribute changed mid-draw, and a target
// handed the same calls as when every record is drawn on its own.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

int attributes_in(qvPalette* palette) {
    int n = 0;
    for (auto it = palette->enumerate(); it; ++it) ++n;
    return n;
}

const qvMathRectOf<double> everywhere(-1e6, -1e6, 1e6, 1e6);

// Two attributes of widths 1.5 (shared: edited in place for every holder)
// and 2 on four rectangles, alternating.
struct ScaledReuse : ::testing::Test {
    qvMemoryScene scene;
    qvSharedAttributeProxy thin{scene.palette(), 0};
    qvAttributeProxy wide{scene.palette(), 0};
    shape_test::RecordingFlavorPort target;
    qvViewTScenePort port{target};

    ScaledReuse() {
        thin.line_width(1.5);
        wide.line_width(2.0);
        for (int i = 0; i < 4; ++i)
            qvRectangle(scene, 10.0 * i, 0, 10.0 * i + 5, 3, i % 2 == 0 ? static_cast<qvAttributeFolderInterface*>(&thin) : &wide);
        port.mapping(qvScaling(2, 8));
    }
    long handle_of_call(std::size_t i) const { return target.record(i)->attribute_handle; }
    // The scene's record i, as a render hands it over.
    std::unique_ptr<qvShapeBase> source(std::size_t i) {
        shape_test::RecordingFlavorPort collected;
        scene.render(collected, -1, everywhere, false);
        return collected.record(i);
    }
    qvPalette* private_palette() const { return target.calls.at(0).palette; }
};

}  // namespace

TEST_F(ScaledReuse, A_render_copies_each_attribute_once_and_keeps_the_copies_until_the_next_draw) {
    scene.render(port, -1, everywhere, false);
    ASSERT_EQ(target.calls.size(), 4u);
    EXPECT_EQ(target.calls[0].line_width, 6.0);
    EXPECT_EQ(target.calls[1].line_width, 8.0);
    EXPECT_EQ(target.calls[2].line_width, 6.0);
    EXPECT_EQ(target.calls[3].line_width, 8.0);
    EXPECT_EQ(handle_of_call(0), handle_of_call(2));
    EXPECT_EQ(handle_of_call(1), handle_of_call(3));
    EXPECT_NE(handle_of_call(0), handle_of_call(1));
    for (auto const& call : target.calls) EXPECT_EQ(call.palette, private_palette());
    EXPECT_EQ(attributes_in(private_palette()), 2);
    EXPECT_TRUE(target.driver.drops.empty());
    // Every record was drawn with the private palette and then the scene's
    // was back; the scene's attributes are untouched.
    EXPECT_EQ(target.palette(), &scene.palette());
    EXPECT_EQ(static_cast<double>(thin.line_width()), 1.5);

    // The next render is a new draw: the old copies go first.
    scene.render(port, -1, everywhere, false);
    EXPECT_EQ(target.driver.drops, (std::vector<std::string>{"drop " + std::to_string(handle_of_call(0)),
                                                              "drop " + std::to_string(handle_of_call(1))}));
    EXPECT_EQ(target.driver.drop_palettes, (std::vector<qvPalette*>{private_palette(), private_palette()}));
    EXPECT_EQ(attributes_in(private_palette()), 2);
}

TEST_F(ScaledReuse, A_new_mapping_ends_the_draw_and_later_records_get_their_own_copy) {
    scene.render(port, -1, everywhere, false);
    port.mapping(qvScaling(4, 4));
    EXPECT_EQ(attributes_in(private_palette()), 0);
    EXPECT_EQ(target.driver.drops.size(), 2u);
    // Outside a draw each record's copy lives for that record alone.
    ASSERT_TRUE(port.draw_shape(*source(1)));
    EXPECT_EQ(target.calls.back().line_width, 8.0);
    EXPECT_EQ(attributes_in(private_palette()), 0);
    EXPECT_EQ(target.driver.drops.size(), 3u);
}

TEST_F(ScaledReuse, An_attribute_changed_within_a_draw_is_copied_again) {
    target.on_draw = [&](qvShapeBase const&) {
        if (target.calls.size() == 1) thin.line_width(2.5);
    };
    scene.render(port, -1, everywhere, false);
    ASSERT_EQ(target.calls.size(), 4u);
    EXPECT_EQ(target.calls[0].line_width, 6.0);
    EXPECT_EQ(target.calls[2].line_width, 10.0);
    // The copy made before the change went before record 1 was drawn.
    EXPECT_EQ(target.driver.drops.size(), 1u);
    EXPECT_EQ(target.calls[3].line_width, 8.0);
}

TEST_F(ScaledReuse, A_target_that_raises_keeps_the_palettes_and_the_copies_sound) {
    target.fail_on = 2;
    target.failure = shape_test::RecordingFlavorPort::Failure::raise;
    EXPECT_THROW(scene.render(port, -1, everywhere, false), qvErrorFrom<shape_test::RecordingFlavorPort>);
    EXPECT_EQ(target.palette(), &scene.palette());
    target.fail_on = 0;
    scene.render(port, -1, everywhere, false);
    EXPECT_EQ(target.calls.back().line_width, 8.0);
}

// A render (one draw, copies reused) and the same records drawn one at a
// time outside any draw (a copy per record) hand the target the same
// calls: the same records but for the number of the temporary attribute,
// the same widths resolved, the same palette switches around each.
TEST(ScaledReuseCalls, A_render_hands_the_target_what_records_drawn_one_by_one_do) {
    qvMemoryScene scene;
    std::vector<std::unique_ptr<qvAttributeProxy>> attributes;
    for (int a = 0; a < 3; ++a) {
        attributes.push_back(std::make_unique<qvAttributeProxy>(scene.palette(), 0));
        attributes.back()->line_width(0.5 + a);
        attributes.back()->marker_style(qvMarkerStyle{6});
        attributes.back()->marker_size(qvMarkerSize(2.0 + a));
    }
    const qvCrdOf<double> points[4] = {{0, 0}, {7, 3}, {12, -4}, {20, 1}};
    for (int i = 0; i < 10; ++i) {
        qvAttributeProxy* const a = attributes[static_cast<std::size_t>(i % 3)].get();
        const double x = 13.0 * i;
        switch (i % 5) {
        case 0: qvRectangle(scene, x, 1, x + 9, 4, a); break;
        case 1: qvEllipse(scene, qvMathRectOf<double>(x, 0, x + 6, 5), a); break;
        case 2: qvPolyline(scene, 4, points, a); break;
        case 3: qvExactPolyline(scene, 4, points, a); break;
        default: qvPolyMarker(scene, 4, points, a); break;
        }
    }
    const qvTransformation mapping = qvRotation(30) * qvTransformation(qvScaling(2, 3));
    const qvMathRectOf<double> device(0, 0, 400, 300);

    shape_test::RecordingFlavorPort rendered;
    rendered.device_bbox(device);
    {
        qvViewTScenePort port(rendered);
        port.mapping(mapping);
        scene.render(port, -1, everywhere, false);
    }
    shape_test::RecordingFlavorPort collected;
    scene.render(collected, -1, everywhere, false);
    shape_test::RecordingFlavorPort one_by_one;
    one_by_one.device_bbox(device);
    one_by_one.palette(&scene.palette());   // the target's own: no draw begins
    {
        qvViewTScenePort port(one_by_one);
        port.mapping(mapping);
        for (std::size_t i = 0; i < collected.calls.size(); ++i) port.draw_shape(*collected.record(i));
    }

    // Markers: one call each (4 per polymarker), so more calls than records.
    ASSERT_GT(rendered.calls.size(), collected.calls.size());
    ASSERT_EQ(rendered.calls.size(), one_by_one.calls.size());
    for (std::size_t i = 0; i < rendered.calls.size(); ++i) {
        auto a = rendered.record(i), b = one_by_one.record(i);
        a->attribute_handle = b->attribute_handle = 0;
        EXPECT_EQ(std::string(reinterpret_cast<char const*>(a.get()), static_cast<std::size_t>(a->size)),
                  std::string(reinterpret_cast<char const*>(b.get()), static_cast<std::size_t>(b->size)))
            << i;
        EXPECT_EQ(rendered.calls[i].line_width, one_by_one.calls[i].line_width) << i;
        EXPECT_NE(rendered.calls[i].palette, &scene.palette()) << i;
    }
    // Around every call the private palette, then the scene's again (after
    // what the render and the test gave first).
    const std::size_t n = 2 * rendered.calls.size();
    ASSERT_GE(rendered.palettes.size(), n);
    ASSERT_EQ(one_by_one.palettes.size(), n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        qvPalette* const p = rendered.palettes[rendered.palettes.size() - n + i];
        EXPECT_EQ(p == &scene.palette(), i % 2 == 1) << i;
        EXPECT_EQ(one_by_one.palettes[1 + i] == &scene.palette(), i % 2 == 1) << i;
    }
}
