#pragma once
// qvAbsolutePointSetProxyBase: the in-scene proxy base of the exact point
// sets (polygon, polyline, poly-marker): the proxy base plus the point-set
// and bounding-box data access. Every manipulation goes point by point.

#include <orvane/shapes/qvPointSetDataAccess.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

class qvAbsolutePointSetProxyBase : public qvSingleShapeProxyBase, public virtual qvPointSetDataAccess {
public:
    ~qvAbsolutePointSetProxyBase() override = default;

    // "qvQueryBboxDataAccess", "qvPointSetDataAccess", then the proxy base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    // "qvPointSetDataAccess", whatever the interaction.
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvAbsolutePointSetProxyBase() noexcept = default;
    qvAbsolutePointSetProxyBase(qvAbsolutePointSetProxyBase const&) noexcept = default;
    qvAbsolutePointSetProxyBase& operator=(qvAbsolutePointSetProxyBase const&) noexcept = default;
};
