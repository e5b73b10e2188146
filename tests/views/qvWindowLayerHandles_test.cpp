// The handles of the window-cache and window-scroll layers: conversions to
// and from the active, base and plain layer handles share one counter, a
// handle of another kind of layer is empty, and the bool constructors
// always make a layer.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>
#include <orvane/views/qvViewWindowCacheLayer.hpp>
#include <orvane/views/qvViewWindowScrollLayer.hpp>

#include <gtest/gtest.h>

namespace {

int window_handle_count(qvRefBase const& counted) {
    const int n = counted.bump() - 1;
    counted.dec();
    return n;
}

template <class Handle>
void converts_both_ways(Handle const& made) {
    ASSERT_TRUE(made);
    {
        const qvViewActiveLayer active = made;
        const qvViewBaseLayer base = made;
        const qvViewLayer layer = made;
        const Handle from_active(active), from_base(base), from_layer(layer);
        EXPECT_EQ(from_active.counter(), made.counter());
        EXPECT_EQ(from_base.get(), made.get());
        EXPECT_EQ(from_layer.get(), made.get());
        EXPECT_EQ(window_handle_count(*made.get()), 7);
    }
    EXPECT_EQ(window_handle_count(*made.get()), 1);
}

}  // namespace

TEST(qvWindowLayerHandles, Both_handles_convert_there_and_back_on_one_counter) {
    converts_both_ways(qvViewWindowCacheLayer(true));
    converts_both_ways(qvViewWindowCacheLayer(false));
    converts_both_ways(qvViewWindowScrollLayer(true));
    converts_both_ways(qvViewWindowScrollLayer(false));
    EXPECT_TRUE(qvViewWindowCacheLayer(true)->buffered());
    EXPECT_FALSE(qvViewWindowCacheLayer(false)->copy_back());
    EXPECT_FALSE(qvViewWindowCacheLayer(qvViewWindowCacheLayerObject::create())->buffered());
}

TEST(qvWindowLayerHandles, A_handle_of_another_layer_kind_is_empty) {
    const qvViewGroupLayer group(true);
    const qvViewWindowScrollLayer scroll(true);
    EXPECT_FALSE(qvViewWindowCacheLayer(qvViewActiveLayer(group)));
    EXPECT_FALSE(qvViewWindowCacheLayer(qvViewLayer(scroll)));
    EXPECT_FALSE(qvViewWindowScrollLayer(qvViewBaseLayer(group)));
    EXPECT_FALSE(qvViewWindowCacheLayer());
    EXPECT_EQ(window_handle_count(*group.get()), 1);
    EXPECT_EQ(window_handle_count(*scroll.get()), 1);
}

TEST(qvWindowLayerHandles, The_last_handle_ends_the_layer_whatever_it_holds) {
    qvIWeakPtr<qvViewWindowCacheLayerObject> watch;
    {
        const qvViewLayer last = qvViewWindowCacheLayer(true);
        watch = qvViewWindowCacheLayer(last);
        EXPECT_NE(watch.get(), nullptr);
    }
    EXPECT_EQ(watch.get(), nullptr);
}
