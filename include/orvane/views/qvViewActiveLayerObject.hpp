#pragma once
// qvViewActiveLayerObject: a layer that holds child layers and draws them.
// Children run from the front child (first) to the back child (last).
//
// Keeps true: contains() answers by identity of the counted layer (the
// handles' shared counter), never by comparing interface pointers, which
// may point at different sub-objects of one layer.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/shapes/qvOrder.hpp>
#include <orvane/views/qvViewLayerObject.hpp>

class qvViewLayer;

class qvViewActiveLayerObject : public virtual qvViewLayerObject {
public:
    ~qvViewActiveLayerObject() override = default;

    // The children in order.
    virtual qvIndirectIterator<qvViewLayer> layers() = 0;
    // Inserts relative to a reference child.
    virtual bool add(qvViewLayer const& layer, qvOrder order, qvViewLayer const& reference) = 0;
    virtual bool add(qvViewLayer const& layer, qvOrder order) = 0;
    // False when there were no children.
    virtual bool clear() = 0;
    virtual bool remove(qvViewLayer const& layer) = 0;
    // Whether `layer` is one of the children; the walk of layers().
    virtual bool contains(qvViewLayer const& layer);

protected:
    qvViewActiveLayerObject() noexcept = default;
    qvViewActiveLayerObject(qvViewActiveLayerObject const&) noexcept = default;
    qvViewActiveLayerObject& operator=(qvViewActiveLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewActiveLayerObject);
