#pragma once
// qvVBufTrueScale: marks a buffer that is true to scale. Asked of the buffer
// through query_interface; a null answer means it is not.
//
// Keeps true: no bases, only a virtual destructor (the library calls
// nothing on it), and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvVBufTrueScale {
public:
    virtual ~qvVBufTrueScale() = default;
};

QV_INTERFACE_NAME(qvVBufTrueScale);
