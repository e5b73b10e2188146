#pragma once
// qvViewOffFilter: the filter that refuses every layer and every shape; a
// layer under it draws nothing and hides nothing behind it. One
// process-wide instance is qvViewFilter::off().

#include <orvane/views/qvViewFilter.hpp>

class qvViewOffFilter : public qvViewFilter {
public:
    unsigned layer_mode(qvViewLayer const&) const override { return 1; }
    bool accept_shape(qvShapeBase const&) const override { return false; }
    bool accept_layer(qvViewLayer const&, int) const override { return false; }
};
