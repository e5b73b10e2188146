#pragma once
// qvScrollerInt: the scroller object of one axis of a mapping control, and
// the only road from a dimension back into the control. After each
// operation it commits, it hands the change to the control: a new mapping
// component as do_set_x / do_set_y, any other change as its model-side
// factor (do_right) and then its device-side factor (do_left), each on its
// own axis with the identity on the other; identity factors are not
// handed on.
//
// Keeps true: the control is watched weakly; once it has died, the
// scroller still commits and forwards like any scroller object, and calls
// nothing else. Nothing is handed on for update(false, ...).

#include <orvane/views/qvMappingControl.hpp>
#include <orvane/views/qvScrollerObject.hpp>

class qvScrollerInt : public qvScrollerObject {
public:
    qvScrollerInt(qvMappingControl const& control, bool vertical);
    // The control's own form: watches the control without counting it, so
    // a control may make its scrollers while nobody holds it yet.
    qvScrollerInt(qvMappingControlObject* control, bool vertical);
    ~qvScrollerInt() override = default;

    void update(bool notify, qvScrollerInterface const* origin) override;
    void begin_update(qvScrollerInterface const* origin) override;
    void end_update(qvScrollerInterface const* origin) override;
    // Answers qvScrollerInterface and qvScrollerObject.
    void* query_interface(qvInterfaceInfo const& info) override;

    bool vertical() const noexcept { return vertical_; }
    qvMappingControlObject* control() const noexcept { return control_.get(); }

private:
    qvIWeakPtr<qvMappingControlObject> control_;
    bool vertical_;
};
