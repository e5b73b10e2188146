// The drag circle (see qvDragCircleManipulator.hpp). Its gadget is an
// ordinary ellipse of the device-space gadget scene: making, reshaping and
// destroying it changes that scene, whose notification repaints the view.

#include <orvane/interaction/qvDragCircleManipulator.hpp>

#include "interaction/qvDeviceGadget.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <cmath>

namespace {

[[noreturn]] void raise_drag_circle_error(char const* text) { qvRaise(qvErrorFrom<qvDragCircleManipulator>(text)); }

}  // namespace

qvDragCircleManipulator::~qvDragCircleManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

qvEllipseProxy& qvDragCircleManipulator::shown() {
    if (!gadget_ || gadget_->record() == nullptr)
        raise_drag_circle_error("Cannot query the drag circle before it is initialized");
    return *gadget_;
}

// ---------------------------------------------------------------------------
// Activation

bool qvDragCircleManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer, qvGraphic) {
    return activate(std::move(gadget_layer));
}

bool qvDragCircleManipulator::activate(qvViewGadgetLayer gadget_layer) {
    return qvActivateOnDeviceGadgets(*this, gadget_layer, gadget_layer_, active_);
}

void qvDragCircleManipulator::deactivate() {
    qvDeactivateOnDeviceGadgets(gadget_layer_, active_, [this] { end(); });
}

// ---------------------------------------------------------------------------
// The circle

// The box of the circle at c with radius r must fit a shape before the
// centre moves: the centre and the two radii are three writes.
void qvDragCircleManipulator::require_circle(qvCrdOf<double> const& c, double r) {
    const double a = std::fabs(r);
    require_device_point(qvCrdOf<double>(c.x - a, c.y - a));
    require_device_point(qvCrdOf<double>(c.x + a, c.y + a));
}

void qvDragCircleManipulator::circle(qvCrdOf<double> const& c, double r) {
    if (!active_)
        raise_drag_circle_error("Manipulator was not initialized yet");
    require_circle(c, r);
    if (gadget_ && gadget_->record() != nullptr) {
        gadget_->center(c);
        gadget_->x_radius(r);
        gadget_->y_radius(r);
        return;
    }
    auto* const scene = qvQueryInterface<qvContainerScene>(&gadget_layer_->scene());
    QV_ASSERT_TEXT(scene != nullptr, "scene");
    qvEllipse made(*scene, c, r);
    made->connect_attribute("DashedRectangle");
    gadget_ = std::move(made);
}

void qvDragCircleManipulator::move(qvCrdOf<double> crd) {
    if (!gadget_) {
        begin(crd);
        return;
    }
    require_device_point(crd);
    const qvCrdOf<double> c = center();
    const double dx = c.x - crd.x, dy = c.y - crd.y;
    radius(std::sqrt(dx * dx + dy * dy));
}

void qvDragCircleManipulator::end() { qvDropDeviceGadget(gadget_); }

void qvDragCircleManipulator::radius(double r) {
    if (!active_)
        raise_drag_circle_error("Manipulator was not initialized yet");
    qvEllipseProxy& e = shown();
    require_circle(e.center(), r);
    e.x_radius(r);
    e.y_radius(r);
}

double qvDragCircleManipulator::radius() { return shown().x_radius(); }

qvCrdOf<double> qvDragCircleManipulator::center() { return shown().center(); }
void qvDragCircleManipulator::center(qvCrdOf<double> c) { shown().center(c); }
double qvDragCircleManipulator::x_radius() { return shown().x_radius(); }
void qvDragCircleManipulator::x_radius(double r) { shown().x_radius(r); }
double qvDragCircleManipulator::y_radius() { return shown().y_radius(); }
void qvDragCircleManipulator::y_radius(double r) { shown().y_radius(r); }
qvMathRectOf<double> qvDragCircleManipulator::rectangle() { return shown().rectangle(); }

void qvDragCircleManipulator::rectangle(qvMathRectOf<double> const& r) {
    if (!active_)
        raise_drag_circle_error("Manipulator was not initialized yet");
    if (gadget_ && gadget_->record() != nullptr)
        gadget_->rectangle(r);
}
