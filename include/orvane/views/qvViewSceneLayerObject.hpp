#pragma once
// qvViewSceneLayerObject: a data layer that draws one layer of a scene (or
// all of them). The scene is not owned.

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

protected:
    qvViewSceneLayerObject() noexcept = default;
    qvViewSceneLayerObject(qvViewSceneLayerObject const&) noexcept = default;
    qvViewSceneLayerObject& operator=(qvViewSceneLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewSceneLayerObject);
