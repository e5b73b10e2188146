// The conversions every data layer offers through its mapping, and the
// data-layer handle over such a layer.

#include "qvViewTestDoubles.hpp"

#include <orvane/views/qvViewActiveLayer.hpp>
#include <orvane/views/qvViewDataLayer.hpp>

#include <gtest/gtest.h>

namespace {

struct MappedLayer : virtual qvViewDataLayerObject, qvViewLayerImplementation {
    qvRestrictedTransformation stored;
    void mapping(qvRestrictedTransformation const& m) override { stored = m; }
    qvRestrictedTransformation const& mapping() const override { return stored; }
    qvViewBaseLayer clone() override { return {}; }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* found = qvViewLayerImplementation::query_interface(info))
            return found;
        return qvOfferInterfaces<qvViewDataLayerObject>(this, info);
    }
};

}  // namespace

TEST(qvViewDataLayerObject, Points_and_rectangles_map_through_the_mapping_and_back) {
    qvViewDataLayer layer(static_cast<qvViewDataLayerObject*>(new MappedLayer));
    EXPECT_EQ(layer->scene_to_device(qvCrdOf<double>{3, 4}), (qvCrdOf<double>{3, 4}));

    layer->mapping(qvRestrictedTransformation(2, 2, 10, 20));
    EXPECT_EQ(layer->scene_to_device(qvCrdOf<double>{1, 1}), (qvCrdOf<double>{12, 22}));
    EXPECT_EQ(layer->device_to_scene(qvCrdOf<double>{12, 22}), (qvCrdOf<double>{1, 1}));
    const qvMathRectOf<double> back =
        layer->device_to_scene(layer->scene_to_device(qvMathRectOf<double>(0, 0, 1, 1)));
    EXPECT_EQ(back.x1, 0);
    EXPECT_EQ(back.y2, 1);
}

TEST(qvViewDataLayerObject, The_data_layer_handle_finds_a_data_layer_and_nothing_else) {
    const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(
        static_cast<qvViewDataLayerObject*>(new MappedLayer)));
    const qvViewDataLayer data(layer);
    ASSERT_TRUE(data);
    EXPECT_EQ(data, layer);
    EXPECT_FALSE(qvViewActiveLayer(layer));
    const qvViewLayer back = data;
    EXPECT_EQ(back.get(), layer.get());
}
