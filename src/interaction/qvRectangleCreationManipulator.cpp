// The rectangle-creation manipulator (see
// qvRectangleCreationManipulator.hpp): the embedded drag box keeps the band
// in device space; each begin and move hands its rectangle, mapped into
// the scene, to the target. A band whose model form no shape can hold (a
// point beyond the float range, a mapping of scale 0) moves neither.

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
    target_had_record_ = has_record(target_);
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

// Everything that can refuse runs before the band or the target moves: the
// target's life, then the band's model form, which the target takes last.
void qvRectangleCreationManipulator::drag(qvCrdOf<double> p, bool start) {
    require_active();
    qvAdapter<qvRectangleDataAccess> r(target_);
    QV_ASSERT_TEXT(r.get() != nullptr, "r");
    require_live_target(target_, target_had_record_);
    // The point itself first: the band's corners are a minimum and a
    // maximum, which would let a NaN coordinate slip away unseen.
    require_device_point(p);
    const qvMathRectOf<double> band = start ? qvMathRectOf<double>(p, p) : box_.band_for_move(p);
    const qvMathRectOf<double> model = scene_rect(layer_, band);
    if (start)
        box_.begin(p);
    else
        box_.move(p);
    r->rectangle(model);
    target_had_record_ = has_record(target_);
}

void qvRectangleCreationManipulator::begin(qvCrdOf<double> p) { drag(p, true); }

void qvRectangleCreationManipulator::move(qvCrdOf<double> p) { drag(p, false); }

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
