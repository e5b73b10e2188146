// The drag-box selection (see qvDragBoxSelectionManipulator.hpp): the
// embedded drag box draws the band; end hands its rectangle to a rectangle
// selection over the stored scene layer.

#include <orvane/interaction/qvDragBoxSelectionManipulator.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvRectangleSelection.hpp>

namespace {

[[noreturn]] void raise_drag_selection_error(char const* text) {
    qvRaise(qvErrorFrom<qvDragBoxSelectionManipulator>(text));
}

}  // namespace

qvDragBoxSelectionManipulator::~qvDragBoxSelectionManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

bool qvDragBoxSelectionManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer,
                                             qvGraphic graphic) {
    deactivate();
    list_ = qvGraphicList(graphic);
    if (!list_)
        return false;
    if (!scene_layer || !box_.activate(std::move(gadget_layer))) {
        list_ = qvGraphicList();
        return false;
    }
    scene_layer_ = std::move(scene_layer);
    return true;
}

void qvDragBoxSelectionManipulator::deactivate() {
    if (!list_)
        return;
    box_.deactivate();
    list_ = qvGraphicList();
    scene_layer_ = qvViewSceneLayer();
}

void qvDragBoxSelectionManipulator::require_list() const {
    if (!list_)
        raise_drag_selection_error("Manipulator was not initialized yet");
}

void qvDragBoxSelectionManipulator::begin(qvCrdOf<double> crd) {
    require_list();
    box_.begin(crd);
}

void qvDragBoxSelectionManipulator::move(qvCrdOf<double> crd) {
    require_list();
    box_.move(crd);
}

bool qvDragBoxSelectionManipulator::end(unsigned options) {
    require_list();
    // Read first: with no band its box raises and the list is untouched.
    const qvMathRectOf<double> r = box_.rectangle();
    // The band goes whatever the selection answers or raises (a scene
    // layer whose scene is gone or no container scene raises here).
    struct EndBand {
        qvDragBoxManipulator& band;
        ~EndBand() { band.end(); }
    } ending{box_};
    qvRectangleSelection selection(scene_layer_);
    return selection.select(list_, r, options);
}
