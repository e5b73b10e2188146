#pragma once
// qvViewLayerObject: a layer that sits in a tree: it knows the view manager
// it belongs to and the active layer that holds it, and can be cloned.
//
// Keeps true: both links are weak: a layer never keeps its view manager or
// its parent alive, and reads null once they are gone.

#include <orvane/views/qvViewBaseLayerObject.hpp>

class qvViewActiveLayer;
class qvViewActiveLayerObject;
class qvViewBaseLayer;
class qvViewManager;
class qvViewManagerObject;

class qvViewLayerObject : public virtual qvViewBaseLayerObject {
public:
    ~qvViewLayerObject() override = default;

    // Attaches the layer to a view manager (an empty handle detaches it).
    virtual void view(qvViewManager const& manager) = 0;
    virtual qvViewManagerObject* view() const = 0;
    // A new layer of the same kind and settings.
    virtual qvViewBaseLayer clone() = 0;
    virtual void parent(qvViewActiveLayer const& parent) = 0;
    virtual qvViewActiveLayerObject* parent() const = 0;

protected:
    qvViewLayerObject() noexcept = default;
    qvViewLayerObject(qvViewLayerObject const&) noexcept = default;
    qvViewLayerObject& operator=(qvViewLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewLayerObject);
