// The handle bar (see qvHandleBarManipulator.hpp). The handles are ordinary
// poly-markers of the companion gadget scene: making, moving and destroying
// them changes that scene, whose notification repaints the view. A pick
// never touches the host's views: it renders a clone of the handle layer
// in a view of its own, released before it returns.

#include <orvane/interaction/qvHandleBarManipulator.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvSelectionBase.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

namespace {

[[noreturn]] void raise_handle_bar_error(char const* text) { qvRaise(qvErrorFrom<qvHandleBarManipulator>(text)); }

// The scene a layer shows, null once that scene is gone.
qvContainerScene* handle_bar_scene_of(qvViewSceneLayer const& layer) noexcept {
    if (!layer)
        return nullptr;
    try {
        return qvQueryInterface<qvContainerScene>(&layer->scene());
    } catch (qvError const&) {
        return nullptr;
    }
}

// The shape of a handle, or empty when `scene` no longer holds it: other
// code destroyed it, or emptied a scene the gadgets share with it.
qvGraphic handle_bar_live_shape(qvContainerScene& scene, std::int32_t handle) {
    try {
        return scene.instantiate(handle);
    } catch (qvError const&) {
        return qvGraphic();
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// The pick callback

bool qvHBM_Callback::selected(qvShapeBase const* record, qvScene const* scene) {
    if (record == nullptr || scene != scene_ || handles_ == nullptr)
        return true;
    const auto hit = handles_->index.find(record->shape_handle);
    if (hit == handles_->index.end())
        return true;
    found_ = hit->second;
    return false;
}

// ---------------------------------------------------------------------------
// Life

qvHandleBarManipulator::qvHandleBarManipulator() : handles_(std::make_shared<qvHandleBarHandles>()) {}

qvHandleBarManipulator::~qvHandleBarManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

qvHandleBarManipulator& qvHandleBarManipulator::operator=(qvHandleBarManipulator const& other) {
    if (this == &other)
        return *this;
    if (handles_ != other.handles_)
        deactivate();
    handles_ = other.handles_;
    gadget_layer_ = other.gadget_layer_;
    scene_layer_ = other.scene_layer_;
    handle_layer_ = other.handle_layer_;
    return *this;
}

bool qvHandleBarManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic) {
    return activate(std::move(gadget_layer), std::move(scene_layer));
}

bool qvHandleBarManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer) {
    deactivate();
    if (!gadget_layer)
        raise_handle_bar_error("Gadget layer is not initialized");
    if (!scene_layer)
        return false;
    qvViewSceneLayer companion = gadget_layer->gadget_scene_layer(scene_layer);
    if (!companion)
        return false;
    gadget_layer_ = std::move(gadget_layer);
    scene_layer_ = std::move(scene_layer);
    handle_layer_ = std::move(companion);
    return true;
}

void qvHandleBarManipulator::deactivate() {
    if (!active())
        return;
    if (qvContainerScene* const scene = handle_bar_scene_of(handle_layer_)) {
        for (const std::int32_t handle : handles_->order) {
            const qvGraphic graphic = handle_bar_live_shape(*scene, handle);
            if (auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(graphic.get()))
                proxy->destroy_shape();
        }
    }
    handles_->order.clear();
    handles_->index.clear();
    handle_layer_ = qvViewSceneLayer();
    scene_layer_ = qvViewSceneLayer();
    gadget_layer_ = qvViewGadgetLayer();
}

void qvHandleBarManipulator::notify(unsigned what) {
    require_active();
    if ((what & 1u) == 0)
        return;
    qvViewSceneLayer again = gadget_layer_->gadget_scene_layer(scene_layer_);
    if (again)
        handle_layer_ = std::move(again);
}

// ---------------------------------------------------------------------------
// The row

void qvHandleBarManipulator::require_active() const {
    if (!handle_layer_)
        raise_handle_bar_error("Manipulator was not initialized yet");
}

void qvHandleBarManipulator::require_index(int i) const {
    require_active();
    if (i < 0 || static_cast<std::size_t>(i) >= handles_->order.size())
        raise_handle_bar_error("Illegal handle index requested");
}

qvContainerScene& qvHandleBarManipulator::handle_scene() const {
    qvContainerScene* const scene = handle_bar_scene_of(handle_layer_);
    QV_ASSERT_TEXT(scene != nullptr, "scene");
    return *scene;
}

int qvHandleBarManipulator::size() {
    require_active();
    return static_cast<int>(handles_->order.size());
}

qvGraphic qvHandleBarManipulator::add_handle(qvCrdOf<double> p) {
    require_active();
    qvContainerScene& scene = handle_scene();
    handles_->order.reserve(handles_->order.size() + 1);
    qvPolyMarker made(scene, 1, &p);
    const std::int32_t handle = made->record()->shape_handle;
    const int at = static_cast<int>(handles_->order.size());
    handles_->order.push_back(handle);
    handles_->index.emplace(handle, at);
    return made;
}

qvGraphic qvHandleBarManipulator::operator[](int i) {
    require_index(i);
    return handle_scene().instantiate(handles_->order[static_cast<std::size_t>(i)]);
}

void qvHandleBarManipulator::remove_handle(int i) {
    require_index(i);
    qvContainerScene& scene = handle_scene();
    const std::int32_t handle = handles_->order[static_cast<std::size_t>(i)];
    const qvGraphic graphic = scene.instantiate(handle);
    if (auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(graphic.get()))
        proxy->destroy_shape();
    handles_->order.erase(handles_->order.begin() + i);
    handles_->index.erase(handle);
    for (std::size_t k = static_cast<std::size_t>(i); k < handles_->order.size(); ++k)
        handles_->index[handles_->order[k]] = static_cast<int>(k);
}

// ---------------------------------------------------------------------------
// The pick

int qvHandleBarManipulator::selected(qvCrdOf<double> crd) {
    require_active();
    qvContainerScene& scene = handle_scene();
    qvHBM_Callback callback(handles_.get(), &scene);
    const qvSpotSelector selector(crd, &callback);
    const qvViewManager view = qvSelectionView();
    const qvDeviceRenderer renderer(selector, view);
    const qvViewSceneLayer twin(handle_layer_->clone());
    QV_ASSERT_TEXT(twin, "layer");
    view->add(qvViewLayer(twin), qvOrderLast);
    qvSelectionRender(view, twin, selector->bbox());
    return callback.found();
}
