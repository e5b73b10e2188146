#pragma once
// qvScrollBar: a counted handle of a scroll bar. Built from a scroller it
// shares that scroller's object when the object is a scroll bar, and is
// empty otherwise; it converts to a qvScroller on the same object.

#include <orvane/views/qvScrollBarObject.hpp>

class qvScrollBar : public qvISafePtr<qvScrollBarObject> {
public:
    qvScrollBar() noexcept = default;
    // Adopts the object through its own count; null gives an empty handle.
    qvScrollBar(qvScrollBarObject* bar) noexcept : qvISafePtr<qvScrollBarObject>(bar) {}
    qvScrollBar(qvSafePtrBase const& owner, qvScrollBarObject* bar) noexcept
        : qvISafePtr<qvScrollBarObject>(owner, bar) {}
    qvScrollBar(qvISafePtr<qvScrollBarObject> const& bar) noexcept
        : qvISafePtr<qvScrollBarObject>(bar) {}
    qvScrollBar(qvIWeakPtr<qvScrollBarObject> const& bar) noexcept
        : qvISafePtr<qvScrollBarObject>(bar) {}
    // The scroller's bar, or empty.
    explicit qvScrollBar(qvScrollerInterface* scroller);
    explicit qvScrollBar(qvScroller const& scroller);
    qvScrollBar(qvScrollBar const&) noexcept = default;
    qvScrollBar& operator=(qvScrollBar const&) noexcept = default;

    operator qvScroller() const noexcept { return qvScroller(*this, get()); }
};
