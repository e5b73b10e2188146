// The view manager: the registered list and its placement codes, the
// rebuilt tree, what add and remove tell the renderer, transformation
// changes, the cached redraw answers, the weak renderer and copies.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include "views/qvViewManagerImplementation.hpp"

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvViewCreator.hpp>

#include <gtest/gtest.h>

namespace {

using Rect = qvMathRectOf<double>;

bool same_area(qvBaseRegion const& a, qvBaseRegion const& b) { return qvGridRegion(a) == qvGridRegion(b); }

qvViewLayer test_layer() { return qvViewLayer(static_cast<qvViewLayerObject*>(new qvTestLayer)); }

// A manager whose implementation the test can look into.
struct Manager {
    qvViewManagerImplementation* object = new qvViewManagerImplementation;
    qvViewManager handle{static_cast<qvViewManagerObject*>(object)};
    qvViewManagerObject* operator->() const { return object; }
};

std::vector<qvRefBase*> counters(qvIndirectIterator<qvViewLayer> at) {
    std::vector<qvRefBase*> out;
    for (; at; ++at)
        out.push_back(at->counter());
    return out;
}

std::vector<qvRefBase*> children(qvViewActiveLayerObject& layer) { return counters(layer.layers()); }

struct WithRenderer {
    Manager m;
    qvRecordingRenderer* renderer = new qvRecordingRenderer;
    qvBaseRenderer renderer_handle{static_cast<qvBaseRendererObject*>(renderer)};
    WithRenderer() { m->renderer(renderer_handle); }
};

}  // namespace

// ---------------------------------------------------------------------------
// The registered list

TEST(qvViewManagerList, A_new_manager_lists_nothing_and_its_head_holds_only_the_background) {
    Manager m;
    EXPECT_FALSE(m->layers());
    EXPECT_FALSE(m->contains(test_layer()));
    EXPECT_FALSE(m->contains(qvViewLayer()));
    EXPECT_EQ(children(*m.object->head()), std::vector<qvRefBase*>{m->background()->ref_base()});
    EXPECT_TRUE(m->redraw_all(false));

    EXPECT_TRUE(qvViewManager(true));
    EXPECT_FALSE(qvViewManager(false));
}

TEST(qvViewManagerList, Placement_codes_put_layers_front_to_back_and_unknown_ones_are_refused) {
    Manager m;
    const qvViewLayer a = test_layer(), b = test_layer(), c = test_layer(), d = test_layer(), e = test_layer();
    EXPECT_TRUE(m->add(a, qvOrder(6)));
    EXPECT_TRUE(m->add(b, qvOrder(6)));
    EXPECT_TRUE(m->add(c, qvOrder(1), b, false));
    EXPECT_TRUE(m->add(d, qvOrder(2), b, false));
    EXPECT_EQ(counters(m->layers()),
              (std::vector<qvRefBase*>{a.counter(), c.counter(), b.counter(), d.counter()}));
    EXPECT_FALSE(m->add(e, qvOrder(3)));
    EXPECT_FALSE(m->contains(e));
    EXPECT_EQ(e->view(), nullptr);

    // 5 first, 1 without reference first, 2 without reference last.
    const qvViewLayer f = test_layer(), g = test_layer(), h = test_layer();
    EXPECT_TRUE(m->add(f, qvOrder(5)));
    EXPECT_TRUE(m->add(g, qvOrder(1)));
    EXPECT_TRUE(m->add(h, qvOrder(2)));
    EXPECT_EQ(counters(m->layers()), (std::vector<qvRefBase*>{g.counter(), f.counter(), a.counter(), c.counter(),
                                                              b.counter(), d.counter(), h.counter()}));
    // The tree follows the list, the background last.
    EXPECT_EQ(children(*m.object->head()),
              (std::vector<qvRefBase*>{g.counter(), f.counter(), a.counter(), c.counter(), b.counter(),
                                       d.counter(), h.counter(), m->background()->ref_base()}));
}

