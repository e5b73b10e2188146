// The view manager: placement codes, refusals, the rebuilt tree, what add
// and remove tell the renderer, transformation changes, the cached redraw
// answers, the weak renderer and copies.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include "views/qvViewManagerImplementation.hpp"

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvViewCreator.hpp>

#include <gtest/gtest.h>

#include <limits>

namespace {

using Rect = qvMathRectOf<double>;
using Counters = std::vector<qvRefBase*>;

qvViewLayer test_layer() { return qvViewLayer(static_cast<qvViewLayerObject*>(new qvTestLayer)); }

// A data layer at scale 2 clipped to (0, 0, 10, 10): (0, 0, 20, 20) on the device.
qvViewLayer clipped_data_layer() {
    auto* data = new qvTestDataLayer;
    data->mapping(qvRestrictedTransformation(2, 2, 0, 0));
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    data->clipping(&clip);
    return qvViewLayer(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data)));
}

Counters counters(qvIndirectIterator<qvViewLayer> at) {
    Counters out;
    for (; at; ++at)
        out.push_back(at->counter());
    return out;
}

// A manager the test can look into, drawn by a recording renderer.
struct Manager {
    qvViewManagerImplementation* object = new qvViewManagerImplementation;
    qvViewManager handle{static_cast<qvViewManagerObject*>(object)};
    qvRecordingRenderer* renderer = new qvRecordingRenderer;
    qvBaseRenderer renderer_handle{static_cast<qvBaseRendererObject*>(renderer)};
    qvViewManagerObject* operator->() const { return object; }
    Counters head() const { return counters(object->head()->layers()); }
    qvRefBase* bg() const { return object->background()->ref_base(); }
};

}  // namespace

TEST(qvViewManagerList, Placement_codes_order_the_list_front_to_back_and_the_tree_follows) {
    Manager m;
    EXPECT_FALSE(m->layers());
    EXPECT_FALSE(m->contains(test_layer()));
    EXPECT_EQ(m.head(), Counters{m.bg()});
    const qvViewLayer a = test_layer(), b = test_layer(), c = test_layer(), d = test_layer(), e = test_layer();
    EXPECT_TRUE(m->add(a, qvOrder(6)));
    EXPECT_TRUE(m->add(b, qvOrder(6)));
    EXPECT_TRUE(m->add(c, qvOrder(1), b, false));
    EXPECT_TRUE(m->add(d, qvOrder(2), b, false));
    EXPECT_FALSE(m->add(e, qvOrder(3)));
    EXPECT_EQ(e->view(), nullptr);
    EXPECT_TRUE(m->add(e, qvOrder(5)));
    EXPECT_EQ(counters(m->layers()), (Counters{e.counter(), a.counter(), c.counter(), b.counter(), d.counter()}));
    EXPECT_EQ(m.head(), (Counters{e.counter(), a.counter(), c.counter(), b.counter(), d.counter(), m.bg()}));
}

TEST(qvViewManagerList, Self_foreign_and_cyclic_adds_are_refused_but_a_layer_of_another_manager_moves) {
    Manager m, other;
    const qvViewLayer a = test_layer(), b = test_layer(), foreign = test_layer();
    EXPECT_FALSE(m->add(a, qvOrder(6), a, false));
    ASSERT_TRUE(other->add(foreign, qvOrder(6)));
    EXPECT_FALSE(m->add(a, qvOrder(6), foreign, false));
    EXPECT_FALSE(m->add(qvViewLayer(m.handle), qvOrder(6)));
    ASSERT_TRUE(other->add(qvViewLayer(m.handle), qvOrder(6)));
    EXPECT_FALSE(m->add(qvViewLayer(other.handle), qvOrder(6)));   // other's tree holds m
    EXPECT_FALSE(m->contains(a));

    ASSERT_TRUE(other->add(b, qvOrder(6)));
    EXPECT_FALSE(m->add(b, qvOrder(4)));   // refused after it left other
    EXPECT_FALSE(other->contains(b));
    EXPECT_EQ(b->parent(), nullptr);
    EXPECT_TRUE(m->add(foreign, qvOrder(6)));
    EXPECT_FALSE(other->contains(foreign));
    EXPECT_EQ(foreign->parent(), static_cast<qvViewActiveLayerObject*>(m.object->head()));
}

