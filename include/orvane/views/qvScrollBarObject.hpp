#pragma once
// qvScrollBarObject: a scroller object standing for a scroll bar of the
// host's window system. The host derives from it and supplies the bar's
// device range; linked to a mapping dimension, the bar moves with the views
// of its axis. The whole model range (the limits) spans the bar: the bar's
// start shows limits.lo (limits.hi on a flipped axis), device positions are
// whole units, and the window's size does not enter.
//
// Keeps true: both conversions answer a finite value for finite input and a
// finite bar, also without limits or on a bar of length 0, where every
// position maps to the bar's start and back.

#include <orvane/views/qvScrollerObject.hpp>

class qvScrollBarObject : public qvScrollerObject {
public:
    // The device positions of the bar's start and end.
    virtual qvRangeOf<double> device_range() const = 0;
    // The model value at device position d, and the device position of
    // model value m.
    virtual double dev2mod(double d) const;
    virtual double mod2dev(double m) const;

    // Answers qvScrollBarObject, then what a scroller object answers.
    void* query_interface(qvInterfaceInfo const& info) override;
};

QV_INTERFACE_NAME(qvScrollBarObject);