TEST(qvViewManagerList, Self_references_foreign_references_and_cycles_are_refused) {
    Manager m, other;
    const qvViewLayer a = test_layer(), foreign = test_layer();
    EXPECT_FALSE(m->add(a, qvOrder(6), a, false));
    EXPECT_TRUE(other->add(foreign, qvOrder(6)));
    EXPECT_FALSE(m->add(a, qvOrder(6), foreign, false));
    EXPECT_FALSE(m->contains(a));
    EXPECT_FALSE(m->add(qvViewLayer(), qvOrder(6)));

    // A manager is no layer of itself, nor of a manager it holds.
    const qvViewLayer self(m.handle);
    EXPECT_FALSE(m->add(self, qvOrder(6)));
    EXPECT_TRUE(other->add(qvViewLayer(m.handle), qvOrder(6)));
    EXPECT_FALSE(m->add(qvViewLayer(other.handle), qvOrder(6)));
    EXPECT_FALSE(m->contains(qvViewLayer(other.handle)));
    EXPECT_TRUE(other->contains(qvViewLayer(m.handle)));
}

TEST(qvViewManagerList, A_layer_of_another_manager_moves_even_when_its_order_is_then_refused) {
    Manager m, other;
    const qvViewLayer a = test_layer(), b = test_layer();
    ASSERT_TRUE(other->add(a, qvOrder(6)));
    ASSERT_TRUE(other->add(b, qvOrder(6)));
    EXPECT_TRUE(m->add(a, qvOrder(6)));
    EXPECT_FALSE(other->contains(a));
    EXPECT_TRUE(m->contains(a));
    EXPECT_EQ(a->view(), static_cast<qvViewManagerObject*>(m.object));
    EXPECT_EQ(a->parent(), static_cast<qvViewActiveLayerObject*>(m.object->head()));

    EXPECT_FALSE(m->add(b, qvOrder(4)));
    EXPECT_FALSE(other->contains(b));
    EXPECT_FALSE(m->contains(b));
    EXPECT_EQ(b->view(), nullptr);
    EXPECT_EQ(b->parent(), nullptr);
}

TEST(qvViewManagerList, Deferred_adds_rebuild_only_when_the_deferral_ends) {
    Manager m;
    m->defer_update(true, false);
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(m->add(test_layer(), qvOrder(6)));
    EXPECT_EQ(children(*m.object->head()).size(), 1u);
    m->defer_update(false, true);   // kept: no rebuild yet
    EXPECT_EQ(children(*m.object->head()).size(), 1u);
    m->defer_update(false, false);
    EXPECT_EQ(children(*m.object->head()).size(), 4u);
}

TEST(qvViewManagerTree, An_active_layer_receives_the_layers_registered_after_it_and_the_background) {
    Manager m;
    const qvViewLayer first = test_layer(), second = test_layer(), third = test_layer();
    const qvViewGroupLayer group(true);
    ASSERT_TRUE(m->add(first, qvOrder(6)));
    ASSERT_TRUE(m->add(qvViewLayer(group), qvOrder(6)));
    ASSERT_TRUE(m->add(second, qvOrder(6)));
    ASSERT_TRUE(m->add(third, qvOrder(6)));
    EXPECT_EQ(children(*m.object->head()), (std::vector<qvRefBase*>{first.counter(), group.counter()}));
    EXPECT_EQ(children(*group), (std::vector<qvRefBase*>{second.counter(), third.counter(),
                                                         m->background()->ref_base()}));

    ASSERT_TRUE(m->remove(qvViewLayer(group), false));
    EXPECT_TRUE(children(*group).empty());
    EXPECT_EQ(second->parent(), static_cast<qvViewActiveLayerObject*>(m.object->head()));
    EXPECT_EQ(third->parent(), static_cast<qvViewActiveLayerObject*>(m.object->head()));
    EXPECT_EQ(group->view(), nullptr);

    // Reordered: the group that held them now sits behind them, empty but
    // for the background.
    ASSERT_TRUE(m->add(qvViewLayer(group), qvOrder(6)));
    EXPECT_EQ(children(*group), std::vector<qvRefBase*>{m->background()->ref_base()});
}

