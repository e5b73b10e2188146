#pragma once
// qvScaledTextProxyInnerBase: the in-scene base of scaled texts, whose size
// is a height in model units: the text base plus the scaled text data
// access. It names that interface for the extended scale and the text data
// access for every other interaction.

#include <orvane/shapes/qvScaledTextDataAccess.hpp>
#include <orvane/shapes/qvTextProxyBase.hpp>

class qvScaledTextProxyInnerBase : public qvTextProxyBase, public virtual qvScaledTextDataAccess {
public:
    ~qvScaledTextProxyInnerBase() override = default;

    // "qvScaledTextDataAccess", then the text base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvScaledTextProxyInnerBase() noexcept = default;
    qvScaledTextProxyInnerBase(qvScaledTextProxyInnerBase const&) noexcept = default;
    qvScaledTextProxyInnerBase& operator=(qvScaledTextProxyInnerBase const&) noexcept = default;
};
