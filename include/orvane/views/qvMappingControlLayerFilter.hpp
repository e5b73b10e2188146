#pragma once
// qvMappingControlLayerFilter: keeps the entries of one control for one
// layer. The layer is held by reference: it must outlive the query.
// An empty layer keeps nothing, so the entries of dead layers are never
// taken for the entries of a layer that was never given.

#include <orvane/views/qvMappingControlFilter.hpp>

class qvMappingControlLayerFilter : public qvMappingControlFilter {
public:
    qvMappingControlLayerFilter(void const* control, qvIWeakPtr<qvViewLayerObject> const& layer) noexcept
        : qvMappingControlFilter(control), layer_(layer) {}
    bool accept(qvMappingTableItem const& entry) const override {
        return layer_.get() != nullptr && qvMappingControlFilter::accept(entry) && entry.same_layer(layer_);
    }

private:
    qvIWeakPtr<qvViewLayerObject> const& layer_;
};
