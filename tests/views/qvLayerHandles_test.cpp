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

TEST(qvLayerHandles, Conversions_there_and_back_share_one_counter_and_count_while_they_live) {
    const qvViewGroupLayer group(true);
    qvMemoryScene scene(2);
    const qvViewSceneLayer layer(scene, 1);
    {
        const qvViewLayer group_layer = group;
        const qvViewGroupLayer group_back(group_layer);
        const qvViewDataLayer data = layer;
        const qvViewSceneLayer layer_back(data);
        EXPECT_EQ(group_back.counter(), group.counter());
        EXPECT_EQ(layer_back.counter(), layer.counter());
        EXPECT_EQ(layer_back.get(), layer.get());
        EXPECT_EQ(count_of(*group.get()), 3);
        EXPECT_EQ(count_of(*layer.get()), 3);
    }
    EXPECT_EQ(count_of(*group.get()), 1);
    EXPECT_EQ(count_of(*layer.get()), 1);
}

TEST(qvLayerHandles, A_handle_of_another_kind_is_empty_and_counts_nothing) {
    const qvViewGroupLayer group(true);
    const qvViewBackgroundLayer background(true);
    const qvViewSceneLayer from_group{qvViewLayer(group)};
    const qvViewSceneLayer from_data{qvViewDataLayer(qvViewLayer(background))};
    EXPECT_FALSE(from_group);
    EXPECT_EQ(from_group.counter(), nullptr);
    EXPECT_FALSE(from_data);
    EXPECT_EQ(count_of(*group.get()), 1);
    EXPECT_EQ(count_of(*background.get()), 1);
    EXPECT_FALSE(qvViewGroupLayer(false));
}

TEST(qvLayerHandles, Self_assignment_counts_nothing_and_the_last_handle_ends_the_layer) {
    qvMemoryScene scene;
    qvIWeakPtr<qvViewSceneLayerObject> watch;
    {
        qvViewLayer last;
        {
            qvViewSceneLayer layer(scene, -1);
            qvViewSceneLayer& same = layer;   // through a reference: the compilers flag a plain x = x
            layer = same;
            layer = qvViewSceneLayer(qvViewDataLayer(layer));
            EXPECT_EQ(count_of(*layer.get()), 1);
            watch = layer;
            last = layer;
        }
        EXPECT_NE(watch.get(), nullptr);
    }
    EXPECT_EQ(watch.get(), nullptr);
}
