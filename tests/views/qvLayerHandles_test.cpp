// The handles of the concrete layer kinds over the library's own layers:
// conversions keep one counter, refused ones count nothing, and the last
// handle ends the layer whatever interface it held.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/views/qvViewBackgroundLayer.hpp>
#include <orvane/views/qvViewDataLayer.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <gtest/gtest.h>

namespace {

int count_of(qvRefBase const& counted) {
    const int n = counted.bump() - 1;
    counted.dec();
    return n;
}

}  // namespace

TEST(qvLayerHandles, A_group_through_its_layer_handle_and_back_shares_one_counter) {
    const qvViewGroupLayer group(true);
    ASSERT_TRUE(group);
    EXPECT_EQ(count_of(*group.get()), 1);
    {
        const qvViewLayer layer = group;
        const qvViewGroupLayer back(layer);
        EXPECT_EQ(back.counter(), group.counter());
        EXPECT_EQ(back.get(), group.get());
        EXPECT_EQ(count_of(*group.get()), 3);
    }
    EXPECT_EQ(count_of(*group.get()), 1);
    EXPECT_FALSE(qvViewGroupLayer(false));
}

TEST(qvLayerHandles, A_scene_layer_converts_to_and_from_its_data_layer_handle) {
    qvMemoryScene scene(2);
    const qvViewSceneLayer layer(scene, 1);
    ASSERT_TRUE(layer);
    {
        const qvViewDataLayer data = layer;
        const qvViewSceneLayer back(data);
        const qvViewSceneLayer from_base(static_cast<qvViewBaseLayerObject*>(data.get()));
        EXPECT_EQ(back.counter(), layer.counter());
        EXPECT_EQ(from_base.get(), layer.get());
        EXPECT_EQ(back->layer(), 1);
        EXPECT_EQ(count_of(*layer.get()), 4);
    }
    EXPECT_EQ(count_of(*layer.get()), 1);
}

TEST(qvLayerHandles, A_scene_layer_handle_of_another_kind_is_empty_and_counts_nothing) {
    const qvViewGroupLayer group(true);
    const qvViewBackgroundLayer background(true);
    {
        const qvViewSceneLayer from_group{qvViewLayer(group)};
        const qvViewSceneLayer from_data{qvViewDataLayer(qvViewLayer(background))};
        EXPECT_FALSE(from_group);
        EXPECT_EQ(from_group.counter(), nullptr);
        EXPECT_FALSE(from_data);
        EXPECT_EQ(count_of(*group.get()), 1);
        EXPECT_EQ(count_of(*background.get()), 1);
    }
    EXPECT_FALSE(qvViewDataLayer(qvViewLayer(group)));
    EXPECT_FALSE(qvViewSceneLayer());
}

TEST(qvLayerHandles, Assigning_the_same_layer_counts_nothing) {
    qvMemoryScene scene;
    qvViewSceneLayer layer(scene, -1);
    qvViewSceneLayer& same = layer;   // through a reference: the compilers flag a plain x = x
    layer = same;
    EXPECT_EQ(count_of(*layer.get()), 1);
    qvViewSceneLayer other = layer;
    other = qvViewSceneLayer(qvViewDataLayer(layer));
    EXPECT_EQ(count_of(*layer.get()), 2);
}

TEST(qvLayerHandles, The_last_handle_ends_the_layer_whatever_interface_it_held) {
    qvMemoryScene scene;
    qvIWeakPtr<qvViewSceneLayerObject> watch;
    {
        qvViewLayer last;
        {
            const qvViewSceneLayer layer(scene, -1);
            watch = layer;
            last = layer;
        }
        EXPECT_NE(watch.get(), nullptr);
    }
    EXPECT_EQ(watch.get(), nullptr);

    qvIWeakPtr<qvViewGroupLayerObject> group_watch;
    {
        const qvViewBaseLayer base = qvViewGroupLayerObject::create();
        group_watch = qvViewGroupLayer(base);
        EXPECT_NE(group_watch.get(), nullptr);
    }
    EXPECT_EQ(group_watch.get(), nullptr);
}
