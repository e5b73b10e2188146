#pragma once
// qvViewSceneLayerObject: a data layer that draws one layer of a scene (or
// all of them) and hears the scene's changes. The scene is not owned: when
// it is destroyed first, the layer is left showing no scene.

#include <orvane/views/qvViewBaseLayer.hpp>
#include <orvane/views/qvViewDataLayerObject.hpp>

class qvScene;

class qvViewSceneLayerObject : public virtual qvViewDataLayerObject {
public:
    ~qvViewSceneLayerObject() override = default;

    virtual qvScene& scene() const = 0;
    // The scene layer shown; -1 for all.
    virtual int layer() const = 0;
    virtual void cache(bool on) = 0;
    virtual bool cache() const = 0;
    virtual void reset(qvScene* scene, int layer) = 0;

    // A new scene layer over `scene`'s layer `layer` (-1: all); empty when
    // none can be made.
    static qvViewBaseLayer create(qvScene& scene, int layer);

protected:
    qvViewSceneLayerObject() noexcept = default;
    qvViewSceneLayerObject(qvViewSceneLayerObject const&) noexcept = default;
    qvViewSceneLayerObject& operator=(qvViewSceneLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewSceneLayerObject);
