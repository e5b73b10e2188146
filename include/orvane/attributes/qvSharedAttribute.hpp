#pragma once
// qvSharedAttribute: the counted handle through which drawings and painters
// hold an attribute object. It is a strong pointer to qvAttributeInterface:
// the count lives in the attribute when the attribute carries one
// (invasive()), else in a separate record the first handle made.
//
// Keeps true: copies share one count; assigning a handle of the same count
// counts nothing; a null attribute leaves count and flag clear; the release
// that brings the count to 0 deletes the attribute through its virtual
// destructor, and a separate count with it, once.

#include <orvane/attributes/qvAttributeInterface.hpp>
#include <orvane/core/qvSafePtr.hpp>

class qvSharedAttribute : public qvSafePtr<qvAttributeInterface> {
public:
    using Base = qvSafePtr<qvAttributeInterface>;
    using Base::Base;
    using Base::operator=;
    qvSharedAttribute() noexcept = default;
    qvSharedAttribute(Base const& other) noexcept : Base(other) {}
};
