#pragma once
// qvPagedSceneSegmentInterface: a group of layers of a paged scene that
// live in one paged scene file, each layer one quadtree. A basic paged
// scene maps its own layer numbers onto (segment, segment layer) pairs; the
// segment knows nothing of handles, connections or notifications.
#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvShapeDatabase;

class qvPagedSceneSegmentInterface : public virtual qvStreamPersistence {
public:
    // Called when a new scene is made over the segment.
    virtual void initialize() = 0;
    // Removes every layer.
    virtual void cleanup() = 0;
    virtual int total_layers() = 0;
    // Appends a layer whose quadtree spans `base`.
    virtual void add_layer(qvMathRectOf<double> const& base) = 0;
    // Removes layer n; the later layers move down by one.
    virtual void remove_layer(int n) = 0;
    // The quadtree of layer n.
    virtual qvShapeDatabase& layer(int n) = 0;

protected:
    qvPagedSceneSegmentInterface() noexcept = default;
};
