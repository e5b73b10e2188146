// The proxy selection under a spot (see qvPointSelection.hpp).

#include <orvane/interaction/qvPointSelection.hpp>

#include <orvane/shapes/qvGraphicList.hpp>

qvPointSelection::qvPointSelection(qvContainerScene& scene) : selector_(&callback_) {
    initialize(selector_, scene);
}

qvPointSelection::qvPointSelection(qvViewSceneLayer& layer) {
    (void)container_of(layer);
    selector_ = qvSpotSelector(&callback_, view_driver(layer));
    initialize(selector_, *layer);
}

qvPointSelection::qvPointSelection(qvPointSelection const& other) : selector_(&callback_, other.selector_->driver()) {
    initialize(selector_, *other.scene_layer());
}

qvPointSelection& qvPointSelection::operator=(qvPointSelection const& other) {
    if (this != &other) {
        const qvViewSceneLayer source = other.scene_layer();
        selector_ = qvSpotSelector(&callback_, other.selector_->driver());
        initialize(selector_, *source);
    }
    return *this;
}

qvPointSelection::~qvPointSelection() = default;

bool qvPointSelection::select(qvGraphicList& list, qvCrdOf<double> point, unsigned flags) {
    selector_->setup(point);
    return run(list, flags);
}

bool qvPointSelection::select(qvGraphicList& list, qvCrdOf<double> point, double tolerance, unsigned flags) {
    selector_->setup(point, tolerance);
    return run(list, flags);
}

bool qvPointSelection::run(qvGraphicList& list, unsigned flags) {
    selector_->options(flags);
    const qvMathRectOf<double> area = qvSpotArea(selector_->bbox(), selector_->tolerance(), reach());
    return qvSelectionBase::select(list.get(), area, flags, *selector_);
}
