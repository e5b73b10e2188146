#pragma once
// qvGenericScaledTextProxy<B>: the scaled text's height on the record of
// base B (in a scene over qvScaledTextProxyInnerBase, stand-alone over the
// generic text layer of qvSimpleScaledTextProxyBase). The height (record
// offset 112) is the text's size in model units.
//
// Keeps true: height(h) refuses exactly 0 with the assertion "h != 0.0"
// before anything changes; any other value, negative and NaN included, is
// stored, and the extent follows in proportion: each of width, descent and
// ascent becomes (h / old height) x itself, in one guarded change (which
// creates the record). Nothing is measured: adjust_extent does that.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvTextData.hpp>

template <class B>
class qvGenericScaledTextProxy : public B {
public:
    double height() override {
        const typename B::ReadLock lock(*this, true);
        return text_data().height;
    }

    void height(double h) override {
        check_height(h);
        const typename B::WriteLock lock(*this, true, true);
        qvTextData& d = text_data();
        const double k = h / d.height;
        d.extent.width = k * d.extent.width;
        d.extent.ascent = k * d.extent.ascent;
        d.extent.descent = k * d.extent.descent;
        d.height = h;
    }

protected:
    static void check_height(double h) { QV_ASSERT_TEXT(h != 0.0, "h != 0.0"); }

private:
    // The record is at least a text record's 120 bytes: its allocate made it so.
    qvTextData& text_data() noexcept { return static_cast<qvShape<qvTextData>*>(this->record_)->data(); }
};
