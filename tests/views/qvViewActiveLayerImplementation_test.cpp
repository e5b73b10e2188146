// The active layer (through the group layer, its plain kind): the child
// list, the redraw passed down, the climb through a parent, the caches of
// the clipping and redraw queries and transformation changes.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

// A test layer and the handle that owns it.
struct Leaf {
    qvTestLayer* object = new qvTestLayer;
    qvViewLayer handle{static_cast<qvViewLayerObject*>(object)};
};

// The counters of the children, front to back.
std::vector<qvRefBase*> children(qvViewActiveLayerObject& layer) {
    std::vector<qvRefBase*> out;
    for (qvIndirectIterator<qvViewLayer> it = layer.layers(); it; ++it)
        out.push_back(it->counter());
    return out;
}

qvViewActiveLayerObject* as_parent(qvViewGroupLayer const& group) { return group.get(); }

// A transformation sink that counts what reaches it.
struct CountingSink : qvViewTransformation {
    int left = 0, right = 0;
    void transformation_sink(qvViewTransformation*) override {}
    qvViewTransformation* transformation_sink() const override { return nullptr; }
    void apply_left(qvRestrictedTransformation const&) override { ++left; }
    void apply_right(qvRestrictedTransformation const&) override { ++right; }
    void zoom(qvCrdOf<double>, double) override {}
    void zoom(qvCrdOf<double>, double, double) override {}
    void scroll(double, double) override {}
};

// A renderer, a test manager drawn by it, and a group in the manager.
struct Viewed {
    qvRecordingRenderer* renderer_object = new qvRecordingRenderer;
    qvBaseRenderer renderer{static_cast<qvBaseRendererObject*>(renderer_object)};
    qvTestViewManager* manager_object = new qvTestViewManager;
    qvViewManager manager{static_cast<qvViewManagerObject*>(manager_object)};
    qvViewGroupLayer group{true};

