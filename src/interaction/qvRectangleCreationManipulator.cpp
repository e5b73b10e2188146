// The rectangle-creation manipulator (see
// qvRectangleCreationManipulator.hpp): the embedded drag box keeps the band
// in device space; each begin and move hands its rectangle, mapped into
// the scene, to the target.

#include <orvane/interaction/qvRectangleCreationManipulator.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvAdapter.hpp>

namespace {

[[noreturn]] void raise_rectangle_creation_error(char const* text) {
    qvRaise(qvErrorFrom<qvRectangleCreationManipulator>(text));
}

}  // namespace

qvRectangleCreationManipulator::~qvRectangleCreationManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

bool qvRectangleCreationManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer,
                                              qvGraphic graphic) {
    deactivate();
    if (!gadget_layer)
        raise_rectangle_creation_error("Gadget layer is not initialized");
    if (!scene_layer)
        return false;
    {
        qvAdapter<qvRectangleDataAccess> r(graphic);
        if (r.get() == nullptr)
            return false;
    }
    if (!box_.activate(gadget_layer))
        return false;
    target_ = std::move(graphic);
    layer_ = std::move(scene_layer);
    return true;
}

void qvRectangleCreationManipulator::deactivate() {
    if (!target_)
        return;
    target_ = qvGraphic();
    layer_ = qvViewSceneLayer();
    box_.deactivate();
}

void qvRectangleCreationManipulator::require_active() const {
    if (!target_)
        raise_rectangle_creation_error("Manipulator was not initialized yet");
}

void qvRectangleCreationManipulator::follow_band() {
    qvAdapter<qvRectangleDataAccess> r(target_);
    QV_ASSERT_TEXT(r.get() != nullptr, "r");
    r->rectangle(layer_->device_to_scene(box_.rectangle()));
}

void qvRectangleCreationManipulator::begin(qvCrdOf<double> p) {
    require_active();
    box_.begin(p);
    follow_band();
}

void qvRectangleCreationManipulator::move(qvCrdOf<double> p) {
    require_active();
    box_.move(p);
    follow_band();
}

void qvRectangleCreationManipulator::end() {
    require_active();
    box_.end();
}

void qvRectangleCreationManipulator::notify(unsigned) {
    require_active();
    qvAdapter<qvRectangleDataAccess> r(target_);
    QV_ASSERT_TEXT(r.get() != nullptr, "r");
    box_.rectangle(layer_->scene_to_device(r->rectangle()));
}
