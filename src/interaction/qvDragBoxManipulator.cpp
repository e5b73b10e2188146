// The drag box (see qvDragBoxManipulator.hpp). Its gadget is an ordinary
// rectangle of the device-space gadget scene: creating, reshaping and
// destroying it changes that scene, whose notification repaints the view.
// A gadget whose scene is gone (its gadget layer died first) has lost its
// record: it is dropped without erasing, and nothing raises.

#include <orvane/interaction/qvDragBoxManipulator.hpp>

#include "interaction/qvDeviceGadget.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <algorithm>

namespace {

[[noreturn]] void raise_drag_box_error(char const* text) { qvRaise(qvErrorFrom<qvDragBoxManipulator>(text)); }

qvMathRectOf<double> drag_box_span(qvCrdOf<double> a, qvCrdOf<double> b) {
    return qvMathRectOf<double>(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

}  // namespace

qvDragBoxManipulator::~qvDragBoxManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

bool qvDragBoxManipulator::gadget_alive() const { return gadget_ && gadget_->record() != nullptr; }

// ---------------------------------------------------------------------------
// Activation

bool qvDragBoxManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer, qvGraphic) {
    return activate(std::move(gadget_layer));
}

bool qvDragBoxManipulator::activate(qvViewGadgetLayer gadget_layer) {
    return qvActivateOnDeviceGadgets(*this, gadget_layer, gadget_layer_, active_);
}

void qvDragBoxManipulator::deactivate() {
    qvDeactivateOnDeviceGadgets(gadget_layer_, active_, [this] { end(); });
}

// ---------------------------------------------------------------------------
// The band

void qvDragBoxManipulator::begin(qvCrdOf<double> crd) {
    require_device_point(crd);
    start_ = crd;
    rectangle(drag_box_span(crd, crd));
}

void qvDragBoxManipulator::move(qvCrdOf<double> crd) {
    if (!gadget_) {
        begin(crd);
        return;
    }
    require_device_point(crd);
    rectangle(drag_box_span(start_, crd));
}

qvMathRectOf<double> qvDragBoxManipulator::band_for_move(qvCrdOf<double> crd) const {
    return drag_box_span(gadget_ ? start_ : crd, crd);
}

void qvDragBoxManipulator::end() { qvDropDeviceGadget(gadget_); }

void qvDragBoxManipulator::rectangle(qvMathRectOf<double> const& r) {
    if (!active_)
        raise_drag_box_error("Manipulator was not initialized yet");
    if (gadget_) {
        gadget_->rectangle(r);
        return;
    }
    auto* const scene = qvQueryInterface<qvContainerScene>(&gadget_layer_->scene());
    QV_ASSERT_TEXT(scene != nullptr, "scene");
    qvRectangle made(*scene, r);
    made->connect_attribute("DashedRectangle");
    gadget_ = std::move(made);
}

qvMathRectOf<double> qvDragBoxManipulator::rectangle() {
    if (!gadget_alive())
        raise_drag_box_error("Cannot query the drag box before it is initialized");
    return gadget_->rectangle();
}
