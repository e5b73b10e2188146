// The polygon manipulators (see qvPolygonManipulator.hpp). The outline is an
// ordinary exact polyline of the device-space gadget scene: making,
// extending and destroying it changes that scene, whose notification
// repaints the view.

#include <orvane/interaction/qvPolygonManipulator.hpp>

#include "interaction/qvDeviceGadget.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

namespace {

[[noreturn]] void raise_polygon_manipulator_error(char const* text) {
    qvRaise(qvErrorFrom<qvPolygonManipulator>(text));
}

}  // namespace

qvPolygonManipulator::~qvPolygonManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

bool qvPolygonManipulator::gadget_alive() const { return gadget_ && gadget_->record() != nullptr; }

qvExactPolylineProxy& qvPolygonManipulator::outline() {
    if (!gadget_alive())
        raise_polygon_manipulator_error("Cannot query the drag box before it is initialized");
    return *gadget_;
}

// ---------------------------------------------------------------------------
// Activation

bool qvPolygonManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer, qvGraphic) {
    return activate(std::move(gadget_layer));
}

bool qvPolygonManipulator::activate(qvViewGadgetLayer gadget_layer) {
    return qvActivateOnDeviceGadgets(*this, gadget_layer, gadget_layer_, active_);
}

void qvPolygonManipulator::deactivate() {
    qvDeactivateOnDeviceGadgets(gadget_layer_, active_, [this] { destroy_gadget(); });
}

void qvPolygonManipulator::destroy_gadget() { qvDropDeviceGadget(gadget_); }

// ---------------------------------------------------------------------------
// The outline

void qvPolygonManipulator::insert(int from, int n, qvCrdOf<double> const* points) {
    if (!active_)
        raise_polygon_manipulator_error("Manipulator was not initialized yet");
    if (gadget_alive()) {
        gadget_->insert(from, n, points);
        return;
    }
    gadget_ = qvExactPolyline();
    auto* const scene = qvQueryInterface<qvContainerScene>(&gadget_layer_->scene());
    QV_ASSERT_TEXT(scene != nullptr, "scene");
    qvExactPolyline made(*scene, n, points);
    if (made->record() == nullptr)
        return;  // nothing inserted: no outline yet
    made->connect_attribute("DashedRectangle");
    gadget_ = std::move(made);
}

void qvPolygonManipulator::remove(int from, int n) { outline().remove(from, n); }

int qvPolygonManipulator::size() { return gadget_alive() ? gadget_->size() : 0; }

qvCrdOf<double> qvPolygonManipulator::point(int i) { return outline().point(i); }

void qvPolygonManipulator::point(int i, qvCrdOf<double> p) { outline().point(i, p); }

qvMathRectOf<double> qvPolygonManipulator::bbox() { return outline().bbox(); }

// ---------------------------------------------------------------------------
// Click polygon

bool qvClickPolygonManipulator::begin(qvCrdOf<double> p) {
    add_point(p);
    return true;
}

void qvClickPolygonManipulator::add_point(qvCrdOf<double> p) {
    require_device_point(p);
    if (size() == 0)
        push_back(p);
    push_back(p);
}

void qvClickPolygonManipulator::track(qvCrdOf<double> p) {
    require_device_point(p);
    point(size() - 1, p);
}
