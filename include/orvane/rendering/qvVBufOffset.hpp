#pragma once
// qvVBufOffset: the offset a renderer adds to its window rectangle. Asked
// of the buffer through query_interface; a null answer means no offset.
//
// Keeps true: no bases, only the operations the library calls and a
// virtual destructor, and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvVBufOffset {
public:
    virtual ~qvVBufOffset() = default;
    virtual void x_offset(long offset) = 0;
    virtual long x_offset() = 0;
    virtual void y_offset(long offset) = 0;
    virtual long y_offset() = 0;
};

QV_INTERFACE_NAME(qvVBufOffset);
