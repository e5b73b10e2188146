// The control's scroller: a scroller object that hands every committed
// change on to its control.

#include "views/qvScrollerInt.hpp"

qvScrollerInt::qvScrollerInt(qvMappingControl const& control, bool vertical)
    : control_(control), vertical_(vertical) {}

qvScrollerInt::qvScrollerInt(qvMappingControlObject* control, bool vertical)
    : control_(control), vertical_(vertical) {}

void qvScrollerInt::update(bool notify, qvScrollerInterface const* origin) {
    // Read before the commit: the operation and both factors it carries.
    const int operation = pending_operation();
    const qvRTComponent right = pending_right();
    const qvRTComponent left = pending_left();
    qvScrollerObject::update(notify, origin);
    if (operation == no_operation || !notify) return;
    qvMappingControlObject* control = control_.get();
    if (control == nullptr) return;
    qvMappingControlBaseObject& base = *control;
    if (operation == mapping_operation) {
        if (vertical_)
            base.do_set_y(M());
        else
            base.do_set_x(M());
        return;
    }
    auto on_axis = [this](qvRTComponent const& c) {
        return vertical_ ? qvRestrictedTransformation(qvRTComponent(), c)
                         : qvRestrictedTransformation(c, qvRTComponent());
    };
    if (!right.is_identity()) base.do_right(on_axis(right));
    if (!left.is_identity()) base.do_left(on_axis(left));
}

void qvScrollerInt::begin_update(qvScrollerInterface const* origin) { qvScrollerObject::begin_update(origin); }

void qvScrollerInt::end_update(qvScrollerInterface const* origin) { qvScrollerObject::end_update(origin); }

void* qvScrollerInt::query_interface(qvInterfaceInfo const& info) { return qvScrollerObject::query_interface(info); }
