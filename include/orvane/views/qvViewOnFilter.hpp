#pragma once
// qvViewOnFilter: the filter that accepts every layer and every shape; a
// layer under it draws as under no filter. One process-wide instance is
// qvViewFilter::on().

#include <orvane/views/qvViewFilter.hpp>

class qvViewOnFilter : public qvViewFilter {
public:
    unsigned layer_mode(qvViewLayer const&) const override { return 1; }
    bool accept_shape(qvShapeBase const&) const override { return true; }
    bool accept_layer(qvViewLayer const&, int) const override { return true; }
};
