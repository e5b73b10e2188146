#pragma once
// qvTextProxyBase: the in-scene proxy base of both text kinds, restricted
// and scaled: the proxy base plus the text, anchor and bounding-box data
// access. It names the text data access for every interaction; the kinds'
// bases name their own interface for the extended scale.

#include <orvane/shapes/qvSingleShapeProxyBase.hpp>
#include <orvane/shapes/qvTextDataAccess.hpp>

class qvTextProxyBase : public qvSingleShapeProxyBase, public virtual qvTextDataAccess {
public:
    ~qvTextProxyBase() override = default;

    // "qvTextDataAccess", "qvQueryBboxDataAccess", "qvAnchorDataAccess", then
    // the proxy base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    // "qvTextDataAccess", whatever the interaction.
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvTextProxyBase() noexcept = default;
    qvTextProxyBase(qvTextProxyBase const&) noexcept = default;
    qvTextProxyBase& operator=(qvTextProxyBase const&) noexcept = default;
};
