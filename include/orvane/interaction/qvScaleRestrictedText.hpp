#pragma once
// qvScaleRestrictedText: extended scale over a restricted text, whose size
// is given in device units. As every text scale adapter (qvScaleTextAdapter)
// only the anchor can change.
//
// The box is measured under the transformation last given (the identity
// until then), of which only the per-axis scales and offsets count: the
// text box (its four corners around the anchor) is laid out in device units
// at the anchor's device point, mirrored on an axis whose scale is negative
// (devices whose y grows downwards), and mapped back to model coordinates.

#include <orvane/interaction/qvScaleTextAdapter.hpp>
#include <orvane/shapes/qvRestrictedTextDataAccess.hpp>

extern template class qvScaleTextAdapter<qvRestrictedTextDataAccess>;

class qvScaleRestrictedText : public qvScaleTextAdapter<qvRestrictedTextDataAccess> {
public:
    using DataAccess = qvRestrictedTextDataAccess;

    explicit qvScaleRestrictedText(qvRestrictedTextDataAccess* data) noexcept : qvScaleTextAdapter(data) {}

    qvMathRectOf<double> bbox() override;
};
