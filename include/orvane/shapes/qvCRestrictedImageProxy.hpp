#pragma once
// qvCRestrictedImageProxy<B>: the in-scene restricted image: every setter
// that moves its box (anchor, bitmap copy, alignment, resolution,
// adjust_extent) writes the new box into the record header inside one
// outer guard, so the scene hears of the old and new box once. A
// degenerate or non-finite transformation and a resolution the generic
// layer refuses are refused before that guard opens.

#include <orvane/shapes/qvGenericRestrictedImageProxy.hpp>
#include <orvane/shapes/qvImageProxy.hpp>

template <class B>
class qvCRestrictedImageProxy : public qvImageProxy<qvGenericRestrictedImageProxy<B>> {
    using Generic = qvGenericRestrictedImageProxy<B>;

public:
    using Generic::alignment;

    void alignment(int a) override {
        const typename B::WriteLock lock(*this, true, true);
        Generic::alignment(a);
        this->store_box();
    }
    void resolution(double x, double y) override {
        Generic::check_resolution(x, y);
        const typename B::WriteLock lock(*this, true, true);
        Generic::resolution(x, y);
        this->store_box();
    }
    void adjust_extent(qvRestrictedTransformation* t) override {
        Generic::check_scales(t);
        const typename B::WriteLock lock(*this, true, true);
        Generic::adjust_extent(t);
        this->store_box();
    }
};
