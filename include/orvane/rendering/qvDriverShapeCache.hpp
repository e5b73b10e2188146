#pragma once
// qvDriverShapeCache: a driver that caches shapes, asked of the driver
// through query_interface; a null answer means it caches none.
//
// Keeps true: no bases, only a virtual destructor (the library calls
// nothing on it), and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvDriverShapeCache {
public:
    virtual ~qvDriverShapeCache() = default;
};

QV_INTERFACE_NAME(qvDriverShapeCache);
