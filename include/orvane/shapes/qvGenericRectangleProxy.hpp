#pragma once
// qvGenericRectangleProxy<B>: the rectangle data access on the record of
// base B, in a scene (B = qvRectangleProxyBase and the bases built on it)
// or stand-alone (B = qvSimpleRectangleProxyBase ...). The rectangle is the
// record header's float box.
//
// Keeps true:
//  - rectangle(r) stores r's four values rounded to float as given, never
//    reordered (the typed handles' constructors order them first); reading
//    widens the floats back exactly, so an inverted box reads inverted;
//  - every change runs inside B's write guard (create, notify) and every
//    read inside B's read guard, which raises "Attempt to query
//    uninitialized shape" without a record;
//  - bbox() is the rectangle;
//  - a rectangle with a value that is not finite or beyond the float range
//    is refused (qvShapeCoordinates) before the guard opens.
//
// B provides WriteLock and ReadLock (guards constructed from B's object),
// and the record in its protected `record_`. The members carry no
// `override`: over the stand-alone point-set and Bezier bases, which offer
// no rectangle data access, the two rectangle members are plain members of
// the layer that the compact templates build on.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

template <class B>
class qvGenericRectangleProxy : public B {
public:
    qvMathRectOf<double> rectangle() {
        const typename B::ReadLock lock(*this, true);
        return this->record_->bbox();
    }

    void rectangle(qvMathRectOf<double> const& r) {
        qvShapeCoordinates::require(r);
        const qvMathRectOf<float> box(qvRectOf<float>(static_cast<qvRectOf<double> const&>(r)));
        const typename B::WriteLock lock(*this, true, true);
        this->record_->box = box;
    }

    qvMathRectOf<double> bbox() { return rectangle(); }
};
