#pragma once
// qvDriverFontMapping: a driver's font mapping, asked of the driver through
// query_interface; a null answer means the driver maps no fonts.
//
// Keeps true: no bases, only a virtual destructor (the library calls
// nothing on it), and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvDriverFontMapping {
public:
    virtual ~qvDriverFontMapping() = default;
};

QV_INTERFACE_NAME(qvDriverFontMapping);
