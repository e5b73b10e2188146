#pragma once
// qvDriverInteractiveOptions: a driver's interactive options, asked of the
// driver through query_interface; a null answer means the driver has none
// and the caller keeps its defaults.
//
// Keeps true: no bases, only a virtual destructor (the library calls
// nothing on it), and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvDriverInteractiveOptions {
public:
    virtual ~qvDriverInteractiveOptions() = default;
};

QV_INTERFACE_NAME(qvDriverInteractiveOptions);
