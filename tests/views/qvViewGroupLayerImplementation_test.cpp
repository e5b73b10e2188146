// The group layer: drawing inside its own clip, clones, its handle, and
// its place under a view filter.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>

#include <gtest/gtest.h>

namespace {

using Rect = qvMathRectOf<double>;

// A group holding one test layer, prepared over the whole window.
struct GroupOfOne {
    qvViewGroupLayer group{true};
    qvTestLayer* child = new qvTestLayer;
    qvViewLayer child_handle{static_cast<qvViewLayerObject*>(child)};
    GroupOfOne() { group->add(child_handle, qvOrder(6)); }
    void prepare() {
        qvGridRegion region(Rect(0, 0, 100, 80));
        group->prepare(region, false);
    }
};

}  // namespace

TEST(qvViewGroupLayerRender, Without_a_clip_children_see_the_buffer_as_it_is_and_the_stack_unwinds) {
    qvRasterTestWindow w;
    GroupOfOne g;
    g.prepare();
    qvViewVBuf vbuf = w.vbuf();
    EXPECT_TRUE(g.group->render(vbuf, {0, 0}));
    ASSERT_EQ(g.child->clips_seen.size(), 1u);
    EXPECT_TRUE(qvSameArea(g.child->clips_seen[0], qvGridRegion(Rect(0, 0, 100, 80))));
    EXPECT_THROW(vbuf.pop(), qvAssertionError);   // nothing was left pushed
}

TEST(qvViewGroupLayerRender, With_a_clip_children_see_the_buffer_cut_to_it_until_render_ends) {
    qvRasterTestWindow w;
    GroupOfOne g;
    const qvGridRegion clip(Rect(50, 40, 150, 60));
    g.group->clipping(&clip);
    g.prepare();
    qvViewVBuf vbuf = w.vbuf();
    vbuf.push();
    g.child->render_answer = false;
    EXPECT_FALSE(g.group->render(vbuf, {0, 0}));
    ASSERT_EQ(g.child->clips_seen.size(), 1u);
    EXPECT_TRUE(qvSameArea(g.child->clips_seen[0], qvGridRegion(Rect(50, 40, 100, 60))));
    EXPECT_TRUE(qvSameArea(vbuf.clipping(), qvGridRegion(Rect(0, 0, 100, 80))));
    vbuf.pop();
    EXPECT_THROW(vbuf.pop(), qvAssertionError);
}

TEST(qvViewGroupLayerRender, Under_the_off_filter_the_group_draws_nothing_and_hides_nothing) {
    qvRasterTestWindow w;
    GroupOfOne g;
    g.child->has_background(true);
    g.group->view_filter(qvViewFilter::off());
    qvGridRegion region(Rect(0, 0, 100, 80));
    g.group->prepare(region, false);
    EXPECT_TRUE(qvSameArea(region, qvGridRegion(Rect(0, 0, 100, 80))));
    qvViewVBuf vbuf = w.vbuf();
    EXPECT_TRUE(g.group->render(vbuf, {0, 0}));
    EXPECT_TRUE(g.child->clips_seen.empty());

    // Refused per layer by a scripted filter, asked with -1 (the whole layer).
    qvScriptedFilter filter;
    filter.layer_answers[-1] = false;
    g.group->view_filter(&filter);
    g.group->prepare(region, false);
    EXPECT_EQ(filter.log, std::vector<std::string>{"layer -1"});
    EXPECT_TRUE(qvSameArea(region, qvGridRegion(Rect(0, 0, 100, 80))));
}

TEST(qvViewGroupLayerObject, A_clone_has_the_settings_and_area_but_no_children) {
    GroupOfOne g;
    const qvGridRegion clip(Rect(0, 0, 50, 50));
    g.group->clipping(&clip);
    g.group->invalidate(Rect(0, 0, 10, 10), false);
    g.group->flags(0x20);
    g.group->view_filter(qvViewFilter::off());

    const qvViewGroupLayer twin(qvViewLayer(g.group->clone()));
    ASSERT_TRUE(twin);
    EXPECT_NE(twin.counter(), g.group.counter());
    EXPECT_EQ(twin->flags(), 0x21u);
    EXPECT_EQ(twin->view_filter(), qvViewFilter::off());
    EXPECT_TRUE(qvSameArea(twin->local_device_clipping(), clip));
    EXPECT_TRUE(qvSameArea(twin->local_redraw_area(), qvGridRegion(Rect(0, 0, 10, 10))));
    EXPECT_FALSE(twin->layers());
    EXPECT_EQ(twin->parent(), nullptr);
}

TEST(qvViewGroupLayerHandle, Converts_to_and_from_the_active_layer_on_one_counter) {
    EXPECT_FALSE(qvViewGroupLayer(false));
    const qvViewGroupLayer group(true);
    ASSERT_TRUE(group);
    const qvViewActiveLayer active = group;
    const qvViewGroupLayer back(active);
    EXPECT_EQ(active.counter(), group.counter());
    EXPECT_EQ(back.counter(), group.counter());
    EXPECT_EQ(back.get(), group.get());

    // Another kind of layer gives an empty group handle.
    const qvViewLayer leaf(static_cast<qvViewLayerObject*>(new qvTestLayer));
    EXPECT_FALSE(qvViewGroupLayer(leaf));
    EXPECT_FALSE(qvViewActiveLayer(leaf));
    EXPECT_TRUE(qvViewGroupLayer(qvViewLayer(group)));
}
