#pragma once
// qvMappingControl: the counted handle of a mapping control. Built from a
// base handle or a base pointer it asks the object for the control
// interface and is empty when the object does not offer it.

#include <orvane/views/qvMappingControlBase.hpp>
#include <orvane/views/qvMappingControlObject.hpp>

class qvMappingControl : public qvISafePtr<qvMappingControlObject> {
public:
    qvMappingControl() noexcept = default;
    // Adopts the object through its own count; null gives an empty handle.
    qvMappingControl(qvMappingControlObject* control) noexcept : qvISafePtr<qvMappingControlObject>(control) {}
    qvMappingControl(qvSafePtrBase const& owner, qvMappingControlObject* control) noexcept
        : qvISafePtr<qvMappingControlObject>(owner, control) {}
    qvMappingControl(qvISafePtr<qvMappingControlObject> const& control) noexcept
        : qvISafePtr<qvMappingControlObject>(control) {}
    qvMappingControl(qvIWeakPtr<qvMappingControlObject> const& control) noexcept
        : qvISafePtr<qvMappingControlObject>(control) {}
    // The object's control interface, sharing the source's count; empty
    // when it has none.
    explicit qvMappingControl(qvMappingControlBase const& control);
    explicit qvMappingControl(qvMappingControlBaseObject* control);
    qvMappingControl(qvMappingControl const&) noexcept = default;
    qvMappingControl& operator=(qvMappingControl const&) noexcept = default;

    operator qvMappingControlBase() const noexcept {
        return qvMappingControlBase(*this, static_cast<qvMappingControlBaseObject*>(get()));
    }
};
