#pragma once
// qvRenderingFilterHelper: a rendering helper that first asks a view filter
// whether each record is to be drawn at all (accept_shape); a refused
// record is dropped (draw_shape answers false) before any other check.
//
// Keeps true: the filter is never null: made without one, the helper uses
// qvViewFilter::on(); re-targeted without one, it keeps its filter; an
// explicit null fails the assertion "flt". The filter is borrowed: the host keeps its own filters alive while
// a helper points at them (the built-in ones are static). A copy keeps the
// same filter.

#include <orvane/views/qvRenderingHelper.hpp>

class qvViewFilter;

class qvRenderingFilterHelper : public qvRenderingHelper {
public:
    // No target and no layer; the filter that accepts everything.
    qvRenderingFilterHelper() noexcept;
    qvRenderingFilterHelper(qvFlavorPort& target, qvViewDataLayerObject* layer) noexcept;
    qvRenderingFilterHelper(qvFlavorPort& target, qvViewDataLayerObject* layer, qvViewFilter* filter);
    qvRenderingFilterHelper(qvRenderingFilterHelper const& other) noexcept = default;
    qvRenderingFilterHelper& operator=(qvRenderingFilterHelper const& other) noexcept = default;
    ~qvRenderingFilterHelper() override;

    using qvRenderingHelper::retarget;
    // Also replaces the filter; a null filter fails "flt" and changes nothing.
    void retarget(qvFlavorPort& target, qvViewDataLayerObject* layer, qvViewFilter* filter);
    qvViewFilter* filter() const noexcept { return filter_; }

    bool draw_shape(qvShapeBase const& record) override;

private:
    qvViewFilter* filter_;
};
