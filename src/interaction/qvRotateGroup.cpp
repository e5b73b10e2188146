// Rotation of a group (see qvRotateGroup.hpp).

#include <orvane/interaction/qvRotateGroup.hpp>

#include "interaction/qvGroupMembers.hpp"

#include <orvane/core/qvDynamicInterface.hpp>

void* qvRotateGroup::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvRotateInteraction>(this, info);
}

qvMathRectOf<double> qvRotateGroup::bbox() { return qvGroupBox(*data_); }

void qvRotateGroup::rotate(qvCrdOf<double> centre, double angle) {
    qvForEachGroupMember<qvRotateInteraction>(*data_,
                                              [&](qvRotateInteraction& member) { member.rotate(centre, angle); });
}
