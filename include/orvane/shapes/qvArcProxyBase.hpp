#pragma once
// qvArcProxyBase: the in-scene proxy base of arcs and pie slices: the
// ellipse base plus the arc data access (the two angles).

#include <orvane/shapes/qvArcDataAccess.hpp>
#include <orvane/shapes/qvEllipseProxyBase.hpp>

class qvArcProxyBase : public qvEllipseProxyBase, public virtual qvArcDataAccess {
public:
    ~qvArcProxyBase() override = default;

    // "qvArcDataAccess", then the ellipse base's.
    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    qvArcProxyBase() noexcept = default;
    qvArcProxyBase(qvArcProxyBase const&) noexcept = default;
    qvArcProxyBase& operator=(qvArcProxyBase const&) noexcept = default;
};
