#pragma once
// qvCScaledImageProxy<B>: the in-scene scaled image: the anchor, the bitmap
// copy and the three vector setters write the new box into the record
// header inside one outer guard, so the scene hears of the old and new box
// once, for vectors(x, y) too. A vector the generic layer refuses is
// refused before the outer guard opens, so no record is made for it and
// nothing is reported.

#include <orvane/shapes/qvGenericScaledImageProxy.hpp>
#include <orvane/shapes/qvImageProxy.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

template <class B>
class qvCScaledImageProxy : public qvImageProxy<qvGenericScaledImageProxy<B>> {
    using Generic = qvGenericScaledImageProxy<B>;

public:
    using Generic::x_vector;
    using Generic::y_vector;

    void x_vector(qvCrdOf<double> v) override {
        qvShapeCoordinates::require(v);
        const typename B::WriteLock lock(*this, true, true);
        Generic::x_vector(v);
        this->store_box();
    }
    void y_vector(qvCrdOf<double> v) override {
        qvShapeCoordinates::require(v);
        const typename B::WriteLock lock(*this, true, true);
        Generic::y_vector(v);
        this->store_box();
    }
    void vectors(qvCrdOf<double> x, qvCrdOf<double> y) override {
        qvShapeCoordinates::require(x);
        qvShapeCoordinates::require(y);
        const typename B::WriteLock lock(*this, true, true);
        Generic::vectors(x, y);
        this->store_box();
    }
};
