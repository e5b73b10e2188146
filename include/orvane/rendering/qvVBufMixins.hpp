#pragma once
// The mixins of a buffer, asked of the buffer through query_interface.
// qvVBufInvalidate is the channel along which invalidations travel towards
// the device (the renderer forwards to its window buffer's, whose owner
// arranges a redraw); qvVBufOffset gives the offset a renderer adds to its
// window rectangle.
//
// Keeps true: as for the driver's optional interfaces, no bases, only the
// operations the library calls and a virtual destructor, and an identity
// under each class name.

#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvVBufImageObject {
public:
    virtual ~qvVBufImageObject() = default;
};

class qvVBufBitmap {
public:
    virtual ~qvVBufBitmap() = default;
};

class qvVBufTrueScale {
public:
    virtual ~qvVBufTrueScale() = default;
};

class qvVBufHardcopy {
public:
    virtual ~qvVBufHardcopy() = default;
};

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

class qvVBufOffset {
public:
    virtual ~qvVBufOffset() = default;
    virtual void x_offset(long offset) = 0;
    virtual long x_offset() = 0;
    virtual void y_offset(long offset) = 0;
    virtual long y_offset() = 0;
};

QV_INTERFACE_NAME(qvVBufImageObject);
QV_INTERFACE_NAME(qvVBufBitmap);
QV_INTERFACE_NAME(qvVBufTrueScale);
QV_INTERFACE_NAME(qvVBufHardcopy);
QV_INTERFACE_NAME(qvVBufInvalidate);
QV_INTERFACE_NAME(qvVBufOffset);
