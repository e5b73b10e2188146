#pragma once
// qvDriverBackground: a driver's background, asked of the driver through
// query_interface; a null answer means the driver has none of its own.
//
// Keeps true: no bases, only a virtual destructor (the library calls
// nothing on it), and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvDriverBackground {
public:
    virtual ~qvDriverBackground() = default;
};

QV_INTERFACE_NAME(qvDriverBackground);
