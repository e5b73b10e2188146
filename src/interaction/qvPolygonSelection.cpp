// The proxy selection of a polygon (see qvPolygonSelection.hpp).

#include <orvane/interaction/qvPolygonSelection.hpp>

#include <orvane/shapes/qvGraphicList.hpp>

qvPolygonSelection::qvPolygonSelection(qvContainerScene& scene) : selector_(&callback_) {
    initialize(selector_, scene);
}

qvPolygonSelection::qvPolygonSelection(qvViewSceneLayer& layer) {
    (void)container_of(layer);
    selector_ = qvPolygonSelector(&callback_, view_driver(layer));
    initialize(selector_, *layer);
}

qvPolygonSelection::qvPolygonSelection(qvPolygonSelection const& other)
    : selector_(&callback_, other.selector_->driver()) {
    initialize(selector_, *other.scene_layer());
}

qvPolygonSelection& qvPolygonSelection::operator=(qvPolygonSelection const& other) {
    if (this != &other) {
        const qvViewSceneLayer source = other.scene_layer();
        selector_ = qvPolygonSelector(&callback_, other.selector_->driver());
        initialize(selector_, *source);
    }
    return *this;
}

qvPolygonSelection::~qvPolygonSelection() = default;

bool qvPolygonSelection::select(qvGraphicList& list, qvPointSetDataAccess* polygon, unsigned flags) {
    if (polygon == nullptr)
        return false;
    selector_->setup(polygon, (flags & 0x08u) != 0);
    return run(list, flags);
}

bool qvPolygonSelection::select(qvGraphicList& list, int count, qvCrdOf<double>* points, unsigned flags) {
    if (count <= 0 || points == nullptr)
        return false;
    selector_->setup(count, points, (flags & 0x08u) != 0);
    return run(list, flags);
}

bool qvPolygonSelection::run(qvGraphicList& list, unsigned flags) {
    selector_->options(flags);
    return qvSelectionBase::select(list.get(), selector_->bbox(), flags | 0x01u, *selector_);
}