TEST(qvViewManagerTree, Removing_every_layer_empties_the_list_and_rebuilds) {
    Manager m;
    const qvViewLayer a = test_layer(), b = test_layer();
    m->defer_update(true, false);
    m->add(a, qvOrder(6));
    m->add(b, qvOrder(6));
    m->defer_update(false, false);
    EXPECT_TRUE(m->remove(qvViewLayer(), false));
    EXPECT_FALSE(m->layers());
    EXPECT_EQ(children(*m.object->head()), std::vector<qvRefBase*>{m->background()->ref_base()});
    EXPECT_FALSE(m->remove(a, false));
}

// ---------------------------------------------------------------------------
// What add and remove tell

TEST(qvViewManagerInvalidation, Add_invalidates_the_layer_quietly_and_tells_the_renderer_its_device_clip) {
    WithRenderer w;
    auto* plain = new qvTestLayer;
    const qvViewLayer plain_handle(static_cast<qvViewLayerObject*>(plain));
    ASSERT_TRUE(w.m->add(plain_handle, qvOrder(6)));
    EXPECT_TRUE(plain->local_redraw_all());
    EXPECT_EQ(w.renderer->log, std::vector<std::string>{"all"});

    auto* data = new qvTestDataLayer;
    const qvViewLayer data_handle(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data)));
    data->mapping(qvRestrictedTransformation(2, 2, 0, 0));
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    data->clipping(&clip);
    w.renderer->log.clear();
    ASSERT_TRUE(w.m->add(data_handle, qvOrder(6)));
    ASSERT_EQ(w.renderer->log, std::vector<std::string>{"region"});
    EXPECT_TRUE(same_area(w.renderer->areas.back(), qvGridRegion(Rect(0, 0, 20, 20))));

    // Quiet, or safe to remove: neither.
    w.renderer->log.clear();
    auto* quiet = new qvTestLayer;
    const qvViewLayer quiet_handle(static_cast<qvViewLayerObject*>(quiet));
    ASSERT_TRUE(w.m->add(quiet_handle, qvOrder(6), qvViewLayer(), true));
    auto* safe = new qvTestLayer;
    safe->safe_to_remove(true);
    const qvViewLayer safe_handle(static_cast<qvViewLayerObject*>(safe));
    ASSERT_TRUE(w.m->add(safe_handle, qvOrder(6)));
    EXPECT_TRUE(w.renderer->log.empty());
    EXPECT_FALSE(quiet->local_redraw_all());
    EXPECT_FALSE(safe->local_redraw_all());
}

TEST(qvViewManagerInvalidation, Remove_invalidates_the_parent_and_tells_the_renderer_device_coordinates) {
    WithRenderer w;
    auto* data = new qvTestDataLayer;
    const qvViewLayer data_handle(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data)));
    data->mapping(qvRestrictedTransformation(2, 2, 0, 0));
    const qvGridRegion clip(Rect(0, 0, 10, 10));
    data->clipping(&clip);
    ASSERT_TRUE(w.m->add(data_handle, qvOrder(6), qvViewLayer(), true));
    w.m.object->head()->validate();
    w.renderer->log.clear();
    w.renderer->areas.clear();
    ASSERT_TRUE(w.m->remove(data_handle, false));
    EXPECT_TRUE(w.m.object->head()->local_redraw_all());
    ASSERT_EQ(w.renderer->log, std::vector<std::string>{"region"});
    EXPECT_TRUE(same_area(w.renderer->areas[0], qvGridRegion(Rect(0, 0, 20, 20))));
    EXPECT_EQ(data->view(), nullptr);
    EXPECT_EQ(data->parent(), nullptr);

    // Quietly: nothing.
    ASSERT_TRUE(w.m->add(data_handle, qvOrder(6), qvViewLayer(), true));
    w.renderer->log.clear();
    ASSERT_TRUE(w.m->remove(data_handle, true));
    EXPECT_TRUE(w.renderer->log.empty());
}

