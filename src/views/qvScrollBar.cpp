// The scroll bar handle: finding the bar behind a scroller.

#include <orvane/views/qvScrollBar.hpp>

qvScrollBar::qvScrollBar(qvScrollerInterface* scroller)
    : qvISafePtr<qvScrollBarObject>(qvQueryInterface<qvScrollBarObject>(scroller)) {}

qvScrollBar::qvScrollBar(qvScroller const& scroller)
    : qvISafePtr<qvScrollBarObject>(scroller, qvQueryInterface<qvScrollBarObject>(scroller.get())) {}
