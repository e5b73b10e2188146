#pragma once
// qvImageProxy<P>: the in-scene image setters shared by both kinds that keep
// the record header's box current: the anchor and the copy of a bitmap run
// inside an outer modification guard that, after the change, writes the
// image's bbox() into the header as four floats; being the outermost, that
// guard reports the box before and after once. The copy opens its guard
// without creating a record (it sizes the record itself). Shaping a record
// for a bitmap of a layout and size alone leaves the header box as it was.
// What the generic layer refuses is refused before the outer guard opens,
// so nothing is reported either.
//
// Stand-alone images have no such layer: their box is computed on demand
// and never written.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

template <class P>
class qvImageProxy : public P {
public:
    using P::anchor;
    using P::bitmap;

    // Checked before the lock, which makes a record for a new image: a
    // refused anchor leaves no record behind.
    void anchor(qvCrdOf<double> p) override {
        qvShapeCoordinates::require(p);
        const typename P::WriteLock lock(*this, true, true);
        P::anchor(p);
        store_box();
    }
    void bitmap(qvBitmapReference const& source) override {
        const typename P::Plan plan = P::plan_for(source);
        const typename P::WriteLock lock(*this, false, true);
        P::copy_in(plan, source);
        store_box();
    }

protected:
    // The header's box becomes bbox(), each double rounded to float.
    void store_box() {
        const qvMathRectOf<double> box = this->bbox();
        this->record_->box = qvMathRectOf<float>(qvRectOf<float>(static_cast<qvRectOf<double> const&>(box)));
    }
};
