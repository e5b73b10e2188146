#pragma once
// qvGenericScaledTextProxy<B>: the scaled text's height on the record of
// base B (in a scene over qvScaledTextProxyInnerBase, stand-alone over the
// generic text layer of qvSimpleScaledTextProxyBase). The height (record
// offset 112) is the text's size in model units.
//
// Keeps true: height(h) refuses exactly 0 with the assertion "h != 0.0",
// and a height that is not finite or beyond the float range with the
// coordinate error (qvShapeCoordinates), before anything changes; any other
// value, negative ones included, is stored, and the extent follows in
// proportion: each of width, descent and ascent becomes (h / old height) x
// itself, in one guarded change (which creates the record). A scaled
// extent beyond the float range refuses the height before anything is
// written. A stored height that is 0 or not finite (only a record stored
// before these checks, or read from a stream) cannot scale: the new height
// replaces it and the extent stays, so such a text can be mended. Nothing
// is measured: adjust_extent does that.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>
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
        // A stored 0 would scale by an infinity and refuse every height.
        if (d.height != 0.0 && qvIsFinite(d.height)) {
            const double k = h / d.height;
            const qvExtent scaled{k * d.extent.width, k * d.extent.descent, k * d.extent.ascent};
            qvShapeCoordinates::require(scaled);
            d.extent = scaled;
        }
        d.height = h;
    }

protected:
    static void check_height(double h) {
        QV_ASSERT_TEXT(h != 0.0, "h != 0.0");
        qvShapeCoordinates::require(h);
    }

private:
    // The record is at least a text record's 120 bytes: its allocate made it so.
    qvTextData& text_data() noexcept { return static_cast<qvShape<qvTextData>*>(this->record_)->data(); }
};
