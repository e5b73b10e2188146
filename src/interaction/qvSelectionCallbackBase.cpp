// The callback selections (see qvSelectionCallbackBase.hpp): one view made
// once, a selector and a renderer made for every select.

#include <orvane/interaction/qvPointCallbackSelection.hpp>
#include <orvane/interaction/qvPolygonCallbackSelection.hpp>
#include <orvane/interaction/qvRectangleCallbackSelection.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvPolygonSelector.hpp>
#include <orvane/interaction/qvSelectionBase.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>
#include <orvane/shapes/qvScene.hpp>

#include "interaction/qvSelectionReach.hpp"

void qvSelectionCallbackBase::mirror_view(qvScene& scene) {
    view_ = qvSelectionView();
    layer_ = qvViewSceneLayer(scene, -1);
    view_->add(qvViewLayer(layer_), qvOrderLast);
    qvSelectionPark(layer_);
}

void qvSelectionCallbackBase::mirror_view(qvViewSceneLayer& layer) {
    QV_ASSERT_TEXT(layer, "layer");
    driver_ = qvSelectionBase::view_driver(layer);
    const qvViewSceneLayer twin(layer->clone());
    QV_ASSERT_TEXT(twin, "layer");
    view_ = qvSelectionView();
    layer_ = twin;
    view_->add(qvViewLayer(layer_), qvOrderLast);
    qvSelectionPark(layer_);
}

// A layer whose scene is gone draws nothing; its reach is the defaults'.
double qvSelectionCallbackBase::reach() {
    if (!reach_)
        reach_ = std::make_shared<qvSelectionReach>();
    qvScene* scene = nullptr;
    try {
        scene = &layer_->scene();
    } catch (qvAssertionError const&) {
        scene = nullptr;
    }
    return reach_->widest(scene);
}

void qvSelectionCallbackBase::run(qvISafePtr<qvDriverObject> const& selector, qvMathRectOf<double> const& area) {
    if (qvSelectionRenderDirect(layer_, *selector, area))
        return;
    renderer_ = qvDeviceRenderer(selector, view_);
    qvSelectionRender(view_, layer_, area);
}

void qvPointCallbackSelection::select(qvSelectionCallback& callback, qvCrdOf<double> point, double tolerance) {
    const qvSpotSelector selector(&callback, wrapped_driver());
    selector->setup(point, tolerance);
    run(selector, qvSpotArea(selector->bbox(), tolerance, reach()));
}

void qvRectangleCallbackSelection::select(qvSelectionCallback& callback, qvMathRectOf<double> const& box, bool touch) {
    const qvBoxSelector selector(&callback, wrapped_driver());
    selector->setup(box, touch);
    run(selector, selector->bbox());
}

void qvPolygonCallbackSelection::select(qvSelectionCallback& callback, qvPointSetDataAccess* polygon, bool touch) {
    if (polygon == nullptr)
        return;
    const qvPolygonSelector selector(&callback, wrapped_driver());
    selector->setup(polygon, touch);
    run(selector, selector->bbox());
}

void qvPolygonCallbackSelection::select(qvSelectionCallback& callback, int count, qvCrdOf<double>* points,
                                        bool touch) {
    if (count <= 0 || points == nullptr)
        return;
    const qvPolygonSelector selector(&callback, wrapped_driver());
    selector->setup(count, points, touch);
    run(selector, selector->bbox());
}
