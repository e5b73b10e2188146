// Extended scale of a restricted text (see qvScaleRestrictedText.hpp). The
// text box is in device units: it is laid out around the anchor's device
// point under the per-axis part of the transformation, mirrored on each axis
// whose scale is negative so that it keeps its reading direction on the
// device, and the device box is mapped back through the inverse.

#include <orvane/interaction/qvScaleRestrictedText.hpp>

#include "interaction/qvTextBoxCorners.hpp"

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

void* qvScaleRestrictedText::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvMoveInteraction, qvExtendedScaleInteraction>(this, info);
}

qvMathRectOf<double> qvScaleRestrictedText::bbox() {
    const qvRestrictedTransformation axes(transformation_.m0(), transformation_.m3(), transformation_.m4(),
                                          transformation_.m5());
    std::array<qvCrdOf<double>, 4> corners = qvTextBoxCorners(*data_);
    for (qvCrdOf<double>& c : corners) {
        if (axes.m0() < 0) c.x = -c.x;
        if (axes.m3() < 0) c.y = -c.y;
    }
    const qvCrdOf<double> anchor = data_->anchor();
    const qvCrdOf<double> device_anchor(axes.get_x() * anchor.x, axes.get_y() * anchor.y);
    return qvTransformRect(qvTextCornersBox(device_anchor, corners), qvInvert(axes));
}

void qvScaleRestrictedText::move(qvCrdOf<double> delta) {
    data_->anchor(data_->anchor() + delta);
}
