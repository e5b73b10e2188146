// The data layer: its mapping and conversions, the invalid area carried
// across mapping changes, notification of old and new areas, the device
// clipping, flags and copies.

#include "qvViewTestDoubles.hpp"

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvViewDataLayer.hpp>

#include <gtest/gtest.h>

#include <limits>

namespace {

using Rect = qvMathRectOf<double>;
using RT = qvRestrictedTransformation;

// A renderer, a test view manager drawn by it and a test data layer in it.
struct View {
    qvRecordingRenderer* renderer_object = new qvRecordingRenderer;
    qvBaseRenderer renderer{static_cast<qvBaseRendererObject*>(renderer_object)};
    qvTestViewManager* manager_object = new qvTestViewManager;
    qvViewManager manager{static_cast<qvViewManagerObject*>(manager_object)};
    qvTestDataLayer* layer_object = new qvTestDataLayer;
    qvViewDataLayer layer{static_cast<qvViewDataLayerObject*>(layer_object)};

    View() {
        manager->renderer(renderer);
        layer->view(manager);
    }
};

// Records the transformations it is handed.
struct Sink : qvViewTransformationImplementation {
    std::vector<RT> left;
    void apply_left(RT const& t) override { left.push_back(t); }
};

}  // namespace

// ---------------------------------------------------------------------------
// Mapping and conversions

TEST(qvViewDataLayerImplementation, The_mapping_starts_as_the_identity_and_converts_both_ways) {
    qvViewDataLayer layer(static_cast<qvViewDataLayerObject*>(new qvTestDataLayer));
    EXPECT_EQ(layer->scene_to_device(qvCrdOf<double>{3, 4}), (qvCrdOf<double>{3, 4}));
    layer->mapping(RT(2, 2, 10, 20));
    EXPECT_EQ(layer->scene_to_device(qvCrdOf<double>{1, 1}), (qvCrdOf<double>{12, 22}));
    EXPECT_EQ(layer->device_to_scene(qvCrdOf<double>{12, 22}), (qvCrdOf<double>{1, 1}));
}

TEST(qvViewDataLayerImplementation, Setting_the_same_mapping_invalidates_nothing) {
    View v;
    v.layer->notify_invalidation(true);
    v.layer->mapping(RT::identity());
    EXPECT_TRUE(v.renderer_object->log.empty());
    EXPECT_FALSE(v.layer->redraw_all(false));
    EXPECT_TRUE(v.layer->local_redraw_area().empty());

    // Flag 0x400 makes the layer deaf to new mappings.
    v.layer->flags(v.layer->flags() | 0x400);
    v.layer->mapping(RT(2, 2, 0, 0));
    EXPECT_EQ(v.layer->mapping(), RT::identity());
}

TEST(qvViewDataLayerImplementation, The_flags_word_never_keeps_bit_zero) {
    qvTestDataLayer layer;
    layer.flags(0xFF);
    EXPECT_EQ(layer.flags(), 0xFEu);
    layer.is_independent(false);
    EXPECT_EQ(layer.flags(), 0xFCu);
}

// ---------------------------------------------------------------------------
// The invalid area across mapping changes

TEST(qvViewDataLayerImplementation, Waiting_area_moves_with_the_picture_without_notification) {
    View v;
    v.layer->invalidate(Rect(0, 0, 10, 10), false);
    v.layer->apply_left(RT(1, 1, 5, 0));
    EXPECT_TRUE(qvSameArea(v.layer->local_redraw_area(), qvGridRegion(Rect(5, 0, 15, 10))));
    EXPECT_TRUE(v.renderer_object->log.empty());
    EXPECT_EQ(v.layer->mapping(), RT(1, 1, 5, 0));

    // A new mapping carries by new x inverse(old): a scale doubles it.
    v.layer->mapping(RT(2, 2, 10, 0));
    EXPECT_TRUE(qvSameArea(v.layer->local_redraw_area(), qvGridRegion(Rect(10, 0, 30, 20))));
    v.layer->apply_right(RT(1, 1, 0, 5));   // model shift (0, 5) is device (0, 10)
    EXPECT_EQ(v.layer->mapping(), RT(2, 2, 10, 10));
    EXPECT_TRUE(qvSameArea(v.layer->local_redraw_area(), qvGridRegion(Rect(10, 10, 30, 30))));
}

TEST(qvViewDataLayerImplementation, A_clipped_layer_keeps_what_waits_inside_its_new_clipping) {
    View v;
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    v.layer->clipping(&clip);
    v.layer->invalidate(Rect(0, 0, 5, 10), false);
    v.layer->apply_left(RT(1, 1, 5, 0));
    EXPECT_TRUE(qvSameArea(v.layer->local_device_clipping(), qvGridRegion(Rect(5, 0, 15, 10))));
    EXPECT_TRUE(qvSameArea(v.layer->local_redraw_area(), qvGridRegion(Rect(5, 0, 10, 10))));

    // Read after the clipping moved, the waiting (4, 0, 9, 10) would lose
    // its part left of 5 before being carried to (9, 0, 14, 10).
    v.layer->validate();
    v.layer->invalidate(Rect(5, 0, 9, 10), false);
    v.layer->apply_left(RT(1, 1, 5, 0));
    EXPECT_TRUE(qvSameArea(v.layer->local_redraw_area(), qvGridRegion(Rect(10, 0, 14, 10))));
}

