// The point-set creation manipulator (see
// qvPointSetCreationManipulator.hpp). The band is an ordinary compact
// shape of the companion gadget scene; changing or destroying it repaints
// the view through that scene's notification. A band whose scene is gone
// (the gadget layer died first) has lost its record and is dropped without
// erasing. A device point is mapped and checked before the target or the
// band changes, and a target the application destroyed is not made again.

#include <orvane/interaction/qvPointSetCreationManipulator.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

namespace {

[[noreturn]] void raise_point_set_creation_error(char const* text) {
    qvRaise(qvErrorFrom<qvPointSetCreationManipulator>(text));
}

}  // namespace

qvPointSetCreationManipulator::~qvPointSetCreationManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

// ---------------------------------------------------------------------------
// Activation

bool qvPointSetCreationManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer,
                                             qvGraphic graphic) {
    deactivate();
    if (!gadget_layer)
        raise_point_set_creation_error("Gadget layer is not initialized");
    if (!scene_layer)
        return false;
    {
        qvAdapter<qvPointSetDataAccess> r(graphic);
        if (r.get() == nullptr)
            return false;
    }
    qvViewSceneLayer companion = gadget_layer->gadget_scene_layer(scene_layer);
    if (!companion)
        return false;
    target_ = std::move(graphic);
    target_had_record_ = has_record(target_);
    gadget_layer_ = std::move(gadget_layer);
    layer_ = std::move(scene_layer);
    companion_ = std::move(companion);
    return true;
}

void qvPointSetCreationManipulator::deactivate() {
    if (target_) {
        target_ = qvGraphic();
        drop_gadget();
        companion_ = qvViewSceneLayer();
        layer_ = qvViewSceneLayer();
    }
    gadget_layer_ = qvViewGadgetLayer();
}

void qvPointSetCreationManipulator::require_active() const {
    if (!target_)
        raise_point_set_creation_error("Manipulator was not initialized yet");
}

void qvPointSetCreationManipulator::notify(unsigned what) {
    require_active();
    if ((what & 1u) != 0) {
        qvViewSceneLayer again = gadget_layer_->gadget_scene_layer(layer_);
        if (again)
            companion_ = std::move(again);
    }
    if ((what & 2u) != 0 && gadget_)
        reset_gadget();
}

// ---------------------------------------------------------------------------
// Points and the band

bool qvPointSetCreationManipulator::begin(qvCrdOf<double> crd) {
    add_point(crd);
    return true;
}

void qvPointSetCreationManipulator::add_point(qvCrdOf<double> crd) {
    require_active();
    {
        qvAdapter<qvPointSetDataAccess> r(target_);
        QV_ASSERT_TEXT(r.get() != nullptr, "r");
        require_live_target(target_, target_had_record_);
        const qvCrdOf<double> p = scene_point(layer_, crd);
        r->insert(r->size(), 1, &p);
        target_had_record_ = has_record(target_);
    }
    if (gadget_)
        notify(2);
    else
        make_gadget();
}

void qvPointSetCreationManipulator::make_gadget() {
    if (style_ != MARKERS && style_ != POLYGON && style_ != POLYLINE)
        raise_point_set_creation_error("Wrong manipulator style is specified");
    qvCrdOf<double> band[3];
    {
        qvAdapter<qvPointSetDataAccess> r(target_);
        QV_ASSERT_TEXT(r.get() != nullptr, "r");
        const int n = r->size();
        band[0] = band[1] = r->point(n - 1);
        band[2] = r->point(0);
    }
    auto* const scene = qvQueryInterface<qvContainerScene>(&companion_->scene());
    QV_ASSERT_TEXT(scene != nullptr, "scene");
    if (style_ == MARKERS) {
        qvPolyMarker made(*scene, 1, band);
        made->connect_attribute("NewPoint");
        gadget_ = std::move(made);
    } else {
        qvPolyline made(*scene, style_ == POLYGON ? 3 : 2, band);
        made->connect_attribute("DashedLine");
        gadget_ = std::move(made);
    }
}

void qvPointSetCreationManipulator::reset_gadget() {
    qvCrdOf<double> last, first;
    {
        qvAdapter<qvPointSetDataAccess> r(target_);
        QV_ASSERT_TEXT(r.get() != nullptr, "r");
        const int n = r->size();
        last = r->point(n - 1);
        first = r->point(0);
    }
    qvAdapter<qvPointSetDataAccess> band(gadget_);
    if (band.get() == nullptr)
        return;
    band->point(0, last);
    if (style_ == MARKERS)
        return;
    band->point(1, last);
    if (style_ == POLYGON)
        band->point(2, first);
}

void qvPointSetCreationManipulator::track(qvCrdOf<double> crd) {
    require_active();
    if (!gadget_)
        return;
    qvAdapter<qvPointSetDataAccess> band(gadget_);
    if (band.get() == nullptr)
        return;
    band->point(style_ == MARKERS ? 0 : 1, scene_point(layer_, crd));
}

void qvPointSetCreationManipulator::end() {
    require_active();
    drop_gadget();
}

void qvPointSetCreationManipulator::drop_gadget() {
    if (!gadget_)
        return;
    const qvGraphic gone = std::move(gadget_);
    gadget_ = qvGraphic();
    auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(gone.get());
    if (proxy != nullptr && proxy->record() != nullptr)
        proxy->destroy_shape();
}
