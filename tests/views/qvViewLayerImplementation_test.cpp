// The layer base: flags, the invalidation climb to the renderer, the
// preparation step, copying, and links that outlive their objects.

#include "qvViewTestDoubles.hpp"

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewFilter.hpp>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Rect = qvMathRectOf<double>;

// A layer kind that stores its flags with bit 0 cleared, as data layers do.
struct ClearsBitZero : qvTestLayer {
    unsigned flags(unsigned value) override { return qvTestLayer::flags(value & ~1u); }
    unsigned flags() const override { return qvTestLayer::flags(); }
};

// An active layer with no children of its own: enough to be a parent.
struct TestGroup : virtual qvViewActiveLayerObject, qvViewLayerImplementation {
    using qvViewAreaImplementation::gate;
    qvIndirectIterator<qvViewLayer> layers() override { return {}; }
    bool add(qvViewLayer const&, qvOrder, qvViewLayer const&) override { return false; }
    bool add(qvViewLayer const&, qvOrder) override { return false; }
    bool clear() override { return false; }
    bool remove(qvViewLayer const&) override { return false; }
    qvViewBaseLayer clone() override { return {}; }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* found = qvViewLayerImplementation::query_interface(info))
            return found;
        return qvOfferInterfaces<qvViewActiveLayerObject>(this, info);
    }
};

// A renderer, a view manager drawn by it, and a test layer in the manager.
struct View {
    qvRecordingRenderer* renderer_object = new qvRecordingRenderer;
    qvBaseRenderer renderer{static_cast<qvBaseRendererObject*>(renderer_object)};
    qvTestViewManager* manager_object = new qvTestViewManager;
    qvViewManager manager{static_cast<qvViewManagerObject*>(manager_object)};
    qvTestLayer* layer_object = new qvTestLayer;
    qvViewLayer layer{static_cast<qvViewLayerObject*>(layer_object)};

