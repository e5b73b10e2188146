#pragma once
// qvViewBackgroundLayerImplementation: the data layer that paints the area
// being redrawn with the brush of one attribute: an attribute of a palette
// it made itself (a plain colour), or a named attribute of an application's
// palette, so that editing it repaints every view that uses it.
//
// Keeps true:
//  - has_background follows the fill (the brush rule in the source) after
//    every prepare, and after every reinitialize in a view; with attribute
//    0 it is false and nothing is drawn;
//  - the mapping never changes: the background follows no model mapping;
//  - the collector listens to the palette whenever there is one; when an
//    application's palette dies first the layer forgets palette and
//    attribute without calling it (handle 0, nothing drawn later);
//  - an owned palette lives exactly as long as the layer, and the layer's
//    attribute reference and the collector are let go before it dies;
//  - render leaves the render buffer's clip stack as it found it;
//  - the fill is within the float range and inside a transformed buffer's
//    real window, even where an unbounded window cut nothing.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewBkAttrCollector.hpp>

#include <orvane/views/qvViewDataLayerImplementation.hpp>

class qvViewBackgroundLayerImplementation : public virtual qvViewBackgroundLayerObject,
                                            public qvViewDataLayerImplementation {
public:
    // Null palette: a new standard palette of its own. Otherwise owned only
    // when `owns` is true.
    qvViewBackgroundLayerImplementation(qvPalette* palette, bool owns);
    qvViewBackgroundLayerImplementation(qvViewBackgroundLayerImplementation const&) = delete;
    qvViewBackgroundLayerImplementation& operator=(qvViewBackgroundLayerImplementation const&) = delete;
    ~qvViewBackgroundLayerImplementation() override;

    // ---- the fill -------------------------------------------------------------
    // Invalidates the whole layer, then stores the handle.
    void attr_handle(long handle) override;
    using qvAttributeInternalBase::attr_handle;
    bool shared() const override { return false; }
    qvPalette* background_palette() const override { return attr_source(); }
    long background_attribute() const override { return attr_handle(); }
    double added_width() const noexcept { return added_width_; }

    // ---- no mapping -----------------------------------------------------------
    void mapping(qvRestrictedTransformation const&) override {}
    using qvViewDataLayerImplementation::mapping;
    void apply_left(qvRestrictedTransformation const&) override {}
    void apply_right(qvRestrictedTransformation const&) override {}

    // ---- view and redraw --------------------------------------------------------
    // Nothing when `manager` is the view already set.
    void view(qvViewManager const& manager) override;
    using qvViewLayerImplementation::view;
    void reinitialize() override;
    void prepare(qvBaseRegion& region, bool front_to_back) override;
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override;
    void cleanup() override;

    qvViewBaseLayer clone() override;
    void* query_interface(qvInterfaceInfo const& info) override;

private:
    void update_has_background();

    bool owns_palette_;
    qvViewBkAttrCollector collector_;
    double added_width_ = 0.0;
    // What the current render fills: the prepared region cut to the
    // buffer's clip; kept so a redraw allocates nothing once warm.
    qvGridRegion work_;
};
