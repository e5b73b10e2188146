#pragma once
// qvMappingDimension: a counted handle of a mapping dimension. Built from a
// scroller it shares that scroller's object when the object is a dimension,
// and is empty otherwise; it converts back to a qvScroller on the same
// object.

#include <orvane/views/qvMappingDimensionObject.hpp>

class qvMappingDimension : public qvISafePtr<qvMappingDimensionObject> {
public:
    qvMappingDimension() noexcept = default;
    // A new dimension; the int is not used.
    qvMappingDimension(int, bool enabled);
    // Adopts the object through its own count; null gives an empty handle.
    qvMappingDimension(qvMappingDimensionObject* dimension) noexcept
        : qvISafePtr<qvMappingDimensionObject>(dimension) {}
    qvMappingDimension(qvSafePtrBase const& owner, qvMappingDimensionObject* dimension) noexcept
        : qvISafePtr<qvMappingDimensionObject>(owner, dimension) {}
    qvMappingDimension(qvISafePtr<qvMappingDimensionObject> const& dimension) noexcept
        : qvISafePtr<qvMappingDimensionObject>(dimension) {}
    qvMappingDimension(qvIWeakPtr<qvMappingDimensionObject> const& dimension) noexcept
        : qvISafePtr<qvMappingDimensionObject>(dimension) {}
    // The scroller's dimension, or empty.
    explicit qvMappingDimension(qvScrollerInterface* scroller);
    explicit qvMappingDimension(qvScroller const& scroller);
    qvMappingDimension(qvMappingDimension const&) noexcept = default;
    qvMappingDimension& operator=(qvMappingDimension const&) noexcept = default;

    operator qvScroller() const noexcept { return qvScroller(*this, get()); }
};
