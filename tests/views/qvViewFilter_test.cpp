// The two process-wide view filters.

#include "qvViewTestDoubles.hpp"

#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/views/qvViewFilter.hpp>

#include <gtest/gtest.h>

TEST(qvViewFilter, On_and_off_are_one_object_each_answering_their_table) {
    qvViewFilter* const on = qvViewFilter::on();
    qvViewFilter* const off = qvViewFilter::off();
    EXPECT_EQ(qvViewFilter::on(), on);
    EXPECT_EQ(qvViewFilter::off(), off);
    EXPECT_NE(on, off);

    const qvViewLayer layer(static_cast<qvViewLayerObject*>(new qvTestLayer));
    EXPECT_EQ(on->layer_mode(layer), 1u);
    EXPECT_EQ(off->layer_mode(layer), 1u);
    EXPECT_TRUE(on->accept_layer(layer, -1));
    EXPECT_FALSE(off->accept_layer(layer, -1));
    EXPECT_TRUE(on->accept_layer(qvViewLayer(), 3));
    EXPECT_FALSE(off->accept_layer(qvViewLayer(), 3));
    const qvShapeBase record;
    EXPECT_TRUE(on->accept_shape(record));
    EXPECT_FALSE(off->accept_shape(record));
}