    View() {
        manager->renderer(renderer);
        layer->view(manager);
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// Flags

TEST(qvViewLayerFlags, The_word_reads_back_and_each_setter_changes_only_its_bit) {
    qvViewLayer layer(new qvTestLayer);
    EXPECT_EQ(layer->flags(), 0u);
    layer->flags(0x2A5);
    EXPECT_EQ(layer->flags(), 0x2A5u);   // 0x200 is kept though nothing names it
    layer->flags(0);

    struct Named {
        void (qvViewRendering::*set)(bool);
        bool (qvViewRendering::*get)() const;
        unsigned bit;
    };
    const Named named[] = {
        {&qvViewRendering::is_independent, &qvViewRendering::is_independent, 0x02},
        {&qvViewRendering::has_background, &qvViewRendering::has_background, 0x04},
        {&qvViewRendering::safe_to_remove, &qvViewRendering::safe_to_remove, 0x08},
        {&qvViewRendering::disassemble_region, &qvViewRendering::disassemble_region, 0x10},
        {&qvViewRendering::notify_invalidation, &qvViewRendering::notify_invalidation, 0x20},
        {&qvViewRendering::restrict_notification, &qvViewRendering::restrict_notification, 0x40},
    };
    qvViewRendering& rendering = *layer.get();
    for (Named const& n : named) {
        rendering.flags(0x601);
        (rendering.*n.set)(true);
        EXPECT_EQ(rendering.flags(), 0x601u | n.bit);
        EXPECT_TRUE((rendering.*n.get)());
        (rendering.*n.set)(false);
        EXPECT_EQ(rendering.flags(), 0x601u);
        EXPECT_FALSE((rendering.*n.get)());
    }
}

TEST(qvViewLayerFlags, Setters_write_through_the_kind_that_clears_bit_zero) {
    qvViewLayer layer(new ClearsBitZero);
    layer->flags(0xFF);
    EXPECT_EQ(layer->flags(), 0xFEu);
    layer->is_independent(false);
    EXPECT_EQ(layer->flags(), 0xFCu);
    layer->has_background(true);
    EXPECT_EQ(layer->flags() & 1u, 0u);
}

TEST(qvViewLayerFlags, Always_dirty_is_read_only_and_makes_the_layer_wholly_invalid) {
    qvViewLayer layer(new qvTestLayer);
    EXPECT_FALSE(layer->always_dirty());
    EXPECT_FALSE(layer->local_redraw_all());
    layer->flags(0x80);
    EXPECT_TRUE(layer->always_dirty());
    EXPECT_TRUE(layer->local_redraw_all());
    EXPECT_TRUE(layer->redraw_all(false));
    layer->validate();   // clears the area, not the flag
    EXPECT_TRUE(layer->redraw_all(false));
}

// ---------------------------------------------------------------------------
// The invalidation climb

TEST(qvViewLayerNotification, Restrict_notification_grows_the_area_and_tells_nobody) {
    View view;
    view.layer->restrict_notification(true);
    EXPECT_FALSE(view.layer->invalidate(Rect(0, 0, 4, 4), true));
    EXPECT_TRUE(qvSameArea(view.layer->redraw_area(false), qvGridOf({Rect(0, 0, 4, 4)})));
    EXPECT_TRUE(view.renderer_object->log.empty());
    EXPECT_TRUE(view.manager->redraw_area(false).empty());
}

TEST(qvViewLayerNotification, One_invalidation_reaches_the_manager_and_the_renderer) {
    View view;
    EXPECT_FALSE(view.layer->invalidate(Rect(0, 0, 4, 4), false));   // no notification asked
    EXPECT_TRUE(view.renderer_object->log.empty());

    EXPECT_TRUE(view.layer->invalidate(Rect(10, 0, 12, 2), true));
    // What travels is the layer's whole redraw area, the earlier piece too.
    const qvGridRegion both = qvGridOf({Rect(0, 0, 4, 4), Rect(10, 0, 12, 2)});
    EXPECT_TRUE(qvSameArea(view.manager->redraw_area(false), both));
    ASSERT_EQ(view.renderer_object->log, (std::vector<std::string>{"region"}));
    EXPECT_TRUE(qvSameArea(view.renderer_object->areas[0], both));
    EXPECT_FALSE(view.layer_object->gate());
    EXPECT_FALSE(view.manager_object->gate());
    EXPECT_EQ(view.layer_object->superior(), view.renderer.get());
}

TEST(qvViewLayerNotification, Always_dirty_sends_the_device_clip_or_everything) {
    View view;
    view.layer->flags(0x80);
    EXPECT_TRUE(view.layer->invalidate(Rect(1, 1, 2, 2), true));
    EXPECT_EQ(view.renderer_object->log, (std::vector<std::string>{"all"}));

    View clipped;
    const qvGridRegion clip = qvGridOf({Rect(0, 0, 10, 10), Rect(20, 0, 30, 10)});
    clipped.layer->clipping(&clip);
    clipped.layer->flags(0x80);
    EXPECT_TRUE(clipped.layer->invalidate(true));
    ASSERT_EQ(clipped.renderer_object->log, (std::vector<std::string>{"region"}));
    EXPECT_TRUE(qvSameArea(clipped.renderer_object->areas[0], clip));
}

TEST(qvViewLayerNotification, A_closed_channel_keeps_the_areas_for_the_next_notification) {
    View view;
    view.renderer_object->ready = false;
    EXPECT_FALSE(view.layer->invalidate(Rect(0, 0, 4, 4), true));
    EXPECT_TRUE(view.layer_object->gate());   // no attempt: the gate is untouched
    EXPECT_TRUE(view.renderer_object->log.empty());
    EXPECT_TRUE(qvSameArea(view.layer->redraw_area(false), qvGridOf({Rect(0, 0, 4, 4)})));

    view.renderer_object->ready = true;
    EXPECT_TRUE(view.layer->invalidate(Rect(6, 0, 8, 2), true));
    const qvGridRegion both = qvGridOf({Rect(0, 0, 4, 4), Rect(6, 0, 8, 2)});
    ASSERT_EQ(view.renderer_object->areas.size(), 1u);
    EXPECT_TRUE(qvSameArea(view.renderer_object->areas[0], both));
}

TEST(qvViewLayerNotification, A_layer_in_no_tree_answers_false) {
    qvTestLayer* object = new qvTestLayer;
    qvViewLayer layer(static_cast<qvViewLayerObject*>(object));
    EXPECT_FALSE(layer->invalidate(Rect(0, 0, 1, 1), true));
    EXPECT_FALSE(layer->invalidate(true));
    EXPECT_FALSE(object->notify_superior());
    EXPECT_TRUE(object->gate());
    EXPECT_EQ(object->superior(), nullptr);
}

TEST(qvViewLayerNotification, The_climb_passes_through_the_parent_to_the_manager) {
    View view;
    TestGroup* group_object = new TestGroup;
    qvViewActiveLayer group(static_cast<qvViewActiveLayerObject*>(group_object));
    group->view(view.manager);
    qvTestLayer* child_object = new qvTestLayer;
    qvViewLayer child(static_cast<qvViewLayerObject*>(child_object));
    child->parent(group);

    EXPECT_TRUE(child->invalidate(Rect(0, 0, 3, 3), true));
    EXPECT_TRUE(qvSameArea(group->redraw_area(false), qvGridOf({Rect(0, 0, 3, 3)})));
    EXPECT_TRUE(qvSameArea(view.manager->redraw_area(false), qvGridOf({Rect(0, 0, 3, 3)})));
    EXPECT_EQ(view.renderer_object->log, (std::vector<std::string>{"region"}));
    EXPECT_FALSE(child_object->gate());
    EXPECT_FALSE(group_object->gate());

    // Rectangle and whole forms of the notification take the same road.
    EXPECT_TRUE(child_object->notify_superior(Rect(5, 5, 6, 6)));
    EXPECT_TRUE(qvSameArea(group->redraw_area(false), qvGridOf({Rect(0, 0, 3, 3), Rect(5, 5, 6, 6)})));
    EXPECT_TRUE(child_object->notify_superior());
    EXPECT_TRUE(group->redraw_all(false));
    EXPECT_EQ(view.renderer_object->log.back(), "all");
}

TEST(qvViewLayerNotification, Reinitialize_finds_the_managers_new_renderer) {
    View view;
    view.layer->invalidate(Rect(0, 0, 1, 1), true);
    qvRecordingRenderer* second_object = new qvRecordingRenderer;
    qvBaseRenderer second(static_cast<qvBaseRendererObject*>(second_object));
    view.manager->renderer(second);
    EXPECT_EQ(view.layer_object->superior(), view.renderer.get());   // still the old one
    view.layer->reinitialize();
    EXPECT_EQ(view.layer_object->superior(), second.get());
    EXPECT_TRUE(view.layer_object->gate());
    EXPECT_TRUE(view.layer->invalidate(Rect(2, 2, 3, 3), true));
    EXPECT_EQ(second_object->log.size(), 1u);
    EXPECT_EQ(view.renderer_object->log.size(), 1u);
}

// ---------------------------------------------------------------------------
// Links outlive their objects

TEST(qvViewLayerLinks, View_parent_and_superior_read_null_once_their_objects_die) {
    View view;
    TestGroup* group_object = new TestGroup;
    qvViewActiveLayer group(static_cast<qvViewActiveLayerObject*>(group_object));
    view.layer->parent(group);
    EXPECT_EQ(view.layer->parent(), group.get());
    group = qvViewActiveLayer();
    EXPECT_EQ(view.layer->parent(), nullptr);

    EXPECT_TRUE(view.layer->invalidate(Rect(0, 0, 1, 1), true));
    view.renderer = qvBaseRenderer();
    EXPECT_EQ(view.layer_object->superior(), nullptr);
    EXPECT_FALSE(view.layer->invalidate(Rect(0, 0, 1, 1), true));

    view.manager = qvViewManager();
    EXPECT_EQ(view.layer->view(), nullptr);
    EXPECT_FALSE(view.layer->invalidate(true));
}

// ---------------------------------------------------------------------------
// Preparation

TEST(qvViewLayerPrepare, An_opaque_layer_hides_what_it_covers_a_transparent_one_nothing) {
    const qvGridRegion repair = qvGridOf({Rect(0, 0, 20, 20)});
    const qvGridRegion clip = qvGridOf({Rect(5, 5, 10, 10)});

    qvTestLayer* object = new qvTestLayer;
    qvViewLayer layer(static_cast<qvViewLayerObject*>(object));
    EXPECT_FALSE(object->drawing_direction());   // back to front until prepared

    qvGridRegion region = repair;
    layer->prepare(region, true);   // transparent, no clip
    EXPECT_TRUE(qvSameArea(region, repair));
    EXPECT_TRUE(qvSameArea(object->prepared_region(), repair));
    EXPECT_TRUE(object->drawing_direction());

    layer->clipping(&clip);
    layer->prepare(region, false);   // transparent, clipped
    EXPECT_TRUE(qvSameArea(region, repair));
    EXPECT_TRUE(qvSameArea(object->prepared_region(), clip));
    EXPECT_FALSE(object->drawing_direction());

    layer->has_background(true);
    layer->prepare(region, false);   // opaque, clipped: the clip leaves the region
    EXPECT_TRUE(qvSameArea(object->prepared_region(), clip));
    qvGridRegion rest = repair;
    rest -= clip;
    EXPECT_TRUE(qvSameArea(region, rest));

    layer->clipping(nullptr);
    region = repair;
    layer->prepare(region, false);   // opaque, unclipped: nothing left behind it
    EXPECT_TRUE(region.empty());
    EXPECT_TRUE(qvSameArea(object->prepared_region(), repair));
    EXPECT_EQ(object->calls, (std::vector<std::string>{"prepare 1", "prepare 0", "prepare 0", "prepare 0"}));
}

TEST(qvViewLayerPrepare, The_off_filter_leaves_the_layer_out_and_the_region_alone) {
    const qvGridRegion repair = qvGridOf({Rect(0, 0, 20, 20)});
    qvTestLayer* object = new qvTestLayer;
    qvViewLayer layer(static_cast<qvViewLayerObject*>(object));
    layer->has_background(true);
    layer->view_filter(qvViewFilter::off());
    qvGridRegion region = repair;
    layer->prepare(region, false);
    EXPECT_TRUE(object->prepared_region().empty());
    EXPECT_TRUE(qvSameArea(region, repair));

    layer->view_filter(qvViewFilter::on());
    layer->prepare(region, false);
    EXPECT_TRUE(qvSameArea(object->prepared_region(), repair));
    EXPECT_TRUE(region.empty());
}

// The filter is given a handle of the layer; for a layer that no handle
// owns, that handle's release used to delete it.
TEST(qvViewLayerPrepare, A_filter_may_judge_a_layer_that_no_handle_owns) {
    auto object = std::make_unique<qvTestLayer>();
    object->view_filter(qvViewFilter::off());
    qvGridRegion region = qvGridOf({Rect(0, 0, 1, 1)});
    object->prepare(region, false);
    EXPECT_TRUE(object->prepared_region().empty());
    object->flags(0x4);   // still alive
    EXPECT_EQ(object->flags(), 0x4u);
}

// ---------------------------------------------------------------------------
// Cleanup and copies

TEST(qvViewLayerCopy, Cleanup_validates_and_opens_the_gate) {
    View view;
    view.layer->invalidate(Rect(0, 0, 4, 4), true);
    ASSERT_FALSE(view.layer_object->gate());
    view.layer->cleanup();
    EXPECT_TRUE(view.layer_object->gate());
    EXPECT_TRUE(view.layer->redraw_area(false).empty());
    EXPECT_EQ(view.layer_object->calls.back(), "cleanup");
}

TEST(qvViewLayerCopy, A_copy_takes_settings_and_area_but_no_place_in_a_tree) {
    View view;
    const qvGridRegion clip = qvGridOf({Rect(0, 0, 10, 10)});
    view.layer->clipping(&clip);
    view.layer->flags(0x24);
    view.layer->view_filter(qvViewFilter::on());
    view.layer->invalidate(Rect(1, 1, 3, 3), true);
    ASSERT_NE(view.layer_object->superior(), nullptr);

    qvTestLayer* copy_object = new qvTestLayer;
    qvViewLayer copy(static_cast<qvViewLayerObject*>(copy_object));
    copy_object->copy(*view.layer_object);
    EXPECT_EQ(copy->flags(), 0x24u);
    EXPECT_EQ(copy->view_filter(), qvViewFilter::on());
    EXPECT_TRUE(qvSameArea(copy->clipping(), clip));
    EXPECT_TRUE(qvSameArea(copy->redraw_area(false), qvGridOf({Rect(1, 1, 3, 3)})));
    EXPECT_EQ(copy->view(), nullptr);
    EXPECT_EQ(copy->parent(), nullptr);
    EXPECT_EQ(copy_object->superior(), nullptr);

}
