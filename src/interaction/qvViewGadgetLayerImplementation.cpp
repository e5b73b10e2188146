// The gadget layer (see qvViewGadgetLayerImplementation.hpp). Gadget scene
// layers are ordinary registered layers of the view manager placed right
// after this layer; the manager's rebuild then makes them this layer's
// children, so they draw in front of everything registered later.

#include "interaction/qvViewGadgetLayerImplementation.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/interaction/qvGadgetPalette.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

#include <cmath>
#include <new>

namespace {

[[noreturn]] void raise_gadget_layer_error(char const* text) {
    qvRaise(qvErrorFrom<qvViewGadgetLayerImplementation>(text));
}

qvViewBaseLayer gadget_layer_handle(qvViewGadgetLayerImplementation* layer) {
    return qvViewBaseLayer(static_cast<qvViewBaseLayerObject*>(static_cast<qvViewGadgetLayerObject*>(layer)));
}

}  // namespace

qvViewBaseLayer qvViewGadgetLayerObject::create(qvContainerScene* scene) {
    return gadget_layer_handle(new (std::nothrow) qvViewGadgetLayerImplementation(scene));
}

qvPalette* qvViewGadgetLayer::palette() { return qvGadgetPalette::holder().get()->get(); }

// ---------------------------------------------------------------------------
// Gadget scenes

qvViewGadgetLayerImplementation::GadgetScene::~GadgetScene() {
    // The layer first: it leaves the scene's sender before the scene dies.
    layer = qvViewSceneLayer();
    owned.reset();
    palette = qvSafePtr<qvStandardPalette>();
}

std::unique_ptr<qvViewGadgetLayerImplementation::GadgetScene> qvViewGadgetLayerImplementation::setup() const {
    auto entry = std::make_unique<GadgetScene>();
    qvGadgetPalette* const shared = qvGadgetPalette::holder().get();
    if (qvStandardPalette* const alive = shared->get()) {
        entry->palette = qvSafePtr<qvStandardPalette>(*shared, alive);
    } else {
        entry->palette = qvSafePtr<qvStandardPalette>(new qvStandardPalette);
        *shared = entry->palette;
        shared->initialize();
    }
    if (container_ != nullptr) {
        entry->scene = container_;
    } else {
        entry->owned = std::make_unique<qvMemoryScene>(entry->palette.get(), false);
        entry->scene = entry->owned.get();
    }
    entry->layer = qvViewSceneLayer(*entry->scene, -1);
    QV_ASSERT_TEXT(entry->layer, "layer");
    return entry;
}

void qvViewGadgetLayerImplementation::register_after_self(qvViewSceneLayer const& layer) {
    qvViewManagerObject* const manager = view();
    const qvViewLayer self(static_cast<qvViewLayerObject*>(static_cast<qvViewGadgetLayerObject*>(this)));
    manager->add(qvViewLayer(layer), qvOrder{2}, self, true);
}

// ---------------------------------------------------------------------------
// Construction and copies

qvViewGadgetLayerImplementation::qvViewGadgetLayerImplementation(qvContainerScene* scene) : container_(scene) {}

qvViewGadgetLayerImplementation::~qvViewGadgetLayerImplementation() {
    for (auto& [key, entry] : scenes_) {
        if (!entry->layer)
            continue;
        if (qvViewManagerObject* const manager = entry->layer->view()) {
            try {
                manager->remove(qvViewLayer(entry->layer), true);
            } catch (qvError const& error) {
                qvError::abort(error);
            }
        }
    }
    scenes_.clear();
}

qvViewBaseLayer qvViewGadgetLayerImplementation::clone() {
    auto* const twin = new (std::nothrow) qvViewGadgetLayerImplementation(nullptr);
    QV_ASSERT_TEXT(twin != nullptr, "p");
    const qvViewBaseLayer held = gadget_layer_handle(twin);
    twin->copy(*this);
    return held;
}

void* qvViewGadgetLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewActiveLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewGadgetLayerObject>(this, info);
}

// ---------------------------------------------------------------------------
// The two gadget scene layers

qvViewSceneLayer qvViewGadgetLayerImplementation::gadget_scene_layer() {
    if (const auto found = scenes_.find(0); found != scenes_.end())
        return found->second->layer;
    if (view() == nullptr)
        return qvViewSceneLayer();
    std::unique_ptr<GadgetScene> entry = setup();
    entry->layer->is_independent(true);
    entry->layer->mapping(qvRestrictedTransformation::identity());
    const qvViewSceneLayer layer = entry->layer;
    scenes_.emplace(0, std::move(entry));
    register_after_self(layer);
    return layer;
}

qvViewSceneLayer qvViewGadgetLayerImplementation::gadget_scene_layer(qvViewSceneLayer const& target) {
    QV_ASSERT_TEXT(target, "target");
    const auto key = reinterpret_cast<std::uintptr_t>(static_cast<qvSceneInterface*>(&target->scene()));
    if (const auto found = scenes_.find(key); found != scenes_.end()) {
        found->second->layer->mapping(target->mapping());
        return found->second->layer;
    }
    if (view() == nullptr)
        raise_gadget_layer_error("Gadget layer must be connected to a view");
    std::unique_ptr<GadgetScene> entry = setup();
    entry->layer->mapping(target->mapping());
    entry->layer->safe_to_remove(true);
    const qvViewSceneLayer layer = entry->layer;
    scenes_.emplace(key, std::move(entry));
    register_after_self(layer);
    return layer;
}

// ---------------------------------------------------------------------------
// A change of view

void qvViewGadgetLayerImplementation::reinitialize() {
    if (view() != nullptr) {
        for (auto& [key, entry] : scenes_)
            register_after_self(entry->layer);
    } else {
        for (auto& [key, entry] : scenes_)
            if (qvViewManagerObject* const manager = entry->layer->view())
                manager->remove(qvViewLayer(entry->layer), false);
    }
    qvViewActiveLayerImplementation::reinitialize();
}

// ---------------------------------------------------------------------------
// View transformations

void qvViewGadgetLayerImplementation::apply_left(qvRestrictedTransformation const& t) {
    qvViewActiveLayerImplementation::apply_left(t);
    const auto found = scenes_.find(0);
    if (found == scenes_.end() || t.is_identity())
        return;
    GadgetScene& device = *found->second;
    auto* const scene = qvQueryInterface<qvContainerScene>(device.scene);
    if (scene == nullptr || !device.layer)
        return;
    // Grown as the scene layer grows a changed rectangle: by the view
    // driver's added width, then outward to whole pixels.
    double grow = 1.0;
    if (qvViewManagerObject* const manager = view())
        if (const qvISafePtr<qvDriverObject> driver = manager->driver())
            grow = static_cast<double>(driver->added_width());
    for (qvIndirectIterator<qvGraphic> it = scene->enumerate(-1); it; ++it) {
        auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(it->get());
        if (proxy == nullptr || proxy->record() == nullptr)
            continue;
        const auto& b = proxy->record()->box;
        const qvMathRectOf<double> shown(std::floor(b.x1 - grow), std::floor(b.y1 - grow), std::ceil(b.x2 + grow),
                                         std::ceil(b.y2 + grow));
        device.layer->invalidate(shown, true);
        // A transformation without finite numbers moves no pixel to a place
        // that could be named; such a rectangle must not reach the driver.
        const qvMathRectOf<double> moved = qvTransformRect(shown, t);
        if (!qvIsFinite(moved))
            continue;
        device.layer->invalidate(qvMathRectOf<double>(std::floor(moved.x1), std::floor(moved.y1),
                                                      std::ceil(moved.x2), std::ceil(moved.y2)),
                                 true);
    }
}
