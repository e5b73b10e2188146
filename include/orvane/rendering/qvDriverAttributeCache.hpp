#pragma once
// qvDriverAttributeCache: a driver that caches device objects per
// attribute, told when an attribute, or every attribute of a palette, is
// gone. Asked of the driver through query_interface; a null answer means
// the driver caches nothing and need not be told.
//
// Keeps true: no bases, only the operations the library calls and a
// virtual destructor, and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvPalette;

class qvDriverAttributeCache {
public:
    virtual ~qvDriverAttributeCache() = default;
    virtual void drop(qvPalette* palette, long handle) = 0;
    virtual void drop_all(qvPalette* palette) = 0;
};

QV_INTERFACE_NAME(qvDriverAttributeCache);
