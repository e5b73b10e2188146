#pragma once
// qvAttributeProxy and qvSharedAttributeProxy: stand-alone attribute
// objects on (palette, handle); the first edits its attribute with copy on
// write, the second edits an attribute allocated as shared in place for all
// its holders. The factories hand one out as a counted interface pointer.
//
// Keeps true: as qvAttributeInternalBase (one reference on a held handle,
// released at destruction; a handle of an earlier palette content, as a
// paged scene's closed session leaves one, refused and counting nothing).
// A factory's pointer owns the proxy: releasing the last copy deletes it,
// which releases its handle.

#include <orvane/attributes/qvAttributeInternalBase.hpp>
#include <orvane/core/qvSafePtr.hpp>

class qvAttributeProxy : public qvAttributeInternalBase {
public:
    qvAttributeProxy() noexcept = default;
    qvAttributeProxy(qvPalette& palette, long handle) : qvAttributeInternalBase(palette, handle) {}
    qvAttributeProxy(qvContainerScene& scene, long handle) : qvAttributeInternalBase(scene, handle) {}
    qvAttributeProxy(qvAttributeProxy const& other) = default;
    qvAttributeProxy& operator=(qvAttributeProxy const& other) = default;
    ~qvAttributeProxy() override = default;

    bool shared() const override { return false; }
};

class qvSharedAttributeProxy : public qvAttributeInternalBase {
public:
    qvSharedAttributeProxy() noexcept = default;
    qvSharedAttributeProxy(qvPalette& palette, long handle)
        : qvAttributeInternalBase(palette, handle) {}
    qvSharedAttributeProxy(qvContainerScene& scene, long handle)
        : qvAttributeInternalBase(scene, handle) {}
    qvSharedAttributeProxy(qvSharedAttributeProxy const& other) = default;
    qvSharedAttributeProxy& operator=(qvSharedAttributeProxy const& other) = default;
    ~qvSharedAttributeProxy() override = default;

    bool shared() const override { return true; }
};

// A new proxy on (palette, handle), taking a reference on the handle. A null
// palette gives a proxy without palette, allowed only with handle 0
// ("Attribute object has no palette" otherwise).
qvSafePtr<qvAttributeInterface> qvCreateAttributeProxy(qvPalette* palette, long handle);
qvSafePtr<qvAttributeInterface> qvCreateSharedAttributeProxy(qvPalette* palette, long handle);
