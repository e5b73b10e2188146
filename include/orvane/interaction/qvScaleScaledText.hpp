#pragma once
// qvScaleScaledText: extended scale over a scaled text, sized in model
// units. As every text scale adapter (qvScaleTextAdapter) only the anchor
// changes; the box is the text box (its four corners around the anchor) in
// model units, and the transformation given is kept but takes no part in it.

#include <orvane/interaction/qvScaleTextAdapter.hpp>
#include <orvane/shapes/qvScaledTextDataAccess.hpp>

extern template class qvScaleTextAdapter<qvScaledTextDataAccess>;

class qvScaleScaledText : public qvScaleTextAdapter<qvScaledTextDataAccess> {
public:
    using DataAccess = qvScaledTextDataAccess;

    explicit qvScaleScaledText(qvScaledTextDataAccess* data) noexcept : qvScaleTextAdapter(data) {}

    qvMathRectOf<double> bbox() override;
};
