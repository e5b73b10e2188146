#pragma once
// qvScroller: a counted handle of a scroller, seen through its scroller
// interface. Copies share the scroller; the last release deletes it.
// Handles of the more specific scroller kinds (qvMappingDimension,
// qvScrollBar) convert to it.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/views/qvScrollerInterface.hpp>

class qvScroller : public qvISafePtr<qvScrollerInterface> {
public:
    qvScroller() noexcept = default;
    // Adopts the object through its own count; null gives an empty handle.
    qvScroller(qvScrollerInterface* scroller) noexcept : qvISafePtr<qvScrollerInterface>(scroller) {}
    // Any strong pointer whose object offers `scroller`: shares its counter.
    qvScroller(qvSafePtrBase const& owner, qvScrollerInterface* scroller) noexcept
        : qvISafePtr<qvScrollerInterface>(owner, scroller) {}
    qvScroller(qvISafePtr<qvScrollerInterface> const& scroller) noexcept
        : qvISafePtr<qvScrollerInterface>(scroller) {}
    qvScroller(qvIWeakPtr<qvScrollerInterface> const& scroller) noexcept
        : qvISafePtr<qvScrollerInterface>(scroller) {}
    qvScroller(qvScroller const&) noexcept = default;
    qvScroller& operator=(qvScroller const&) noexcept = default;
};
