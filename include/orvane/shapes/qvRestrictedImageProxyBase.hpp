#pragma once
// qvRestrictedImageProxyBase: the in-scene base of restricted images: the image proxy
// base plus the restricted image data access.

#include <orvane/shapes/qvImageProxyBase.hpp>
#include <orvane/shapes/qvRestrictedImageDataAccess.hpp>

class qvRestrictedImageProxyBase : public qvImageProxyBase, public virtual qvRestrictedImageDataAccess {
public:
    ~qvRestrictedImageProxyBase() override = default;

    // "qvRestrictedImageDataAccess", then the image base's.
    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    qvRestrictedImageProxyBase() noexcept = default;
    qvRestrictedImageProxyBase(qvRestrictedImageProxyBase const&) noexcept = default;
    qvRestrictedImageProxyBase& operator=(qvRestrictedImageProxyBase const&) noexcept = default;
};
