#pragma once
// qvShapeOrderInterface: the z-order of a scene's shapes, offered through
// query_interface by scenes that keep one.

#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/shapes/qvOrder.hpp>

class qvShapeOrderInterface {
public:
    // Places shape `handle` by `order`, relative to shape `other` for the
    // codes that need a reference.
    virtual void shape_order(long handle, qvOrder order, long other) = 0;

protected:
    qvShapeOrderInterface() noexcept = default;
    qvShapeOrderInterface(qvShapeOrderInterface const&) noexcept = default;
    qvShapeOrderInterface& operator=(qvShapeOrderInterface const&) noexcept = default;
    ~qvShapeOrderInterface() = default;
};

QV_INTERFACE_NAME(qvShapeOrderInterface);
