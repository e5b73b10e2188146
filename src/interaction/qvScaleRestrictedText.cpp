// Extended scale of a restricted text (see qvScaleRestrictedText.hpp). The
// text box is in device units: it is laid out around the anchor's device
// point under the per-axis part of the transformation, mirrored on each axis
// whose scale is negative so that it keeps its reading direction on the
// device, and the device box is mapped back through the inverse.

#include <orvane/interaction/qvScaleRestrictedText.hpp>

#include "interaction/qvTextBoxCorners.hpp"

#include <orvane/geometry/qvRestrictedTransformation.hpp>

template class qvScaleTextAdapter<qvRestrictedTextDataAccess>;

qvMathRectOf<double> qvScaleRestrictedText::bbox() {
    qvTransformation const& t = given_transformation();
    const qvRestrictedTransformation axes(t.m0(), t.m3(), t.m4(), t.m5());
    std::array<qvCrdOf<double>, 4> corners = qvTextBoxCorners(*data());
    for (qvCrdOf<double>& c : corners) {
        if (axes.m0() < 0) c.x = -c.x;
        if (axes.m3() < 0) c.y = -c.y;
    }
    const qvCrdOf<double> anchor = data()->anchor();
    const qvCrdOf<double> device_anchor(axes.get_x() * anchor.x, axes.get_y() * anchor.y);
    return qvTransformRect(qvTextCornersBox(device_anchor, corners), qvInvert(axes));
}
