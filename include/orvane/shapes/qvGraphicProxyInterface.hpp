#pragma once
// qvGraphicProxyInterface: a graphic that stands for one shape record: the
// record's proxy class id, its user handle and (through the bounding-box
// data access) its box widened to doubles.

#include <orvane/shapes/qvGraphicInterface.hpp>
#include <orvane/shapes/qvQueryBboxDataAccess.hpp>

class qvGraphicProxyInterface : public qvGraphicInterface, public virtual qvQueryBboxDataAccess {
public:
    ~qvGraphicProxyInterface() override = default;
    virtual long proxy_class_id() = 0;
    virtual void user_handle(long handle) = 0;
    virtual long user_handle() = 0;

protected:
    qvGraphicProxyInterface() noexcept = default;
    qvGraphicProxyInterface(qvGraphicProxyInterface const&) noexcept = default;
    qvGraphicProxyInterface& operator=(qvGraphicProxyInterface const&) noexcept = default;
};

QV_INTERFACE_NAME(qvGraphicProxyInterface);
