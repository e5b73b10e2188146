#pragma once
// qvImageProxyBase: the in-scene proxy base of both image kinds: the proxy
// base plus the image, anchor and bounding-box data access. Manipulators
// move, scale and rotate an image only through its anchor, so it names the
// anchor data access for every interaction.

#include <orvane/shapes/qvImageDataAccess.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

class qvImageProxyBase : public qvSingleShapeProxyBase, public virtual qvImageDataAccess {
public:
    ~qvImageProxyBase() override = default;

    // "qvImageDataAccess", "qvQueryBboxDataAccess", "qvAnchorDataAccess", then
    // the proxy base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    // "qvAnchorDataAccess", whatever the interaction.
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvImageProxyBase() noexcept = default;
    qvImageProxyBase(qvImageProxyBase const&) noexcept = default;
    qvImageProxyBase& operator=(qvImageProxyBase const&) noexcept = default;
};
