#pragma once
// qvViewAreaImplementation: the standard area of a layer, in device
// coordinates. It records what must be redrawn, confines invalidation to
// the restriction, and keeps the layer's clip; it draws nothing and
// notifies nobody (the layer implementation's invalidate overrides do,
// after these bodies have recorded the change).
//
// State:
//   pending      the part of the layer to redraw (a list region, so that an
//                unclipped, unrestricted invalidation is one append)
//   restriction  when not empty, invalidation reaches only inside it
//   clip_on/clip the layer's clip region
//   all          the whole layer is to be redrawn
//   scratch      the intersection local_redraw_area hands out
//   gate         kept for the layer implementation (open = the last
//                notification did not arrive); nothing here reads it
// Keeps true:
//   - while all is set and there is no clip, pending is not consulted; all
//     is only set when there is neither clip nor restriction (otherwise the
//     whole layer is represented in pending by the clip and/or the
//     restriction);
//   - pending lies inside the restriction whenever the restriction is not
//     empty;
//   - every call from one operation to another goes through the virtual
//     table, so a layer's overrides (always_dirty in local_redraw_all, an
//     active layer's clipping) decide;
//   - a clip that is set but empty counts as none in local_redraw_area,
//     which then answers pending: the caller is drawing a layer whose clip
//     excludes everything, and pending is what it asked for.
// Rectangles of zero width or height are widened to one device unit before
// anything else (a degenerate rectangle would add no area); an inverted one
// or one with a NaN extent is left as it is, and the regions treat it as
// empty.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/views/qvViewArea.hpp>

class qvViewAreaImplementation : public virtual qvViewArea {
public:
    void restrict_invalidation(qvBaseRegion const& region) override;
    qvBaseRegion const& restrict_invalidation() const override { return restriction_; }
    void validate(qvBaseRegion const& region) override;
    void validate(qvMathRectOf<double> const& rect) override;
    void validate() override;
    bool invalidate(qvBaseRegion const& region, bool notify) override;
    bool invalidate(qvMathRectOf<double> const& rect, bool notify) override;
    bool invalidate(bool notify) override;
    bool local_redraw_all() const override;
    qvBaseRegion const& local_redraw_area() const override;
    bool redraw_all(bool recompute) const override;
    qvBaseRegion const& redraw_area(bool recompute) const override;
    bool no_clipping() const override { return !clip_on_; }
    void clipping(qvBaseRegion const* region) override;
    qvBaseRegion const& clipping() const override { return clip_; }
    bool no_local_device_clipping() const override;
    qvBaseRegion const& local_device_clipping() const override;
    bool no_device_clipping() const override;
    qvBaseRegion const& device_clipping() const override;

    // The rectangle as the area records it: zero extents widened to 1.
    static qvMathRectOf<double> widened(qvMathRectOf<double> rect) noexcept {
        if (rect.x2 - rect.x1 == 0)
            rect.x2 = rect.x1 + 1.0;
        if (rect.y2 - rect.y1 == 0)
            rect.y2 = rect.y1 + 1.0;
        return rect;
    }

protected:
    qvViewAreaImplementation() = default;
    qvViewAreaImplementation(qvViewAreaImplementation const&) = default;
    qvViewAreaImplementation& operator=(qvViewAreaImplementation const&) = default;

    bool gate() const noexcept { return gate_; }
    void gate(bool open) noexcept { gate_ = open; }
    void open_gate() noexcept { gate_ = true; }
    void close_gate() noexcept { gate_ = false; }

    // Takes over another area's clip, restriction and pending state (the
    // whole-layer mark, or the area to redraw). Copying from itself changes
    // nothing.
    void copy_area_data(qvViewArea const& other);

private:
    // Adds `argument` (a region or a rectangle) to pending, cut to the
    // restriction and the local device clip.
    template <class Argument>
    void add_pending(Argument const& argument);

    qvListRegion pending_;
    qvListRegion restriction_;
    bool clip_on_ = false;
    qvGridRegion clip_;
    bool all_ = false;
    mutable qvGridRegion scratch_;
    bool gate_ = true;
};
