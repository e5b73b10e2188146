#pragma once
// qvContainerSceneInterface: the editing side of a scene, what proxies,
// typed handles and graphic lists program against. The thirteen operations
// are declared in their table order.
//
// Keeps true (what every scene must do):
//  - connect(handle) gives the record of a shape, readable and writable in
//    place until it is disconnected, or null when the scene holds no record
//    under the handle; disconnect(record) says the caller is done with it
//    (a paged scene writes its copy back);
//  - allocate(size, null) creates a new record of `size` bytes with a new
//    header (qvShapeBase.hpp) and a new shape handle, places it in layer 0
//    and connects it; allocate(size, old) returns old for an equal size,
//    else a new record with old's handle, layer and first min(sizes) bytes,
//    and old is freed; the header's size field holds `size` either way;
//  - allocate, destroy and shape_layer(handle, layer) are refused by a
//    read-only scene; read_only() is read once by a proxy when it connects.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/shapes/qvSceneInterface.hpp>

struct qvShapeBase;

class qvContainerSceneInterface : public virtual qvSceneInterface, public virtual qvStreamPersistence {
public:
    qvPalette& palette() override = 0;
    virtual bool read_only() = 0;
    virtual qvShapeBase* connect(long handle) = 0;
    virtual void disconnect(qvShapeBase* record) = 0;
    virtual qvShapeBase* allocate(int size, qvShapeBase* old) = 0;
    virtual void destroy(qvShapeBase* record) = 0;
    // Moves a shape to another layer ("Illegal layer number specified" for
    // a layer out of range).
    virtual void shape_layer(long handle, int layer) = 0;
    virtual int shape_layer(long handle) = 0;
    virtual void insert_layer(int layer) = 0;
    virtual void delete_layer(int layer) = 0;
    virtual void move_layer(int from, int to) = 0;
    // The number of shapes in a layer; -1 counts every layer.
    virtual int size(int layer) const = 0;
    // The graphics of a layer, each made through the proxy site.
    virtual qvIndirectIterator<qvGraphic> enumerate(int layer) = 0;

protected:
    qvContainerSceneInterface() noexcept = default;
    qvContainerSceneInterface(qvContainerSceneInterface const&) noexcept = default;
    qvContainerSceneInterface& operator=(qvContainerSceneInterface const&) noexcept = default;
};

QV_INTERFACE_NAME(qvContainerSceneInterface);
