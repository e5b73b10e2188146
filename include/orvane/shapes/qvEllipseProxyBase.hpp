#pragma once
// qvEllipseProxyBase: the in-scene proxy base of ellipses (and of arcs and
// pie slices): the rectangle base plus the ellipse data access.

#include <orvane/shapes/qvEllipseDataAccess.hpp>
#include <orvane/shapes/qvRectangleProxyBase.hpp>

class qvEllipseProxyBase : public qvRectangleProxyBase, public virtual qvEllipseDataAccess {
public:
    ~qvEllipseProxyBase() override = default;

    // "qvEllipseDataAccess", then the rectangle base's.
    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    qvEllipseProxyBase() noexcept = default;
    qvEllipseProxyBase(qvEllipseProxyBase const&) noexcept = default;
    qvEllipseProxyBase& operator=(qvEllipseProxyBase const&) noexcept = default;
};
