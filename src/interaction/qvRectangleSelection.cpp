// The proxy selection of a box (see qvRectangleSelection.hpp).

#include <orvane/interaction/qvRectangleSelection.hpp>

#include <orvane/shapes/qvGraphicList.hpp>

qvRectangleSelection::qvRectangleSelection(qvContainerScene& scene) : selector_(&callback_) {
    initialize(selector_, scene);
}

qvRectangleSelection::qvRectangleSelection(qvViewSceneLayer& layer) {
    (void)container_of(layer);
    selector_ = qvBoxSelector(&callback_, view_driver(layer));
    initialize(selector_, *layer);
}

qvRectangleSelection::qvRectangleSelection(qvRectangleSelection const& other)
    : selector_(&callback_, other.selector_->driver()) {
    initialize(selector_, *other.scene_layer());
}

qvRectangleSelection& qvRectangleSelection::operator=(qvRectangleSelection const& other) {
    if (this != &other) {
        const qvViewSceneLayer source = other.scene_layer();
        selector_ = qvBoxSelector(&callback_, other.selector_->driver());
        initialize(selector_, *source);
    }
    return *this;
}

qvRectangleSelection::~qvRectangleSelection() = default;

bool qvRectangleSelection::select(qvGraphicList& list, qvMathRectOf<double> const& box, unsigned flags) {
    selector_->setup(box, (flags & 0x08u) != 0);
    selector_->options(flags);
    return qvSelectionBase::select(list.get(), selector_->bbox(), flags | 0x01u, *selector_);
}