    Viewed() {
        manager->renderer(renderer);
        group->view(manager);
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// The child list

TEST(qvViewActiveLayerList, Orders_place_children_and_unknown_ones_change_nothing) {
    qvViewGroupLayer group(true);
    Leaf l, m, n, x, y;
    EXPECT_EQ(group->flags(0), 0x01u);
    group->is_independent(true);
    EXPECT_EQ(group->flags(), 0x03u);
    group->is_independent(false);
    EXPECT_TRUE(group->add(l.handle, qvOrder(5)));
    EXPECT_TRUE(group->add(m.handle, qvOrder(5)));
    EXPECT_TRUE(group->add(n.handle, qvOrder(6)));
    EXPECT_EQ(children(*group), (std::vector<qvRefBase*>{m.handle.counter(), l.handle.counter(), n.handle.counter()}));

    EXPECT_FALSE(group->add(x.handle, qvOrder(3)));
    EXPECT_FALSE(group->contains(x.handle));
    EXPECT_EQ(x.object->parent(), nullptr);
    EXPECT_FALSE(group->add(y.handle, qvOrder(1), x.handle));   // x is no child
    EXPECT_FALSE(group->add(y.handle, qvOrder(4), n.handle));   // no such order with a reference
    EXPECT_FALSE(group->add(qvViewLayer(), qvOrder(6)));
    EXPECT_FALSE(group->add(qvViewLayer(), qvOrder(1), l.handle));
    EXPECT_EQ(children(*group).size(), 3u);

    EXPECT_TRUE(group->add(y.handle, qvOrder(2), n.handle));    // after the last: last
    EXPECT_TRUE(group->add(x.handle, qvOrder(1), l.handle));    // before l
    EXPECT_EQ(children(*group), (std::vector<qvRefBase*>{m.handle.counter(), x.handle.counter(), l.handle.counter(),
                                                          n.handle.counter(), y.handle.counter()}));
    EXPECT_EQ(x.object->parent(), as_parent(group));
}

TEST(qvViewActiveLayerList, A_layer_moves_from_its_old_parent_and_is_never_listed_twice) {
    qvViewGroupLayer first(true), second(true);
    Leaf l, other;
    ASSERT_TRUE(first->add(l.handle, qvOrder(6)));
    ASSERT_TRUE(first->add(other.handle, qvOrder(6)));
    // A refused add leaves the layer where it was.
    EXPECT_FALSE(second->add(l.handle, qvOrder(3)));
    EXPECT_FALSE(second->add(l.handle, qvOrder(1), other.handle));
    EXPECT_TRUE(first->contains(l.handle));
    EXPECT_EQ(l.object->parent(), as_parent(first));

    ASSERT_TRUE(second->add(l.handle, qvOrder(5)));
    EXPECT_FALSE(first->contains(l.handle));
    EXPECT_TRUE(second->contains(l.handle));
    EXPECT_EQ(l.object->parent(), as_parent(second));

    // Within one parent: moved, not copied (the reference handed in is the
    // list's own element).
    ASSERT_TRUE(first->add(l.handle, qvOrder(6)));
    ASSERT_TRUE(first->add(*first->layers(), qvOrder(6)));
    EXPECT_EQ(children(*first), (std::vector<qvRefBase*>{l.handle.counter(), other.handle.counter()}));
    EXPECT_FALSE(first->add(l.handle, qvOrder(1), l.handle));
    EXPECT_EQ(children(*first).size(), 2u);
}

TEST(qvViewActiveLayerList, Adding_itself_or_an_ancestor_is_refused_before_anything_changes) {
    Viewed view;
    qvViewGroupLayer inner(true), outer(true);
    Leaf l;
    ASSERT_TRUE(outer->add(inner, qvOrder(6)));
    ASSERT_TRUE(inner->add(l.handle, qvOrder(6)));
    EXPECT_FALSE(inner->add(inner, qvOrder(6)));
    EXPECT_FALSE(inner->add(outer, qvOrder(5)));
    EXPECT_FALSE(inner->add(outer, qvOrder(1), l.handle));
    EXPECT_TRUE(outer->contains(inner));
    EXPECT_EQ(inner->parent(), as_parent(outer));
    EXPECT_EQ(children(*inner), std::vector<qvRefBase*>{l.handle.counter()});

    // A view manager holding the layer counts as an ancestor.
    EXPECT_FALSE(view.group->add(qvViewLayer(view.manager), qvOrder(6)));
    EXPECT_TRUE(children(*view.group).empty());
}

TEST(qvViewActiveLayerList, Remove_clear_and_contains_answer_by_identity) {
    qvViewGroupLayer group(true), stranger(true);
    Leaf l, m;
    EXPECT_FALSE(group->clear());
    EXPECT_FALSE(group->contains(qvViewLayer()));
    EXPECT_FALSE(group->remove(qvViewLayer()));
    ASSERT_TRUE(group->add(l.handle, qvOrder(6)));
    ASSERT_TRUE(group->add(stranger, qvOrder(6)));

    // Found through a handle of another interface of the same layer.
    EXPECT_TRUE(group->contains(qvViewLayer(qvViewActiveLayer(stranger))));
    EXPECT_FALSE(group->contains(m.handle));
    EXPECT_TRUE(group->remove(m.handle));
    EXPECT_EQ(children(*group).size(), 2u);

    EXPECT_TRUE(group->remove(l.handle));
    EXPECT_EQ(l.object->parent(), nullptr);
    EXPECT_TRUE(group->clear());
    EXPECT_EQ(stranger->parent(), nullptr);
    EXPECT_TRUE(children(*group).empty());
}

TEST(qvViewActiveLayerList, Destroying_a_layer_lets_go_of_its_children_and_their_links) {
    Leaf l;
    {
        qvViewGroupLayer group(true);
        ASSERT_TRUE(group->add(l.handle, qvOrder(6)));
    }
    EXPECT_EQ(l.object->parent(), nullptr);
    qvViewLayer only = l.handle;
    l.handle = qvViewLayer();
    EXPECT_EQ(only.get(), static_cast<qvViewLayerObject*>(l.object));
}

// ---------------------------------------------------------------------------
// The redraw

TEST(qvViewActiveLayerRedraw, Children_prepare_front_to_back_on_one_shrinking_copy) {
    for (bool direction : {true, false}) {
        qvViewGroupLayer group(true);
        Leaf front, middle, back;
        front.object->has_background(true);
        const qvGridRegion front_clip(Rect(0, 0, 10, 10));
        front.object->clipping(&front_clip);
        back.object->has_background(true);
        for (Leaf* leaf : {&front, &middle, &back})
            ASSERT_TRUE(group->add(leaf->handle, qvOrder(6)));

        qvGridRegion region(Rect(0, 0, 100, 100));
        group->prepare(region, direction);
        EXPECT_TRUE(qvSameArea(front.object->prepared_region(), qvGridOf({Rect(0, 0, 10, 10)})));
        qvGridRegion rest(Rect(0, 0, 100, 100));
        rest -= Rect(0, 0, 10, 10);
        EXPECT_TRUE(qvSameArea(middle.object->prepared_region(), rest)) << direction;
        EXPECT_TRUE(qvSameArea(back.object->prepared_region(), rest));
        EXPECT_TRUE(region.empty());   // the opaque back child covered what was left
        EXPECT_EQ(middle.object->calls.back(), direction ? "prepare 1" : "prepare 0");
    }
}

TEST(qvViewActiveLayerRedraw, Prepare_leaves_what_the_layer_and_its_children_do_not_cover) {
    qvViewGroupLayer group(true);
    const qvGridRegion clip(Rect(0, 0, 50, 50));
    group->clipping(&clip);
    Leaf child;
    ASSERT_TRUE(group->add(child.handle, qvOrder(6)));

    qvGridRegion region(Rect(0, 0, 100, 100));
    group->prepare(region, false);
    EXPECT_TRUE(qvSameArea(region, qvGridOf({Rect(0, 0, 100, 100)})));   // a transparent child gives it back

    child.object->has_background(true);
    group->prepare(region, false);
    qvGridRegion expected(Rect(0, 0, 100, 100));
    expected -= Rect(0, 0, 50, 50);
    EXPECT_TRUE(qvSameArea(region, expected));
}

TEST(qvViewActiveLayerRedraw, Render_visits_every_child_in_the_drawing_direction) {
    qvRasterTestWindow w;
    qvViewGroupLayer group(true);
    std::vector<std::string> order;
    Leaf a, b, c;
    a.object->name = "a";
    b.object->name = "b";
    c.object->name = "c";
    for (Leaf* leaf : {&a, &b, &c}) {
        leaf->object->order_log = &order;
        ASSERT_TRUE(group->add(leaf->handle, qvOrder(6)));
    }
    qvViewVBuf vbuf = w.vbuf();

    qvGridRegion nothing;
    group->prepare(nothing, true);
    EXPECT_TRUE(group->render(vbuf, {0, 0}));
    EXPECT_TRUE(order.empty());

    qvGridRegion region(Rect(0, 0, 100, 80));
    group->prepare(region, true);
    b.object->render_answer = false;
    EXPECT_FALSE(group->render(vbuf, {0, 0}));
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c"}));

    order.clear();
    region = Rect(0, 0, 100, 80);
    group->prepare(region, false);
    EXPECT_FALSE(group->render(vbuf, {0, 0}));
    EXPECT_EQ(order, (std::vector<std::string>{"c", "b", "a"}));

    group->cleanup();
    group->reinitialize();
    for (Leaf* leaf : {&a, &b, &c}) {
        EXPECT_EQ(leaf->object->calls.back(), "cleanup");
        EXPECT_EQ(leaf->object->reinitialized, 1);
    }
}

TEST(qvViewActiveLayerRedraw, An_invalidation_climbs_through_the_group_to_the_renderer) {
    Viewed view;
    Leaf l;
    ASSERT_TRUE(view.group->add(l.handle, qvOrder(6)));
    view.renderer_object->log.clear();
    view.renderer_object->areas.clear();

    EXPECT_TRUE(l.handle->invalidate(Rect(10, 10, 20, 20), true));
    EXPECT_TRUE(qvSameArea(view.group->local_redraw_area(), qvGridOf({Rect(10, 10, 20, 20)})));
    EXPECT_TRUE(qvSameArea(view.manager->local_redraw_area(), qvGridOf({Rect(10, 10, 20, 20)})));
    ASSERT_EQ(view.renderer_object->log, std::vector<std::string>{"region"});
    EXPECT_TRUE(qvSameArea(view.renderer_object->areas[0], view.manager->local_redraw_area()));
}

// ---------------------------------------------------------------------------
// Clipping and redraw queries

TEST(qvViewActiveLayerClipping, The_subtree_clip_joins_the_children_and_is_cut_to_the_own_clip) {
    qvViewGroupLayer group(true);
    EXPECT_FALSE(group->no_device_clipping());
    EXPECT_TRUE(group->device_clipping().empty());

    Leaf a, b;
    const qvGridRegion clip_a(Rect(0, 0, 10, 10)), clip_b(Rect(20, 0, 30, 10));
    a.object->clipping(&clip_a);
    b.object->clipping(&clip_b);
    ASSERT_TRUE(group->add(a.handle, qvOrder(6)));
    ASSERT_TRUE(group->add(b.handle, qvOrder(6)));
    EXPECT_FALSE(group->no_device_clipping());
    EXPECT_TRUE(qvSameArea(group->device_clipping(), qvGridOf({Rect(0, 0, 10, 10), Rect(20, 0, 30, 10)})));

    const qvGridRegion own(Rect(5, 0, 25, 10));
    group->clipping(&own);
    EXPECT_TRUE(qvSameArea(group->device_clipping(), qvGridOf({Rect(5, 0, 10, 10), Rect(20, 0, 25, 10)})));

    Leaf open;
    group->clipping(nullptr);
    ASSERT_TRUE(group->add(open.handle, qvOrder(5)));
    EXPECT_TRUE(group->no_device_clipping());
}

TEST(qvViewActiveLayerClipping, Every_transformation_change_reaches_the_floored_clip) {
    qvViewGroupLayer group(true);
    const qvGridRegion clip(Rect(1.7, 2.2, 10.4, 20.6));
    group->clipping(&clip);
    group->apply_left(qvTranslation(0.5, 0.5));
    EXPECT_TRUE(qvSameArea(group->local_device_clipping(), qvGridOf({Rect(2, 2, 10, 21)})));

    // The second change meets a cache emptied by the first and a redraw in
    // between: it is composed all the same.
    const qvGridRegion square(Rect(0, 0, 10, 10));
    group->clipping(&square);
    group->apply_left(qvTranslation(5, 0));
    qvGridRegion region(Rect(0, 0, 100, 100));
    group->invalidate(false);
    group->prepare(region, false);
    group->cleanup();
    group->apply_left(qvTranslation(5, 0));
    EXPECT_TRUE(qvSameArea(group->local_device_clipping(), qvGridOf({Rect(10, 0, 20, 10)})));
    EXPECT_TRUE(qvSameArea(group->clipping(), qvGridOf({Rect(10, 0, 20, 10)})));
}

TEST(qvViewActiveLayerClipping, Nan_and_infinite_translations_are_refused_and_overflowing_ones_give_what_the_arithmetic_gives) {
    qvViewGroupLayer group(true);
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    group->clipping(&clip);
    group->invalidate(Rect(0, 0, 5, 5), false);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_THROW(group->apply_left(qvTranslation(std::numeric_limits<double>::quiet_NaN(), 0)), qvError);
    EXPECT_THROW(group->apply_right(qvTranslation(-inf, 0)), qvError);
    EXPECT_TRUE(qvSameArea(group->local_device_clipping(), qvGridOf({Rect(0, 0, 10, 10)})));

    // Finite moves can still sum to an infinity, and a zero scale then
    // makes NaN of it: the NaN rectangle is dropped.
    const double big = std::numeric_limits<double>::max();
    group->apply_left(qvTranslation(big, 0));
    group->apply_left(qvTranslation(big, 0));
    group->apply_left(qvScaling(0, 1));
    EXPECT_FALSE(group->no_local_device_clipping());
    EXPECT_TRUE(group->local_device_clipping().empty());
    (void)group->redraw_area(true);
    (void)group->device_clipping();
}

TEST(qvViewActiveLayerClipping, Waiting_area_moves_with_the_clip) {
    qvViewGroupLayer group(true);
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    group->clipping(&clip);
    group->invalidate(Rect(0, 0, 5, 10), false);
    group->apply_left(qvTranslation(5, 0));
    EXPECT_TRUE(qvSameArea(group->local_redraw_area(), qvGridOf({Rect(5, 0, 10, 10)})));
}

TEST(qvViewActiveLayerClipping, Apply_right_maps_the_waiting_area_through_the_old_clip_transformation) {
    qvViewGroupLayer group(true);
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    group->clipping(&clip);
    group->apply_left(qvScaling(2, 2));   // C: device (0, 0, 20, 20)
    group->validate();
    group->invalidate(Rect(0, 0, 4, 4), false);
    group->apply_right(qvTranslation(1, 0));   // C × t = 2p + (2, 0); m moves by (2, 0)
    EXPECT_TRUE(qvSameArea(group->local_device_clipping(), qvGridOf({Rect(2, 0, 22, 20)})));
    EXPECT_TRUE(qvSameArea(group->local_redraw_area(), qvGridOf({Rect(2, 0, 6, 4)})));
}

TEST(qvViewActiveLayerClipping, Redraw_queries_combine_the_layer_and_its_children) {
    qvViewGroupLayer group(true);
    Leaf a, b;
    ASSERT_TRUE(group->add(a.handle, qvOrder(6)));
    ASSERT_TRUE(group->add(b.handle, qvOrder(6)));
    group->invalidate(Rect(0, 0, 10, 10), false);
    a.handle->invalidate(Rect(20, 0, 30, 10), false);
    b.handle->invalidate(Rect(40, 0, 50, 10), false);
    EXPECT_FALSE(group->redraw_all(true));
    EXPECT_TRUE(qvSameArea(group->redraw_area(true),
                          qvGridOf({Rect(0, 0, 10, 10), Rect(20, 0, 30, 10), Rect(40, 0, 50, 10)})));

    const qvGridRegion clip(Rect(5, 0, 45, 10));
    group->clipping(&clip);
    EXPECT_TRUE(qvSameArea(group->redraw_area(true),
                          qvGridOf({Rect(5, 0, 10, 10), Rect(20, 0, 30, 10), Rect(40, 0, 45, 10)})));

    b.handle->invalidate(false);   // the whole child
    EXPECT_FALSE(group->redraw_all(true));   // a clipped layer is never wholly dirty
    group->clipping(nullptr);
    EXPECT_TRUE(group->redraw_all(true));
}

TEST(qvViewActiveLayerClipping, Notify_invalidation_tells_the_renderer_before_and_after_a_change) {
    Viewed view;
    CountingSink sink;
    view.group->transformation_sink(&sink);
    view.group->notify_invalidation(true);
    view.renderer_object->log.clear();
    view.group->apply_left(qvTranslation(1, 0));
    EXPECT_EQ(view.renderer_object->log.size(), 2u);
    EXPECT_EQ(sink.left, 1);

    // Independent: only the sink and the children hear of it.
    auto* data = new qvTestDataLayer;
    const qvViewLayer child(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data)));
    ASSERT_TRUE(view.group->add(child, qvOrder(6)));
    view.group->is_independent(true);
    view.group->validate();
    view.group->invalidate(Rect(0, 0, 5, 5), false);
    view.renderer_object->log.clear();
    view.group->apply_right(qvTranslation(3, 0));
    EXPECT_TRUE(view.renderer_object->log.empty());
    EXPECT_EQ(sink.right, 1);
    EXPECT_EQ(data->mapping(), qvRestrictedTransformation(qvTranslation(3, 0)));
    EXPECT_TRUE(qvSameArea(view.group->local_redraw_area(), qvGridOf({Rect(0, 0, 5, 5)})));
}