TEST(qvViewDataLayerImplementation, With_notification_the_old_and_the_new_area_travel_up) {
    View v;
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    v.layer->clipping(&clip);
    v.layer->notify_invalidation(true);
    v.layer->invalidate(Rect(0, 0, 5, 10), false);
    v.layer->apply_left(RT(1, 1, 5, 0));
    auto& r = *v.renderer_object;
    ASSERT_EQ(r.log, (std::vector<std::string>{"region", "region"}));
    EXPECT_TRUE(qvSameArea(r.areas[0], qvGridRegion(Rect(0, 0, 10, 10))));
    qvGridRegion both(Rect(0, 0, 10, 10));
    both += Rect(5, 0, 15, 10);
    EXPECT_TRUE(qvSameArea(r.areas[1], both));
    EXPECT_TRUE(qvSameArea(v.layer->local_redraw_area(), qvGridRegion(Rect(5, 0, 15, 10))));
}

TEST(qvViewDataLayerImplementation, An_independent_layer_only_forwards_to_its_sink) {
    View v;
    Sink sink;
    v.layer->transformation_sink(&sink);
    v.layer->is_independent(true);
    v.layer->notify_invalidation(true);
    v.layer->invalidate(Rect(0, 0, 10, 10), false);
    v.layer->apply_left(RT(1, 1, 5, 0));
    ASSERT_EQ(sink.left.size(), 1u);
    EXPECT_EQ(sink.left[0], RT(1, 1, 5, 0));
    EXPECT_EQ(v.layer->mapping(), RT::identity());
    EXPECT_TRUE(qvSameArea(v.layer->local_redraw_area(), qvGridRegion(Rect(0, 0, 10, 10))));
    EXPECT_TRUE(v.renderer_object->log.empty());
}

TEST(qvViewDataLayerImplementation, A_whole_layer_waiting_stays_whole) {
    View v;
    v.layer->invalidate(false);
    v.layer->apply_left(RT(2, 2, 5, 0));
    EXPECT_TRUE(v.layer->redraw_all(false));
}

// ---------------------------------------------------------------------------
// Device clipping

TEST(qvViewDataLayerImplementation, The_device_clipping_is_the_clipping_mapped_and_floored) {
    qvTestDataLayer layer;
    const qvGridRegion clip(Rect(0.5, 0.5, 10.7, 10.7));
    layer.clipping(&clip);
    EXPECT_TRUE(qvSameArea(layer.local_device_clipping(), qvGridRegion(Rect(0, 0, 10, 10))));
    layer.mapping(RT(2, 2, 0, 0));
    EXPECT_TRUE(qvSameArea(layer.local_device_clipping(), qvGridRegion(Rect(1, 1, 21, 21))));

    qvGridRegion two(Rect(0, 0, 4, 4));
    two += Rect(10, 10, 14.5, 14.5);
    layer.clipping(&two);
    qvGridRegion want(Rect(0, 0, 8, 8));
    want += Rect(20, 20, 29, 29);
    EXPECT_TRUE(qvSameArea(layer.local_device_clipping(), want));
    EXPECT_TRUE(qvSameArea(layer.clipping(), two));

    // The setter and apply_left refuse a NaN mapping; one composed of
    // finite ones that overflow drops every rectangle: no clipping area.
    EXPECT_THROW(layer.mapping(RT(std::numeric_limits<double>::quiet_NaN(), 1, 0, 0)), qvErrorFrom<qvViewDataLayerObject>);
    EXPECT_THROW(layer.apply_left(RT(std::numeric_limits<double>::quiet_NaN(), 1, 0, 0)), qvError);
    EXPECT_EQ(layer.mapping(), RT(2, 2, 0, 0));
    layer.apply_left(RT(1e300, 1, 0, 0));
    layer.apply_left(RT(1e300, 1, 0, 0));   // an infinite scale
    layer.apply_left(RT(0, 1, 0, 0));       // and NaN of it
    EXPECT_TRUE(layer.local_device_clipping().empty());
}

TEST(qvViewDataLayerImplementation, The_redraw_area_is_cut_to_the_device_clipping) {
    qvTestDataLayer layer;
    layer.invalidate(Rect(0, 0, 20, 20), false);
    EXPECT_TRUE(qvSameArea(layer.redraw_area(), qvGridRegion(Rect(0, 0, 20, 20))));
    const qvGridRegion clip(Rect(5, 5, 10, 10));
    layer.clipping(&clip);
    layer.invalidate(Rect(0, 0, 20, 20), false);
    EXPECT_TRUE(qvSameArea(layer.redraw_area(), qvGridRegion(Rect(5, 5, 10, 10))));
}

TEST(qvViewDataLayerImplementation, Copy_takes_flags_mapping_and_device_clipping) {
    qvTestDataLayer source;
    source.flags(0x24);
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    source.clipping(&clip);
    source.mapping(RT(2, 2, 1, 1));
    const qvViewBaseLayer twin = source.clone();
    qvViewDataLayer data{qvViewLayer(twin)};
    ASSERT_TRUE(data);
    EXPECT_EQ(data->flags(), 0x24u);
    EXPECT_EQ(data->mapping(), RT(2, 2, 1, 1));
    EXPECT_TRUE(qvSameArea(data->local_device_clipping(), qvGridRegion(Rect(1, 1, 21, 21))));
}
