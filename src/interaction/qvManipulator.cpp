// The device-point gate every manipulator shares (see qvManipulator.hpp).
// The bound is the shapes' own (qvFitsFloat): what passes here is what a
// rectangle, a compact point set or a gadget can store, so a refusal comes
// before any gadget or target moves instead of half-way through a change.

#include <orvane/interaction/qvManipulator.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

void qvManipulator::raise_invalid_device_point() {
    qvRaise(qvErrorFrom<qvManipulator>("Invalid device point"));
}

void qvManipulator::require_device_point(qvCrdOf<double> device) {
    if (!qvFitsFloat(device))
        raise_invalid_device_point();
}

qvCrdOf<double> qvManipulator::scene_point(qvViewSceneLayer const& layer, qvCrdOf<double> device) {
    require_device_point(device);
    const qvCrdOf<double> p = layer->device_to_scene(device);
    if (!qvFitsFloat(p))
        raise_invalid_device_point();
    return p;
}

qvMathRectOf<double> qvManipulator::scene_rect(qvViewSceneLayer const& layer, qvMathRectOf<double> const& device) {
    if (!qvFitsFloat(device))
        raise_invalid_device_point();
    const qvMathRectOf<double> r = layer->device_to_scene(device);
    if (!qvFitsFloat(r))
        raise_invalid_device_point();
    return r;
}

bool qvManipulator::has_record(qvGraphic const& graphic) {
    auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(graphic.get());
    return proxy != nullptr && proxy->record() != nullptr;
}

void qvManipulator::require_live_target(qvGraphic const& target, bool had_record) {
    if (had_record && !has_record(target))
        qvSingleShapeProxyBase::raise_uninitialized();
}
