// Layer and renderer handles: counting, conversions by asking the object,
// identity by counter, deletion by the last handle, and the membership walk.

#include "qvViewTestDoubles.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/views/qvRenderer.hpp>
#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewDataLayer.hpp>
#include <orvane/views/qvViewLayersContain.hpp>

#include <gtest/gtest.h>

namespace {

// The strong count of a counted object.
int count_of(qvRefBase const& counted) {
    const int n = counted.bump() - 1;
    counted.dec();
    return n;
}

struct CountedLayer : qvTestLayer {
    explicit CountedLayer(int& deaths) : deaths_(deaths) {}
    ~CountedLayer() override { ++deaths_; }
    int& deaths_;
};

}  // namespace

TEST(qvViewHandle, Converting_there_and_back_keeps_the_counter_and_adds_one_count_each) {
    qvTestLayer* object = new qvTestLayer;
    const qvViewLayer layer(static_cast<qvViewLayerObject*>(object));
    EXPECT_EQ(count_of(*object), 1);
    {
        const qvViewBaseLayer base = layer;
        const qvViewLayer back(base);
        EXPECT_EQ(count_of(*object), 3);
        EXPECT_EQ(back, layer);
        EXPECT_EQ(back.counter(), layer.counter());
        EXPECT_EQ(back.get(), layer.get());
        EXPECT_EQ(static_cast<qvViewBaseLayerObject*>(base.get()),
                  static_cast<qvViewBaseLayerObject*>(object));
        EXPECT_TRUE(back.invasive());
    }
    EXPECT_EQ(count_of(*object), 1);
}

TEST(qvViewHandle, A_refused_conversion_is_empty_and_counts_nothing) {
    qvTestLayer* object = new qvTestLayer;
    const qvViewLayer layer(static_cast<qvViewLayerObject*>(object));
    {
        const qvViewDataLayer data(layer);
        const qvViewActiveLayer active(static_cast<qvViewBaseLayerObject*>(object));
        const qvViewManager manager = qvViewManager(qvViewBaseLayer(layer));
        EXPECT_FALSE(data);
        EXPECT_FALSE(active);
        EXPECT_FALSE(manager);
        EXPECT_EQ(data.counter(), nullptr);
        EXPECT_EQ(count_of(*object), 1);
        const qvViewLayer from_empty = data;   // converting an empty handle
        EXPECT_FALSE(from_empty);
    }
    EXPECT_EQ(count_of(*object), 1);

    const qvRecordingRenderer* renderer_object = new qvRecordingRenderer;
    const qvBaseRenderer renderer(const_cast<qvRecordingRenderer*>(renderer_object));
    const qvRenderer like(renderer);   // it makes no like renderers
    EXPECT_FALSE(like);
    EXPECT_EQ(count_of(*renderer_object), 1);
}

TEST(qvViewHandle, A_conversion_that_is_answered_shares_the_counter) {
    qvTestViewManager* object = new qvTestViewManager;
    const qvViewLayer layer(static_cast<qvViewLayerObject*>(object));
    const qvViewManager manager(layer);
    ASSERT_TRUE(manager);
    EXPECT_EQ(manager.get(), static_cast<qvViewManagerObject*>(object));
    EXPECT_EQ(manager, layer);
    EXPECT_EQ(count_of(*object), 2);
}

TEST(qvViewHandle, Null_pointers_give_empty_handles) {
    EXPECT_FALSE(qvViewLayer(nullptr));
    EXPECT_FALSE(qvViewLayer(static_cast<qvViewBaseLayerObject*>(nullptr)));
    EXPECT_FALSE(qvViewDataLayer(static_cast<qvViewDataLayerObject*>(nullptr)));
    EXPECT_FALSE(qvViewManager(qvViewLayer()));
    EXPECT_FALSE(qvRenderer(static_cast<qvBaseRendererObject*>(nullptr)));
    EXPECT_EQ(qvViewLayer(nullptr).counter(), nullptr);
    EXPECT_EQ(qvViewBaseLayer(), qvViewBaseLayer(nullptr));
}

TEST(qvViewHandle, Assigning_the_same_layer_counts_nothing) {
    qvTestLayer* object = new qvTestLayer;
    qvViewLayer layer(static_cast<qvViewLayerObject*>(object));
    qvViewLayer other = layer;
    EXPECT_EQ(count_of(*object), 2);
    qvViewLayer& same = layer;   // through a reference: the compilers flag a plain x = x
    layer = same;
    other = layer;
    layer = qvViewLayer(qvViewBaseLayer(other));
    EXPECT_EQ(count_of(*object), 2);
    other = qvViewLayer();
    EXPECT_EQ(count_of(*object), 1);
}

TEST(qvViewHandle, The_last_handle_deletes_the_layer_once_whatever_its_interface) {
    int deaths = 0;
    {
        qvViewBaseLayer base;
        {
            const qvViewLayer layer(static_cast<qvViewLayerObject*>(new CountedLayer(deaths)));
            base = layer;
        }
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
    {
        qvViewLayer layer(static_cast<qvViewLayerObject*>(new CountedLayer(deaths)));
        qvViewLayer second = layer;
        layer = qvViewLayer(static_cast<qvViewLayerObject*>(new CountedLayer(deaths)));
        EXPECT_EQ(deaths, 1);
        second = layer;   // the first layer's last handle moves on
        EXPECT_EQ(deaths, 2);
    }
    EXPECT_EQ(deaths, 3);
}

TEST(qvViewLayersContain, Membership_is_by_counter_through_any_interface) {
    qvViewManager manager(static_cast<qvViewManagerObject*>(new qvTestViewManager));
    const qvViewLayer first(static_cast<qvViewLayerObject*>(new qvTestLayer));
    const qvViewLayer second(static_cast<qvViewLayerObject*>(new qvTestLayer));
    EXPECT_FALSE(manager->contains(first));   // an empty list
    manager->add(first, qvOrderLast);
    EXPECT_TRUE(manager->contains(qvViewLayer(qvViewBaseLayer(first))));
    EXPECT_FALSE(manager->contains(second));
    EXPECT_FALSE(manager->contains(qvViewLayer()));
    manager->add(second, qvOrderLast);
    EXPECT_TRUE(manager->contains(second));
    manager->remove(first, false);
    EXPECT_FALSE(manager->contains(first));
    EXPECT_FALSE(qvViewLayersContain(qvIndirectIterator<qvViewLayer>(), first));
}
