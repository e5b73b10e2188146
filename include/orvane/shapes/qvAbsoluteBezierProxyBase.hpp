#pragma once
// qvAbsoluteBezierProxyBase: the in-scene proxy base of the exact Bezier
// curve: the proxy base plus the Bezier (and so point-set) data access. It
// offers neither the rectangle nor the bounding-box data access; its box
// is reached through bbox() of its graphic-proxy part.

#include <orvane/shapes/qvBezierDataAccess.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

class qvAbsoluteBezierProxyBase : public virtual qvBezierDataAccess, public qvSingleShapeProxyBase {
public:
    ~qvAbsoluteBezierProxyBase() override = default;

    // "qvBezierDataAccess", "qvPointSetDataAccess", then the proxy base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    // "qvPointSetDataAccess" for a move or a scale, "qvBezierDataAccess" for
    // any other interaction.
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvAbsoluteBezierProxyBase() noexcept = default;
    qvAbsoluteBezierProxyBase(qvAbsoluteBezierProxyBase const&) noexcept = default;
    qvAbsoluteBezierProxyBase& operator=(qvAbsoluteBezierProxyBase const&) noexcept = default;
};
