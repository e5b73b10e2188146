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
    // Read first: with no band its box raises and the list is untouched.
    const qvMathRectOf<double> r = circle_.rectangle();
    // The band goes whatever the selection answers or raises (a scene
    // layer whose scene is gone or no container scene raises here).
    struct EndBand {
        qvDragCircleManipulator& band;
        ~EndBand() { band.end(); }
    } ending{circle_};
    qvRectangleSelection selection(scene_layer_);
    return selection.select(list_, r, options);
}
