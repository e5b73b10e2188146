// Extended scale of a scaled text (see qvScaleScaledText.hpp): the text box
// in model units around the anchor.

#include <orvane/interaction/qvScaleScaledText.hpp>

#include "interaction/qvTextBoxCorners.hpp"

#include <orvane/core/qvDynamicInterface.hpp>

void* qvScaleScaledText::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvMoveInteraction, qvExtendedScaleInteraction>(this, info);
}

qvMathRectOf<double> qvScaleScaledText::bbox() {
    return qvTextCornersBox(data_->anchor(), qvTextBoxCorners(*data_));
}

void qvScaleScaledText::move(qvCrdOf<double> delta) {
    data_->anchor(data_->anchor() + delta);
}
