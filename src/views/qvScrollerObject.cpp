// The plain scroller object: its making and the interfaces it answers.

#include <orvane/views/qvScrollerObject.hpp>

qvScroller qvScrollerObject::create() { return qvScroller(new qvScrollerObject); }

void* qvScrollerObject::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvScrollerInterface, qvScrollerObject>(this, info);
}
