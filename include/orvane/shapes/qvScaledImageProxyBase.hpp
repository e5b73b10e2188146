#pragma once
// qvScaledImageProxyBase: the in-scene base of scaled images: the image proxy
// base plus the scaled image data access.

#include <orvane/shapes/qvImageProxyBase.hpp>
#include <orvane/shapes/qvScaledImageDataAccess.hpp>

class qvScaledImageProxyBase : public qvImageProxyBase, public virtual qvScaledImageDataAccess {
public:
    ~qvScaledImageProxyBase() override = default;

    // "qvScaledImageDataAccess", then the image base's.
    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    qvScaledImageProxyBase() noexcept = default;
    qvScaledImageProxyBase(qvScaledImageProxyBase const&) noexcept = default;
    qvScaledImageProxyBase& operator=(qvScaledImageProxyBase const&) noexcept = default;
};
