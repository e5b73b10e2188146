// The drag-circle selection (see qvDragCircleSelectionManipulator.hpp): the
// embedded drag circle draws; end hands the box enclosing it to a rectangle
// selection over the stored scene layer.

#include <orvane/interaction/qvDragCircleSelectionManipulator.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvRectangleSelection.hpp>

namespace {

[[noreturn]] void raise_circle_selection_error(char const* text) {
    qvRaise(qvErrorFrom<qvDragCircleSelectionManipulator>(text));
}

}  // namespace

qvDragCircleSelectionManipulator::~qvDragCircleSelectionManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

bool qvDragCircleSelectionManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer,
                                             qvGraphic graphic) {
    deactivate();
    list_ = qvGraphicList(graphic);
    if (!list_)
        return false;
    if (!scene_layer || !circle_.activate(std::move(gadget_layer))) {
        list_ = qvGraphicList();
        return false;
    }
    scene_layer_ = std::move(scene_layer);
    return true;
}

void qvDragCircleSelectionManipulator::deactivate() {
    if (!list_)
        return;
    circle_.deactivate();
    list_ = qvGraphicList();
    scene_layer_ = qvViewSceneLayer();
}

void qvDragCircleSelectionManipulator::require_list() const {
    if (!list_)
        raise_circle_selection_error("Manipulator was not initialized yet");
}

void qvDragCircleSelectionManipulator::begin(qvCrdOf<double> crd) {
    require_list();
    circle_.begin(crd);
}

void qvDragCircleSelectionManipulator::move(qvCrdOf<double> crd) {
    require_list();
    circle_.move(crd);
}

bool qvDragCircleSelectionManipulator::end(unsigned options) {
    require_list();
    const qvMathRectOf<double> r = circle_.rectangle();
    if (!scene_layer_) {
        circle_.end();
        raise_circle_selection_error("Manipulator was not initialized yet");
    }
    bool found = false;
    {
        qvRectangleSelection selection(scene_layer_);
        found = selection.select(list_, r, options);
    }
    circle_.end();
    return found;
}
