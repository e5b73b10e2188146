#pragma once
// qvVBufInvalidate: the channel along which invalidations travel towards
// the device (the renderer forwards to its window buffer's, whose owner
// arranges a redraw). Asked of the buffer through query_interface; a null
// answer means the buffer has no such channel.
//
// Keeps true: no bases, only the operations the library calls and a
// virtual destructor, and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvVBufInvalidate {
public:
    virtual ~qvVBufInvalidate() = default;
    // Opens or closes the channel; callback_ready tells whether it is open.
    virtual void open_callback(bool open) = 0;
    virtual bool callback_ready() = 0;
    virtual bool invalidate(qvBaseRegion const& region) = 0;
    virtual bool invalidate(qvMathRectOf<double> const& rect) = 0;
    virtual bool invalidate(qvCrdOf<double> const& point) = 0;
    // Everything.
    virtual bool invalidate() = 0;
};

QV_INTERFACE_NAME(qvVBufInvalidate);
