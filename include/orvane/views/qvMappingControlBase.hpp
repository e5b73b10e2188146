#pragma once
// qvMappingControlBase: the counted handle of a mapping control through its
// base interface. Copies share the control; the last release deletes it.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/views/qvMappingControlBaseObject.hpp>

class qvMappingControlBase : public qvISafePtr<qvMappingControlBaseObject> {
public:
    qvMappingControlBase() noexcept = default;
    // Adopts the object through its own count; null gives an empty handle.
    qvMappingControlBase(qvMappingControlBaseObject* control) noexcept
        : qvISafePtr<qvMappingControlBaseObject>(control) {}
    qvMappingControlBase(qvSafePtrBase const& owner, qvMappingControlBaseObject* control) noexcept
        : qvISafePtr<qvMappingControlBaseObject>(owner, control) {}
    qvMappingControlBase(qvISafePtr<qvMappingControlBaseObject> const& control) noexcept
        : qvISafePtr<qvMappingControlBaseObject>(control) {}
    qvMappingControlBase(qvIWeakPtr<qvMappingControlBaseObject> const& control) noexcept
        : qvISafePtr<qvMappingControlBaseObject>(control) {}
    qvMappingControlBase(qvMappingControlBase const&) noexcept = default;
    qvMappingControlBase& operator=(qvMappingControlBase const&) noexcept = default;
};
