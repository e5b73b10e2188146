#pragma once
// qvRelativePointSetProxyBase: the in-scene proxy base of the compact point
// sets (polygon, polyline, poly-marker): the rectangle base, whose box is
// the frame of the points, plus the point-set data access. Manipulators
// move and scale these shapes through the box alone (every point follows
// it) and rotate them point by point.

#include <orvane/shapes/qvPointSetDataAccess.hpp>
#include <orvane/shapes/qvRectangleProxyBase.hpp>

class qvRelativePointSetProxyBase : public qvRectangleProxyBase, public virtual qvPointSetDataAccess {
public:
    ~qvRelativePointSetProxyBase() override = default;

    // "qvPointSetDataAccess", then the rectangle base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    // "qvRectangleDataAccess" for a move or a scale, "qvPointSetDataAccess"
    // for any other interaction.
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvRelativePointSetProxyBase() noexcept = default;
    qvRelativePointSetProxyBase(qvRelativePointSetProxyBase const&) noexcept = default;
    qvRelativePointSetProxyBase& operator=(qvRelativePointSetProxyBase const&) noexcept = default;
};
