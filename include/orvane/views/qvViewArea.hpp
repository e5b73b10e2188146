#pragma once
// qvViewArea: the area mixin of a layer, in device coordinates: what must be
// redrawn (pending, or the whole layer), where invalidation may reach at all
// (the restriction), and the three levels of clipping:
//   clipping               the layer's own clip as the application set it
//   local_device_clipping  the clip the layer itself imposes on the device
//   device_clipping        the clip of everything the layer draws,
//                          children included
// A level has no clipping when its no_ query answers true; the region it
// returns then means nothing.
//
// Keeps true: no state here. A caller asks redraw_all first; only when it
// is false does redraw_area say what to redraw. The bool of the invalidate
// operations asks for notification upwards; the bool of redraw_all and
// redraw_area asks an active layer to recompute.

#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvViewArea {
public:
    virtual ~qvViewArea() = default;

    virtual void restrict_invalidation(qvBaseRegion const& region) = 0;
    virtual qvBaseRegion const& restrict_invalidation() const = 0;
    virtual void validate(qvBaseRegion const& region) = 0;
    virtual void validate(qvMathRectOf<double> const& rect) = 0;
    virtual void validate() = 0;
    // Each answers whether a notification reached the renderer.
    virtual bool invalidate(qvBaseRegion const& region, bool notify) = 0;
    virtual bool invalidate(qvMathRectOf<double> const& rect, bool notify) = 0;
    virtual bool invalidate(bool notify) = 0;
    virtual bool local_redraw_all() const = 0;
    virtual qvBaseRegion const& local_redraw_area() const = 0;
    virtual bool redraw_all(bool recompute) const = 0;
    virtual qvBaseRegion const& redraw_area(bool recompute) const = 0;
    virtual bool no_clipping() const = 0;
    // Null removes the clip.
    virtual void clipping(qvBaseRegion const* region) = 0;
    virtual qvBaseRegion const& clipping() const = 0;
    virtual bool no_local_device_clipping() const = 0;
    virtual qvBaseRegion const& local_device_clipping() const = 0;
    virtual bool no_device_clipping() const = 0;
    virtual qvBaseRegion const& device_clipping() const = 0;

protected:
    qvViewArea() noexcept = default;
    qvViewArea(qvViewArea const&) noexcept = default;
    qvViewArea& operator=(qvViewArea const&) noexcept = default;
};
