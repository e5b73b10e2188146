// Move and scale over a rectangle (see qvMoveScaleRectangle.hpp). Each
// change reads the rectangle afresh and writes it once; the rectangle's
// constructor orders each axis, which is the swap of passed edges.

#include <orvane/interaction/qvMoveScaleRectangle.hpp>

#include <orvane/core/qvDynamicInterface.hpp>

void* qvMoveScaleRectangle::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvMoveInteraction, qvScaleInteraction>(this, info);
}

qvMathRectOf<double> qvMoveScaleRectangle::bbox() { return data_->rectangle(); }

void qvMoveScaleRectangle::move(qvCrdOf<double> delta) {
    const qvMathRectOf<double> r = data_->rectangle();
    data_->rectangle(qvMathRectOf<double>(r.x2 + delta.x, r.y2 + delta.y, r.x1 + delta.x, r.y1 + delta.y));
}

void qvMoveScaleRectangle::move_lb(qvCrdOf<double> delta) {
    const qvMathRectOf<double> r = data_->rectangle();
    data_->rectangle(qvMathRectOf<double>(r.x1 + delta.x, r.y1 + delta.y, r.x2, r.y2));
}

void qvMoveScaleRectangle::move_rt(qvCrdOf<double> delta) {
    const qvMathRectOf<double> r = data_->rectangle();
    data_->rectangle(qvMathRectOf<double>(r.x1, r.y1, r.x2 + delta.x, r.y2 + delta.y));
}
