// Rotation of a text (see qvRotateText.hpp).

#include <orvane/interaction/qvRotateText.hpp>

#include "interaction/qvRotationAbout.hpp"

#include <orvane/core/qvDynamicInterface.hpp>

void* qvRotateText::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvRotateInteraction>(this, info);
}

qvMathRectOf<double> qvRotateText::bbox() { return data_->bbox(); }

void qvRotateText::rotate(qvCrdOf<double> centre, double angle) {
    data_->anchor(qvRotationAbout(centre, angle) * data_->anchor());
    data_->angle(data_->angle() + angle);
}