TEST(qvViewManagerTree, Deferred_adds_rebuild_once_and_active_layers_take_the_later_layers) {
    Manager m;
    const qvViewLayer first = test_layer(), second = test_layer(), third = test_layer();
    const qvViewGroupLayer group(true);
    m->defer_update(true, false);
    for (qvViewLayer const& layer : {first, qvViewLayer(group), second, third})
        ASSERT_TRUE(m->add(layer, qvOrder(6)));
    EXPECT_EQ(m.head(), Counters{m.bg()});
    m->defer_update(false, false);
    EXPECT_EQ(m.head(), (Counters{first.counter(), group.counter()}));
    EXPECT_EQ(counters(group->layers()), (Counters{second.counter(), third.counter(), m.bg()}));

    ASSERT_TRUE(m->remove(qvViewLayer(group), false));
    EXPECT_FALSE(group->layers());
    EXPECT_EQ(second->parent(), static_cast<qvViewActiveLayerObject*>(m.object->head()));
    EXPECT_EQ(third->parent(), static_cast<qvViewActiveLayerObject*>(m.object->head()));

    EXPECT_TRUE(m->remove(qvViewLayer(), false));
    EXPECT_FALSE(m->layers());
    EXPECT_EQ(m.head(), Counters{m.bg()});

    // Ended with keep, the tree stays as it was; the next append then
    // rebuilds it whole instead of adding only the new layer to it.
    m->defer_update(true, false);
    ASSERT_TRUE(m->add(first, qvOrder(6)));
    m->defer_update(false, true);
    EXPECT_EQ(m.head(), Counters{m.bg()});
    ASSERT_TRUE(m->add(second, qvOrder(6)));
    EXPECT_EQ(m.head(), (Counters{first.counter(), second.counter(), m.bg()}));
}

TEST(qvViewManagerInvalidation, Add_and_remove_tell_the_renderer_device_areas_unless_quiet_or_safe) {
    Manager m;
    m->renderer(m.renderer_handle);
    auto* plain = new qvTestLayer;
    ASSERT_TRUE(m->add(qvViewLayer(static_cast<qvViewLayerObject*>(plain)), qvOrder(6)));
    EXPECT_TRUE(plain->local_redraw_all());
    EXPECT_EQ(m.renderer->log, std::vector<std::string>{"all"});

    const qvViewLayer data = clipped_data_layer();
    ASSERT_TRUE(m->add(data, qvOrder(6)));
    ASSERT_EQ(m.renderer->log.back(), "region");
    EXPECT_TRUE(qvGridRegion(m.renderer->areas.back()) == qvGridRegion(Rect(0, 0, 20, 20)));

    m.object->head()->validate();
    m.renderer->log.clear();
    ASSERT_TRUE(m->remove(data, false));
    EXPECT_TRUE(m.object->head()->local_redraw_all());
    ASSERT_EQ(m.renderer->log, std::vector<std::string>{"region"});
    EXPECT_TRUE(qvGridRegion(m.renderer->areas.back()) == qvGridRegion(Rect(0, 0, 20, 20)));

    m.renderer->log.clear();
    auto* safe = new qvTestLayer;
    safe->safe_to_remove(true);
    const qvViewLayer safe_handle(static_cast<qvViewLayerObject*>(safe));
    ASSERT_TRUE(m->add(safe_handle, qvOrder(6)));
    ASSERT_TRUE(m->add(data, qvOrder(6), qvViewLayer(), true));
    ASSERT_TRUE(m->remove(data, true));
    ASSERT_TRUE(m->remove(safe_handle, false));
    EXPECT_TRUE(m.renderer->log.empty());
    EXPECT_FALSE(safe->local_redraw_all());
}

