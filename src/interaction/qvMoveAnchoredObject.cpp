// Moving an anchored object (see qvMoveAnchoredObject.hpp).

#include <orvane/interaction/qvMoveAnchoredObject.hpp>

#include <orvane/core/qvDynamicInterface.hpp>

void* qvMoveAnchoredObject::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvMoveInteraction>(this, info);
}

qvMathRectOf<double> qvMoveAnchoredObject::bbox() { return data_->bbox(); }

void qvMoveAnchoredObject::move(qvCrdOf<double> delta) { data_->anchor(data_->anchor() + delta); }
