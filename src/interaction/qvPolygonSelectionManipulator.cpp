// The polygon selection manipulators (see
// qvPolygonSelectionManipulator.hpp): the embedded outline draws; end hands
// its points to a polygon selection over the stored scene layer.
//
// The destructors live in the variants: the base's deactivate reaches the
// embedded outline through manipulator(), which is gone once a variant's
// destructor has run.

#include <orvane/interaction/qvPolygonSelectionManipulator.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvPolygonSelection.hpp>

namespace {

[[noreturn]] void raise_click_polygon_selection_error() {
    qvRaise(qvErrorFrom<qvClickPolygonSelectionManipulator>("Manipulator was not initialized yet"));
}

[[noreturn]] void raise_drag_polygon_selection_error() {
    qvRaise(qvErrorFrom<qvDragPolygonSelectionManipulator>("Manipulator was not initialized yet"));
}

}  // namespace

bool qvPolygonSelectionManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer,
                                             qvGraphic graphic) {
    deactivate();
    qvGraphicList list(graphic);
    if (!list || !scene_layer)
        return false;
    if (!manipulator().activate(std::move(gadget_layer)))
        return false;
    list_ = std::move(list);
    scene_layer_ = std::move(scene_layer);
    return true;
}

void qvPolygonSelectionManipulator::deactivate() {
    if (!manipulator().active())
        return;
    manipulator().deactivate();
    scene_layer_ = qvViewSceneLayer();
    list_ = qvGraphicList();
}

bool qvPolygonSelectionManipulator::select_and_end(unsigned options, void (*raise_inactive)()) {
    qvPolygonManipulator& outline = manipulator();
    if (!outline.active() || !scene_layer_)
        raise_inactive();
    // Read first: with no outline its box raises and the list is untouched.
    (void)outline.bbox();
    // The outline goes whatever the selection answers or raises.
    struct EndOutline {
        qvPolygonManipulator& outline;
        ~EndOutline() { outline.destroy_gadget(); }
    } ending{outline};
    qvPolygonSelection selection(scene_layer_);
    return selection.select(list_, &outline, options | 0x01u);
}

// ---------------------------------------------------------------------------
// Click variant

qvClickPolygonSelectionManipulator::~qvClickPolygonSelectionManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvClickPolygonSelectionManipulator::require_active() {
    if (!click_.active())
        raise_click_polygon_selection_error();
}

bool qvClickPolygonSelectionManipulator::begin(qvCrdOf<double> p) {
    add_point(p);
    return true;
}

void qvClickPolygonSelectionManipulator::add_point(qvCrdOf<double> p) {
    require_active();
    click_.add_point(p);
}

void qvClickPolygonSelectionManipulator::track(qvCrdOf<double> p) {
    require_active();
    click_.track(p);
}

bool qvClickPolygonSelectionManipulator::end(unsigned options) {
    return select_and_end(options, raise_click_polygon_selection_error);
}

// ---------------------------------------------------------------------------
// Drag variant

qvDragPolygonSelectionManipulator::~qvDragPolygonSelectionManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvDragPolygonSelectionManipulator::require_active() {
    if (!drag_.active())
        raise_drag_polygon_selection_error();
}

void qvDragPolygonSelectionManipulator::begin(qvCrdOf<double> p) {
    require_active();
    drag_.begin(p);
}

void qvDragPolygonSelectionManipulator::move(qvCrdOf<double> p) {
    require_active();
    drag_.move(p);
}

bool qvDragPolygonSelectionManipulator::end(unsigned options) {
    return select_and_end(options, raise_drag_polygon_selection_error);
}
