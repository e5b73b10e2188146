#pragma once
// qvDriverColorMap: a driver that takes a colour map for its device.
// Asked of the driver through query_interface; a null answer means the
// device needs no map.
//
// Keeps true: no bases, only the operations the library calls and a
// virtual destructor, and an identity under its own class name; loading
// hands the map to colors() exactly once and answers 1, unloading does
// nothing.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvColorMap;

class qvDriverColorMap {
public:
    virtual ~qvDriverColorMap() = default;
    virtual void colors(qvColorMap const& map) = 0;
    // Hands the map to colors() and answers 1.
    long load_colors(qvColorMap const& map);
    void unload_colors(long) noexcept {}
};

QV_INTERFACE_NAME(qvDriverColorMap);
