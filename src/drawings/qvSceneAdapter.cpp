// The scene adapter: an inner scene drawn into a rectangle of the host's
// model plane, and the inner scene's changes reported to the host.
//
// Two re-entry guards keep an adapter that reaches itself (it shows a
// drawing scene that holds it) finite: `rendering_` while the inner scene
// draws, `mapping_` while a change is passed on. Reached again under
// either, the adapter does nothing, so the picture holds the scene once
// and a change is reported once per adapter on the road.

#include <orvane/drawings/qvSceneAdapter.hpp>

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvRectToRectTransformation.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvFlavorPortScene.hpp>
#include <orvane/rendering/qvFlavorPortTransformation.hpp>
#include <orvane/shapes/qvScene.hpp>

#include <utility>

namespace {

bool scene_adapter_rect_empty(qvMathRectOf<double> const& r) { return r.x2 < r.x1 || r.y2 < r.y1; }

// Sets a flag for a scope and clears it on every exit.
class SceneAdapterReentryFlag {
public:
    explicit SceneAdapterReentryFlag(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~SceneAdapterReentryFlag() { flag_ = false; }
    SceneAdapterReentryFlag(SceneAdapterReentryFlag const&) = delete;
    SceneAdapterReentryFlag& operator=(SceneAdapterReentryFlag const&) = delete;

private:
    bool& flag_;
};

}  // namespace

// ---------------------------------------------------------------------------
// Collectors

qvSceneAdapter::SceneRectCollector::SceneRectCollector(qvSceneAdapter& adapter)
    : qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>>(true), adapter_(&adapter) {}

qvSceneAdapter::SceneRectCollector::~SceneRectCollector() { disconnect_all(); }

void qvSceneAdapter::SceneRectCollector::invalidate() { adapter_->scene_changed(nullptr); }

void qvSceneAdapter::SceneRectCollector::invalidate(qvMathRectOf<double> const& rect, int) {
    adapter_->scene_changed(&rect);
}

// The inner scene is going: the adapter forgets it, draws nothing from now
// on and leaves it alone when it dies itself. The palette collector stays
// connected to what it heard until the palette or the adapter ends.
void qvSceneAdapter::SceneRectCollector::partner_destroyed(qvSenderBase*) { adapter_->scene_ = nullptr; }

qvSceneAdapter::SceneAttrCollector::SceneAttrCollector(qvSceneAdapter& adapter)
    : qvReceiverInvalidateHandle(true), adapter_(&adapter) {}

void qvSceneAdapter::SceneAttrCollector::invalidate() { adapter_->scene_changed(nullptr); }

void qvSceneAdapter::SceneAttrCollector::invalidate(long const&, int) { adapter_->scene_changed(nullptr); }

// ---------------------------------------------------------------------------
// Construction

qvSceneAdapter::qvSceneAdapter(qvScene* scene, qvMathRectOf<double> const& limits, bool own_scene)
    : scene_(scene), model_limits_(limits), owns_scene_(own_scene) {
    QV_ASSERT_TEXT(scene != nullptr, "scene");
    listen();
}

qvSceneAdapter::qvSceneAdapter(qvSceneAdapter const& other)
    : qvDrawing(other), scene_(other.scene_), model_limits_(other.model_limits_), rectangle_(other.rectangle_),
      owns_scene_(false) {
    listen();
}

// Collectors of this adapter's own, connected to the scene (when it still
// lives) and to the palette it has now. The attribute collector ends with
// the adapter, disconnecting from whatever palette it was connected to.
void qvSceneAdapter::listen() {
    rect_collector_ = std::make_unique<SceneRectCollector>(*this);
    attr_collector_ = std::make_unique<SceneAttrCollector>(*this);
    if (scene_ == nullptr)
        return;
    rect_collector_->connect(scene_->rect_sender());
    attr_collector_->connect(scene_->palette().publisher());
}

qvSceneAdapter::~qvSceneAdapter() {
    rect_collector_.reset();
    attr_collector_.reset();
    if (owns_scene_ && scene_ != nullptr)
        delete std::exchange(scene_, nullptr);
}

// ---------------------------------------------------------------------------
// Geometry

qvMathRectOf<double> qvSceneAdapter::bbox(qvRestrictedTransformation const*) const { return rectangle(); }

void qvSceneAdapter::rectangle(qvMathRectOf<double> const& r) {
    invalidate();
    rectangle_ = r;
    invalidate();
}

qvRestrictedTransformation qvSceneAdapter::model_to_bounds() const {
    const qvMathRectOf<double> limits = model_limits(), bounds = rectangle();
    if (scene_adapter_rect_empty(limits) || scene_adapter_rect_empty(bounds))
        return qvRestrictedTransformation();
    return qvRectToRectTransformation(limits, bounds);
}

// ---------------------------------------------------------------------------
// Drawing and changes

void qvSceneAdapter::render(qvFlavorPort& port, qvMathRectOf<double> const& area) {
    if (rendering_ || scene_ == nullptr)
        return;
    if (scene_adapter_rect_empty(rectangle()) || scene_adapter_rect_empty(model_limits()))
        return;
    const SceneAdapterReentryFlag busy(rendering_);
    const qvRestrictedTransformation t = port.transformation();
    const qvRestrictedTransformation m = model_to_bounds();
    const qvMathRectOf<double> inner_area = qvTransformRect(area, qvInvert(m));
    // Destroyed in reverse: the transformation first, then scene and palette.
    const qvFlavorPortScene saved_scene(port, scene_);
    const qvFlavorPortPalette saved_palette(port, &scene_->palette());
    const qvFlavorPortTransformation saved_transformation(port, t * m);
    scene_->render(port, -1, inner_area, false);
}

// Never raises: this runs inside the inner scene's broadcast, which may
// come from a shape guard's closing report, where an error ends the
// process. A mapping that cannot be made reports the whole rectangle.
void qvSceneAdapter::scene_changed(qvMathRectOf<double> const* rect) {
    if (mapping_)
        return;
    const SceneAdapterReentryFlag busy(mapping_);
    if (rect == nullptr) {
        invalidate();
        return;
    }
    qvRestrictedTransformation m;
    try {
        m = model_to_bounds();
    } catch (qvError const&) {
        invalidate();
        return;
    }
    invalidate(qvTransformRect(*rect, m));
}