TEST(qvViewManagerLayer, A_zoom_invalidates_the_manager_a_translation_not_and_flag_0x200_freezes_both) {
    Manager m;
    auto* data = new qvTestDataLayer;
    ASSERT_TRUE(m->add(qvViewLayer(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data))),
                       qvOrder(6), qvViewLayer(), true));
    m->apply_left(qvTranslation(5, 0));
    EXPECT_FALSE(m->local_redraw_all());
    m->apply_left(qvScaling(2, 2));
    EXPECT_TRUE(m->local_redraw_all());
    m->cleanup();
    m->flags(m->flags() | 0x200);
    m->apply_left(qvScaling(2, 2));
    EXPECT_FALSE(m->local_redraw_all());
    EXPECT_EQ(data->mapping(), qvRestrictedTransformation(2, 2, 10, 0));
    // Frozen, a NaN is still refused, not ignored with the move.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    try {
        m->apply_left(qvRestrictedTransformation(2, 2, nan, 0));
        ADD_FAILURE();
    } catch (qvError const& e) {
        EXPECT_STREQ(e, "Invalid scroller argument");
    }
    EXPECT_EQ(data->mapping(), qvRestrictedTransformation(2, 2, 10, 0));
}

TEST(qvViewManagerLayer, Redraw_answers_stay_until_cleanup_or_a_forced_call) {
    Manager m;
    m->cleanup();
    EXPECT_FALSE(m->redraw_all(false));
    EXPECT_TRUE(m->redraw_area(false).empty());
    m->invalidate(Rect(0, 0, 10, 10), false);
    EXPECT_TRUE(m->redraw_area(false).empty());
    EXPECT_TRUE(qvGridRegion(m->redraw_area(true)) == qvGridRegion(Rect(0, 0, 10, 10)));
    m->invalidate(false);
    EXPECT_FALSE(m->redraw_all(false));
    m->cleanup();
    m->invalidate(false);
    EXPECT_TRUE(m->redraw_all(false));
}

TEST(qvViewManagerRenderer, A_destroyed_renderer_leaves_no_renderer_no_driver_and_no_redraw) {
    Manager m;
    qvRasterSettings settings;
    m.renderer->driver(qvAsDriverHandle(qvRasterDriver::create(settings)));
    m->renderer(m.renderer_handle);
    EXPECT_TRUE(m->driver());
    EXPECT_TRUE(m->redraw(qvGridRegion(Rect(0, 0, 1, 1)), false));
    m.renderer_handle = qvBaseRenderer();
    EXPECT_FALSE(m->renderer());
    EXPECT_FALSE(m->driver());
    EXPECT_FALSE(m->redraw(qvGridRegion(Rect(0, 0, 1, 1)), false));
}

TEST(qvViewManagerCopy, A_copy_holds_clones_of_the_layers_in_order_with_the_flags_and_the_clipping) {
    Manager m;
    auto* a = new qvTestLayer;
    auto* b = new qvTestLayer;
    a->flags(0x20);
    b->flags(0x80);
    m->add(qvViewLayer(static_cast<qvViewLayerObject*>(a)), qvOrder(6));
    m->add(qvViewLayer(static_cast<qvViewLayerObject*>(b)), qvOrder(6));
    const qvGridRegion clip(Rect(0, 0, 30, 40));
    m->clipping(&clip);
    m->flags(0x40);
    for (qvViewManager const& copy : {qvViewCreator::create(m.handle), qvViewManager(m->clone()),
                                      qvViewManager(true, m.handle)}) {
        std::vector<unsigned> flags;
        for (qvIndirectIterator<qvViewLayer> at = copy->layers(); at; ++at) {
            EXPECT_TRUE(at->counter() != a->ref_base() && at->counter() != b->ref_base());
            EXPECT_EQ((*at)->view(), copy.get());
            flags.push_back((*at)->flags());
        }
        EXPECT_EQ(flags, (std::vector<unsigned>{0x20, 0x80}));
        EXPECT_EQ(copy->flags() & 0x40u, 0x40u);
        EXPECT_TRUE(qvGridRegion(copy->clipping()) == clip);
    }
    EXPECT_FALSE(qvViewManager(false));
}
