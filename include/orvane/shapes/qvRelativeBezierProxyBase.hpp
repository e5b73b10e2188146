#pragma once
// qvRelativeBezierProxyBase: the in-scene proxy base of the compact Bezier
// curve: the rectangle base, whose box is the frame of the points, plus the
// Bezier (and so point-set) data access. Manipulators move and scale the
// curve through its box, control points included, and rotate it point by
// point.

#include <orvane/shapes/qvBezierDataAccess.hpp>
#include <orvane/shapes/qvRectangleProxyBase.hpp>

class qvRelativeBezierProxyBase : public virtual qvBezierDataAccess, public qvRectangleProxyBase {
public:
    ~qvRelativeBezierProxyBase() override = default;

    // "qvBezierDataAccess", "qvPointSetDataAccess", then the rectangle base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    // "qvRectangleDataAccess" for a move or a scale, "qvPointSetDataAccess"
    // for a rotation, "qvBezierDataAccess" for any other interaction.
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvRelativeBezierProxyBase() noexcept = default;
    qvRelativeBezierProxyBase(qvRelativeBezierProxyBase const&) noexcept = default;
    qvRelativeBezierProxyBase& operator=(qvRelativeBezierProxyBase const&) noexcept = default;
};