// ---------------------------------------------------------------------------
// Transformations and redraw answers

TEST(qvViewManagerLayer, A_zoom_invalidates_the_manager_a_translation_not_and_flag_0x200_freezes_both) {
    Manager m;
    auto* data = new qvTestDataLayer;
    const qvViewLayer data_handle(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data)));
    ASSERT_TRUE(m->add(data_handle, qvOrder(6), qvViewLayer(), true));
    m->apply_left(qvTranslation(5, 0));
    EXPECT_FALSE(m->local_redraw_all());
    EXPECT_EQ(data->mapping(), qvRestrictedTransformation(1, 1, 5, 0));
    m->apply_left(qvScaling(2, 2));
    EXPECT_TRUE(m->local_redraw_all());
    m->cleanup();

    m->flags(m->flags() | 0x200);
    m->apply_left(qvScaling(2, 2));
    EXPECT_FALSE(m->local_redraw_all());
    EXPECT_EQ(data->mapping(), qvRestrictedTransformation(2, 2, 10, 0));
}

TEST(qvViewManagerLayer, Redraw_answers_stay_until_cleanup_or_a_forced_call) {
    Manager m;
    m->cleanup();
    EXPECT_FALSE(m->redraw_all(false));
    EXPECT_TRUE(m->redraw_area(false).empty());
    m->invalidate(Rect(0, 0, 10, 10), false);
    EXPECT_TRUE(m->redraw_area(false).empty());
    EXPECT_TRUE(same_area(m->redraw_area(true), qvGridRegion(Rect(0, 0, 10, 10))));
    m->invalidate(false);
    EXPECT_FALSE(m->redraw_all(false));
    m->cleanup();
    m->invalidate(false);
    EXPECT_TRUE(m->redraw_all(false));
}

TEST(qvViewManagerRenderer, A_destroyed_renderer_leaves_no_renderer_no_driver_and_no_redraw) {
    Manager m;
    {
        auto* renderer = new qvRecordingRenderer;
        qvRasterSettings settings;
        renderer->driver(qvAsDriverHandle(qvRasterDriver::create(settings)));
        const qvBaseRenderer held(static_cast<qvBaseRendererObject*>(renderer));
        m->renderer(held);
        EXPECT_TRUE(m->renderer());
        EXPECT_TRUE(m->driver());
        EXPECT_TRUE(m->redraw(qvGridRegion(Rect(0, 0, 1, 1)), false));
        EXPECT_EQ(renderer->log, std::vector<std::string>{"redraw"});
    }
    EXPECT_FALSE(m->renderer());
    EXPECT_FALSE(m->driver());
    EXPECT_FALSE(m->redraw(qvGridRegion(Rect(0, 0, 1, 1)), false));
    EXPECT_FALSE(m->invalidate(true));
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
    for (qvViewManager const& copy : {qvViewManager(qvViewCreator::create(m.handle)),
                                      qvViewManager(m->clone()), qvViewManager(true, m.handle)}) {
        ASSERT_TRUE(copy);
        std::vector<unsigned> flags;
        for (qvIndirectIterator<qvViewLayer> at = copy->layers(); at; ++at) {
            EXPECT_NE(at->counter(), a->ref_base());
            EXPECT_NE(at->counter(), b->ref_base());
            EXPECT_EQ((*at)->view(), copy.get());
            flags.push_back((*at)->flags());
        }
        EXPECT_EQ(flags, (std::vector<unsigned>{0x20, 0x80}));
        EXPECT_EQ(copy->flags() & 0x40u, 0x40u);
        EXPECT_TRUE(same_area(copy->clipping(), clip));
    }
}
