#pragma once
// qvViewGadgetLayerImplementation: the gadget layer (see
// qvViewGadgetLayerObject.hpp) over the active layer.
//
// Keeps true:
//  - one gadget scene per key: 0 for the device-space scene, else the
//    address of the target's scene as std::uintptr_t (never cut short);
//  - every gadget scene holds the shared gadget palette counted, so the
//    palette lives exactly while some gadget scene of some layer exists;
//  - a gadget scene's memory scene (when it owns one) outlives its scene
//    layer's place in a view manager: the destructor takes each gadget
//    scene layer out of its view manager before deleting the scene, so no
//    registered layer ever shows a deleted scene (a handle held elsewhere
//    is reset to no scene by the scene's farewell);
//  - nothing is stored when making a gadget scene fails or is refused.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/interaction/qvViewGadgetLayerObject.hpp>

#include "views/qvViewActiveLayerImplementation.hpp"

#include <cstdint>
#include <map>
#include <memory>

class qvMemoryScene;
class qvScene;

class qvViewGadgetLayerImplementation : public virtual qvViewGadgetLayerObject,
                                        public qvViewActiveLayerImplementation {
public:
    explicit qvViewGadgetLayerImplementation(qvContainerScene* scene);
    ~qvViewGadgetLayerImplementation() override;

    qvViewSceneLayer gadget_scene_layer() override;
    qvViewSceneLayer gadget_scene_layer(qvViewSceneLayer const& target) override;

    // In a view: every gadget scene layer is registered again right after
    // this layer; in none: each leaves the view manager it is in.
    void reinitialize() override;
    // The renderer's pixel scroll moves the device-space gadgets' pixels
    // while their layer keeps its place: both places are repaired.
    void apply_left(qvRestrictedTransformation const& t) override;
    // A new gadget layer with this layer's settings and no gadget scenes.
    qvViewBaseLayer clone() override;
    void* query_interface(qvInterfaceInfo const& info) override;

    std::size_t gadget_scene_count() const noexcept { return scenes_.size(); }

private:
    struct GadgetScene {
        GadgetScene() = default;
        GadgetScene(GadgetScene const&) = delete;
        GadgetScene& operator=(GadgetScene const&) = delete;
        ~GadgetScene();

        qvSafePtr<qvStandardPalette> palette;
        std::unique_ptr<qvMemoryScene> owned;
        qvScene* scene = nullptr;
        qvViewSceneLayer layer;
    };

    // A gadget scene on the shared palette (made and filled when none is
    // alive) with a scene layer over all its layers.
    std::unique_ptr<GadgetScene> setup() const;
    // Registers `layer` in this layer's view right after this layer.
    void register_after_self(qvViewSceneLayer const& layer);

    std::map<std::uintptr_t, std::unique_ptr<GadgetScene>> scenes_;
    qvContainerScene* container_ = nullptr;
};
