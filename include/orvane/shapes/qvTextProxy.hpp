#pragma once
// qvTextProxy<B>: the in-scene text setters that keep the record header's
// box current. Each setter of qvGenericTextProxy<B> runs inside an outer
// modification guard that, after the change, writes the text's bbox() into
// the header as four floats; being the outermost, that guard reports the
// box before and after once. text() opens its guard without creating a
// record (it sizes the record itself) and writes the box only when a record
// exists. A text, stretch, angle, aperture or extent the generic layer
// refuses is refused before the outer guard opens, so no record is made
// for it and nothing is reported either.
//
// Instances: over qvTextProxyBase (the restricted text) and over the
// scaled text's height layer. Stand-alone texts have no such layer: their
// box is computed on demand and never written.

#include <orvane/shapes/qvGenericTextProxy.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

template <class B>
class qvTextProxy : public qvGenericTextProxy<B> {
    using Generic = qvGenericTextProxy<B>;

public:
    using Generic::alignment;
    using Generic::anchor;
    using Generic::angle;
    using Generic::aperture;
    using Generic::extent;
    using Generic::stretch;
    using Generic::text;

    void anchor(qvCrdOf<double> p) override {
        qvShapeCoordinates::require(p);
        const typename B::WriteLock lock(*this, true, true);
        Generic::anchor(p);
        store_box();
    }
    void alignment(unsigned a) override {
        const typename B::WriteLock lock(*this, true, true);
        Generic::alignment(a);
        store_box();
    }
    void angle(double degrees) override {
        qvShapeCoordinates::require(degrees);
        const typename B::WriteLock lock(*this, true, true);
        Generic::angle(degrees);
        store_box();
    }
    void aperture(double degrees) override {
        qvShapeCoordinates::require(degrees);
        const typename B::WriteLock lock(*this, true, true);
        Generic::aperture(degrees);
        store_box();
    }
    void text(char const* s) override {
        Generic::checked_length(s);
        const typename B::WriteLock lock(*this, false, true);
        Generic::text(s);
        if (this->record_ != nullptr)
            store_box();
    }
    void stretch(float s) override {
        Generic::check_stretch(s);
        const typename B::WriteLock lock(*this, true, true);
        Generic::stretch(s);
        store_box();
    }
    void extent(qvExtent const& e) override {
        qvShapeCoordinates::require(e);
        const typename B::WriteLock lock(*this, true, true);
        Generic::extent(e);
        store_box();
    }

protected:
    // The header's box becomes bbox(), each double rounded to float.
    void store_box() {
        const qvMathRectOf<double> box = this->bbox();
        this->record_->box = qvMathRectOf<float>(qvRectOf<float>(static_cast<qvRectOf<double> const&>(box)));
    }
};
