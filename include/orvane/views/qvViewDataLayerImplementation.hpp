#pragma once
// qvViewDataLayerImplementation: the layer base for layers that show data
// in scene (model) coordinates: the mapping from scene to device, the
// layer's clipping region turned into device space, and the invalid area
// kept consistent when the mapping changes.
//
// A mapping change (mapping(rt), apply_left, apply_right) runs one frame:
//   1. apply_left/apply_right forward to the sink first; an independent
//      layer stops there. mapping(rt) stops at once when rt is the current
//      mapping or flag 0x400 is set.
//   2. with notify_invalidation, the old area is invalidated with
//      notification (the device clipping, or the whole layer);
//   3. the new mapping is formed; apply_* stop when it equals the old one;
//   4. unless the whole layer waits for a redraw anyway, the waiting area is
//      taken now, under the old mapping and old device clipping;
//   5. the new mapping is stored and the device clipping recomputed;
//   6. the waiting area is moved by the carry transformation (old device
//      to new device) and re-invalidated without notification, so it is cut
//      only by the new clipping: nothing that still waits is lost when a
//      clipped layer scrolls;
//   7. with notify_invalidation, the new area is invalidated with
//      notification (step 4's early stop skips this too).
//
// Keeps true:
//  - the stored flags never have bit 0x01;
//  - the device clipping cache, while valid, is the clipping region's
//    rectangles mapped and floored on every coordinate (a rectangle with a
//    NaN coordinate is dropped); a change of clipping or mapping
//    invalidates it; nothing here converts a double to an integer type;
//  - mapping(rt) refuses an rt with a NaN or an infinity before step 1
//    (qvErrorFrom<qvViewDataLayerObject> "Invalid scroller argument"); a
//    singular (scale 0) mapping, or one that apply_* made non-finite, is
//    used as the arithmetic gives it.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/views/qvViewDataLayerObject.hpp>

#include <orvane/views/qvViewLayerImplementation.hpp>

class qvViewDataLayerImplementation : public virtual qvViewDataLayerObject, public qvViewLayerImplementation {
public:
    enum : unsigned { ignore_mapping_flag = 0x400 };

    ~qvViewDataLayerImplementation() override;

    // Stores the word with bit 0x01 cleared.
    unsigned flags(unsigned value) override;
    unsigned flags() const override;

    // ---- the mapping ---------------------------------------------------------
    void mapping(qvRestrictedTransformation const& rt) override;
    qvRestrictedTransformation const& mapping() const override { return mapping_; }
    void apply_left(qvRestrictedTransformation const& rt) override;
    void apply_right(qvRestrictedTransformation const& rt) override;

    // ---- clipping ----------------------------------------------------------------
    // The clipping region is in scene coordinates.
    void clipping(qvBaseRegion const* region) override;
    qvBaseRegion const& clipping() const override;
    qvBaseRegion const& local_device_clipping() const override;

    // The local redraw area cut to the device clipping; a reference valid
    // until the next call.
    qvBaseRegion const& redraw_area() const;
    using qvViewLayerImplementation::redraw_area;

    // Takes the layer base's copy, then the mapping and the device clipping.
    void copy(qvViewDataLayerObject const& source);
    using qvViewLayerImplementation::copy;

    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    qvViewDataLayerImplementation() = default;
    qvViewDataLayerImplementation(qvViewDataLayerImplementation const&) = default;
    qvViewDataLayerImplementation& operator=(qvViewDataLayerImplementation const&) = default;

private:
    // Steps 2 and 4 to 7 of the frame above, from old to `next` by `carry`.
    void change_mapping(qvRestrictedTransformation const& next, qvRestrictedTransformation const& carry,
                        bool stop_when_equal);
    // Invalidates the device clipping, or the whole layer, with notification.
    void invalidate_covered();

    qvRestrictedTransformation mapping_;
    mutable qvGridRegion redraw_region_;
    mutable bool device_clipping_valid_ = false;
    mutable qvGridRegion device_clipping_;
};
