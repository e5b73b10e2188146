#pragma once
// qvRectangleProxyBase: the in-scene proxy base of the shapes given by their
// rectangle (rectangle, ellipse, arc, pie slice; the compact point sets and
// the compact Bezier curve build on it too). It adds the rectangle and
// bounding-box data access to the proxy base's identities and names the
// rectangle data access for every interaction: manipulators move and scale
// these shapes through their box. The ellipse and arc bases offer more
// interfaces but keep this answer.

#include <orvane/shapes/qvRectangleDataAccess.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

class qvRectangleProxyBase : public qvSingleShapeProxyBase, public virtual qvRectangleDataAccess {
public:
    ~qvRectangleProxyBase() override = default;

    // "qvQueryBboxDataAccess", "qvRectangleDataAccess", then the proxy base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    // "qvRectangleDataAccess", whatever the interaction.
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvRectangleProxyBase() noexcept = default;
    qvRectangleProxyBase(qvRectangleProxyBase const&) noexcept = default;
    qvRectangleProxyBase& operator=(qvRectangleProxyBase const&) noexcept = default;
};
