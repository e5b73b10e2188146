#pragma once
// qvGenericArcProxy<B>: the arc data access on the record of base B (in a
// scene or stand-alone, as qvGenericRectangleProxy): the two angles at
// record offsets 40 and 48 (qvArcData; a pie-slice record has the same
// layout). Arcs and pie slices share it.
//
// Keeps true: an angle is stored exactly as given, any double (NaN and
// infinities too), never reduced, ordered or clamped; the angles never
// touch the box, which stays the whole ellipse's rectangle. Each setter is
// one guarded change; span(a1, a2) is two.

#include <orvane/shapes/qvArcData.hpp>
#include <orvane/shapes/qvGenericEllipseProxy.hpp>

template <class B>
class qvGenericArcProxy : public qvGenericEllipseProxy<B> {
public:
    double angle1() override {
        const typename B::ReadLock lock(*this, true);
        return angles().angle1;
    }

    void angle1(double a) override {
        const typename B::WriteLock lock(*this, true, true);
        angles().angle1 = a;
    }

    double angle2() override {
        const typename B::ReadLock lock(*this, true);
        return angles().angle2;
    }

    void angle2(double a) override {
        const typename B::WriteLock lock(*this, true, true);
        angles().angle2 = a;
    }

private:
    // The record is at least an arc record's 56 bytes: its allocate made it so.
    qvArcData& angles() noexcept { return static_cast<qvShape<qvArcData>*>(this->record_)->data(); }
};
