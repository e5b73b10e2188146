#pragma once
// qvSingleShapeProxyInterface: the proxy of one shape of a scene, which
// also tells the record's shape handle.

#include <orvane/shapes/qvGraphicProxyInterface.hpp>

class qvSingleShapeProxyInterface : public virtual qvGraphicProxyInterface {
public:
    ~qvSingleShapeProxyInterface() override = default;
    virtual long shape_handle() = 0;

protected:
    qvSingleShapeProxyInterface() noexcept = default;
    qvSingleShapeProxyInterface(qvSingleShapeProxyInterface const&) noexcept = default;
    qvSingleShapeProxyInterface& operator=(qvSingleShapeProxyInterface const&) noexcept = default;
};

QV_INTERFACE_NAME(qvSingleShapeProxyInterface);
