// Extended scale of a scaled text (see qvScaleScaledText.hpp): the text box
// in model units around the anchor.

#include <orvane/interaction/qvScaleScaledText.hpp>

#include "interaction/qvTextBoxCorners.hpp"

template class qvScaleTextAdapter<qvScaledTextDataAccess>;

qvMathRectOf<double> qvScaleScaledText::bbox() {
    return qvTextCornersBox(data()->anchor(), qvTextBoxCorners(*data()));
}
